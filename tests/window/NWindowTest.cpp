

#include "ScreenPixels.h"
#include "WindowTestSupport.h"

TEST(NWindow, CreationCentresKeepsTheVisibilityAskedForAndTheFirstMessagesReachTheHandlersInOrder)
{
    RecordingWindow window;
    ASSERT_TRUE(window.create());
    pump();
    EXPECT_EQ(window.calls, (Calls{"preCreate", "create", "firstShow", "size", "show"}));
    window.calls.clear();
    window.hide();
    window.show();
    EXPECT_EQ(window.calls, (Calls{"hide", "show"}));

    // The wait cursor's count never drops below zero.
    window.setWaitCursor(false);
    window.setWaitCursor(true);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
    window.setWaitCursor(false);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));

    RecordingWindow parent;
    parent.rect = NRect(100, 120, 400, 300);
    ASSERT_TRUE(parent.create());
    for (bool withParent : {false, true}) {
        RecordingWindow window;
        window.rect = NRect(-1, -1, 200, 100);
        window.style = withParent ? WS_POPUP | WS_VISIBLE : WS_POPUP;
        window.show(withParent ? SW_HIDE : SW_SHOW);
        ASSERT_TRUE(window.create(withParent ? &parent : nullptr));
        EXPECT_EQ(IsWindowVisible(window.hwnd) != 0, !withParent);
        EXPECT_EQ(window.getWindowRect(true),
                  withParent ? NRect(200, 220, 200, 100)
                             : NRect((GetSystemMetrics(SM_CXFULLSCREEN) - 200) / 2,
                                     (GetSystemMetrics(SM_CYFULLSCREEN) - 100) / 2, 200, 100));
    }
}

TEST(NWindow, MisuseIsReportedInABoxOrTheLogAndASecondCreateKeepsTheWindow)
{
    RecordingWindow window, orphan, missing;
    ASSERT_TRUE(window.create());
    const HWND first = window.hwnd;
    SetWindowTextA(first, "Jetzt");
    orphan.style = WS_CHILD;  // a child without parent is refused
    MessageBoxCatcher boxes(6);
    EXPECT_FALSE(window.create() || orphan.create() || orphan.create());
    expectErrorBox(boxes[0], "NWindow::create(): Dieses Fenster wurde bereits erzeugt.\r\n'Jetzt'");
    EXPECT_TRUE(window.hwnd == first && IsWindow(first));
    EXPECT_EQ(boxes[1].title + "|" + boxes[1].text,
              "Fehler beim Erzeugen des Fensters: NEK_WINDOW (Aufzeichnung)|" +
                  str(NError::getSystemMessage(ERROR_TLW_WITH_WSCHILD)));
    // Without a window its title stands in for the window's text.
    EXPECT_EQ(boxes[2].text, "NWindow::create(): Dieses Fenster wurde bereits erzeugt.\r\n'Aufzeichnung'");
    globalError.log = "";
    EXPECT_EQ(missing.showModal(), 0);
    EXPECT_EQ(window.showModal(), 0);
    expectErrorBox(boxes[3], "NWindow::showModal() konnte nicht durchgef\xFChrt werden, da das "
                             "Fenster noch nicht mittels 'create()' erzeugt wurde.");
    expectErrorBox(boxes[4], "NWindow::showModal() konnte nicht durchgef\xFChrt werden, kein "
                             "Parent-Window existiert.");
    EXPECT_TRUE(missing.getWindowText().isEmpty());
    expectLogged("Es wurde versucht mittels getWindowText() auf ein nicht existierendes Fenster zuzugreifen.");
    window.setParent(&missing);
    EXPECT_EQ(window.getParent(), nullptr);
    expectLogged("NWindow::setParent(..): Das Elternfenster existiert noch nicht.");
    EXPECT_EQ(missing.messageBox("Hallo", "Titel", MB_OK), IDOK);
    expectLogged("Es wurde ein NWindow::messageBox() verwendet, ohne dass das Fenster existierte.\r\n(Text: Hallo)");
}

