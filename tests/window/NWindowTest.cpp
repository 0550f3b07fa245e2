// The window base with real windows: creation, the handlers behind the
// messages, the modal loop, cursors, painting and the misuse reports.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "MessageBoxCatcher.h"
#include "NResources.h"
#include "TestFiles.h"
#include "WindowTestSupport.h"

namespace {

// Built before every test's windows, so it is the application's main window
// for the whole run. It is never created, so closing a test window never
// ends the message loop.
NWindow standInMainWindow;

typedef std::vector<std::string> Calls;

COLORREF pixelOf(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

class PaintingWindow : public RecordingWindow {
public:
    void onPaint(NPainter& painter) override
    {
        painter.fillRectangle(NRect(10, 10, 50, 30), RGB(255, 0, 0));
    }
};

}  // namespace

TEST(NWindow, FirstMessagesReachTheHandlersInOrder)
{
    RecordingWindow window;
    ASSERT_TRUE(window.create());
    pump();
    EXPECT_EQ(window.hwndAtCreate, window.hwnd);
    EXPECT_EQ(window.calls, (Calls{"preCreate", "create", "firstShow", "size", "show"}));

    window.calls.clear();
    window.hide();
    window.show();
    EXPECT_EQ(window.calls, (Calls{"hide", "show"}));
}

TEST(NWindow, CreationCentresOnTheScreenOrOnTheParent)
{
    RecordingWindow parent;
    parent.rect = NRect(100, 120, 400, 300);
    ASSERT_TRUE(parent.create());
    for (bool withParent : {false, true}) {
        RecordingWindow window;
        window.rect = NRect(-1, -1, 200, 100);
        ASSERT_TRUE(window.create(withParent ? &parent : nullptr));
        RECT r;
        GetWindowRect(window.hwnd, &r);
        if (withParent) {
            EXPECT_EQ(r.left, 100 + 200 - 100);
            EXPECT_EQ(r.top, 120 + 150 - 50);
        } else {
            EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXFULLSCREEN) - 200) / 2);
            EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYFULLSCREEN) - 100) / 2);
        }
    }
}

TEST(NWindow, SecondCreateShowsABoxAndKeepsTheWindow)
{
    RecordingWindow window;
    ASSERT_TRUE(window.create());
    const HWND first = window.hwnd;
    SetWindowTextA(first, "Jetzt");

    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(window.create());
    ASSERT_EQ(boxes.count(), 1u);
    expectErrorBox(boxes[0], "NWindow::create(): Dieses Fenster wurde bereits erzeugt.\r\n'Jetzt'");
    EXPECT_EQ(window.hwnd, first);
    EXPECT_TRUE(IsWindow(first));
}

TEST(NWindow, FailedCreationShowsTheSystemTextAndCannotBeRetried)
{
    globalError.log = "";
    RecordingWindow window;
    window.style = WS_CHILD;  // a child without parent is refused
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    boxes.expect(IDOK);
    EXPECT_FALSE(window.create());
    EXPECT_FALSE(window.create());
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes[0].title, "Fehler beim Erzeugen des Fensters: NEK_WINDOW (Aufzeichnung)");
    EXPECT_EQ(boxes[0].text, str(NError::getSystemMessage(ERROR_TLW_WITH_WSCHILD)));
    EXPECT_EQ(boxes[1].text, "NWindow::create(): Dieses Fenster wurde bereits erzeugt.\r\n'Aufzeichnung'");
    EXPECT_EQ(str(globalError.log),
              logged(NString("Es wurde ein NWindow::messageBox() verwendet, ohne dass das Fenster "
                             "existierte.\r\n(Text: ") +
                     NError::getSystemMessage(ERROR_TLW_WITH_WSCHILD) + ")"));
    globalError.log = "";
}

TEST(NWindow, ShowAndHideBeforeCreationDecideTheVisibility)
{
    for (bool visible : {false, true}) {
        RecordingWindow window;
        window.style = visible ? WS_POPUP : WS_POPUP | WS_VISIBLE;
        window.show(visible ? SW_SHOW : SW_HIDE);
        ASSERT_TRUE(window.create());
        EXPECT_EQ(IsWindowVisible(window.hwnd) != 0, visible);
    }
}

