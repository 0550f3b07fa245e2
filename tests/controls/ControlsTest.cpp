// The control classes with real windows: creation at edge-relative
// positions, the stored layout, anchors, subclassed system controls and
// the private messages that reach them.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "CtlTestSupport.h"
#include "MessageBoxCatcher.h"
#include "NButtonCtrl.h"
#include "NControlPositioned.h"
#include "NStatic.h"

namespace {

const int keep = NControlPositioned::defaultSize;

class ControlsTest : public testing::Test {
protected:
    void SetUp() override
    {
        useTestResources();
        ASSERT_TRUE(parent.create());
    }
    void TearDown() override { globalError.log = ""; }
    ControlParent parent;
};

class ClickCounter : public NButtonCtrl {
public:
    void onClicked() override
    {
        ++clicked;
        if (throws)
            throw std::runtime_error("kaputt");
    }
    int clicked = 0;
    bool throws = false;
};

}  // namespace

TEST_F(ControlsTest, NegativeValuesCountFromTheParentsEdges)
{
    const struct {
        NRect programmed;
        NRect placed;
    } cases[] = {
        {NRect(-100, -40, keep, keep), NRect(500, 360, 80, 20)},
        {NRect(20, 10, -10, 30), NRect(20, 10, 570, 30)},
        {NRect(-200, -50, 100, -10), NRect(400, 350, 100, 40)},
        {NRect(30, 40, 120, 25), NRect(30, 40, 120, 25)},
    };
    for (const auto& c : cases) {
        NControlPositioned control;
        const NRect& p = c.programmed;
        EXPECT_EQ(control.createCtrl(&parent, "Feld", p.x, p.y, p.width, p.height),
                  control.getId());
        EXPECT_EQ(placeOf(control), c.placed) << str(p.toText(","));
        EXPECT_EQ(control.programmedRect, NRect(p.x, p.y, p.width == keep ? 80 : p.width,
                                                p.height == keep ? 20 : p.height));
        EXPECT_EQ(GetDlgCtrlID(control.hwnd), control.getId());
        EXPECT_EQ(str(control.getWindowText()), "Feld");
    }
    NControlPositioned first, second;
    EXPECT_EQ(second.getId(), first.getId() + 1);
}

TEST_F(ControlsTest, CreateIsRefusedWithABox)
{
    NControlPositioned control;
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(control.create(&parent));
    ASSERT_EQ(boxes.count(), 1u);
    expectErrorBox(boxes[0], "NControl::create(): Controls k\xF6nnen nicht mittels create(...) "
                             "erzeugt werden, verwenden Sie statt dessen createCtrl(...)");
    EXPECT_EQ(control.hwnd, nullptr);
}

TEST_F(ControlsTest, StoredLayoutReplacesTheProgrammedRectangleInsideTheClientArea)
{
    NFileIni& layout = globalResources.getControlPosIni();
    const struct {
        const char* key;
        const char* value;
        NRect placed;
    } cases[] = {
        {"NControlPositioned,-100,-40,80,20", "480,350,100,24", NRect(480, 350, 100, 24)},
        {"NControlPositioned,500,360,80,20", "10,20,30,40", NRect(10, 20, 30, 40)},
        {"NControlPositioned,-100,-40,80,20", "550,10,900,30", NRect(0, 10, 600, 30)},
        {"NControlPositioned,-100,-40,80,20", "580,395,50,20", NRect(550, 380, 50, 20)},
        {"NControlPositioned,-100,-40,80,20", "-5,-7,50,20", NRect(0, 0, 50, 20)},
        {"NControlPositioned,-100,-40,80,20", "30,40", NRect(30, 40, 0, 0)},
        {"NControlPositioned,-100,-41,80,20", "30,40,50,60", NRect(500, 360, 80, 20)},
    };
    for (const auto& c : cases) {
        layout.setValue("CtlTestParent", c.key, c.value);
        NControlPositioned control;
        control.createCtrl(&parent, "", -100, -40);
        EXPECT_EQ(placeOf(control), c.placed) << c.key << "=" << c.value;
        layout.setValue("CtlTestParent", c.key, "");
    }
}

