// The converter's controls as the screen shows them: three styled buttons
// at the right edge and static texts, at their places and in the colours
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
    // In the screen's lower right corner, away from the windows of test
    // programs running beside this one, and above them.
    parent.rect = NRect(960, 800, 300, 200);
    parent.exStyle = WS_EX_TOPMOST;
    ASSERT_TRUE(parent.create());
    end.createCtrl(&parent, "Ende", -100, -40);
    load.createCtrl(&parent, "Laden", -100, -70);
    output.createCtrl(&parent, "Ausgabe", -100, -100);
    text.createCtrl(&parent, "Bitmap-Konverter", 10, 20, 170, 40);
    info.createCtrl(&parent, "Info", 10, 100);
    UpdateWindow(parent.hwnd);
    pump();
    // A transparent text leaves no trace of the longer one before it.
    text.setWindowText("Text");

    const COLORREF background = 0xA08D8C, face = RGB(0xF0, 0xF0, 0xFF);
    const NPoint o = parent.clientToScreen(NPoint(0, 0));
    std::vector<COLORREF> shot;
    auto at = [&](int x, int y) { return shot[size_t(y) * 300 + x]; };
    for (int wait = 0; wait < 100 && (shot.empty() || at(203, 163) != face); ++wait) {
        pumpFor(20);
        shot = screenPixels(o.x, o.y, 300, 200);
    }
    // "Ausgabe" on top, "Laden" below, "Ende" lowest, 80 x 20 each.
    for (int y : {100, 130, 160}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(at(200, y), RGB(0xA0, 0xA0, 0xFF));
        EXPECT_EQ(at(279, y + 19), RGB(0xA0, 0xA0, 0xFF));
        EXPECT_EQ(at(199, y), background);
        EXPECT_EQ(at(280, y + 19), background);
        EXPECT_EQ(at(279, y + 20), background);
        EXPECT_EQ(at(203, y + 3), face);
        int letters = 0;
        for (int i = 0; i < 78 * 18; ++i)
            letters += at(201 + i % 78, y + 1 + i / 78) == RGB(0x50, 0x50, 0xFF);
        EXPECT_GT(letters, 15);
    }
    // The text in the style's colour, the parent's background around it.
    int letters = 0, behind = 0;
    for (int i = 0; i < 170 * 40; ++i) {
        const COLORREF pixel = at(10 + i % 170, 20 + i / 170);
        letters += pixel == staticTextColour;
        behind += pixel != background && i % 170 >= 60;
    }
    EXPECT_GT(letters, 30);
    EXPECT_EQ(behind, 0);
    EXPECT_EQ(at(9, 19), background);
    EXPECT_EQ(at(80, 110), background);
}
