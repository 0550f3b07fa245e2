#include "MessageBoxCatcher.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The catcher of the current thread; catchers nest, the newest one answers.
thread_local MessageBoxCatcher* current = nullptr;

std::string windowText(HWND hwnd)
{
    char text[4096] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// The flag of the shared system icon an icon control shows; 0 for another.
unsigned int iconOf(HWND iconControl)
{
    const HICON shown = reinterpret_cast<HICON>(SendMessageA(iconControl, STM_GETICON, 0, 0));
    const std::pair<LPCSTR, unsigned int> icons[] = {{IDI_HAND, MB_ICONERROR}, {IDI_EXCLAMATION, MB_ICONWARNING},
                                                     {IDI_ASTERISK, MB_ICONINFORMATION}, {IDI_QUESTION, MB_ICONQUESTION}};
    for (const auto& icon : icons)
        if (shown && LoadIconA(nullptr, icon.first) == shown) return icon.second;
    return 0;
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher() : previous(current)
{
    hook = SetWindowsHookExA(WH_CBT, hookProc, nullptr, GetCurrentThreadId());
    current = this;
    if (!hook) ADD_FAILURE() << "MessageBoxCatcher: the CBT hook could not be installed";
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    if (hook) UnhookWindowsHookEx(hook);
    current = previous;
    if (unexpected > 0)
        ADD_FAILURE() << unexpected << " unexpected dialog box(es); the first unexpected: \""
                      << caught[caught.size() - unexpected].title << "\": \""
                      << caught[caught.size() - unexpected].text << "\"";
    if (!answers.empty()) ADD_FAILURE() << answers.size() << " expected dialog box(es) never came";
}

void MessageBoxCatcher::expect(int button) { answers.push_back({button, nullptr}); }

void MessageBoxCatcher::expectDialog(DialogHandler handler)
{
    answers.push_back({0, std::move(handler)});
}

LRESULT CALLBACK MessageBoxCatcher::hookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && current) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        char className[16] = "";
        GetClassNameA(hwnd, className, sizeof className);
        // When a box closes, activation may pass to a box of another test
        // program running beside this one; that one is not ours to answer.
        if (lstrcmpA(className, "#32770") == 0 && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
            current->handle(hwnd);
    }
    HHOOK hook = current ? current->hook : nullptr;
    return CallNextHookEx(hook, code, wParam, lParam);
}

void MessageBoxCatcher::handle(HWND dialog)
{
    // A dialog is activated again when focus returns to it; answer it once.
    if (std::find(handled.begin(), handled.end(), dialog) != handled.end()) return;
    handled.push_back(dialog);

    Box box;
    box.title = windowText(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        const bool isStatic = lstrcmpiA(className, "Static") == 0;
        // The dialog itself is not visible yet, so ask each button's own style.
        if (lstrcmpiA(className, "Button") == 0 && (style & WS_VISIBLE))
            box.buttons.push_back(GetDlgCtrlID(child));
        else if (isStatic && (style & SS_TYPEMASK) == SS_ICON && !box.icon)
            box.icon = iconOf(child);
        else if (isStatic && (style & SS_TYPEMASK) != SS_ICON && box.text.empty())
            box.text = windowText(child);
    }

    if (answers.empty()) {
        ++unexpected;
        caught.push_back(box);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    Answer answer = answers.front();
    answers.erase(answers.begin());
    caught.push_back(box);
    if (answer.handler) answer.handler(dialog, caught.back());
    else PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED), 0);
}
