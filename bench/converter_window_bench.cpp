// The converter window with big pictures: how long loading (conversion and
// source text, with the wait cursor) takes, and how long one repaint of the
// preview takes while the picture is far larger than the window.
//   converter_window_bench [width height]    default 4000 x 3000
#include <windows.h>
#include <gdiplus.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MainWnd.h"
#include "NApplication.h"
#include "NApplicationBasic.h"
#include "NDebug.h"
#include "NResources.h"

using namespace Gdiplus::DllExports;

namespace {

double seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// A picture with a gradient in every row, saved as PNG, as photos come.
bool writePicture(const std::string& path, int width, int height)
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) !=
        Gdiplus::Ok)
        return false;
    Gdiplus::BitmapData data = {};
    Gdiplus::GpRect all(0, 0, width, height);
    GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data);
    for (int y = 0; y < height; ++y) {
        UINT32* row = reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000 | (x * 255 / width) << 16 | (y * 255 / height) << 8 | ((x ^ y) & 0xFF);
    }
    GdipBitmapUnlockBits(bitmap, &data);
    CLSID png;
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
    std::wstring wide(path.begin(), path.end());
    const bool saved = GdipSaveImageToFile(bitmap, wide.c_str(), &png, nullptr) == Gdiplus::Ok;
    GdipDisposeImage(bitmap);
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : 4000;
    const int height = argc > 2 ? std::atoi(argv[2]) : 3000;
    globalApplication.startGdiplus();
    globalApplicationBasic.readCommandLine();
    globalResources.setProgramFolder(globalApplicationBasic.getProgramFolder());
    globalResources.init();

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "converter_window_bench.png";
    if (!writePicture(path, width, height)) {
        fprintf(stderr, "the picture could not be written\n");
        return 1;
    }

    MainWnd window;
    if (!window.create())
        return 1;
    globalDebug.off = true;  // the channel's cost is ndebug_bench's subject
    window.show(SW_SHOWNORMAL);
    pump();

    const double loadStart = seconds();
    window.converter.loadPicture(path.c_str());
    const double loaded = seconds() - loadStart;

    const int repaints = 20;
    const double paintStart = seconds();
    for (int i = 0; i < repaints; ++i) {
        window.converter.invalidate();
        UpdateWindow(window.converter.hwnd);
    }
    const double painted = (seconds() - paintStart) / repaints;

    printf("picture %d x %d (PNG), window client %d x %d\n", width, height,
           window.converter.getClientSize().cx, window.converter.getClientSize().cy);
    printf("load, convert and generate: %.2f s (%zu bytes of text)\n", loaded,
           static_cast<size_t>(window.converter.converter.sourceText.getLength()));
    printf("one repaint of the preview: %.1f ms\n", painted * 1000);

    globalApplication.mainWindow = nullptr;  // no quit message, no error log box
    DestroyWindow(window.hwnd);
    DeleteFileA(path.c_str());
    return 0;
}
