// The run-time layouter: overlays with their handles, moving and resizing
// driven by mouse messages, the layout written to controlpos.ini and used
// when the controls are made again.
#include <windows.h>

#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "MessageBoxCatcher.h"
#include "NPositioningWnd.h"
#include "NStatic.h"

using frametest::TestFrame;

namespace {

// A frame with two positioned texts and one the layouter leaves alone.
class LayoutFrame : public TestFrame {
public:
    explicit LayoutFrame(const char* name, NRect firstRect = NRect(20, 30, 100, 40))
        : TestFrame(name), firstRect(firstRect)
    {
    }
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

// Presses the left button at `from` in the overlay, moves by dx, dy and lets go.
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

// The frame's section as it is in the file on disk.
std::string savedSection(const char* section)
{
    NFileIni file;
    file.open(globalResources.getControlPosIni().getPath(), false, true);
    return frametest::text(file.getSectionText(section));
}

}  // namespace

TEST(NPositioningWnd, OverlaysCarryHandlesOfAtMostAThirdAndAreDrawnOverTheControl)
{
    LayoutFrame frame("LayoutHandles", NRect(20, 30, 100, 30));
    ASSERT_TRUE(frame.open());
    frame.startPositioning();
    ASSERT_NE(frame.first.overlay, nullptr);
    EXPECT_NE(frame.second.overlay, nullptr);
    EXPECT_EQ(frame.fixed.overlay, nullptr);
    NPositioningWnd& overlay = *frame.first.overlay;
    EXPECT_EQ(overlay.getWindowRect(false), frame.first.getWindowRect(false));
    // 30 high: handles a third of it; 100 wide: the full 12.
    EXPECT_EQ(overlay.getHandleRect(2), NRect(0, 0, 12, 10));
    EXPECT_EQ(overlay.getHandleRect(5), NRect(88, 10, 12, 10));
    EXPECT_EQ(overlay.getHandleRect(7), NRect(44, 20, 12, 10));
    overlay.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(93, 3));
    EXPECT_EQ(overlay.cursorId, 32643);
    overlay.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 15));
    EXPECT_EQ(overlay.cursorId, 32646);

    overlay.fillColour = RGB(0, 200, 0);
    overlay.invalidate();
    pumpFor(50);
    HDC dc = GetDC(frame.hwnd);
    const NRect at = frame.first.getWindowRect(false);
    EXPECT_EQ(GetPixel(dc, at.x + 5, at.y + 5), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(dc, at.x, at.y), NPositioningWnd::hoverColour);
    EXPECT_NE(GetPixel(dc, at.x + 30, at.y + 15), RGB(0, 200, 0));
    ReleaseDC(frame.hwnd, dc);
    frame.endPositioning();
    EXPECT_EQ(frame.first.overlay, nullptr);
}

TEST(NPositioningWnd, DragsMoveAndResizeOnTheGridUnlessLeftShiftIsHeld)
{
    // The control starts at 20, 30, 100 x 40.
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

TEST(NPositioningWnd, EndingWritesTheLayoutWhichTheNextStartUses)
{
    const char* const section = "LayoutSave";
    globalResources.getControlPosIni().setSectionText(section, "NStatic,1,2,3,4=5,6,7,8\r\n");
    std::string second;
    {
        LayoutFrame frame(section);
        ASSERT_TRUE(frame.open());
        second = "NStatic,-130,-60,100,30=" +
                 frametest::text(frame.second.getWindowRect(false).toText(","));
        frame.startPositioning();
        drag(*frame.first.overlay, NPoint(50, 20), 40, 20);
        frame.endPositioning();
        // The stale entry is gone; the text the layouter leaves alone is not written.
        EXPECT_EQ(savedSection(section), second + "\r\nNStatic,20,30,100,40=60,50,100,40\r\n");
        LayoutFrame again(section);
        ASSERT_TRUE(again.open());
        EXPECT_EQ(again.first.getWindowRect(false), NRect(60, 50, 100, 40));
    }
    // Programmed elsewhere: the old entry does not match, and the next save drops it.
    LayoutFrame moved(section, NRect(200, 100, 100, 40));
    ASSERT_TRUE(moved.open());
    EXPECT_EQ(moved.first.getWindowRect(false), NRect(200, 100, 100, 40));
    moved.startPositioning();
    moved.endPositioning();
    EXPECT_EQ(savedSection(section), second + "\r\nNStatic,200,100,100,40=200,100,100,40\r\n");
}

TEST(NPositioningWnd, AControlMovedToTheRightEdgeFollowsItAfterwards)
{
    LayoutFrame frame("LayoutAnchor");
    ASSERT_TRUE(frame.open());
    frame.startPositioning();
    drag(*frame.first.overlay, NPoint(50, 20), frame.getClientSize().cx - 140, 0);
    frame.endPositioning();
    const NRect before = frame.first.getWindowRect(false);
    frame.moveWindow(60, 60, 740, 480);
    EXPECT_EQ(frame.first.getWindowRect(false), NRect(before.x + 100, before.y, 100, 40));
}

TEST(NFrameWindow, ScrollLockSwitchesPositioningAndAChangedSizeIsAskedAbout)
{
    LayoutFrame frame("LayoutKeys");
    ASSERT_TRUE(frame.open());
    frame.sendMessage(WM_KEYDOWN, VK_SCROLL, 0x00460001);
    EXPECT_TRUE(frame.isPositioning());
    // A key a control leaves reaches its frame.
    frame.first.sendMessage(WM_KEYDOWN, VK_SCROLL, 0x00460001);
    EXPECT_FALSE(frame.isPositioning());

    frame.moveWindow(60, 60, 700, 500);
    for (int answer : {IDNO, IDYES}) {
        MessageBoxCatcher boxes;
        boxes.expect(answer);
        frame.startPositioning();
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes[0].title, "ver\xE4nderte Fenstergr\xF6\xDF" "e");
        EXPECT_EQ(boxes[0].text,
                  "Die aktuelle Gr\xF6\xDF" "e einspricht nicht der Gr\xF6\xDF" "e bei Erzeugung des "
                  "Fensters.\r\nDie Positionierung der Controls erfolgt bei Erzeugung des Fensters "
                  "in der aktuellen Gr\xF6\xDF" "e, somit kann es zur Zerst\xF6rung Ihrer Anordnung "
                  "kommen.\r\nWollen Sie trotzdem mit der Anordnung beginnen?");
        EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONQUESTION));
        EXPECT_EQ(boxes[0].buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(frame.first.overlay != nullptr, answer == IDYES);
    }
    frame.endPositioning();
}
