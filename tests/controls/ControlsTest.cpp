

#include <stdexcept>

#include "FrameTestSupport.h"
#include "NButton.h"
#include "NImageControl.h"
#include "NPositioningWnd.h"
#include "NStatic.h"
#include "ScreenPixels.h"

namespace {

// The program's style file, there before the resource manager starts.
struct StyleEnvironment : testing::Environment {
    void SetUp() override
    {
        static TestFolder styles;  // searched for the whole run
        writeBytes(styles.file("controls.sty"),
                   "[style_controls]\r\nNStatic-normal=12, #102030, Courier New, 700\r\n"
                   "NButton-form=0,0\r\nNButton-normal=#f0f0ff,#a0a0ff,#a0a0ff,#5050ff\r\n"
                   "NButton-selected=#d0d0ff,#a0a0ff,#a0a0ff,#5050ff\r\n"
                   "NButton-mouseover=#c0ffc0,#008000,#008000,#000000\r\n"
                   "NButton-disabled=#f0f0f0,#a0a0a0,#f0f0f0,#a0a0a0\r\n");
        globalResources.addFolder(styles.path().c_str(), true);
        useProgramResources();
    }
};
testing::Environment* const styles = testing::AddGlobalTestEnvironment(new StyleEnvironment);

const int keep = NControlPositioned::defaultSize;
const COLORREF normalFill = RGB(0xF0, 0xF0, 0xFF), normalFrame = RGB(0xA0, 0xA0, 0xFF);

class ControlsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(parent.create()); }
    TestFrame parent{"CtlTestParent", NRect(30, 30, 600, 400)};
};

// A frame with two positioned texts and one the layouter leaves alone.
struct LayoutFrame : TestFrame {
    explicit LayoutFrame(const char* name, NRect firstRect = NRect(20, 30, 100, 40))
        : TestFrame(name), firstRect(firstRect) {}
    ~LayoutFrame() override
    {
        globalResources.getControlPosIni().setSectionText(name, "");
        globalResources.getControlPosIni().save();
    }
    void onFirstShow() override
    {
        first.createCtrlRect(this, "Erster", firstRect);
        second.createCtrl(this, "Zweiter", -130, -60, 100, 30);
        fixed.positionable = 0;
        fixed.createCtrl(this, "Fest", 300, 30);
    }
    NRect firstRect;
    NStatic first, second, fixed;
};

void drag(NPositioningWnd& overlay, NPoint from, int dx, int dy, bool leftShift = false)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LSHIFT] = leftShift ? 0x80 : 0;
    SetKeyboardState(keys);
    overlay.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    overlay.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + dx, from.y + dy));
    overlay.sendMessage(WM_LBUTTONUP, 0, MAKELPARAM(from.x + dx, from.y + dy));
    keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
}

}  // namespace

TEST_F(ControlsTest, NegativeValuesCountFromTheParentsEdgesSetTheAnchorAndAStoredLayoutReplacesThemInsideTheClientArea)
{
    const struct {
        const char *key, *value;
        NRect placed;
    } stored[] = {{"500,360,80,20", "10,20,30,40", NRect(10, 20, 30, 40)},
                  {"-100,-40,80,20", "550,10,900,30", NRect(0, 10, 600, 30)},
                  {"-100,-40,80,20", "580,395,50,20", NRect(550, 380, 50, 20)},
                  {"-100,-40,80,20", "-5,-7", NRect(0, 0, 0, 0)},
                  {"-100,-41,80,20", "30,40,50,60", NRect(500, 360, 80, 20)}};
    NFileIni& layout = globalResources.getControlPosIni();
    for (const auto& c : stored) {
        const NString key = NString("NControlPositioned,") + c.key;
        layout.setValue("CtlTestParent", key, c.value);
        NControlPositioned control;
        control.createCtrl(&parent, "", -100, -40);
        EXPECT_EQ(control.getWindowRect(false), c.placed) << c.key << "=" << c.value;
        layout.setValue("CtlTestParent", key, "");
    }

    const NRect cases[][2] = {{NRect(-100, -40, keep, keep), NRect(500, 360, 80, 20)},
                              {NRect(20, 10, -10, 30), NRect(20, 10, 570, 30)},
                              {NRect(-200, -50, 100, -10), NRect(400, 350, 100, 40)}};
    for (const auto& c : cases) {
        NControlPositioned control;
        control.createCtrl(&parent, "", c[0].x, c[0].y, c[0].width, c[0].height);
        EXPECT_EQ(control.getWindowRect(false), c[1]);
    }
    NControlPositioned corner, fixed;
    corner.createCtrl(&parent, "", -100, -40);
    fixed.createCtrl(&parent, "", -100, 10, keep, keep, false);
    parent.moveWindow(30, 30, 700, 450);
    EXPECT_EQ(corner.getWindowRect(false), NRect(600, 410, 80, 20));
    EXPECT_EQ(fixed.getWindowRect(false), NRect(500, 10, 80, 20));
    MessageBoxCatcher boxes(1);
    EXPECT_FALSE(corner.create(&parent));
    expectErrorBox(boxes[0], "NControl::create(): Controls k\xF6nnen nicht mittels create(...) "
                             "erzeugt werden, verwenden Sie statt dessen createCtrl(...)");
}