TEST_F(ControlsTest, AnchorFromCreationFollowsTheParentsResize)
{
    NControlPositioned corner, stretched, middle, fixed;
    corner.createCtrl(&parent, "", -100, -40);
    stretched.createCtrl(&parent, "", 10, 10, -10, keep);
    middle.createCtrl(&parent, "", 250, 200);
    fixed.createCtrl(&parent, "", -100, 10, keep, keep, false);

    parent.moveWindow(30, 30, 700, 450);
    pump();
    EXPECT_EQ(placeOf(corner), NRect(600, 410, 80, 20));
    EXPECT_EQ(placeOf(stretched), NRect(10, 10, 680, 20));
    EXPECT_EQ(placeOf(middle), NRect(250, 200, 80, 20));
    EXPECT_EQ(placeOf(fixed), NRect(500, 10, 80, 20));
}

TEST_F(ControlsTest, SystemControlsSeeTheirMessagesAfterTheSystemProcedure)
{
    ClickCounter button;
    NStatic text;
    button.createCtrl(&parent, "Knopf", 10, 10);
    text.createCtrl(&parent, "Text", 10, 40);
    EXPECT_EQ(str(button.className), "BUTTON");
    EXPECT_EQ(text.style & WS_TABSTOP, 0u);

    // A real click: the parent hears it, the button through the reflection.
    button.sendMessage(BM_CLICK);
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(parent.commands[0].id, button.getId());
    EXPECT_EQ(parent.commands[0].control, button.hwnd);
    EXPECT_EQ(button.clicked, 1);

    // A static text is transparent to the mouse for the system; the library's
    // hit test is the default one.
    const NPoint inside = text.clientToScreen(NPoint(5, 5));
    EXPECT_EQ(text.sendMessage(WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
    EXPECT_EQ(str(text.getWindowText()), "Text");

    // What a handler throws stays inside the control procedure.
    button.throws = true;
    button.sendMessage(BM_CLICK);
    EXPECT_EQ(button.clicked, 2);
    EXPECT_NE(str(globalError.log).find("NControlPredefined::controlProc(..) bei Nachricht 0x4404: "
                                        "kaputt"),
              std::string::npos);
}

TEST_F(ControlsTest, ClickRequestReachesOnlyAVisibleEnabledAddressedButton)
{
    const struct {
        DWORD buttonStyle;
        bool byId;
        bool hidden;
        bool disabled;
        size_t commands;
    } cases[] = {
        {BS_PUSHBUTTON, true, false, false, 1},   {BS_PUSHBUTTON, false, false, false, 0},
        {BS_DEFPUSHBUTTON, false, false, false, 1}, {BS_DEFPUSHBUTTON, true, true, false, 0},
        {BS_PUSHBUTTON, true, false, true, 0},    {BS_DEFPUSHBUTTON, false, false, true, 0},
    };
    for (const auto& c : cases) {
        ClickCounter button;
        button.style |= c.buttonStyle;
        button.createCtrl(&parent, "Knopf", 10, 10);
        if (c.hidden)
            button.hide();
        button.enable(!c.disabled);
        parent.commands.clear();
        parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, c.byId ? button.getId() : 0);
        ASSERT_EQ(parent.commands.size(), c.commands)
            << c.buttonStyle << c.byId << c.hidden << c.disabled;
        if (c.commands) {
            EXPECT_EQ(parent.commands[0].id, button.getId());
            EXPECT_EQ(parent.commands[0].code, BN_CLICKED);
        }
    }
}

TEST_F(ControlsTest, StaticTakesFontAndColourFromItsStyle)
{
    NStatic text, plain;
    plain.styleName = "NButton-form";
    text.createCtrl(&parent, "Text", 10, 10);
    plain.createCtrl(&parent, "Text", 10, 40);

    const LOGFONTA& font = text.device.getFontRecord();
    EXPECT_STREQ(font.lfFaceName, "Courier New");
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfHeight, -16);
    EXPECT_STREQ(plain.device.getFontRecord().lfFaceName, "Arial");
    EXPECT_EQ(reinterpret_cast<HFONT>(text.sendMessage(WM_GETFONT)), text.device.getFont());

    // The colour request: the style's text colour on a transparent background.
    HDC dc = CreateCompatibleDC(nullptr);
    const LRESULT brush = text.sendMessage(NEK_MSG_CTLCOLOR, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(text.hwnd));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(dc), staticTextColour);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DeleteDC(dc);
}