TEST(NWindow, ParentsReflectCommandsTakeTheKeysLeftAndRelayMouseMovesLastChildFirst)
{
    // A plain parent whose child leaves its keys; a control as parent, its child takes them.
    for (bool plain : {true, false}) {
        Calls log, moves;
        RecordingWindow parent, children[3];
        parent.title = "Eltern";
        parent.windowType = plain ? NWindow::typePlain : NWindow::typeControl;
        ASSERT_TRUE(parent.create());
        for (int i = 0; i < 3; ++i) {
            children[i].title = NString::fromNumber(i);
            children[i].id = 77;
            children[i].handlesKeys = !plain;
            ASSERT_TRUE(children[i].createChild(parent, 5 + 30 * i));
            children[i].shared = &log;
        }
        parent.shared = &log;
        SendMessageA(parent.hwnd, WM_COMMAND, MAKEWPARAM(77, 5), reinterpret_cast<LPARAM>(children[0].hwnd));
        // 'A' with its scan code: the handlers get the translated character.
        EXPECT_EQ(SendMessageA(children[0].hwnd, WM_KEYDOWN, 'A', 0x001E0001), 0);
        EXPECT_EQ(log, plain ? (Calls{"0: reflect 77 77 0 self", "Eltern: command 77 5",
                                      "0: keyDown a", "Eltern: keyDown a"})
                             : (Calls{"Eltern: command 77 5", "0: keyDown a"}));
        log.clear();
        for (HWND child = GetWindow(parent.hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            moves.insert(moves.begin(), str(globalApplication.findWindow(child)->title) + ": parentMouseMove");
        SendMessageA(parent.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(150, 10));
        EXPECT_EQ(log, moves);
    }
}

TEST(NWindow, ShowModalRunsUntilTheWindowClosesWithItsParentPutAside)
{
    // May close; refuses to close; may close and hides the parent.
    for (int c = 0; c < 3; ++c) {
        RecordingWindow parent, dialog;
        ASSERT_TRUE(parent.create());
        dialog.style = WS_POPUP;
        dialog.mayClose = c != 1;
        dialog.modalResult = 7;
        ASSERT_TRUE(dialog.create(&parent));
        PostMessageA(dialog.hwnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(dialog.showModal(c == 2), 7);
        // Disabled, or hidden, while the loop ran; back now.
        EXPECT_EQ(dialog.parentStateAtClose, c == 2 ? 1 : 2) << c;
        EXPECT_TRUE(IsWindowEnabled(parent.hwnd) && IsWindowVisible(parent.hwnd) && !dialog.modalFlags);
        // A refusal counts twice: on the close message and on the final destroy.
        EXPECT_EQ(dialog.closes, dialog.mayClose ? 1 : 2);
        EXPECT_TRUE((IsWindow(dialog.hwnd) != 0) != dialog.mayClose && !IsWindowVisible(dialog.hwnd));
    }
}

TEST(NWindow, DestroyingTheMainWindowShowsTheLogAndEndsTheLoop)
{
    RecordingWindow other, main;
    ASSERT_TRUE(other.create() && main.create());
    MainWindowSwap swap(&main);
    DestroyWindow(other.hwnd);
    EXPECT_FALSE(takeQuit());
    globalError.log = "";
    globalError.addError("Eintrag");
    globalApplication.exitCode = 4;
    MessageBoxCatcher boxes(1);
    DestroyWindow(main.hwnd);
    EXPECT_NE(boxes[0].text.find("Eintrag"), std::string::npos);
    WPARAM code = 99;
    EXPECT_TRUE(takeQuit(&code) && code == 4u);
    globalApplication.exitCode = 0;
}

TEST(NWindow, BackgroundPictureStretchedOrPlacedWithItsTransparentColourAndAMetafileOfWhatOnPaintDraws)
{
    useProgramResources();
    TestFolder folder;
    std::vector<uint32_t> pixels(16, 0x0000FF);
    pixels[0] = 0xFF00FF;  // magenta top left
    writeBmp(folder.file("blau.bmp"), 4, 4, pixels);
    const COLORREF blue = RGB(0, 0, 255), magenta = RGB(255, 0, 255), background = 0xA08D8C;
    // Also through the window's paint without flicker: the picture at 100, 50, its top-left colour left out.
    for (int mode : {0, 1, 2}) {
        RecordingWindow window;
        window.device.setNoFlicker(mode == 2);
        ASSERT_TRUE(window.create());
        EXPECT_TRUE(window.setBackgroundImage(folder.file("blau.bmp").c_str(), mode == 1));
        if (mode == 2) {
            window.background.setPosition(100, 50);
            window.background.setTransparentColor(NImage::transparentTopLeft);
            window.invalidate();
        }
        paintedPixel(window.hwnd, 0, 0);
        const Pixels shot = capture(window.hwnd, 0, 0, 200, 120);
        if (mode == 0) expectSpots(shot, {{0, 0, magenta}, {3, 3, blue}, {150, 80, background}});
        if (mode == 1) expectSpots(shot, {{0, 0, magenta}, {150, 80, blue}});
        if (mode == 2) expectSpots(shot, {{100, 50, background}, {103, 53, blue}, {1, 1, background}});
    }

    struct Painting : RecordingWindow {
        void onPaint(NPainter& painter) override { painter.fillRectangle(NRect(10, 10, 30, 20), ++paints); }
        int paints = 0;
    } window;
    ASSERT_TRUE(window.create());
    // The box around the metafile's ink; the metafile is deleted.
    auto ink = [](HENHMETAFILE metafile, ENHMETAHEADER header = {}) {
        GetEnhMetaFileHeader(metafile, sizeof header, &header);
        DeleteEnhMetaFile(metafile);
        const RECTL& r = header.rclBounds;
        return std::vector<LONG>{r.left, r.top, r.right, r.bottom};
    };
    const std::vector<LONG> drawn = {10, 10, 39, 29};
    EXPECT_EQ(ink(window.createMetaFile(NRect(), "")), drawn);
    EXPECT_EQ(window.createMetaFile(NRect(0, 0, 100, 50), folder.file("bild.emf").c_str()), HENHMETAFILE(-1));
    EXPECT_EQ(ink(GetEnhMetaFileA(folder.file("bild.emf").c_str())), drawn);
    EXPECT_EQ(window.createMetaFile(NRect(), folder.file("fehlt\\bild.emf").c_str()), nullptr);
}
