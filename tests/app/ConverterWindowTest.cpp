// The converter's windows with real windows: the main window and its
// converter window are created as the program creates them, the buttons are
// clicked, every box and the file dialog are caught and answered, the
// clipboard is read by a second process and the preview is read back from
// the screen.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../window/WindowTestSupport.h"
#include "ConverterBitmap.h"
#include "MainWnd.h"
#include "NApplicationBasic.h"
#include "NClipboard.h"
#include "NDebug.h"
#include "NResources.h"
#include "ProcessRunner.h"
#include "TestFiles.h"

namespace {

const uint32_t background = 0xF0F0F0;
const uint32_t blue = 0x0000FF;
// The converter's button face (its style in controlpos.ini).
const uint32_t buttonFace = 0xF0F0FF;

// A picture of 50 x 50 blocks whose colour tells where a pixel lies, in
// steps that survive the 16-bit conversion.
uint32_t blockColour(int x, int y)
{
    return 0xFF000000 | (x / 50 % 10 * 24) << 16 | (y / 50 % 10 * 24) << 8 | 0x88;
}

void writeBlocks(const std::string& path, int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] = blockColour(x, y);
    writeBmp(path, width, height, pixels);
}

// A colour as the preview shows it: five bits per channel, widened again.
uint32_t shown(uint32_t colour)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t v = (colour >> shift & 0xFF) >> 3;
        result |= (v << 3 | v >> 2) << shift;
    }
    return result;
}

// The client area of a window as the screen shows it, 0x00RRGGBB row by row.
struct Screen {
    int width = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x] & 0xFFFFFF; }
};

