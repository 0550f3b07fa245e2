// The run-time layouter: overlays with their handles, moving and resizing
// driven by mouse messages, the layout written to controlpos.ini and read
// back when the controls are made again.
#include <windows.h>

#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "MessageBoxCatcher.h"
#include "NPositioningWnd.h"
#include "NStatic.h"

using namespace frametest;

namespace {

// A frame with two positioned texts and one the layouter leaves alone.
class LayoutFrame : public TestFrame {
public:
    explicit LayoutFrame(const char* name, NRect firstRect = NRect(20, 30, 100, 40))
        : TestFrame(name), firstRect(firstRect)
    {
    }
    void onFirstShow() override
    {
        first.createCtrlRect(this, "Erster", firstRect);
        second.createCtrl(this, "Zweiter", -130, -60, 100, 30);
        fixed.positionable = 0;
        fixed.createCtrl(this, "Fest", 300, 30);
    }
    NRect firstRect;
    NStatic first;
    NStatic second;
    NStatic fixed;
};

// Presses the left button at `from` in the overlay, moves it by dx, dy and
// lets it go; left Shift held when asked.
void dragOverlay(NPositioningWnd& overlay, NPoint from, int dx, int dy, bool shift = false)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    overlay.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    overlay.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + dx, from.y + dy));
    overlay.sendMessage(WM_LBUTTONUP, 0, MAKELPARAM(from.x + dx, from.y + dy));
    keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
}

NFileIni& layout() { return globalResources.getControlPosIni(); }

// The section as it is in the file on disk.
std::string savedSection(const char* section)
{
    NFileIni file;
    file.open(layout().getPath(), false, true);
    return str(file.getSectionText(section));
}

}  // namespace

TEST(NPositioningWnd, OverlaysCoverThePositionableControlsWithEightHandles)
{
    LayoutFrame frame("LayoutHandles", NRect(20, 30, 100, 30));
    ASSERT_TRUE(frame.open());
    frame.startPositioning();
    ASSERT_TRUE(frame.isPositioning());
    ASSERT_NE(frame.first.overlay, nullptr);
    ASSERT_NE(frame.second.overlay, nullptr);
    EXPECT_EQ(frame.fixed.overlay, nullptr);
    NPositioningWnd& overlay = *frame.first.overlay;
    ASSERT_TRUE(overlay.isWindow());
    EXPECT_EQ(overlay.getWindowRect(false), frame.first.getWindowRect(false));
    EXPECT_EQ(GetParent(overlay.hwnd), frame.hwnd);
    EXPECT_EQ(overlay.programmedRect, NRect(20, 30, 100, 30));
    // Above its control: the control comes later in the z-order.
    HWND below = GetWindow(overlay.hwnd, GW_HWNDNEXT);
    while (below && below != frame.first.hwnd)
        below = GetWindow(below, GW_HWNDNEXT);
    EXPECT_EQ(below, frame.first.hwnd);

    // 30 high: a third of it; 100 wide: the full 12.
    EXPECT_EQ(overlay.handleWidth, 12);
    EXPECT_EQ(overlay.handleHeight, 10);
    struct Handle {
        int handle;
        NRect at;
        int cursor;
    };
    const Handle handles[] = {
        {2, NRect(0, 0, 12, 10), 32642},  {3, NRect(44, 0, 12, 10), 32645},
        {4, NRect(88, 0, 12, 10), 32643}, {5, NRect(88, 10, 12, 10), 32644},
        {6, NRect(88, 20, 12, 10), 32642}, {7, NRect(44, 20, 12, 10), 32645},
        {8, NRect(0, 20, 12, 10), 32643}, {9, NRect(0, 10, 12, 10), 32644},
    };
    for (const Handle& h : handles) {
        SCOPED_TRACE(h.handle);
        EXPECT_EQ(overlay.getHandleRect(h.handle), h.at);
        const NPoint inside(h.at.x + 5, h.at.y + 4);
        EXPECT_EQ(overlay.hitTest(inside), h.handle);
        overlay.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
        EXPECT_EQ(overlay.cursorId, h.cursor);
    }
    EXPECT_EQ(overlay.hitTest(NPoint(30, 15)), NPositioningWnd::dragMove);
    overlay.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 15));
    EXPECT_EQ(overlay.cursorId, 32646);
    EXPECT_EQ(overlay.frameColour, NPositioningWnd::hoverColour);
    overlay.sendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(overlay.frameColour, NPositioningWnd::idleColour);

    frame.endPositioning();
    EXPECT_FALSE(frame.isPositioning());
    EXPECT_EQ(frame.first.overlay, nullptr);
    EXPECT_EQ(frame.second.overlay, nullptr);
}

TEST(NPositioningWnd, HandlesAreDrawnOnTopOfTheControl)
{
    LayoutFrame frame("LayoutPaint");
    ASSERT_TRUE(frame.open());
    frame.startPositioning();
    NPositioningWnd& overlay = *frame.first.overlay;
    overlay.fillColour = RGB(0, 200, 0);
    overlay.invalidate();
    UpdateWindow(frame.hwnd);
    pumpFor(50);
    HDC dc = GetDC(frame.hwnd);
    const NRect control = frame.first.getWindowRect(false);
    // Inside handle 2 its fill, in the middle the control itself shows through.
    EXPECT_EQ(GetPixel(dc, control.x + 5, control.y + 5), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(dc, control.x, control.y), static_cast<COLORREF>(overlay.frameColour));
    EXPECT_NE(GetPixel(dc, control.x + 50, control.y + 20), RGB(0, 200, 0));
    ReleaseDC(frame.hwnd, dc);
    frame.endPositioning();
}

