// The control classes with real windows: creation at edge-relative
// positions, the stored layout, the anchor, subclassed system controls and
// the private messages that reach them.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "CtlTestSupport.h"
#include "MessageBoxCatcher.h"
#include "NButtonCtrl.h"
#include "NImageControl.h"
#include "NResources.h"
#include "NStatic.h"
#include "TestFiles.h"

namespace {

const int keep = NControlPositioned::defaultSize;

class ControlsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(parent.create()); }
    void TearDown() override { globalError.log = ""; }
    ControlParent parent;
};

// Its click handler throws from the second click on.
class ThrowingButton : public NButtonCtrl {
public:
    void onClicked() override
    {
        if (++clicked > 1)
            throw std::runtime_error("kaputt");
    }
    int clicked = 0;
};

}  // namespace

TEST_F(ControlsTest, NegativeValuesCountFromTheParentsEdgesAndSetTheAnchor)
{
    const NRect cases[][2] = {{NRect(-100, -40, keep, keep), NRect(500, 360, 80, 20)},
                              {NRect(20, 10, -10, 30), NRect(20, 10, 570, 30)},
                              {NRect(-200, -50, 100, -10), NRect(400, 350, 100, 40)}};
    for (const auto& c : cases) {
        NControlPositioned control;
        EXPECT_EQ(control.createCtrl(&parent, "Feld", c[0].x, c[0].y, c[0].width, c[0].height),
                  control.getId());
        EXPECT_EQ(placeOf(control), c[1]);
        EXPECT_EQ(GetDlgCtrlID(control.hwnd), control.getId());
    }
    NControlPositioned corner, fixed;
    EXPECT_EQ(fixed.getId(), corner.getId() + 1);
    corner.createCtrl(&parent, "", -100, -40);
    fixed.createCtrl(&parent, "", -100, 10, keep, keep, false);
    parent.moveWindow(30, 30, 700, 450);
    pump();
    EXPECT_EQ(placeOf(corner), NRect(600, 410, 80, 20));
    EXPECT_EQ(placeOf(fixed), NRect(500, 10, 80, 20));

    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    NControlPositioned refused;
    EXPECT_FALSE(refused.create(&parent));
    ASSERT_EQ(boxes.count(), 1u);
    expectErrorBox(boxes[0], "NControl::create(): Controls k\xF6nnen nicht mittels create(...) "
                             "erzeugt werden, verwenden Sie statt dessen createCtrl(...)");
}

TEST_F(ControlsTest, StoredLayoutReplacesTheProgrammedRectangleInsideTheClientArea)
{
    const struct {
        const char *key, *value;
        NRect placed;
    } cases[] = {{"-100,-40,80,20", "480,350,100,24", NRect(480, 350, 100, 24)},
                 {"500,360,80,20", "10,20,30,40", NRect(10, 20, 30, 40)},
                 {"-100,-40,80,20", "550,10,900,30", NRect(0, 10, 600, 30)},
                 {"-100,-40,80,20", "580,395,50,20", NRect(550, 380, 50, 20)},
                 {"-100,-40,80,20", "-5,-7", NRect(0, 0, 0, 0)},
                 {"-100,-41,80,20", "30,40,50,60", NRect(500, 360, 80, 20)}};
    NFileIni& layout = globalResources.getControlPosIni();
    for (const auto& c : cases) {
        const NString key = NString("NControlPositioned,") + c.key;
        layout.setValue("CtlTestParent", key, c.value);
        NControlPositioned control;
        control.createCtrl(&parent, "", -100, -40);
        EXPECT_EQ(placeOf(control), c.placed) << c.key << "=" << c.value;
        layout.setValue("CtlTestParent", key, "");
    }
}