TEST_F(ControlsTest, SystemControlsSeeTheirMessagesAfterTheSystemProcedure)
{
    struct ThrowingButton : NButtonCtrl {
        void onClicked() override { if (++clicked > 1) throw std::runtime_error("kaputt"); }
        int clicked = 0;
    } button;
    NButtonCtrl defaultPush;
    NStatic text;
    defaultPush.style |= BS_DEFPUSHBUTTON;
    button.createCtrl(&parent, "Knopf", 10, 10);
    defaultPush.createCtrl(&parent, "Vorgabe", 100, 10);
    text.createCtrl(&parent, "Text", 10, 40);
    // The parent hears a click, the button through the reflection; what it throws stays inside.
    for (int click = 0; click < 2; ++click) button.sendMessage(BM_CLICK);
    EXPECT_EQ(parent.commandControl, button.hwnd);
    EXPECT_EQ(button.clicked, 2);
    EXPECT_NE(str(globalError.log).find("controlProc(..) bei Nachricht 0x4404: kaputt"), std::string::npos);
    const LOGFONTA& font = text.device.getFontRecord();
    EXPECT_EQ(font.lfFaceName + (" " + std::to_string(font.lfWeight)), "Courier New 700");
    // The click request: by id, or (0) to a default push button; never to a hidden or disabled one.
    parent.commands.clear();
    for (int pass = 0; pass < 2; ++pass) {
        parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
        parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, button.getId());
        defaultPush.hide();
        button.disable();
    }
    EXPECT_EQ(parent.commands, (std::vector<int>{defaultPush.getId(), button.getId()}));
}

TEST_F(ControlsTest, ButtonStatesShowTheFacesOfTheirStylesAndTheDefaultButtonIsClicked)
{
    NButton button, second, third;
    button.createCtrl(&parent, "OK", 20, 20);
    // The face inside the frame, left of the text, and the top-left corner of the frame.
    auto face = [&] { return paintedPixel(button.hwnd, 4, 4); };
    auto look = [&] { return std::make_pair(face(), paintedPixel(button.hwnd, 0, 0)); };
    EXPECT_EQ(look(), std::make_pair(normalFill, normalFrame));
    button.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(button.cursorId, 32649);
    EXPECT_EQ(look(), std::make_pair(RGB(0xC0, 0xFF, 0xC0), RGB(0, 0x80, 0)));
    // Pressed wins over the hover, disabled over both.
    button.sendMessage(BM_SETSTATE, TRUE);
    EXPECT_EQ(face(), RGB(0xD0, 0xD0, 0xFF));
    button.sendMessage(BM_SETSTATE, FALSE);
    button.disable();
    EXPECT_EQ(look(), std::make_pair(RGB(0xF0, 0xF0, 0xF0), RGB(0xA0, 0xA0, 0xA0)));
    button.enable();
    button.sendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(face(), normalFill);
    // A move over the parent ends the hover too.
    button.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    parent.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(face(), normalFill);
    // The focus line: four pixels above the bottom, from six pixels inside.
    button.setFocus();
    EXPECT_EQ(paintedPixel(button.hwnd, 6, 16), RGB(0x50, 0x50, 0xFF));
    EXPECT_EQ(paintedPixel(button.hwnd, 5, 16), normalFill);

    second.createCtrl(&parent, "Zwei", 20, 60);
    third.createCtrl(&parent, "Drei", 20, 100);
    second.setDefault();
    // The default button's second frame inside the first.
    EXPECT_EQ(paintedPixel(second.hwnd, 1, 5), normalFrame);
    parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
    EXPECT_EQ(parent.commands, std::vector<int>{second.getId()});
    third.setDefault();
    EXPECT_EQ(button.isDefault + second.isDefault * 2 + third.isDefault * 4, 4);
    EXPECT_EQ(paintedPixel(second.hwnd, 1, 5), normalFill);
    third.disable();  // a disabled default button does not click
    parent.relayToChildren(NEK_MSG_CLICK_BUTTON, 0, 0);
    EXPECT_EQ(parent.commands.size(), 1u);
}

