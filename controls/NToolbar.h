#ifndef NEK_NTOOLBAR_H
#define NEK_NTOOLBAR_H

#include "NControl.h"
#include "NImageList.h"
#include "NStringList.h"

// NToolbar: a bar of image buttons with text and a tooltip each, made with
// the common controls' toolbar. Its window passes every message to
// onMessage after the toolbar's own procedure.
class NToolbar : public NControl {
public:
    NToolbar();
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NToolbar() override;
    const char* getToolTipText() override;
    void onMouseMove(int keys, int x, int y) override;
    void onSize(int sizeType, int width, int height) override;

    // Refused without a parent and when the toolbar exists already.
    bool createToolbar(NWindow* parent);
    // id 0 takes the next control id; a button whose picture cannot be loaded
    // is not added (-1). Returns the button's id. The tooltip is the button's
    // text unless one is given.
    int addButton(const NString& text, const NString& imageName, int buttonId = 0,
                  int buttonStyle = 0, LPARAM data = 0, const NString& toolTip = NString());
    int getButtonCount();
    int getButtonHeight() const { return buttonHeight; }
    // The index of the button at a point of the bar, -1 for none.
    int buttonAt(const NPoint& point);

protected:
    int buttonHeight;
    // Non-zero: buttons are at most buttonValue pixels wide.
    int buttonFlag;
    int buttonValue;
    int imageWidth;
    int imageHeight;
    NImageList images;
    NStringList toolTips;
    NPoint lastMousePoint;
    // TBSTYLE_EX_ values.
    unsigned int extendedStyle;

private:
    static LRESULT CALLBACK toolbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void subclass();
    // The button the tooltip speaks of, so a new one can replace its text.
    int tipButton;
};

#endif