TEST(NPositioningWnd, DragsMoveAndResizeOnTheGridUnlessShiftIsHeld)
{
    struct Case {
        const char* what;
        NPoint from;
        int dx, dy;
        bool shift;
        NRect expected;
    };
    // The control starts at 20, 30, 100 x 40.
    const Case cases[] = {
        {"7 pixels: snapped back", NPoint(50, 20), 7, 0, false, NRect(20, 30, 100, 40)},
        {"7 pixels with Shift", NPoint(50, 20), 7, 5, true, NRect(27, 35, 100, 40)},
        {"moved on the grid", NPoint(50, 20), 26, 13, false, NRect(40, 40, 100, 40)},
        {"handle 2 right 20", NPoint(3, 3), 20, 0, false, NRect(40, 30, 80, 40)},
        {"handle 3 up 20", NPoint(50, 3), 0, -20, false, NRect(20, 10, 100, 60)},
        {"handle 5 right 23", NPoint(95, 20), 23, 0, false, NRect(20, 30, 120, 40)},
        {"handle 6 left 33 down 11", NPoint(95, 35), -33, 11, false, NRect(20, 30, 60, 50)},
        {"handle 7 up past the top", NPoint(50, 36), 0, -95, false, NRect(20, 30, 100, 10)},
        {"handle 8 right 9 with Shift", NPoint(3, 36), 9, 0, true, NRect(29, 30, 91, 40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LayoutFrame frame("LayoutDrag");
        ASSERT_TRUE(frame.open());
        frame.startPositioning();
        ASSERT_NE(frame.first.overlay, nullptr);
        NPositioningWnd& overlay = *frame.first.overlay;
        dragOverlay(overlay, c.from, c.dx, c.dy, c.shift);
        EXPECT_EQ(frame.first.getWindowRect(false), c.expected);
        EXPECT_EQ(overlay.getWindowRect(false), c.expected);
        EXPECT_EQ(overlay.dragMode, NPositioningWnd::dragNone);
        EXPECT_EQ(GetCapture(), nullptr);
        frame.positioning = 0;
    }
}

TEST(NPositioningWnd, EndingWritesTheLayoutFileAndTheNextStartUsesIt)
{
    const char* const section = "LayoutSave";
    layout().setSectionText(section, "NStatic,1,2,3,4=5,6,7,8\r\n");
    NRect secondAt;
    {
        LayoutFrame frame(section);
        ASSERT_TRUE(frame.open());
        secondAt = frame.second.getWindowRect(false);
        frame.startPositioning();
        dragOverlay(*frame.first.overlay, NPoint(50, 20), 40, 20);
        frame.endPositioning();
        // The stale entry is gone, the text control the layouter leaves alone is not written.
        EXPECT_EQ(savedSection(section),
                  "NStatic,-130,-60,100,30=" + str(secondAt.toText(",")) +
                      "\r\nNStatic,20,30,100,40=60,50,100,40\r\n");
    }
    {
        LayoutFrame again(section);
        ASSERT_TRUE(again.open());
        EXPECT_EQ(again.first.getWindowRect(false), NRect(60, 50, 100, 40));
        EXPECT_EQ(again.second.getWindowRect(false), secondAt);
    }
    {
        // Programmed elsewhere now: its old entry no longer matches, and the
        // next save drops it.
        LayoutFrame moved(section, NRect(200, 100, 100, 40));
        ASSERT_TRUE(moved.open());
        EXPECT_EQ(moved.first.getWindowRect(false), NRect(200, 100, 100, 40));
        moved.startPositioning();
        moved.endPositioning();
        EXPECT_EQ(savedSection(section),
                  "NStatic,-130,-60,100,30=" + str(secondAt.toText(",")) +
                      "\r\nNStatic,200,100,100,40=200,100,100,40\r\n");
    }
    layout().setSectionText(section, "");
    layout().save();
}

TEST(NPositioningWnd, AMovedControlFollowsTheEdgeItWasMovedTo)
{
    LayoutFrame frame("LayoutAnchor");
    ASSERT_TRUE(frame.open());
    const NSize client = frame.getClientSize();
    frame.startPositioning();
    // From the left edge into the right fifth.
    dragOverlay(*frame.first.overlay, NPoint(50, 20), client.cx - 140, 0);
    frame.endPositioning();
    const NRect before = frame.first.getWindowRect(false);
    EXPECT_GT(before.getRight(), client.cx * 4 / 5);
    frame.moveWindow(60, 60, 740, 480);
    pump();
    EXPECT_EQ(frame.first.getWindowRect(false), NRect(before.x + 100, before.y, 100, 40));
    layout().setSectionText("LayoutAnchor", "");
    layout().save();
}

TEST(NFrameWindow, ScrollLockAndTheSizeQuestionSwitchPositioning)
{
    LayoutFrame frame("LayoutKeys");
    ASSERT_TRUE(frame.open());
    const LPARAM scrollLock = 0x00460001;
    frame.sendMessage(WM_KEYDOWN, VK_SCROLL, scrollLock);
    EXPECT_TRUE(frame.isPositioning());
    // From a control: the key the control leaves reaches its frame.
    frame.first.sendMessage(WM_KEYDOWN, VK_SCROLL, scrollLock);
    EXPECT_FALSE(frame.isPositioning());
    frame.sendMessage(WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_FALSE(frame.isPositioning());

    // Not the size it was made with: asked first.
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
        EXPECT_EQ(frame.isPositioning(), answer == IDYES);
        EXPECT_EQ(frame.first.overlay != nullptr, answer == IDYES);
    }
    frame.endPositioning();
    layout().setSectionText("LayoutKeys", "");
    layout().save();
}