TEST_F(ControlsTest, ButtonLettersAndATransparentTextShowInTheirStylesColoursAndImagesAsAligned)
{
    NButton output;
    NStatic text;
    output.createCtrl(&parent, "Ausgabe", -100, -100);
    text.createCtrl(&parent, "Bitmap-Konverter", 10, 20, 170, 40);
    paintedPixel(parent.hwnd, 0, 0);
    // A transparent text leaves no trace of the longer one before it.
    text.setWindowText("Text");
    paintedPixel(parent.hwnd, 0, 0);
    auto count = [](const Pixels& shot, COLORREF colour, int fromX, int n = 0) {
        for (size_t i = 0; i < shot.bits.size(); ++i)
            n += int(i) % shot.width >= fromX && shot.at(int(i) % shot.width, int(i) / shot.width) == colour;
        return n;
    };
    EXPECT_GT(count(capture(output.hwnd, 1, 1, 78, 18), RGB(0x50, 0x50, 0xFF), 0), 15);
    const Pixels shown = capture(text.hwnd, 0, 0, 170, 40);
    EXPECT_GT(count(shown, RGB(0x10, 0x20, 0x30), 0), 30);
    EXPECT_EQ(count(shown, 0xA08D8C, 60), 170 * 40 - 60 * 40);

    // The image control aligns its picture: 20 x 10, blue, its magenta top-left pixel the transparent colour.
    TestFolder folder;
    std::vector<uint32_t> picture(200, 0x0000FF);
    picture[0] = 0xFF00FF;
    writeBmp(folder.file("bild.bmp"), 20, 10, picture);
    // Centred, or at the bottom right, in 80 x 40: where the picture starts.
    for (const NPoint& at : {NPoint(30, 15), NPoint(60, 30)}) {
        NImageControl image;
        image.alignment = at.x == 30 ? 0x202 : 0x404;
        image.backColour = RGB(255, 255, 255);
        image.createCtrl(&parent, "", 200, 100, 80, 40);
        ASSERT_TRUE(image.setImage(folder.file("bild.bmp").c_str()));
        EXPECT_EQ(paintedPixel(image.hwnd, at.x, at.y), RGB(255, 255, 255)) << at.x;
        EXPECT_EQ(paintedPixel(image.hwnd, at.x + 19, at.y + 9), RGB(0, 0, 255)) << at.x;
        image.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);  // not clickable: nothing reported
    }
    EXPECT_TRUE(parent.commands.empty());
}

TEST(NPositioningWnd, OverlaysCarryHandlesOfAtMostAThirdAndAreDrawnOverTheControl)
{
    LayoutFrame frame("LayoutHandles", NRect(20, 30, 100, 30));
    ASSERT_TRUE(frame.open());
    frame.startPositioning();
    ASSERT_TRUE(frame.first.overlay && frame.second.overlay && !frame.fixed.overlay);
    NPositioningWnd& overlay = *frame.first.overlay;
    // 30 high: handles a third of it; 100 wide: the full 12.
    EXPECT_EQ(overlay.getHandleRect(5), NRect(88, 10, 12, 10));
    overlay.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(93, 3));
    EXPECT_EQ(overlay.cursorId, 32643);
    // The handles in the fill colour, the frame in the hover colour, the middle left alone.
    overlay.fillColour = RGB(0, 200, 0);
    overlay.invalidate();
    auto spots = [&frame] {
        const Pixels p = capture(frame.hwnd, 0, 0, 60, 50);
        return std::vector<COLORREF>{p.at(25, 35), p.at(20, 30), p.at(50, 45) == RGB(0, 200, 0)};
    };
    const std::vector<COLORREF> expected = {RGB(0, 200, 0), NPositioningWnd::hoverColour, 0};
    EXPECT_TRUE(pumpUntil([&] { return spots() == expected; })) << spots()[0] << " " << spots()[1];
}

