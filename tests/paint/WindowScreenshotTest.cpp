// A library window paints shapes, text and a picture with a transparent
// colour through its device; the test reads the screen back and checks the
// pixels that matter.
#include <windows.h>

#include <gtest/gtest.h>

#include "MessageBoxCatcher.h"
#include "NApplication.h"
#include "NResources.h"
#include "NWindow.h"
#include "PaintTestSupport.h"
#include "TestFiles.h"

namespace {

const COLORREF background = 0xA08D8C;
const COLORREF red = RGB(255, 0, 0);
const COLORREF blue = RGB(0, 0, 255);
const COLORREF yellow = RGB(255, 255, 0);
const COLORREF white = RGB(255, 255, 255);
const COLORREF green = RGB(0, 128, 0);

class ShotWindow : public NWindow {
public:
    ShotWindow()
    {
        style = WS_POPUP | WS_VISIBLE;
        rect = NRect(60, 60, 220, 140);
        title = "Screenshot";
    }
    void onPaint(NPainter& painter) override
    {
        painter.rectangle(NRect(10, 10, 60, 40), red, blue);
        painter.ellipse(NRect(80, 10, 40, 40), -1, yellow);
        painter.setFont("Arial", 16);
        painter.setTextColor(white, -1);
        NRect text(10, 60, 120, 40);
        painter.drawText(text, "&Laden", "&");
    }
};

}  // namespace

TEST(WindowScreenshot, ShapesTextAndTransparentPictureOnScreen)
{
    if (!globalResources.isInitialised()) {
        globalResources.setProgramFolder(programFolder().c_str());
        globalResources.init();
    }
    if (!globalApplication.instance)
        globalApplication.instance = GetModuleHandleA(nullptr);
    // 30 x 20 in 5 x 5 blocks, magenta (the top left colour) and green.
    TestFolder folder;
    std::vector<uint32_t> blocks(30 * 20);
    for (int i = 0; i < 600; ++i)
        blocks[i] = ((i % 30) / 5 + (i / 30) / 5) % 2 ? 0x008000 : 0xFF00FF;
    writeBmp(folder.file("blocks.bmp"), 30, 20, blocks);

    for (bool noFlicker : {false, true}) {
        SCOPED_TRACE(noFlicker ? "noFlicker" : "direct");
        MessageBoxCatcher boxes;
        ShotWindow window;
        window.device.setNoFlicker(noFlicker);
        ASSERT_TRUE(window.setBackgroundImage(folder.file("blocks.bmp").c_str()));
        window.background.setPosition(150, 80);
        window.background.setTransparentColor(NImage::transparentTopLeft);
        ASSERT_TRUE(window.create());
        UpdateWindow(window.hwnd);

        // The screen as the X server shows it, once Wine has handed the paint over.
        POINT origin = {0, 0};
        ClientToScreen(window.hwnd, &origin);
        Pixels shot;
        for (int wait = 0; wait < 100; ++wait) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            shot = capture(nullptr, origin.x, origin.y, 220, 140);
            if (shot.at(35, 30) == blue && shot.at(200, 130) == background)
                break;
            Sleep(20);
        }

        EXPECT_EQ(shot.at(10, 10), red);
        EXPECT_EQ(shot.at(69, 49), red);
        EXPECT_EQ(shot.at(35, 30), blue);
        EXPECT_EQ(shot.at(100, 30), yellow);
        EXPECT_EQ(shot.at(81, 11), background);
        EXPECT_EQ(shot.at(200, 130), background);
        // The picture: green blocks drawn, magenta blocks leave the background.
        for (int y = 2; y < 20; y += 5)
            for (int x = 2; x < 30; x += 5)
                EXPECT_EQ(shot.at(150 + x, 80 + y), (x / 5 + y / 5) % 2 ? green : background)
                    << x << "," << y;
        // The text: white ink in its rectangle, its lowest row the line under the L.
        int ink = 0, lowest = 0, underline = 0;
        for (int i = 0; i < 120 * 40; ++i)
            if (shot.at(10 + i % 120, 60 + i / 120) == white) {
                ++ink;
                lowest = 60 + i / 120;
            }
        for (int x = 10; x < 30; ++x)
            underline += shot.at(x, lowest) == white;
        EXPECT_GT(ink, 40);
        EXPECT_GE(underline, 6);

        globalError.log = "";
        window.destroy();
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}