Screen screenOf(HWND hwnd)
{
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    Screen shot;
    shot.width = client.right;
    shot.pixels.resize(size_t(client.right) * client.bottom);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, client.bottom, shot.pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

// The clipboard's text as another Windows process reads it, with its zero byte.
std::string clipboardOfOtherProcess()
{
    return runProcess("\"" + programFolder() + "nek_clipdump.exe\" text").out;
}

std::string textOf(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

// The open dialog's file types are filled after it is activated: a timer
// reads them a moment later and then answers with answerPath.
std::vector<std::string> fileTypes;
std::string answerPath;

void CALLBACK readTypesAndAnswer(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    const HWND types = GetDlgItem(dialog, 0x470);
    for (int i = 0; i < SendMessageA(types, CB_GETCOUNT, 0, 0); ++i) {
        char item[64] = "";
        SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        fileTypes.push_back(item);
    }
    SetDlgItemTextA(dialog, 0x47C, answerPath.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

class ConverterWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The program folder holds the development program's resource folder.
        if (!globalResources.isInitialised()) {
            globalResources.setProgramFolder(programFolder().c_str());
            globalResources.init();
        }
        if (!globalApplication.instance)
            globalApplication.instance = GetModuleHandleA(nullptr);
        // The window keeps its position in the configuration file named after the program.
        if (globalApplicationBasic.getProgramPath().isEmpty())
            globalApplicationBasic.readCommandLine();
        pictures = new TestFolder;
        writeBlocks(pictures->file("large.bmp"), 1000, 700);
        writeBlocks(pictures->file("medium.bmp"), 400, 300);
        writeBlocks(pictures->file("small.bmp"), 60, 40);
    }
    static void TearDownTestSuite()
    {
        delete pictures;
        pictures = nullptr;
    }
    void SetUp() override
    {
        // The window switches the debug channel on; it must not reach a
        // listener of another test program.
        globalDebug.off = true;
        globalDebug.connectState = 2;
        // Each window starts at its creation size, not where the last one was.
        if (globalApplication.openUserConfigFile()) {
            globalApplicationBasic.userConfig.setValue("MainWnd", "winpos", "");
            globalApplicationBasic.userConfig.save();
        }
        ASSERT_TRUE(window.create());
        // Shown as the application shows its main window, above the windows
        // of test programs running beside this one.
        window.show(SW_SHOWNORMAL);
        SetWindowPos(window.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        UpdateWindow(window.hwnd);
        pump();
    }
    void TearDown() override
    {
        if (window.isWindow())
            DestroyWindow(window.hwnd);
        pump();
        globalDebug.off = true;
    }

    static std::string picture(const char* name) { return pictures->file(name); }

    void click(NButton& button)
    {
        SendMessageA(button.hwnd, BM_CLICK, 0, 0);
        pump();
    }

    // "Laden" with the open dialog answered: the path typed into its file
    // name field and confirmed, or (empty path) the dialog cancelled.
    void load(const std::string& path)
    {
        boxes.expectDialog([&](HWND dialog, const MessageBoxCatcher::Box&) {
            if (path.empty()) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            SetDlgItemTextA(dialog, 0x47C, path.c_str());
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        click(window.converter.loadButton);
        pumpFor(100);
    }

    Screen preview() { return screenOf(window.converter.hwnd); }
    ConverterBitmap& generator() { return window.converter.converter; }

    static TestFolder* pictures;
    MainWnd window;
    MainWindowSwap swap{&window};
    MessageBoxCatcher boxes;
};

TestFolder* ConverterWindow::pictures = nullptr;

TEST_F(ConverterWindow, MainWindowLendsItsClientAreaToTheConverterAndItsControls)
{
    EXPECT_EQ(textOf(window.getWindowText()), "Ondra Bitmap-Konverter");
    EXPECT_FALSE(globalDebug.off);
    BitmapConverterWnd& converter = window.converter;
    EXPECT_EQ(GetParent(converter.hwnd), window.hwnd);
    EXPECT_EQ(converter.getStyle() & (WS_CAPTION | WS_THICKFRAME | WS_POPUP), 0u);
    EXPECT_TRUE(IsWindowVisible(converter.hwnd));

    // The creation size is the smallest one, and at it nothing overlaps:
    // the buttons, the information text, the logo and the 321 x 321 square
    // the two frames cover.
    MINMAXINFO limits = {};
    SendMessageA(window.hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, MainWnd::creationWidth);
    EXPECT_EQ(limits.ptMinTrackSize.y, MainWnd::creationHeight);
    std::vector<NRect> areas = {NRect(0, 0, 321, 321), converter.infoText.getWindowRect(),
                                converter.logo.getWindowRect()};
    for (NButton* button : {&converter.outputButton, &converter.loadButton, &converter.endButton})
        areas.push_back(button->getWindowRect());
    for (size_t i = 0; i < areas.size(); ++i)
        for (size_t j = i + 1; j < areas.size(); ++j) {
            RECT a = areas[i].getRECT(), b = areas[j].getRECT(), both;
            EXPECT_FALSE(IntersectRect(&both, &a, &b)) << i << " overlaps " << j;
        }
    EXPECT_EQ(textOf(converter.infoText.getWindowText()), textOf(BitmapConverterWnd::informationText()));
    // controlpos.ini gives the text the room it needs beside the preview.
    EXPECT_EQ(converter.infoText.getWindowRect(), NRect(350, 20, 330, 260));

    // Larger: the converter window follows, the buttons keep their column at
    // the right edge, "Ausgabe" on top, 100, 70 and 40 pixels above the bottom.
    window.moveWindow(10, 10, 1000, 700);
    pump();
    const NSize client = window.getClientSize();
    EXPECT_EQ(converter.getWindowRect(), NRect(0, 0, client.cx, client.cy));
    const struct {
        NButton* button;
        const char* caption;
        int fromBottom;
    } buttons[] = {{&converter.outputButton, "Ausgabe", 100},
                   {&converter.loadButton, "Laden", 70},
                   {&converter.endButton, "Ende", 40}};
    for (const auto& b : buttons) {
        EXPECT_EQ(textOf(b.button->getWindowText()), b.caption);
        EXPECT_EQ(b.button->getWindowRect(), NRect(client.cx - 100, client.cy - b.fromBottom, 80, 20))
            << b.caption;
    }
}

TEST_F(ConverterWindow, OutputWithoutPictureReportsItAndLeavesTheClipboardAlone)
{
    NClipboard::clear();
    NClipboard::setText("vorher");
    boxes.expect(IDOK);
    click(window.converter.outputButton);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Ausgabe");
    EXPECT_EQ(boxes[0].text, "Es stehen keine Daten zur Verf\xFCgung.");
    EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(clipboardOfOtherProcess(), std::string("vorher", 7));
}

TEST_F(ConverterWindow, LoadedPictureGoesToTheClipboardOnEveryOutput)
{
    // What the generator makes of the picture on its own.
    ConverterBitmap reference;
    reference.load(picture("medium.bmp").c_str());
    const std::string text = textOf(reference.sourceText);
    ASSERT_FALSE(text.empty());

    fileTypes.clear();
    answerPath = picture("medium.bmp");
    boxes.expectDialog([](HWND dialog, const MessageBoxCatcher::Box&) {
        SetTimer(dialog, 1, 50, readTypesAndAnswer);
    });
    click(window.converter.loadButton);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Datei \xF6" "ffnen");
    EXPECT_EQ(fileTypes, (std::vector<std::string>{"AlleDateien", "Alle Bilder", "Bitmap", "PNG", "JPEG"}));
    EXPECT_EQ(window.converter.getWaitCount(), 0);

    // Twice: each press replaces whatever the clipboard held (here another
    // program's HTML) by the text, and confirms.
    for (int press = 0; press < 2; ++press) {
        SCOPED_TRACE(press);
        NClipboard::clear();
        NClipboard::setHtml("<b>anderes Programm</b>");
        boxes.clear();
        boxes.expect(IDOK);
        click(window.converter.outputButton);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes[0].title, "Ausgabe");
        EXPECT_EQ(boxes[0].text, "Ihre Bilddaten wurden in die Zwischenablege kopiert.\r\n\r\n"
                                 "F\xFCgen Sie sie in ein Korvel-Artefakt ein.");
        EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONINFORMATION));
        EXPECT_EQ(clipboardOfOtherProcess(), text + '\0');
        EXPECT_FALSE(NClipboard::isFormatAvailable(NClipboard::getHtmlFormat()));
    }
}

TEST_F(ConverterWindow, CancelledDialogChangesNothing)
{
    load("");
    EXPECT_TRUE(generator().sourceText.isEmpty());
    load(picture("small.bmp"));
    const std::string text = textOf(generator().sourceText);
    const Screen before = preview();
    load("");
    EXPECT_EQ(boxes.count(), 3u);
    EXPECT_EQ(textOf(generator().sourceText), text);
    EXPECT_EQ(generator().targetSize, NSize(60, 40));
    EXPECT_EQ(preview().pixels, before.pixels);
}

TEST_F(ConverterWindow, EveryPictureKeepsItsOwnSize)
{
    load(picture("medium.bmp"));
    load(picture("small.bmp"));
    EXPECT_EQ(generator().targetSize, NSize(60, 40));
    EXPECT_NE(textOf(generator().sourceText).find("{ 'b', 1, 60, 40 ,"), std::string::npos);
    // The old, larger picture is gone from the preview.
    const Screen shot = preview();
    EXPECT_EQ(shot.at(30, 20), shown(blockColour(30, 20)));
    EXPECT_EQ(shot.at(100, 100), background);
}

TEST_F(ConverterWindow, LargePictureIsShownFromTheTopLeftAtItsOwnSizeAndClipped)
{
    load(picture("large.bmp"));
    const NSize client = window.converter.getClientSize();
    const Screen shot = preview();
    // Unscaled: each spot shows the picture's own pixel there, up to the
    // window's right edge; the window keeps its size.
    for (const NPoint& p : {NPoint(1, 1), NPoint(160, 120), NPoint(300, 300), NPoint(client.cx - 2, 5)})
        EXPECT_EQ(shot.at(p.x, p.y), shown(blockColour(p.x, p.y))) << p.x << "," << p.y;
    EXPECT_EQ(NSize(window.getWindowRect().width, window.getWindowRect().height),
              NSize(MainWnd::creationWidth, MainWnd::creationHeight));
    // The frames are drawn over it, dotted: every other pixel of the lines
    // x = 320 (rows 1 to 239) and y = 320 (columns 1 to 239).
    int landscape = 0, portrait = 0;
    for (int i = 1; i < 240; ++i) {
        landscape += shot.at(320, i) == blue;
        portrait += shot.at(i, 320) == blue;
    }
    EXPECT_NEAR(landscape, 120, 2);
    EXPECT_NEAR(portrait, 120, 2);
    EXPECT_NE(shot.at(321, 100), blue);
    // The controls stay in front of the picture.
    const NRect button = window.converter.outputButton.getWindowRect();
    EXPECT_EQ(shot.at(button.x + 10, button.y + 5), buttonFace);
}

TEST_F(ConverterWindow, DroppedFilesLoadTheFirstOfThem)
{
    const std::string files[] = {picture("small.bmp"), picture("medium.bmp")};
    std::string names;
    for (const std::string& f : files)
        names += f + '\0';
    names += '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    DROPFILES* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(drop);
    EXPECT_TRUE(GetWindowLongA(window.converter.hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    SendMessageA(window.converter.hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    pump();
    EXPECT_EQ(generator().targetSize, NSize(60, 40));
    EXPECT_EQ(window.converter.getWaitCount(), 0);
}

TEST_F(ConverterWindow, ScrollLockStartsTheLayouterOfTheConverterWindowOnly)
{
    ASSERT_TRUE(globalResources.isDiskResources());
    NFileIni& layout = globalResources.getControlPosIni();
    const std::string stored = readBytes(layout.getPath().getBuffer());
    SetFocus(window.hwnd);
    ASSERT_EQ(GetFocus(), window.converter.hwnd);
    SendMessageA(GetFocus(), WM_KEYDOWN, VK_SCROLL, 0x460001);
    EXPECT_TRUE(window.converter.isPositioning());
    EXPECT_FALSE(window.isPositioning());
    SendMessageA(GetFocus(), WM_KEYDOWN, VK_SCROLL, 0x460001);
    EXPECT_FALSE(window.converter.isPositioning());
    // Ending the layouter wrote the positions: the build's file stays as it was.
    const NString path = layout.getPath();
    layout.close(false);
    writeBytes(path.getBuffer(), stored);
    layout.open(path);
}

TEST_F(ConverterWindow, EndClosesTheProgramAndStoresThePosition)
{
    // Not pumped: the quit message must stay for the check.
    SendMessageA(window.converter.endButton.hwnd, BM_CLICK, 0, 0);
    EXPECT_FALSE(window.isWindow());
    WPARAM code = 99;
    EXPECT_TRUE(takeQuit(&code));
    EXPECT_EQ(code, 0u);
    NFileIni& config = globalApplicationBasic.userConfig;
    EXPECT_EQ(textOf(config.getValue("MainWnd", "winpostype")), "std");
    EXPECT_FALSE(config.getValue("MainWnd", "winpos").isEmpty());
}

}  // namespace
