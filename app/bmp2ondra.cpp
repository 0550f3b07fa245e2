// bmp2ondra: the bitmap converter on the command line.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <gdiplus.h>

#include <cstdio>

#include "CommandLineConverter.h"

int main(int argc, char** argv)
{
    // The text must keep its CR LF line ends byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        fputs("bmp2ondra: GDI+ konnte nicht gestartet werden\n", stderr);
        return 2;
    }
    int result;
    {
        CommandLineConverter converter(stdout, stderr);
        result = converter.run(argc - 1, argv + 1);
    }
    Gdiplus::GdiplusShutdown(token);
    return result;
}
