// Prints how long the converter takes on big pictures and how much memory it
// needs: the window's way (loading, scaling and conversion, text into
// sourceText), the command-line way (loading, measuring the text, writing it
// into a buffer of its size), and the whole command-line program on the
// largest picture.
#include <winsock2.h>
#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchHelpers.h"
#include "ConverterBitmap.h"
#include "NWidePath.h"

namespace {

// A 24-bit BMP: random colours ("noise", every run one pixel long) or one
// colour ("flat", runs of 255).
bool writePicture(const std::string& path, int w, int h, bool noise)
{
    const int stride = (w * 3 + 3) & ~3;
    const unsigned dataSize = static_cast<unsigned>(stride) * static_cast<unsigned>(h);
    std::vector<unsigned char> file(54 + static_cast<size_t>(dataSize), 0);
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(w));
    put32(22, static_cast<unsigned>(h));
    file[26] = 1;
    file[28] = 24;
    put32(34, dataSize);
    unsigned seed = 12345;
    for (int y = 0; y < h; ++y) {
        unsigned char* row = &file[54 + static_cast<size_t>(y) * static_cast<size_t>(stride)];
        for (int x = 0; x < w * 3; ++x) {
            seed = seed * 1103515245u + 12345u;
            row[x] = noise ? static_cast<unsigned char>(seed >> 16) : 0x80;
        }
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(file.data(), 1, file.size(), f) == file.size();
    return fclose(f) == 0 && ok;
}

void measure(const std::string& folder, int w, int h, bool noise)
{
    const std::string path = folder + (noise ? "noise" : "flat") + std::to_string(w) + ".bmp";
    if (!writePicture(path, w, h, noise)) {
        printf("cannot write %s\n", path.c_str());
        return;
    }
    {
        // The converter keeps the file open while it lives.
        ConverterBitmap converter;
        double start = seconds();
        converter.load(path.c_str());
        const double load = seconds() - start;
        start = seconds();
        converter.convert();
        const double convert = seconds() - start;
        start = seconds();
        converter.createSource();
        const double source = seconds() - start;
        printf("%4d x %4d %-5s  window:       load+convert+text %6.3f s  convert %6.3f s  text %6.3f s  "
               "text size %6.1f MB  peak memory %7.1f MB\n",
               w, h, noise ? "noise" : "flat", load, convert, source,
               converter.sourceText.getLength() / (1024.0 * 1024.0), peakMegabytes());
    }
    {
        ConverterBitmap converter;
        double start = seconds();
        converter.loadFile(NWidePath::systemForm(std::wstring(path.begin(), path.end())).c_str());
        converter.prepareSource();
        const double load = seconds() - start;
        start = seconds();
        const unsigned long long length = converter.sourceLength("bench");
        const double measureTime = seconds() - start;
        start = seconds();
        std::vector<char> text(static_cast<size_t>(length) + 1);
        converter.writeSource("bench", text.data());
        printf("%4d x %4d %-5s  command line: load %6.3f s  measure %6.3f s  write %6.3f s  text size %6.1f MB\n",
               w, h, noise ? "noise" : "flat", load, measureTime, seconds() - start,
               static_cast<double>(length) / (1024.0 * 1024.0));
    }
    DeleteFileA(path.c_str());
}

void measureProgram(const std::string& folder)
{
    const std::string picture = folder + "cli_noise.bmp";
    const std::string output = folder + "cli_noise.h";
    if (!writePicture(picture, 4000, 3000, true))
        return;
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    program = program.substr(0, program.find_last_of('\\') + 1) + "bmp2ondra.exe";
    std::string commandLine = "\"" + program + "\" -o \"" + output + "\" \"" + picture + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double start = seconds();
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        printf("cannot start %s\n", program.c_str());
        return;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const double elapsed = seconds() - start;
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    printf("bmp2ondra -o on 4000 x 3000 noise: %6.3f s, exit code %lu\n", elapsed, exitCode);
    DeleteFileA(picture.c_str());
    DeleteFileA(output.c_str());
}

}  // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 1;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp;
    measure(folder, 1920, 1080, false);
    measure(folder, 1920, 1080, true);
    measure(folder, 4000, 3000, false);
    measure(folder, 4000, 3000, true);
    measureProgram(folder);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
