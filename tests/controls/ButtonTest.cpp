// The styled button: its four state styles read back as pixels, the hover
// tracking, the focus line, the frames and the default button.
#include <windows.h>

#include <gtest/gtest.h>

#include "CtlTestSupport.h"
#include "NButton.h"
#include "NColorMap.h"

namespace {

const COLORREF normalFill = RGB(0xF0, 0xF0, 0xFF);
const COLORREF normalFrame = RGB(0xA0, 0xA0, 0xFF);
const COLORREF normalText = RGB(0x50, 0x50, 0xFF);
const COLORREF selectedFill = RGB(0xD0, 0xD0, 0xFF);
const COLORREF disabledFill = RGB(0xF0, 0xF0, 0xF0);
const COLORREF disabledFrame = RGB(0xA0, 0xA0, 0xA0);
const COLORREF hoverFrame = RGB(0x00, 0x80, 0x00);

std::vector<int> listOf(NNumList& list)
{
    return std::vector<int>(list.getData(), list.getData() + list.getCount());
}

class ButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.create());
        button.createCtrl(&parent, "OK", 20, 20);
        pump();
    }
    void TearDown() override { globalError.log = ""; }
    // The face (inside the frame, left of the text) and the top-left frame pixel.
    COLORREF face() { return paintedPixel(button, 4, 4); }
    COLORREF frame() { return paintedPixel(button, 0, 0); }

    ControlParent parent;
    NButton button;
};

}  // namespace

TEST_F(ButtonTest, StylesBecomeColourLists)
{
    EXPECT_EQ(button.style & 0xF, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(button.form, NSize(0, 0));
    EXPECT_EQ(listOf(button.normalColours),
              (std::vector<int>{int(normalFill), int(normalFrame), int(normalFrame), int(normalText)}));
    EXPECT_EQ(listOf(button.selectedColours),
              (std::vector<int>{int(selectedFill), int(normalFrame), int(normalFrame),
                                int(normalText)}));
    EXPECT_EQ(listOf(button.mouseOverColours),
              (std::vector<int>{int(hoverFill), int(hoverFrame), int(hoverFrame), 0}));
    EXPECT_EQ(listOf(button.disabledColours),
              (std::vector<int>{int(disabledFill), int(disabledFrame), int(disabledFill),
                                int(disabledFrame)}));
    EXPECT_EQ(str(globalError.log), "");
}

TEST_F(ButtonTest, EachStateShowsTheFaceOfItsStyle)
{
    EXPECT_EQ(face(), normalFill);
    EXPECT_EQ(frame(), normalFrame);

    button.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(button.mouseOver, 1);
    EXPECT_EQ(button.cursorId, 32649);
    EXPECT_EQ(face(), hoverFill);
    EXPECT_EQ(frame(), hoverFrame);

    // Pressed wins over the hover, disabled over both.
    button.sendMessage(BM_SETSTATE, TRUE);
    EXPECT_EQ(face(), selectedFill);
    button.sendMessage(BM_SETSTATE, FALSE);
    button.disable();
    EXPECT_EQ(face(), disabledFill);
    EXPECT_EQ(frame(), disabledFrame);
    button.enable();
    EXPECT_EQ(face(), hoverFill);

    button.sendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(button.mouseOver, 0);
    EXPECT_EQ(face(), normalFill);

    // A move over the parent ends the hover too.
    button.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    parent.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(button.mouseOver, 0);
    EXPECT_EQ(face(), normalFill);
}

TEST_F(ButtonTest, FocusLineInTheTextColour)
{
    // Left of the text, four pixels above the bottom edge.
    EXPECT_EQ(paintedPixel(button, 8, 16), normalFill);
    button.setFocus();
    ASSERT_TRUE(button.hasFocus());
    EXPECT_EQ(paintedPixel(button, 8, 16), normalText);
    EXPECT_EQ(paintedPixel(button, 5, 16), normalFill);
    EXPECT_EQ(paintedPixel(button, 8, 15), normalFill);
}

TEST_F(ButtonTest, TwoToneFrameAndTheDefaultButtonsRing)
{
    const int red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    for (bool isDefault : {false, true}) {
        SCOPED_TRACE(isDefault ? "default" : "plain");
        button.isDefault = isDefault;
        // One frame colour: a single frame, the default button a second one inside.
        button.normalColours.setAt(1, red);
        button.normalColours.setAt(2, red);
        button.invalidate();
        EXPECT_EQ(paintedPixel(button, 0, 5), COLORREF(red));
        EXPECT_EQ(paintedPixel(button, 79, 5), COLORREF(red));
        EXPECT_EQ(paintedPixel(button, 1, 5), isDefault ? COLORREF(red) : normalFill);

        // Frame and shadow: the shadow along the bottom and right edges.
        button.normalColours.setAt(2, blue);
        button.invalidate();
        EXPECT_EQ(paintedPixel(button, 0, 5), isDefault ? COLORREF(blue) : COLORREF(red));
        EXPECT_EQ(paintedPixel(button, 1, 5), isDefault ? COLORREF(red) : normalFill);
        EXPECT_EQ(paintedPixel(button, 5, isDefault ? 1 : 0), COLORREF(red));
        EXPECT_EQ(paintedPixel(button, 79, 5), COLORREF(blue));
        EXPECT_EQ(paintedPixel(button, 5, 19), COLORREF(blue));
        EXPECT_EQ(paintedPixel(button, 10, 10), normalFill);
    }
}

TEST_F(ButtonTest, OneDefaultButtonPerParentClickedByRequest)
{
    NButton second, third;
    second.createCtrl(&parent, "Zwei", 20, 60);
    third.createCtrl(&parent, "Drei", 20, 100);
    NButton* buttons[] = {&button, &second, &third};

    second.setDefault();
    for (NButton* b : buttons)
        EXPECT_EQ(b->isDefault, b == &second ? 1 : 0);
    EXPECT_EQ(paintedPixel(second, 1, 5), normalFrame);
    parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(parent.commands[0].id, second.getId());
    EXPECT_EQ(parent.commands[0].code, BN_CLICKED);

    third.setDefault();
    for (NButton* b : buttons)
        EXPECT_EQ(b->isDefault, b == &third ? 1 : 0);
    EXPECT_EQ(paintedPixel(second, 1, 5), normalFill);

    // A hidden or disabled default button does not click.
    parent.commands.clear();
    third.disable();
    parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
    third.enable();
    third.hide();
    parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
    EXPECT_TRUE(parent.commands.empty());

    NButton later;
    later.setDefault();
    EXPECT_EQ(later.isDefault, 1);
}
