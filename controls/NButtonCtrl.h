#ifndef NEK_NBUTTONCTRL_H
#define NEK_NBUTTONCTRL_H

#include "NControlPredefined.h"

// NButtonCtrl: a system "BUTTON" control. A click reaches onClicked; the
// private click request NEK_MSG_CLICK_BUTTON clicks it from outside.
class NButtonCtrl : public NControlPredefined {
public:
    NButtonCtrl();
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NButtonCtrl() override;
    LRESULT onReflect(int code, NMHDR* header) override;
    void afterCreate() override;

    virtual void onClicked();

protected:
    // WM_COMMAND with the control id and BN_CLICKED to the parent. No
    // control window goes with it, so the parent reflects nothing back.
    void click();
};

#endif
