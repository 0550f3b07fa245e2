#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "MessageBoxCatcher.h"
#include "NImage.h"
#include "NImageList.h"
#include "NResources.h"
#include "PaintTestSupport.h"
#include "TestFiles.h"

namespace {

const COLORREF grey = RGB(128, 128, 128);
const uint32_t M = 0xFF00FF, Y = 0xFFFF00, B = 0x0000FF, R = 0xFF0000;

COLORREF ref(uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// 4 x 2: magenta at the top left, yellow at the top right, blue elsewhere.
const std::vector<uint32_t> keyed = {M, B, B, Y, B, B, M, B};

// A folder the resource manager searches, with the test pictures in it.
struct Pictures {
    Pictures()
    {
        if (!globalResources.isInitialised()) {
            globalResources.setProgramFolder(programFolder().c_str());
            globalResources.init();
        }
        globalResources.addFolder(folder.path().c_str(), false);
        writeBmp(folder.file("keyed.bmp"), 4, 2, keyed);
        std::vector<uint32_t> halves(40 * 20);  // left half red, right half blue
        for (size_t i = 0; i < halves.size(); ++i)
            halves[i] = i % 40 < 20 ? R : B;
        writeBmp(folder.file("halves.bmp"), 40, 20, halves);
        writeBmp(folder.file("mask.bmp"), 4, 2, {0xFFFFFF, 0xFFFFFF, 0, 0, 0xFFFFFF, 0xFFFFFF, 0, 0});
    }
    TestFolder folder;
};

// `keyed` as drawn over grey, with `through` showing the grey.
void expectKeyed(const Pixels& p, int x, int y, const std::function<bool(int)>& through)
{
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p.at(x + i % 4, y + i / 4), through(i) ? grey : ref(keyed[i])) << "pixel " << i;
}

}  // namespace

TEST(NImage, TransparentColourLeavesItsPixelsUntouched)
{
    Pictures pictures;
    const struct {
        int transparent;
        uint32_t hidden;
    } cases[] = {{NImage::transparentNone, 0}, {NImage::transparentTopLeft, M}, {int(ref(Y)), Y}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.transparent);
        NImage image;
        ASSERT_TRUE(image.load("keyed.bmp", 2, 3));
        EXPECT_EQ(image.getRect(), NRect(2, 3, 4, 2));
        image.setTransparentColor(c.transparent);
        Canvas canvas(8, 8, grey);
        image.draw(canvas.dc);
        expectKeyed(canvas.pixels(), 2, 3, [&](int i) { return keyed[i] == c.hidden; });
    }
}

TEST(NImage, KeepAspectTakesTheSmallerFactor)
{
    Pictures pictures;
    NImage image;
    image.setKeepAspect(true);
    image.setSize(200, 50);
    EXPECT_EQ(image.getRect().getSize(), NSize(0, 0));
    ASSERT_TRUE(image.load("halves.bmp"));
    const struct {
        int width, height, expectedWidth, expectedHeight;
    } cases[] = {{100, 100, 100, 50}, {60, 10, 20, 10}, {80, 40, 80, 40}, {25, 100, 25, 13}};
    for (const auto& c : cases) {
        image.setSize(c.width, c.height);
        EXPECT_EQ(image.getRect().getSize(), NSize(c.expectedWidth, c.expectedHeight));
    }

    image.setSize(100, 100);
    Canvas canvas(120, 120, grey);
    image.draw(canvas.dc);
    const Pixels p = canvas.pixels();
    EXPECT_EQ(p.at(10, 25), ref(R));
    EXPECT_EQ(p.at(99, 49), ref(B));
    EXPECT_EQ(p.at(50, 50), grey);
    EXPECT_EQ(p.at(100, 10), grey);

    image.setStretch(false);
    EXPECT_EQ(image.getRect().getSize(), NSize(40, 20));
    image.setKeepAspect(false);
    image.setSize(50, 50);
    EXPECT_TRUE(image.isStretched());
}

