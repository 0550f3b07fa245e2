#ifndef NEK_NCONTROL_H
#define NEK_NCONTROL_H

#include "NWindow.h"

// NControl: a child window that is a plain member of its parent window
// object. Each control takes a unique id at construction. The parent passes
// on what Windows sends it about the control (notifications, colour
// requests, owner drawing) as the library's private messages, which arrive
// here as onReflect and onCtlColor.
class NControl : public NWindow {
public:
    NControl();
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NControl() override;

    // A WM_COMMAND or WM_NOTIFY of this control, reflected by its parent.
    virtual LRESULT onReflect(int code, NMHDR* header);
    // The brush for the control's background; sets the context's text colours.
    virtual HBRUSH onCtlColor(HDC dc);

    int getId() const { return controlId; }

    NString styleName;
    int controlId;
};

#endif