TEST(NPositioningWnd, DragsMoveAndResizeOnTheGridUnlessLeftShiftIsHeld)
{
    const struct {
        NPoint from;
        int dx, dy;
        bool shift;
        NRect expected;
    } cases[] = {
        {NPoint(50, 20), 7, 0, false, NRect(20, 30, 100, 40)},
        {NPoint(50, 20), 7, 5, true, NRect(27, 35, 100, 40)},
        {NPoint(50, 20), 26, 13, false, NRect(40, 40, 100, 40)},
        {NPoint(3, 3), 20, 0, false, NRect(40, 30, 80, 40)},
        {NPoint(95, 35), -33, 11, false, NRect(20, 30, 60, 50)},
        {NPoint(50, 36), 0, -95, false, NRect(20, 30, 100, 10)},
    };
    for (const auto& c : cases) {
        LayoutFrame frame("LayoutDrag");
        ASSERT_TRUE(frame.open());
        frame.startPositioning();
        drag(*frame.first.overlay, c.from, c.dx, c.dy, c.shift);
        EXPECT_EQ(frame.first.getWindowRect(false), c.expected) << c.from.x << "," << c.from.y;
        EXPECT_EQ(frame.first.overlay->getWindowRect(false), c.expected);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST(NPositioningWnd, EndingWritesTheLayoutWhichTheNextStartUsesAndTheAnchorFollows)
{
    const char* const section = "LayoutSave";
    NFileIni& layout = globalResources.getControlPosIni();
    auto saved = [&] {
        NFileIni file;
        file.open(layout.getPath(), false, true);
        return str(file.getSectionText(section));
    };
    layout.setSectionText(section, "NStatic,1,2,3,4=5,6,7,8\r\n");
    std::string second;
    {
        LayoutFrame frame(section);
        ASSERT_TRUE(frame.open());
        second = "NStatic,-130,-60,100,30=" + str(frame.second.getWindowRect(false).toText(","));
        frame.startPositioning();
        drag(*frame.first.overlay, NPoint(50, 20), 40, 20);
        frame.endPositioning();
        // The stale entry is gone; the text the layouter leaves alone is not written.
        EXPECT_EQ(saved(), second + "\r\nNStatic,20,30,100,40=60,50,100,40\r\n");
        LayoutFrame again(section);
        ASSERT_TRUE(again.open());
        EXPECT_EQ(again.first.getWindowRect(false), NRect(60, 50, 100, 40));
    }
    // Programmed elsewhere: the old entry does not match, and the next save
    // drops it. Moved to the right edge, it follows that edge afterwards.
    LayoutFrame moved(section, NRect(200, 100, 100, 40));
    ASSERT_TRUE(moved.open());
    EXPECT_EQ(moved.first.getWindowRect(false), NRect(200, 100, 100, 40));
    moved.startPositioning();
    drag(*moved.first.overlay, NPoint(50, 20), moved.getClientSize().cx - 300, 0);
    moved.endPositioning();
    const NRect before = moved.first.getWindowRect(false);
    EXPECT_EQ(saved(), second + "\r\nNStatic,200,100,100,40=" + str(before.toText(",")) + "\r\n");
    moved.moveWindow(60, 60, 740, 480);
    EXPECT_EQ(moved.first.getWindowRect(false), NRect(before.x + 100, before.y, 100, 40));
}

TEST(NFrameWindow, AChangedSizeIsAskedAboutBeforePositioning)
{
    LayoutFrame frame("LayoutKeys");
    ASSERT_TRUE(frame.open());
    frame.moveWindow(60, 60, 700, 500);
    MessageBoxCatcher boxes;
    boxes.expect(IDNO);
    frame.startPositioning();
    EXPECT_FALSE(frame.isPositioning());
    expectBox(boxes[0], "ver\xE4nderte Fenstergr\xF6\xDF" "e", "Die aktuelle Gr\xF6\xDF" "e einspricht nicht "
              "der Gr\xF6\xDF" "e bei Erzeugung des Fensters.\r\nDie Positionierung der Controls "
              "erfolgt bei Erzeugung des Fensters in der aktuellen Gr\xF6\xDF" "e, somit kann es "
              "zur Zerst\xF6rung Ihrer Anordnung kommen.\r\nWollen Sie trotzdem mit der Anordnung "
              "beginnen?", MB_ICONQUESTION);
    EXPECT_EQ(boxes[0].buttons, (std::vector<int>{IDYES, IDNO}));
}
