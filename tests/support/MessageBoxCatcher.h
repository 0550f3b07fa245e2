#ifndef MESSAGEBOXCATCHER_H
#define MESSAGEBOXCATCHER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// While it lives, every dialog box the creating thread opens (message boxes, common dialogs) is caught by a
// thread CBT hook when it is activated, recorded and answered, so that no test can block on a modal box. A
// box beyond the expected ones is answered with IDCANCEL and fails the test when the catcher goes; so does an
// expected box that never came.
class MessageBoxCatcher {
public:
    struct Box {
        std::string title, text;
        unsigned int icon = 0;     // MB_ICONERROR, MB_ICONWARNING, ... or 0, from the icon shown
        std::vector<int> buttons;  // the ids of the box's buttons, left to right (IDOK, IDCANCEL, ...)
    };
    // Handles a dialog that is no message box (a file dialog, say): it gets the window and must close it.
    typedef std::function<void(HWND dialog, const Box& box)> DialogHandler;

    MessageBoxCatcher();
    // Expects that many boxes, each answered with IDOK.
    explicit MessageBoxCatcher(size_t okBoxes) : MessageBoxCatcher() { answers.assign(okBoxes, {IDOK, nullptr}); }
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    void expect(int button = 1);                // queues the button id that answers the next box
    void expectDialog(DialogHandler handler);  // or a handler for the next dialog

    size_t count() const { return caught.size(); }
    const Box& operator[](size_t i) const { return caught.at(i); }
    void clear() { caught.clear(); }  // forgets the boxes seen so far, not the answers still queued

private:
    struct Answer {
        int button;
        DialogHandler handler;
    };
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);
    void handle(HWND dialog);

    HHOOK hook;
    std::vector<Answer> answers;
    std::vector<Box> caught;
    std::vector<HWND> handled;
    size_t unexpected = 0;
    MessageBoxCatcher* previous;
};

#endif