TEST(NImage, ScaledCopyIsMadeOncePerDisplaySize)
{
    Pictures pictures;
    PlainWindow window(80, 60);
    NImage image;
    ASSERT_TRUE(image.load("halves.bmp"));
    image.setKeepAspect(true);
    image.setFitToWindow(true);
    Canvas canvas(100, 100, grey);
    image.draw(canvas.dc, window.hwnd);
    EXPECT_TRUE(image.hasScaledCopy());
    EXPECT_EQ(image.getRect(), NRect(0, 0, 80, 40));

    // Paint the picture itself green: the next draw still shows the copy ...
    HDC memory = CreateCompatibleDC(canvas.dc);
    HGDIOBJ old = SelectObject(memory, image.getBitmap());
    PatBlt(memory, 0, 0, 40, 20, BLACKNESS);
    SelectObject(memory, old);
    DeleteDC(memory);
    image.draw(canvas.dc, window.hwnd);
    EXPECT_EQ(canvas.pixels().at(70, 30), ref(B));

    // ... until a new window size asks for a new one.
    SetWindowPos(window.hwnd, nullptr, 0, 0, 60, 60, SWP_NOMOVE | SWP_NOZORDER);
    image.draw(canvas.dc, window.hwnd);
    EXPECT_EQ(image.getRect(), NRect(0, 0, 60, 30));
    EXPECT_EQ(canvas.pixels().at(50, 20), RGB(0, 0, 0));
}

TEST(NImage, IconMasksTheTransparentColour)
{
    Pictures pictures;
    NImage image;
    ASSERT_TRUE(image.load("keyed.bmp"));
    image.setTransparentColor(NImage::transparentTopLeft);
    HICON icon = image.createIcon();
    ASSERT_NE(icon, nullptr);
    Canvas canvas(4, 2, grey);
    DrawIconEx(canvas.dc, 0, 0, icon, 4, 2, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    expectKeyed(canvas.pixels(), 0, 0, [](int i) { return keyed[i] == M; });
}

TEST(NImageList, AddsPicturesWithMasksAndReportsAMissingOne)
{
    Pictures pictures;
    // An image only logs a missing picture and stays empty; the list shows a box.
    NImage image;
    globalError.log = "";
    EXPECT_FALSE(image.load("missing.bmp"));
    EXPECT_EQ(text(globalError.log), logged("Fehler beim Laden des Bitmap missing.bmp\r\n"));
    globalError.log = "";
    EXPECT_FALSE(image.isVisible());

    NImageList list;
    ASSERT_TRUE(list.create(4, 2, ILC_COLOR24 | ILC_MASK, 1, 1));
    EXPECT_EQ(list.add("keyed.bmp"), 0);
    EXPECT_EQ(list.add("keyed.bmp", NImageList::maskTopLeft), 1);
    EXPECT_EQ(list.add("keyed.bmp", "mask.bmp"), 2);
    {
        MessageBoxCatcher boxes;
        boxes.expect(IDOK);
        EXPECT_EQ(list.add("missing.bmp"), -1);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes[0].title, "Fehler !");
        EXPECT_EQ(boxes[0].text, "NImageList.add(..): Fehler beim Laden des Bitmaps\r\nmissing.bmp\r\n");
        EXPECT_EQ(boxes[0].icon, unsigned(MB_ICONERROR));
    }
    EXPECT_EQ(list.getCount(), 3);

    // Drawn over grey: the top-left colour, or the white mask pixels, let it through.
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(index);
        Canvas canvas(4, 2, grey);
        ImageList_Draw(list.getHandle(), index, canvas.dc, 0, 0, ILD_TRANSPARENT);
        expectKeyed(canvas.pixels(), 0, 0, [&](int i) {
            return (index == 1 && keyed[i] == M) || (index == 2 && i % 4 < 2);
        });
    }
}
