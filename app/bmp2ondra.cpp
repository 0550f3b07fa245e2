// bmp2ondra: the bitmap converter on the command line.
#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "CommandLineConverter.h"
#include "NConsole.h"
#include "OutputFile.h"

namespace {

// Ctrl+C, Ctrl+Break, a closed console window, logoff or shutdown: runs on
// a thread of its own while the text may be being written.
BOOL WINAPI onInterruption(DWORD)
{
    OutputFile::discardUnfinished(true);
    ExitProcess(CommandLineConverter::interrupted);
    return TRUE;
}

}  // namespace

// Wide arguments: file names the ANSI code page cannot hold arrive intact.
int wmain(int argc, wchar_t** argv)
{
    // A crash ends the run at once instead of waiting in an error dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetConsoleCtrlHandler(onInterruption, TRUE);
    NConsole out(NConsole::standardOutput);
    NConsole err(NConsole::standardError);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        err.write(L"bmp2ondra: GDI+ konnte nicht gestartet werden\r\n");
        return CommandLineConverter::unreadablePicture;
    }
    int result;
    {
        CommandLineConverter converter(out, err);
        result = converter.run(std::vector<std::wstring>(argv + 1, argv + argc));
    }
    Gdiplus::GdiplusShutdown(token);
    return result;
}
