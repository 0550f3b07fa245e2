#ifndef NEK_NBUTTON_H
#define NEK_NBUTTON_H

#include "NButtonCtrl.h"
#include "NNumList.h"

// NButton: the library's push button. An owner-drawn system button painted
// as a rounded rectangle in the colours of four resource styles, one per
// state (normal, pressed, mouse over, disabled), each "fill,frame,shadow,
// text". It tracks the mouse for the hover state and can be its parent's
// default button.
class NButton : public NButtonCtrl {
public:
    NButton();
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NButton() override;
    void onMouseMove(int keys, int x, int y) override;
    void onMouseLeave() override;
    void beforeCreate() override;

    virtual void drawButton(const RECT& r, unsigned int state, HDC dc);
    virtual void onHoverChanged();

    // Makes this the one default button of its parent.
    void setDefault();

    NSize form;
    NNumList normalColours;
    NNumList selectedColours;
    int mouseOver;
    NNumList mouseOverColours;
    NNumList disabledColours;
    int isDefault;
};

#endif
