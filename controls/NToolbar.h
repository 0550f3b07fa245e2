#ifndef NEK_NTOOLBAR_H
#define NEK_NTOOLBAR_H

#include "NControl.h"
#include "NImageList.h"
#include "NStringList.h"

// NToolbar: a bar of image buttons with text and a tooltip each, made with
// the common controls' toolbar.
class NToolbar : public NControl {
public:
    NToolbar();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NToolbar() override;
    const char* getToolTipText() override;
    void onMouseMove(int keys, int x, int y) override;
    void onSize(int sizeType, int width, int height) override;

    // Refused without a parent and when the toolbar exists already.
    bool createToolbar(NWindow* parent);
    // id 0 takes the next control id; a button whose picture cannot be loaded
    // is not added (-1). Returns the button's id.
    int addButton(const NString& text, const NString& imageName, int buttonId = 0,
                  int buttonStyle = 0, LPARAM data = 0, const NString& toolTip = NString());
    int getButtonHeight() const { return buttonHeight; }

protected:
    int buttonHeight;
    int buttonFlag;
    int buttonValue;
    int imageWidth;
    int imageHeight;
    NImageList images;
    NStringList toolTips;
    NPoint lastMousePoint;
};

#endif
