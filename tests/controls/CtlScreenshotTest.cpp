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

    const COLORREF background = 0xA08D8C, face = RGB(0xF0, 0xF0, 0xFF);
    const NPoint o = parent.clientToScreen(NPoint(0, 0));
    std::vector<COLORREF> shot;
    auto at = [&](int x, int y) { return shot[size_t(y) * 600 + x]; };
    for (int wait = 0; wait < 100 && (shot.empty() || at(503, 363) != face); ++wait) {
        pumpFor(20);
        shot = screenPixels(o.x, o.y, 600, 400);
    }
    // "Ausgabe" on top, "Laden" below, "Ende" lowest, 80 x 20 each.
    for (int y : {300, 330, 360}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(at(500, y), RGB(0xA0, 0xA0, 0xFF));
        EXPECT_EQ(at(579, y + 19), RGB(0xA0, 0xA0, 0xFF));
        EXPECT_EQ(at(499, y), background);
        EXPECT_EQ(at(580, y + 19), background);
        EXPECT_EQ(at(579, y + 20), background);
        EXPECT_EQ(at(503, y + 3), face);
        int letters = 0;
        for (int i = 0; i < 78 * 18; ++i)
            letters += at(501 + i % 78, y + 1 + i / 78) == RGB(0x50, 0x50, 0xFF);
        EXPECT_GT(letters, 15);
    }
    // The text in the style's colour, the parent's background around it.
    int letters = 0, behind = 0;
    for (int i = 0; i < 200 * 40; ++i) {
        const COLORREF pixel = at(350 + i % 200, 100 + i / 200);
        letters += pixel == staticTextColour;
        behind += pixel != background && i % 200 >= 60;
    }
    EXPECT_GT(letters, 30);
    EXPECT_EQ(behind, 0);
    EXPECT_EQ(at(349, 99), background);
    EXPECT_EQ(at(420, 210), background);
}