TEST(NWindow, CommandsAreReflectedToTheControlOnlyByPlainWindows)
{
    for (int type : {NWindow::typePlain, NWindow::typeControl}) {
        Calls log;
        RecordingWindow parent;
        parent.title = "Eltern";
        parent.windowType = type;
        ASSERT_TRUE(parent.create());
        RecordingWindow control;
        control.title = "Control";
        control.id = 77;
        ASSERT_TRUE(control.createChild(parent));
        parent.shared = control.shared = &log;

        SendMessageA(parent.hwnd, WM_COMMAND, MAKEWPARAM(77, 5),
                     reinterpret_cast<LPARAM>(control.hwnd));
        if (type == NWindow::typePlain)
            EXPECT_EQ(log, (Calls{"Control: reflect 77 77 0 self", "Eltern: command 77 5"}));
        else
            EXPECT_EQ(log, (Calls{"Eltern: command 77 5"}));
    }
}

TEST(NWindow, AKeyTheChildLeavesReachesTheParentOnce)
{
    for (bool childHandles : {false, true}) {
        RecordingWindow parent;
        ASSERT_TRUE(parent.create());
        RecordingWindow child;
        child.handlesKeys = childHandles;
        ASSERT_TRUE(child.createChild(parent));
        parent.calls.clear();

        // 'A' with its scan code: the handlers get the translated character.
        const LRESULT result = SendMessageA(child.hwnd, WM_KEYDOWN, 'A', 0x001E0001);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(child.calls.back(), "keyDown a");
        EXPECT_EQ(parent.calls, childHandles ? Calls{} : Calls{"keyDown a"});
    }
}

TEST(NWindow, MouseMovesAreRelayedToTheChildrenFromLastToFirst)
{
    Calls log;
    RecordingWindow parent;
    ASSERT_TRUE(parent.create());
    RecordingWindow children[3];
    for (int i = 0; i < 3; ++i) {
        children[i].title = std::to_string(i + 1).c_str();
        ASSERT_TRUE(children[i].createChild(parent, 5 + 30 * i));
        children[i].shared = &log;
    }
    Calls expected;
    for (HWND child = GetWindow(parent.hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[8] = "";
        GetWindowTextA(child, name, sizeof name);
        expected.insert(expected.begin(), std::string(name) + ": parentMouseMove");
    }
    SendMessageA(parent.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(log, expected);
}

TEST(NWindow, ShowModalRunsUntilTheWindowCloses)
{
    struct Case {
        bool mayClose;
        bool hideParent;
    };
    for (const Case& c : {Case{true, false}, Case{false, false}, Case{true, true}}) {
        RecordingWindow parent;
        ASSERT_TRUE(parent.create());
        RecordingWindow dialog;
        dialog.style = WS_POPUP;
        dialog.mayClose = c.mayClose;
        dialog.modalResult = 7;
        ASSERT_TRUE(dialog.create(&parent));

        PostMessageA(dialog.hwnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(dialog.showModal(c.hideParent), 7);

        // The parent was put aside while the loop ran and is back now.
        EXPECT_EQ(dialog.parentEnabledAtClose, c.hideParent);
        EXPECT_EQ(dialog.parentVisibleAtClose, !c.hideParent);
        EXPECT_TRUE(IsWindowEnabled(parent.hwnd));
        EXPECT_TRUE(IsWindowVisible(parent.hwnd));
        EXPECT_EQ(dialog.modalFlags, 0u);
        if (c.mayClose) {
            EXPECT_FALSE(IsWindow(dialog.hwnd));
            EXPECT_EQ(std::count(dialog.calls.begin(), dialog.calls.end(), "close"), 1);
        } else {
            // Refused twice: on the close message and on the final destroy.
            EXPECT_TRUE(IsWindow(dialog.hwnd));
            EXPECT_FALSE(IsWindowVisible(dialog.hwnd));
            EXPECT_EQ(std::count(dialog.calls.begin(), dialog.calls.end(), "close"), 2);
        }
    }
}

TEST(NWindow, ShowModalNeedsAWindowAndAParent)
{
    RecordingWindow notCreated;
    RecordingWindow orphan;
    ASSERT_TRUE(orphan.create());
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    boxes.expect(IDOK);
    EXPECT_EQ(notCreated.showModal(), 0);
    EXPECT_EQ(orphan.showModal(), 0);
    ASSERT_EQ(boxes.count(), 2u);
    expectErrorBox(boxes[0], "NWindow::showModal() konnte nicht durchgef\xFChrt werden, da das "
                             "Fenster noch nicht mittels 'create()' erzeugt wurde.");
    expectErrorBox(boxes[1], "NWindow::showModal() konnte nicht durchgef\xFChrt werden, kein "
                             "Parent-Window existiert.");
}

TEST(NWindow, ServicesOnAMissingWindowAreRecordedInTheLog)
{
    RecordingWindow created;
    ASSERT_TRUE(created.create());
    RecordingWindow missing;
    struct Case {
        const char* text;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"Es wurde versucht mittels getWindowText() auf ein nicht existierendes Fenster zuzugreifen.",
         [&] { EXPECT_TRUE(missing.getWindowText().isEmpty()); }},
        {"Es wurde versucht mittels getWindowRect() auf ein nicht existierendes Fenster zuzugreifen.",
         [&] { EXPECT_EQ(missing.getWindowRect(), NRect()); }},
        {"NWindow::setParent(..): Das Elternfenster existiert noch nicht.",
         [&] {
             created.setParent(&missing);
             EXPECT_EQ(created.getParent(), nullptr);
         }},
    };
    for (const Case& c : cases) {
        globalError.log = "";
        c.call();
        EXPECT_EQ(str(globalError.log), logged(c.text));
    }

    globalError.log = "";
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_EQ(missing.messageBox("Hallo", "Titel", MB_OK), IDOK);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].text, "Hallo");
    EXPECT_EQ(str(globalError.log),
              logged("Es wurde ein NWindow::messageBox() verwendet, ohne dass das Fenster "
                     "existierte.\r\n(Text: Hallo)"));
    globalError.log = "";
}

