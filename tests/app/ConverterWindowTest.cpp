#include <windows.h>
#include <shlobj.h>
#include <algorithm>
#include <gtest/gtest.h>

#include "../window/WindowTestSupport.h"
#include "ConverterBitmap.h"
#include "MainWnd.h"
#include "NApplicationBasic.h"
#include "NClipboard.h"
#include "NDebug.h"
#include "NResources.h"
#include "ProcessRunner.h"
#include "ScreenPixels.h"
#include "TestFiles.h"

namespace {

const COLORREF background = RGB(0xF0, 0xF0, 0xF0), blue = RGB(0, 0, 255);
const NSize creationSize(MainWnd::creationWidth, MainWnd::creationHeight);

// Blocks of 50 x 50 whose colour tells where they lie, in steps the 16-bit conversion keeps.
uint32_t blockColour(int x, int y) { return 0xFF000000 | (x / 50 % 10 * 24) << 16 | (y / 50 % 10 * 24) << 8 | 0x88; }

// As the preview shows it: five bits per channel, widened again.
COLORREF shown(int x, int y)
{
    const uint32_t c = blockColour(x, y), s = (c & 0xF8F8F8) | (c >> 5 & 0x070707);
    return RGB(s >> 16 & 0xFF, s >> 8 & 0xFF, s & 0xFF);
}

std::string picture(const char* name)
{
    static TestFolder folder;
    return folder.file(name);
}

std::wstring widen(const std::string& ansi)
{
    std::wstring wide(ansi.size(), L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), &wide[0], int(wide.size()))));
    return wide;
}

// The clipboard text as another process reads it, zero byte included, polled for `expected`.
std::string clipboardOfAnotherProcess(const std::string& expected)
{
    std::string out;
    pumpUntil([&] { return (out = runProcess("\"" + programFolder() + "nek_clipdump.exe\" text").out) == expected; });
    return out;
}

// The open dialog fills its file types after activation: a timer reads them, then types
// answerPath into the name field (or cancels when empty); a refused name is cancelled after 3 s.
std::vector<std::string> fileTypes;
std::string answerPath;

void CALLBACK cancelStuck(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK readTypesAndAnswer(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    const HWND types = GetDlgItem(dialog, 0x470);
    fileTypes.clear();
    for (int i = 0; i < SendMessageA(types, CB_GETCOUNT, 0, 0); ++i) {
        char item[64] = "";
        SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        fileTypes.push_back(item);
    }
    SetDlgItemTextA(dialog, 0x47C, answerPath.c_str());
    PostMessageA(dialog, WM_COMMAND, answerPath.empty() ? IDCANCEL : IDOK, 0);
    SetTimer(dialog, 2, 3000, cancelStuck);
}

class ConverterWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        useProgramResources();
        if (globalApplicationBasic.getProgramPath().isEmpty())
            globalApplicationBasic.readCommandLine();
        const std::pair<const char*, NSize> files[] = {
            {"large.bmp", NSize(1000, 700)}, {"medium.bmp", NSize(400, 300)}, {"small.bmp", NSize(60, 40)}};
        for (const auto& f : files) {
            std::vector<uint32_t> pixels(size_t(f.second.cx) * f.second.cy);
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = blockColour(int(i % f.second.cx), int(i / f.second.cx));
            writeBmp(picture(f.first), f.second.cx, f.second.cy, pixels);
        }
    }
    void SetUp() override
    {
        // The window switches the debug channel on; keep it from other programs' listeners.
        globalDebug.off = true;
        globalDebug.connectState = 2;
        if (globalApplication.openUserConfigFile()) {
            globalApplicationBasic.userConfig.setValue("MainWnd", "winpos", "");
            globalApplicationBasic.userConfig.save();
        }
        ASSERT_TRUE(window.create());
        window.show(SW_SHOWNORMAL);
        SetWindowPos(window.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        UpdateWindow(window.hwnd);
        pump();
    }
    void TearDown() override
    {
        window.destroy();
        pump();
        globalDebug.off = true;
    }

    void click(NButton& button)
    {
        SendMessageA(button.hwnd, BM_CLICK, 0, 0);
        pumpFor(100);
    }
    // "Laden" with the open dialog answered by `path` (empty: cancelled).
    void load(const std::string& path)
    {
        answerPath = path;
        boxes.expectDialog([](HWND dialog, const MessageBoxCatcher::Box&) { SetTimer(dialog, 1, 50, readTypesAndAnswer); });
        click(window.converter.loadButton);
    }
    // Files dropped as Explorer hands them over: UTF-16, each name and the list ended by a zero.
    void drop(const std::wstring& names)
    {
        HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + 2 * names.size() + 4);
        DROPFILES* header = static_cast<DROPFILES*>(GlobalLock(drop));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        memcpy(header + 1, names.data(), 2 * names.size());
        GlobalUnlock(drop);
        SendMessageA(window.converter.hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        pump();
    }
    Pixels preview()
    {
        const NSize size = window.converter.getClientSize();
        POINT origin = {0, 0};
        ClientToScreen(window.converter.hwnd, &origin);
        return capture(nullptr, origin.x, origin.y, size.cx, size.cy);
    }
    // The preview once it shows every spot (or after 5 s).
    Pixels previewWith(std::initializer_list<Spot> spots)
    {
        Pixels shot;
        pumpUntil([&] {
            shot = preview();
            return std::all_of(spots.begin(), spots.end(), [&](const Spot& s) { return shot.at(s.x, s.y) == s.colour; });
        });
        expectSpots(shot, spots);
        return shot;
    }
    // "Ausgabe" without data: the error box, and the clipboard keeps `kept`.
    void expectNothingToCopy(const std::string& kept)
    {
        NClipboard::clear();
        NClipboard::setText(kept.c_str());
        boxes.clear();
        boxes.expect(IDOK);
        click(window.converter.outputButton);
        ASSERT_EQ(boxes.count(), 1u);
        expectBox(boxes[0], "Ausgabe", "Es stehen keine Daten zur Verf\xFCgung.", MB_ICONERROR);
        EXPECT_EQ(clipboardOfAnotherProcess(kept + '\0'), kept + '\0');
    }

    MainWnd window;
    MainWindowSwap swap{&window};
    MessageBoxCatcher boxes;
};

}  // namespace

