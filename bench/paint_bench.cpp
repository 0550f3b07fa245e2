// Prints what painting through the drawing device costs: a 1920 x 1080
// window filled and crossed by 100 lines, with and without noFlicker, and a
// 4000 x 3000 picture stretched to that window, where the scaled copy must
// be made on the first paint only.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "NDevice.h"
#include "NImage.h"
#include "NResources.h"

namespace {

const int clientWidth = 1920;
const int clientHeight = 1080;

double seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

NDevice* device = nullptr;
NImage* picture = nullptr;

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    if (message != WM_PAINT || !device)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    device->beginPaint();
    if (picture) {
        picture->draw(device->getDC(), hwnd);
    } else {
        device->fillRectangle(NRect(0, 0, clientWidth, clientHeight), 0x804020);
        for (int i = 0; i < 100; ++i)
            device->line(0, i * 10, clientWidth, clientHeight - i * 10, i % 2 ? 0xFFFFFF : 0x00FF);
    }
    device->endPaint();
    return 0;
}

// Milliseconds of one synchronous paint of the whole window.
double paintOnce(HWND hwnd)
{
    const double start = seconds();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return (seconds() - start) * 1000.0;
}

void report(const char* what, const std::vector<double>& ms)
{
    double sum = 0, worst = 0;
    for (size_t i = 1; i < ms.size(); ++i) {
        sum += ms[i];
        worst = ms[i] > worst ? ms[i] : worst;
    }
    std::printf("%-44s first %8.2f ms, next %3zu: mean %6.2f ms, worst %6.2f ms\n", what, ms[0],
                ms.size() - 1, sum / double(ms.size() - 1), worst);
}

std::vector<double> paints(HWND hwnd, int count)
{
    std::vector<double> ms;
    for (int i = 0; i < count; ++i)
        ms.push_back(paintOnce(hwnd));
    return ms;
}

// A 24-bit BMP of a colour ramp.
bool writeRamp(const std::string& path, int width, int height)
{
    const int row = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + row * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::vector<unsigned char> line(row);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            line[x * 3] = static_cast<unsigned char>(x * 255 / width);
            line[x * 3 + 1] = static_cast<unsigned char>(y * 255 / height);
            line[x * 3 + 2] = static_cast<unsigned char>((x + y) & 0xFF);
        }
        std::fwrite(line.data(), 1, row, f);
    }
    return std::fclose(f) == 0;
}

}  // namespace

int main()
{
    // The resource manager keeps its files beside the program; the picture
    // goes to the temporary folder and is removed at the end.
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string programFolder = program;
    programFolder.resize(programFolder.find_last_of('\\'));
    globalResources.setProgramFolder(programFolder.c_str());
    globalResources.init();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "NekPaintBench";
    RegisterClassA(&windowClass);
    RECT outer = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&outer, WS_POPUP, FALSE);
    HWND hwnd = CreateWindowExA(0, "NekPaintBench", "paint_bench", WS_POPUP | WS_VISIBLE, 0, 0,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    RECT client;
    GetClientRect(hwnd, &client);
    std::printf("window client %ld x %ld, screen %d x %d\n", client.right, client.bottom,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    NDevice windowDevice;
    windowDevice.setHwnd(hwnd);
    device = &windowDevice;
    windowDevice.setNoFlicker(false);
    report("fill + 100 lines, direct", paints(hwnd, 101));
    windowDevice.setNoFlicker(true);
    report("fill + 100 lines, noFlicker", paints(hwnd, 101));

    const std::string path = folder + "nek_paint_bench.bmp";
    if (!writeRamp(path, 4000, 3000)) {
        std::printf("could not write %s\n", path.c_str());
        return 1;
    }
    NImage image;
    const double loadStart = seconds();
    if (!image.load(path.c_str())) {
        std::printf("could not load %s\n", path.c_str());
        return 1;
    }
    std::printf("load 4000 x 3000 picture: %.1f ms\n", (seconds() - loadStart) * 1000.0);
    image.setFitToWindow(true);
    image.setKeepAspect(true);
    picture = &image;
    windowDevice.setNoFlicker(false);
    std::printf("scaled copy before the first paint: %s\n", image.hasScaledCopy() ? "yes" : "no");
    std::vector<double> cached = paints(hwnd, 51);
    const NRect shown = image.getRect();
    std::printf("scaled copy after the paints: %s, %d x %d\n", image.hasScaledCopy() ? "yes" : "no",
                shown.width, shown.height);
    report("4000x3000 stretched, copy cached", cached);

    // For comparison: a copy made on every paint (the display size changes).
    image.setFitToWindow(false);
    image.setKeepAspect(false);
    std::vector<double> remade;
    for (int i = 0; i < 11; ++i) {
        image.setSize(clientWidth - (i % 2), clientHeight);
        remade.push_back(paintOnce(hwnd));
    }
    report("4000x3000 stretched, copy made every paint", remade);

    picture = nullptr;
    device = nullptr;
    image.release();
    DestroyWindow(hwnd);
    DeleteFileA(path.c_str());
    return 0;
}