TEST(NWindow, WaitCursorCountNeverDropsBelowZero)
{
    RecordingWindow window;
    ASSERT_TRUE(window.create());
    const HCURSOR wait = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));
    const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    window.setWaitCursor(false);
    window.setWaitCursor(false);
    EXPECT_EQ(window.getWaitCount(), 0);
    window.setWaitCursor(true);
    EXPECT_EQ(window.getWaitCount(), 1);
    EXPECT_EQ(GetCursor(), wait);
    window.setWaitCursor(false);
    EXPECT_EQ(window.getWaitCount(), 0);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST(NWindow, DestroyingTheMainWindowShowsTheLogAndEndsTheLoop)
{
    RecordingWindow other;
    ASSERT_TRUE(other.create());
    RecordingWindow main;
    ASSERT_TRUE(main.create());
    MainWindowSwap swap(&main);
    takeQuit();

    DestroyWindow(other.hwnd);
    EXPECT_FALSE(takeQuit());

    globalError.log = "";
    globalError.addError("Eintrag");
    globalApplication.exitCode = 0;
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    DestroyWindow(main.hwnd);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_NE(boxes[0].text.find("Eintrag"), std::string::npos);
    WPARAM code = 99;
    EXPECT_TRUE(takeQuit(&code));
    EXPECT_EQ(code, 0u);
}

TEST(NWindow, BackgroundPictureAsItIsOrStretched)
{
    if (!globalResources.isInitialised()) {
        globalResources.setProgramFolder(programFolder().c_str());
        globalResources.init();
    }
    TestFolder folder;
    writeBmp(folder.file("blau.bmp"), 4, 4, std::vector<uint32_t>(16, 0x0000FF));
    for (int mode : {0, 1}) {
        RecordingWindow window;
        ASSERT_TRUE(window.create());
        EXPECT_TRUE(window.setBackgroundImage(folder.file("blau.bmp").c_str(), mode));
        UpdateWindow(window.hwnd);
        pump();
        EXPECT_EQ(pixelOf(window.hwnd, 1, 1), RGB(0, 0, 255));
        EXPECT_EQ(pixelOf(window.hwnd, 150, 80), mode ? RGB(0, 0, 255) : 0xA08D8Cu);
    }
}

TEST(NWindow, MetaFileRecordsOnPaint)
{
    PaintingWindow window;
    ASSERT_TRUE(window.create());

    const HENHMETAFILE inMemory = window.createMetaFile(NRect(), "");
    ASSERT_NE(inMemory, nullptr);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 100);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    ENHMETAHEADER header = {};
    GetEnhMetaFileHeader(inMemory, sizeof header, &header);
    RECT bounds = {header.rclBounds.left, header.rclBounds.top, header.rclBounds.right + 1,
                   header.rclBounds.bottom + 1};
    PlayEnhMetaFile(memory, inMemory, &bounds);
    EXPECT_EQ(GetPixel(memory, 20, 20), RGB(255, 0, 0));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    DeleteEnhMetaFile(inMemory);

    TestFolder folder;
    EXPECT_EQ(window.createMetaFile(NRect(0, 0, 100, 100), folder.file("bild.emf").c_str()),
              reinterpret_cast<HENHMETAFILE>(static_cast<intptr_t>(-1)));
    EXPECT_TRUE(fileExists(folder.file("bild.emf")));
    EXPECT_EQ(window.createMetaFile(NRect(), folder.file("fehlt\\bild.emf").c_str()), nullptr);
}
