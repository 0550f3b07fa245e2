// A library window paints shapes, text and a picture with a transparent
// colour through its device; the test reads the screen back.
#include <gtest/gtest.h>

#include "PaintTestSupport.h"

namespace {

const COLORREF background = 0xA08D8C, red = RGB(255, 0, 0), blue = RGB(0, 0, 255),
               yellow = RGB(255, 255, 0), white = RGB(255, 255, 255), green = RGB(0, 128, 0);

class ShotWindow : public NWindow {
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
    useProgramResources();
    // 30 x 20 in 5 x 5 blocks, magenta (the top left colour) and green.
    TestFolder folder;
    std::vector<uint32_t> blocks(30 * 20);
    for (int i = 0; i < 600; ++i)
        blocks[i] = ((i % 30) / 5 + (i / 30) / 5) % 2 ? 0x008000 : 0xFF00FF;
    writeBmp(folder.file("blocks.bmp"), 30, 20, blocks);

    for (bool noFlicker : {false, true}) {
        SCOPED_TRACE(noFlicker);
        MessageBoxCatcher boxes;
        ShotWindow window;
        window.style = WS_POPUP | WS_VISIBLE;
        window.rect = NRect(60, 60, 220, 140);
        window.device.setNoFlicker(noFlicker);
        ASSERT_TRUE(window.setBackgroundImage(folder.file("blocks.bmp").c_str()));
        window.background.setPosition(150, 80);
        window.background.setTransparentColor(NImage::transparentTopLeft);
        ASSERT_TRUE(window.create());
        // The screen as the X server shows it, once Wine has handed the paint over.
        POINT origin = {0, 0};
        ClientToScreen(window.hwnd, &origin);
        Pixels shot;
        for (int wait = 0; wait < 100 && !(shot.width && shot.at(35, 30) == blue && shot.at(200, 130) == background);
             ++wait, Sleep(20)) {
            pump();
            shot = capture(nullptr, origin.x, origin.y, 220, 140);
        }
        expectSpots(shot, {{10, 10, red}, {69, 49, red}, {35, 30, blue}, {100, 30, yellow}, {81, 11, background},
                           {200, 130, background}});
        // The picture: green blocks drawn, magenta blocks leave the background.
        for (int y = 2; y < 20; y += 5)
            for (int x = 2; x < 30; x += 5)
                EXPECT_EQ(shot.at(150 + x, 80 + y), (x / 5 + y / 5) % 2 ? green : background) << x << "," << y;
        // The text: white ink in its rectangle.
        int ink = 0;
        for (int i = 0; i < 120 * 40; ++i)
            ink += shot.at(10 + i % 120, 60 + i / 120) == white;
        EXPECT_GT(ink, 40);
        globalError.log = "";
        window.destroy();
    }
    pump();
}
