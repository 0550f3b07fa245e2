// The converter's controls as the screen shows them: three styled buttons
// at the right edge and a static text, at their places and in the colours
// of the resource styles.
#include <windows.h>

#include <gtest/gtest.h>

#include "CtlTestSupport.h"
#include "NButton.h"
#include "NStatic.h"

TEST(ControlsScreenshot, ConverterButtonsAndTextAtTheirPlaces)
{
    ControlParent parent;
    NButton end, load, output;
    NStatic text, info;
    ASSERT_TRUE(parent.create());
    end.createCtrl(&parent, "Ende", -100, -40);
    load.createCtrl(&parent, "Laden", -100, -70);
    output.createCtrl(&parent, "Ausgabe", -100, -100);
    text.createCtrl(&parent, "Bitmap-Konverter", 350, 100, 200, 40);
    info.createCtrl(&parent, "Info", 350, 200);
    UpdateWindow(parent.hwnd);
    pump();
    // A transparent text leaves no trace of the longer one before it.
    text.setWindowText("Text");

    const COLORREF background = 0xA08D8C;
    const COLORREF face = RGB(0xF0, 0xF0, 0xFF);
    const COLORREF frame = RGB(0xA0, 0xA0, 0xFF);
    const COLORREF ink = RGB(0x50, 0x50, 0xFF);
    const NPoint origin = parent.clientToScreen(NPoint(0, 0));
    ScreenShot shot;
    for (int wait = 0; wait < 100; ++wait) {
        pump();
        shot = takeScreenShot(origin.x, origin.y, 600, 400);
        if (shot.at(origin.x + 503, origin.y + 363) == face)
            break;
        Sleep(20);
    }

    // "Ausgabe" on top, "Laden" below, "Ende" lowest, 80 x 20 each.
    for (int top : {300, 330, 360}) {
        SCOPED_TRACE(top);
        const int left = origin.x + 500, y = origin.y + top;
        EXPECT_EQ(shot.at(left, y), frame);
        EXPECT_EQ(shot.at(left + 79, y + 19), frame);
        EXPECT_EQ(shot.at(left - 1, y), background);
        EXPECT_EQ(shot.at(left + 80, y + 19), background);
        EXPECT_EQ(shot.at(left, y + 20), background);
        EXPECT_EQ(shot.at(left + 3, y + 3), face);
        int letters = 0;
        for (int i = 0; i < 78 * 18; ++i)
            letters += shot.at(left + 1 + i % 78, y + 1 + i / 78) == ink;
        EXPECT_GT(letters, 15);
    }
    // The text in the style's colour inside its rectangle, the parent around it.
    int letters = 0, behind = 0;
    for (int i = 0; i < 200 * 40; ++i) {
        const COLORREF pixel = shot.at(origin.x + 350 + i % 200, origin.y + 100 + i / 200);
        letters += pixel == staticTextColour;
        behind += pixel != background && i % 200 >= 60;
    }
    EXPECT_GT(letters, 30);
    EXPECT_EQ(behind, 0);
    // Beside a text that was never changed, too.
    EXPECT_EQ(shot.at(origin.x + 420, origin.y + 210), background);
    EXPECT_EQ(shot.at(origin.x + 349, origin.y + 99), background);
}
