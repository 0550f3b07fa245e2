// Helper program of the end-to-end tests: the texts of a program's controls
// as the controls themselves give them (WM_GETTEXT), which for a status bar
// is the text of its first part.
//   nek_ctltext <title> <class>
// One line per visible child window of that class of the top-level window
// with exactly this title: "<x> <y> <width> <height> <text>", screen
// coordinates. Exit code 0, or 1 when no such window exists.
//   nek_ctltext --menu
// Exit code 0 while a popup menu is open, else 1.
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace {

const char* wantedClass = "";

BOOL CALLBACK printChild(HWND hwnd, LPARAM)
{
    char className[256] = "", text[1024] = "";
    GetClassNameA(hwnd, className, sizeof className);
    if (!IsWindowVisible(hwnd) || lstrcmpiA(className, wantedClass) != 0)
        return TRUE;
    DWORD_PTR length = 0;
    // Another process's control: the message is carried across, and a hung
    // program does not stop this one.
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &length);
    RECT r;
    GetWindowRect(hwnd, &r);
    printf("%ld %ld %ld %ld %s\n", r.left, r.top, r.right - r.left, r.bottom - r.top, text);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && lstrcmpA(argv[1], "--menu") == 0) {
        const HWND menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu) ? 0 : 1;
    }
    if (argc < 3) {
        fputs("nek_ctltext <title> <class> | --menu\n", stderr);
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    const HWND window = FindWindowA(nullptr, argv[1]);
    if (!window)
        return 1;
    wantedClass = argv[2];
    EnumChildWindows(window, printChild, 0);
    return 0;
}
