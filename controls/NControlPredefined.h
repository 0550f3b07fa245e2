#ifndef NEK_NCONTROLPREDEFINED_H
#define NEK_NCONTROLPREDEFINED_H

#include "NControlPositioned.h"

// NControlPredefined: a positioned control of a system window class. Such
// controls are not in the application's dispatch list; a subclassing
// procedure passes their messages to onMessage after the system procedure.
class NControlPredefined : public NControlPositioned {
public:
    NControlPredefined();
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NControlPredefined() override;

protected:
    // Routes the control's window through the library's control procedure;
    // `classProcedure` remembers the system procedure of the class (one per
    // class, set by the first control of it).
    void subclass(WNDPROC& classProcedure);

    // Styles (any of these bits) whose WM_ERASEBKGND the system procedure
    // does not see: owner-drawn controls paint their whole face themselves.
    DWORD eraseSkipStyles;

private:
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // The remembered system procedure of this control's class.
    WNDPROC* systemProcedure;
};

#endif