TEST_F(ConverterWindow, MainWindowLendsItsClientAreaToTheConverterAndItsControls)
{
    EXPECT_EQ(str(window.getWindowText()), "Ondra Bitmap-Konverter");
    EXPECT_FALSE(globalDebug.off);
    BitmapConverterWnd& converter = window.converter;
    EXPECT_EQ(converter.getStyle() & (WS_CAPTION | WS_THICKFRAME | WS_POPUP), 0u);
    // The creation size is the smallest; at it the frames' square, text, logo and buttons do not overlap.
    MINMAXINFO limits = {};
    SendMessageA(window.hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(NSize(limits.ptMinTrackSize.x, limits.ptMinTrackSize.y), creationSize);
    const NRect areas[] = {NRect(0, 0, 321, 321), converter.infoText.getWindowRect(), converter.logo.getWindowRect(),
                           converter.outputButton.getWindowRect(), converter.loadButton.getWindowRect(),
                           converter.endButton.getWindowRect()};
    RECT both;
    for (const NRect& a : areas)
        for (const NRect& b : areas)
            EXPECT_TRUE(&a == &b || !IntersectRect(&both, &a.getRECT(), &b.getRECT())) << a.x << "," << b.x;
    EXPECT_EQ(str(converter.infoText.getWindowText()), str(BitmapConverterWnd::informationText()));
    EXPECT_EQ(converter.infoText.getWindowRect(), NRect(350, 20, 330, 260));

    // Larger: the converter follows; the buttons keep their column 100, 70, 40 pixels above the bottom.
    window.moveWindow(10, 10, 1000, 700);
    pump();
    const NSize client = window.getClientSize();
    EXPECT_EQ(converter.getWindowRect(), NRect(0, 0, client.cx, client.cy));
    const std::pair<NButton*, const char*> buttons[] = {
        {&converter.outputButton, "Ausgabe"}, {&converter.loadButton, "Laden"}, {&converter.endButton, "Ende"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(str(buttons[i].first->getWindowText()), buttons[i].second);
        EXPECT_EQ(buttons[i].first->getWindowRect(), NRect(client.cx - 100, client.cy - 100 + 30 * i, 80, 20));
    }
}

TEST_F(ConverterWindow, OutputLoadDropAndCancel)
{
    expectNothingToCopy("vorher");

    boxes.clear();
    load(picture("large.bmp"));
    EXPECT_EQ(boxes[0].title, "Datei \xF6" "ffnen");
    EXPECT_EQ(fileTypes, (std::vector<std::string>{"AlleDateien", "Alle Bilder", "Bitmap", "PNG", "JPEG"}));
    // Shown at its own size from the top left, clipped by the window, which keeps its size.
    const NSize client = window.converter.getClientSize();
    const Pixels shot = previewWith({{1, 1, shown(1, 1)}, {160, 120, shown(160, 120)}, {300, 300, shown(300, 300)},
                                     {client.cx - 2, 5, shown(client.cx - 2, 5)}});
    EXPECT_EQ(window.getWindowRect().getSize(), creationSize);
    // The frames are dotted over it: every other pixel of x = 320 and y = 320, rows/columns 1 to 239.
    int dots = 0;
    for (int i = 1; i < 240; ++i)
        dots += (shot.at(320, i) == blue) + (shot.at(i, 320) == blue);
    EXPECT_NEAR(dots, 240, 4);
    EXPECT_NE(shot.at(321, 100), blue);
    const NRect button = window.converter.outputButton.getWindowRect();  // in front, in controlpos.ini's face
    EXPECT_EQ(shot.at(button.x + 10, button.y + 5), RGB(0xF0, 0xF0, 0xFF));
    // A cancelled dialog changes nothing; the area it covered is painted again.
    const std::string text = str(window.converter.converter.sourceText);
    load("");
    EXPECT_EQ(str(window.converter.converter.sourceText), text);
    Pixels after;
    pumpUntil([&] { return (after = preview()).bits == shot.bits; });
    EXPECT_EQ(after.bits, shot.bits);

    // Twice: each press replaces what the clipboard held (another program's HTML) and confirms.
    for (int press = 0; press < 2; ++press) {
        NClipboard::setHtml("<b>anderes Programm</b>");
        boxes.clear();
        boxes.expect(IDOK);
        click(window.converter.outputButton);
        expectBox(boxes[0], "Ausgabe", "Ihre Bilddaten wurden in die Zwischenablege kopiert.\r\n\r\n"
                                       "F\xFCgen Sie sie in ein Korvel-Artefakt ein.", MB_ICONINFORMATION);
        EXPECT_EQ(clipboardOfAnotherProcess(text + '\0'), text + '\0');
        EXPECT_FALSE(NClipboard::isFormatAvailable(NClipboard::getHtmlFormat()));
    }

    // Of dropped files the first is loaded, at its own size.
    EXPECT_TRUE(GetWindowLongA(window.converter.hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    drop(widen(picture("small.bmp")) + L'\0' + widen(picture("medium.bmp")) + L'\0');
    EXPECT_EQ(window.converter.getWaitCount(), 0);
    previewWith({{30, 20, shown(30, 20)}, {100, 100, background}});
}

// An unloadable picture never leaves the previous text to copy: a non-ANSI title (dropped, or as
// the dialog hands it over), a missing file, a folder are refused with a box; no picture: no box.
TEST_F(ConverterWindow, APictureThatCannotBeLoadedLeavesNothingToCopy)
{
    const std::wstring foreign = widen(picture("")) + L"bild\u56FE\u7247.png";
    const std::wstring folder = widen(picture("")) + L"\u56FE\u7247";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const std::wstring& copy : {foreign, folder + L"\\klein.bmp"})
        ASSERT_TRUE(CopyFileW(widen(picture("small.bmp")).c_str(), copy.c_str(), FALSE));
    const std::string asGiven = picture("bild??.png");
    writeBytes(picture("kaputt.png"), "\x89PNG\r\n\x1A\n kein Bild");
    const struct { std::wstring dropped; std::string path, reason; } cases[] = {
        {foreign, asGiven, "Der Dateititel l\xE4sst sich im ANSI-Zeichensatz nicht schreiben und taugt so nicht als "
                           "Symbolname; benennen Sie die Datei bitte um."},
        {L"", asGiven, "Der Name enth\xE4lt Zeichen, die der ANSI-Zeichensatz nicht darstellen kann; benennen Sie die "
                       "Datei bitte um."},
        {L"", picture("fehlt.png"), "Die Datei existiert nicht."},
        {L"", picture("").substr(0, picture("").size() - 1), "Das ist ein Ordner, kein Bild."},
        {L"", picture("kaputt.png"), ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        window.converter.loadPicture(picture("small.bmp").c_str());
        ASSERT_FALSE(window.converter.converter.sourceText.isEmpty());
        boxes.clear();
        if (!c.reason.empty())
            boxes.expect(IDOK);
        drop(c.dropped.empty() ? widen(c.path) : c.dropped);
        ASSERT_EQ(boxes.count(), size_t(!c.reason.empty()));
        if (!c.reason.empty())
            expectBox(boxes[0], "Laden", "Das Bild " + c.path + " kann nicht geladen werden.\r\n" + c.reason, MB_ICONERROR);
        EXPECT_TRUE(window.converter.converter.sourceText.isEmpty());
        previewWith({{30, 20, background}});
        expectNothingToCopy("anderes");
    }
    // Too big for memory (the header announces 30000 x 30000): no box, a line in the error log.
    writeBytes(picture("riesig.png"), std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x75\x30\0\0\x75\x30\x08\x02", 26));
    drop(widen(picture("riesig.png")));
    const std::string log = str(globalError.log);
    globalError.log = "";
    EXPECT_NE(log.find("Das Bild " + picture("riesig.png") + " ist zu gro\xDF, um es im Speicher zu lesen."), std::string::npos);
    EXPECT_EQ(log.find("das 64-Bit-Programm (Archiv win64)") != std::string::npos, sizeof(void*) == 4) << log;
    EXPECT_TRUE(window.converter.converter.sourceText.isEmpty());
    drop(folder + L"\\klein.bmp");
    EXPECT_NE(str(window.converter.converter.sourceText).find("_bmp_klein = { 'b', 1, 60, 40 ,"), std::string::npos);
    previewWith({{30, 20, shown(30, 20)}});  // a non-ANSI folder is no obstacle
}

TEST_F(ConverterWindow, ScrollLockStartsTheLayouterOfTheConverterWindowOnlyAndEndClosesTheProgram)
{
    ASSERT_TRUE(globalResources.isDiskResources());
    NFileIni& layout = globalResources.getControlPosIni();
    const NString path = layout.getPath();
    const std::string stored = readBytes(path.getBuffer());
    // A key of a control that is gone, and a section behind the window's.
    layout.setValue("BitmapConverterWnd", "NButton,1,2,3,4", "5,6,7,8");
    layout.setSectionText("Zuletzt", "; bleibt\r\nx=1\r\n");
    SetFocus(window.hwnd);
    ASSERT_EQ(GetFocus(), window.converter.hwnd);
    SendMessageA(GetFocus(), WM_KEYDOWN, VK_SCROLL, 0x460001);
    EXPECT_TRUE(window.converter.isPositioning());
    EXPECT_FALSE(window.isPositioning());
    SendMessageA(GetFocus(), WM_KEYDOWN, VK_SCROLL, 0x460001);
    EXPECT_FALSE(window.converter.isPositioning());
    // Ending it wrote the positions anew: old keys gone, the comment and other sections kept.
    const std::string written = readBytes(path.getBuffer());
    const size_t section = stored.find("[BitmapConverterWnd]");
    ASSERT_NE(section, std::string::npos);
    EXPECT_EQ(written.substr(0, section), stored.substr(0, section));
    const std::string body = written.substr(section, written.find("\r\n[Zuletzt]") - section);
    EXPECT_EQ(body.find("[BitmapConverterWnd]\r\n; The information text needs room for its lines beside the 320 x 240 "
                        "preview.\r\n"), 0u) << body;
    EXPECT_NE(body.find("\nNStatic,350,100,80,20=350,20,330,260\r\n"), std::string::npos) << body;
    EXPECT_EQ(body.find("NButton,1,2,3,4"), std::string::npos) << body;
    EXPECT_EQ(written.substr(written.find("[Zuletzt]")), "[Zuletzt]\r\n; bleibt\r\nx=1\r\n");
    layout.close(false);
    writeBytes(path.getBuffer(), stored);
    layout.open(path);

    // "Ende" closes the program and stores the position (not pumped: the quit message stays).
    SendMessageA(window.converter.endButton.hwnd, BM_CLICK, 0, 0);
    EXPECT_FALSE(window.isWindow());
    WPARAM code = 99;
    EXPECT_TRUE(takeQuit(&code) && code == 0) << code;
    NFileIni& config = globalApplicationBasic.userConfig;
    EXPECT_EQ(str(config.getValue("MainWnd", "winpostype")), "std");
    EXPECT_FALSE(config.getValue("MainWnd", "winpos").isEmpty());
}

// A stored place counts only inside a monitor's work area, at least at the creation size; else the
// window takes its programmed place, and that is stored again.
TEST_F(ConverterWindow, AStoredPlaceOnlyWhereAMonitorShowsIt)
{
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const NRect inside(work.left + 10, work.top + 20, MainWnd::creationWidth + 30, MainWnd::creationHeight + 10);
    const NRect whole(work.left, work.top, work.right - work.left, work.bottom - work.top);
    NRect programmed;
    const struct { std::string stored; const NRect* expected; } cases[] = {{"", &programmed},
        {"-5000,-5000,820,460", &programmed}, {"100,100,-820,-460", &programmed}, {"100,100,700,400", &programmed},
        {"10,10," + std::to_string(whole.width + 1) + "," + std::to_string(whole.height), &programmed},
        {str(whole.toText(",")), &whole}, {str(inside.toText(",")), &inside}};
    NFileIni& config = globalApplicationBasic.userConfig;
    for (const auto& c : cases) {
        config.setValue("MainWnd", "winpos", c.stored.c_str());
        config.save();
        MainWnd other;
        MainWindowSwap swap{&other};
        ASSERT_TRUE(other.create());
        other.show(SW_SHOWNORMAL);
        pump();
        const NRect shown = other.getWindowRect();
        programmed = c.stored.empty() ? shown : programmed;
        EXPECT_EQ(shown, *c.expected) << c.stored;
        EXPECT_EQ(str(config.getValue("MainWnd", "winpos")), str(shown.toText(","))) << c.stored;
        other.destroy();
        pump();
    }
    EXPECT_EQ(programmed.getSize(), creationSize);
}