TEST_F(ControlsTest, SystemControlsSeeTheirMessagesAfterTheSystemProcedure)
{
    ThrowingButton button;
    NStatic text;
    button.createCtrl(&parent, "Knopf", 10, 10);
    text.createCtrl(&parent, "Text", 10, 40);
    // A real click: the parent hears it, the button through the reflection.
    button.sendMessage(BM_CLICK);
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(parent.commands[0].control, button.hwnd);
    EXPECT_EQ(button.clicked, 1);
    // What a handler throws stays inside the control procedure.
    button.sendMessage(BM_CLICK);
    EXPECT_EQ(button.clicked, 2);
    EXPECT_NE(str(globalError.log).find("controlProc(..) bei Nachricht 0x4404: kaputt"),
              std::string::npos);
    // The static text's font comes from its style (the colour: see the screenshot).
    const LOGFONTA& font = text.device.getFontRecord();
    EXPECT_EQ(std::string(font.lfFaceName) + " " + std::to_string(font.lfWeight) + " " +
                  std::to_string(font.lfHeight),
              "Courier New 700 -16");
    EXPECT_EQ(reinterpret_cast<HFONT>(text.sendMessage(WM_GETFONT)), text.device.getFont());
    // To the system a static text lets the mouse through; here the default
    // hit test decides.
    const NPoint inside = text.clientToScreen(NPoint(5, 5));
    EXPECT_EQ(text.sendMessage(WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);

    // The click request: by id, or to a default push button; never to a
    // hidden or disabled one.
    const struct {
        DWORD buttonStyle;
        LPARAM byId;
        bool hidden, disabled;
        size_t clicks;
    } cases[] = {{BS_PUSHBUTTON, 1, false, false, 1}, {BS_PUSHBUTTON, 0, false, false, 0},
                 {BS_DEFPUSHBUTTON, 0, false, false, 1}, {BS_DEFPUSHBUTTON, 0, true, false, 0},
                 {BS_PUSHBUTTON, 1, false, true, 0}};
    for (const auto& c : cases) {
        NButtonCtrl requested;
        requested.style |= c.buttonStyle;
        requested.createCtrl(&parent, "Knopf", 100, 10);
        requested.show(c.hidden ? SW_HIDE : SW_SHOW);
        requested.enable(!c.disabled);
        parent.commands.clear();
        parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, c.byId * requested.getId());
        EXPECT_EQ(parent.commands.size(), c.clicks) << &c - cases;
    }
}

TEST_F(ControlsTest, ImageControlAlignsItsPictureAndReportsClicks)
{
    // 20 x 10, blue with a magenta top-left pixel: the transparent colour.
    TestFolder folder;
    std::vector<uint32_t> picture(200, 0x0000FF);
    picture[0] = 0xFF00FF;
    writeBmp(folder.file("bild.bmp"), 20, 10, picture);
    for (int alignment : {0x202, 0x404}) {
        const int x = alignment == 0x202 ? 30 : 60, y = alignment == 0x202 ? 15 : 30;
        NImageControl image;
        image.alignment = alignment;
        image.backColour = RGB(255, 255, 255);
        image.createCtrl(&parent, "", 10, 10, 80, 40);
        ASSERT_TRUE(image.setImage(folder.file("bild.bmp").c_str()));
        EXPECT_EQ(paintedPixel(image, x, y), RGB(255, 255, 255)) << alignment;
        EXPECT_EQ(paintedPixel(image, x + 19, y + 9), RGB(0, 0, 255)) << alignment;
        EXPECT_EQ(paintedPixel(image, x - 1, y + 9), RGB(255, 255, 255)) << alignment;
    }

    NImageControl logo;
    logo.createCtrl(&parent, "", 10, 60, 80, 40);
    for (int clickable : {0, 1}) {
        logo.clickable = clickable;
        logo.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(7, 8));
        logo.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 8));
        EXPECT_EQ(logo.cursorId, clickable ? 32649 : 32512);
        ASSERT_EQ(parent.commands.size(), size_t(clickable));
    }
    EXPECT_EQ(parent.commands[0].control, logo.hwnd);
    EXPECT_EQ(logo.clickPoint, NPoint(7, 8));
}
