// The styled button: its four state styles read back as pixels, the hover
// tracking, the focus line and the default button.
#include <windows.h>

#include <gtest/gtest.h>

#include "CtlTestSupport.h"
#include "NButton.h"

namespace {

const COLORREF normalFill = RGB(0xF0, 0xF0, 0xFF);
const COLORREF normalFrame = RGB(0xA0, 0xA0, 0xFF);

class ButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.create());
        button.createCtrl(&parent, "OK", 20, 20);
    }
    void TearDown() override { globalError.log = ""; }
    // The face inside the frame, left of the text.
    COLORREF face() { return paintedPixel(button, 4, 4); }

    ControlParent parent;
    NButton button;
};

}  // namespace

TEST_F(ButtonTest, EachStateShowsTheFaceOfItsStyle)
{
    EXPECT_EQ(face(), normalFill);
    EXPECT_EQ(paintedPixel(button, 0, 0), normalFrame);

    button.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(button.cursorId, 32649);
    EXPECT_EQ(face(), hoverFill);
    EXPECT_EQ(paintedPixel(button, 0, 0), RGB(0, 0x80, 0));
    // Pressed wins over the hover, disabled over both.
    button.sendMessage(BM_SETSTATE, TRUE);
    EXPECT_EQ(face(), RGB(0xD0, 0xD0, 0xFF));
    button.sendMessage(BM_SETSTATE, FALSE);
    button.disable();
    EXPECT_EQ(face(), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(paintedPixel(button, 0, 0), RGB(0xA0, 0xA0, 0xA0));
    button.enable();
    EXPECT_EQ(face(), hoverFill);
    button.sendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(face(), normalFill);
    // A move over the parent ends the hover too.
    button.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    parent.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(face(), normalFill);

    // The focus line: four pixels above the bottom, from six pixels inside.
    button.setFocus();
    EXPECT_EQ(paintedPixel(button, 6, 16), RGB(0x50, 0x50, 0xFF));
    EXPECT_EQ(paintedPixel(button, 5, 16), normalFill);
    EXPECT_EQ(paintedPixel(button, 6, 15), normalFill);

    // A shadow colour of its own shows along the bottom and right edges.
    button.normalColours.setAt(2, RGB(0, 0, 255));
    button.invalidate();
    EXPECT_EQ(paintedPixel(button, 79, 5), RGB(0, 0, 255));
    EXPECT_EQ(paintedPixel(button, 0, 5), normalFrame);
}

TEST_F(ButtonTest, OneDefaultButtonPerParentClickedByRequest)
{
    NButton second, third, later;
    second.createCtrl(&parent, "Zwei", 20, 60);
    third.createCtrl(&parent, "Drei", 20, 100);
    second.setDefault();
    // The default button's second frame inside the first.
    EXPECT_EQ(paintedPixel(second, 1, 5), normalFrame);
    parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(parent.commands[0].id, second.getId());
    EXPECT_EQ(parent.commands[0].code, BN_CLICKED);

    third.setDefault();
    EXPECT_EQ(button.isDefault + second.isDefault * 2 + third.isDefault * 4, 4);
    EXPECT_EQ(paintedPixel(second, 1, 5), normalFill);
    // A disabled or hidden default button does not click.
    third.disable();
    parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
    third.enable();
    third.hide();
    parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
    EXPECT_EQ(parent.commands.size(), 1u);

    later.setDefault();
    EXPECT_EQ(later.isDefault, 1);
}
