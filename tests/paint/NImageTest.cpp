#include <windows.h>
#include <commctrl.h>



#include "NImage.h"
#include "NImageList.h"
#include "PaintTestSupport.h"

namespace {

const COLORREF grey = RGB(128, 128, 128), blue = RGB(0, 0, 255);
// 4 x 2 in colours whose red equals their blue (a colour reference reads the same).
const uint32_t M = 0xFF00FF, G = 0x00FF00, P = 0x600060;
const std::vector<uint32_t> keyed = {M, P, P, G, P, P, M, P};

// A folder the resource manager searches, with the test pictures in it.
struct Pictures {
    Pictures()
    {
        useProgramResources();
        globalResources.addFolder(folder.path().c_str(), false);
        writeBmp(folder.file("keyed.bmp"), 4, 2, keyed);
        std::vector<uint32_t> halves(40 * 20);  // left half red, right half blue
        for (size_t i = 0; i < halves.size(); ++i) halves[i] = i % 40 < 20 ? 0xFF0000 : 0xFF;
        writeBmp(folder.file("halves.bmp"), 40, 20, halves);
        writeBmp(folder.file("mask.bmp"), 4, 2, {0xFFFFFF, 0xFFFFFF, 0, 0, 0xFFFFFF, 0xFFFFFF, 0, 0});
    }
    TestFolder folder;
};

// `keyed` as drawn at (x, y) over grey, with `through(i)` showing the grey.
void expectKeyed(const Pixels& p, int x, int y, const std::function<bool(int)>& through)
{
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p.at(x + i % 4, y + i / 4), through(i) ? grey : COLORREF(keyed[i])) << i;
}

}  // namespace

TEST(NImage, TransparentColourAlsoInTheIconKeepAspectAndTheListWithMasksAndAMissingPicture)
{
    Pictures pictures;
    const std::pair<int, uint32_t> cases[] = {{NImage::transparentNone, 0}, {NImage::transparentTopLeft, M}, {int(G), G}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        NImage image;
        ASSERT_TRUE(image.load("keyed.bmp", 2, 3));
        image.setTransparentColor(c.first);
        Canvas canvas(8, 8, grey);
        image.draw(canvas.dc);
        HICON icon = image.createIcon();
        DrawIconEx(canvas.dc, 0, 6, icon, 4, 2, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
        const Pixels p = canvas.pixels();
        expectKeyed(p, 2, 3, [&](int i) { return keyed[i] == c.second; });
        expectKeyed(p, 0, 6, [&](int i) { return keyed[i] == c.second; });
    }

    // Keep aspect takes the smaller factor, and every size has its own copy.
    PlainWindow window(80, 60);
    NImage image;
    image.setKeepAspect(true);
    image.setSize(200, 50);
    ASSERT_TRUE(image.load("halves.bmp"));
    // 40 x 20: a tie takes the height quotient; halves round up.
    for (const auto& c : {NRect(100, 100, 100, 50), NRect(60, 10, 20, 10), NRect(80, 40, 80, 40), NRect(25, 100, 25, 13)}) {
        image.setSize(c.x, c.y);
        EXPECT_EQ(image.getRect().getSize(), NSize(c.width, c.height)) << c.x << "x" << c.y;
    }
    image.setStretch(false);
    EXPECT_EQ(image.getRect().getSize(), NSize(40, 20));

    // Drawn stretched, to the window's size or to a size of its own: the right half blue to the last column.
    image.setStretch(true);
    image.setFitToWindow(true);
    for (int width : {60, 80}) {
        SetWindowPos(window.hwnd, nullptr, 0, 0, width, 60, SWP_NOMOVE | SWP_NOZORDER);
        Canvas canvas(100, 100, grey);
        image.draw(canvas.dc, window.hwnd);
        EXPECT_EQ(image.getRect(), NRect(0, 0, width, width / 2));
        expectSpots(canvas.pixels(), {{width - 1, width / 2 - 1, blue}, {width, 10, grey}});
    }
    image.setFitToWindow(false);
    image.setKeepAspect(false);
    for (int width : {30, 50}) {
        image.setSize(width, 40);
        Canvas canvas(100, 100, grey);
        image.draw(canvas.dc);
        expectSpots(canvas.pixels(), {{width - 1, 39, blue}, {width, 20, grey}});
    }

    // An image only logs a missing picture; the list shows a box.
    globalError.log = "";
    EXPECT_FALSE(image.load("missing.bmp"));
    expectLogged("Fehler beim Laden des Bitmap missing.bmp\r\n");

    NImageList list;
    ASSERT_TRUE(list.create(4, 2, ILC_COLOR24 | ILC_MASK, 1, 1));
    int index = 0;
    for (const char* mask : {"", NImageList::maskTopLeft, "mask.bmp"}) EXPECT_EQ(list.add("keyed.bmp", mask), index++);
    MessageBoxCatcher boxes(1);
    EXPECT_EQ(list.add("missing.bmp"), -1);
    expectErrorBox(boxes[0], "NImageList.add(..): Fehler beim Laden des Bitmaps\r\nmissing.bmp\r\n");
    EXPECT_EQ(list.getCount(), 3);
    // Drawn over grey: the top-left colour, or the white mask pixels, let it through.
    for (index = 0; index < 3; ++index) {
        Canvas canvas(4, 2, grey);
        ImageList_Draw(list.getHandle(), index, canvas.dc, 0, 0, ILD_TRANSPARENT);
        expectKeyed(canvas.pixels(), 0, 0, [&](int i) { return (index == 1 && i % 6 == 0) || (index == 2 && i % 4 < 2); });
    }
}

