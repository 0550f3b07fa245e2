#include "../diag/SocketTestHelpers.h"

#include <gtest/gtest.h>

#include <functional>

#include "NDebug.h"
#include "NDevice.h"
#include "PaintTestSupport.h"

namespace {

const COLORREF white = RGB(255, 255, 255), red = RGB(255, 0, 0), green = RGB(0, 160, 0),
               blue = RGB(0, 0, 255);

// What `draw` puts on a white canvas, as the box around it.
RECT ink(NDevice& device, const std::function<void()>& draw)
{
    Canvas canvas(160, 60, white);
    device.beginPaint(canvas.dc);
    draw();
    device.endPaint();
    return canvas.pixels().inkBox(white);
}

RECT lineInk(int graphicsMode, float zoom)
{
    NDevice device;
    device.setGraphicsMode(graphicsMode);
    device.setZoom(zoom);
    return ink(device, [&] { device.line(5, 10, 30, 10, red); });
}

RECT textInk(const char* text, const char* format)
{
    NDevice device;
    device.setFont("Arial", 24);
    NRect rect(10, 5, 140, 50);
    return ink(device, [&] { device.drawText(rect, text, format); });
}

}  // namespace

TEST(NDevice, RectangleOutlineFillAndDrawnArea)
{
    Canvas canvas(40, 32, white);
    NDevice device;
    EXPECT_EQ(device.getKind(), 's');
    ASSERT_TRUE(device.beginPaint(canvas.dc));
    device.rectangle(NRect(5, 5, 20, 10), red, blue);
    // The colours of one call do not stay: the current pen and no brush again.
    device.setPen(green, 3);
    device.rectangle(NRect(2, 18, 12, 10));
    device.endPaint();

    const Pixels p = canvas.pixels();
    EXPECT_EQ(p.at(5, 5), red);
    EXPECT_EQ(p.at(24, 14), red);
    EXPECT_EQ(p.at(15, 10), blue);
    EXPECT_EQ(p.at(25, 10), white);
    EXPECT_EQ(p.at(2, 23), green);
    EXPECT_EQ(p.at(8, 23), white);
    // Each shape grown by (pen width + 1) / 2: 1 for the first, 2 for the second.
    EXPECT_EQ(device.getDrawnArea(), NRect(0, 4, 26, 26));
}

TEST(NDevice, DrawingOutsideAPaintIsLoggedOncePerOperation)
{
    NDevice device;
    NRect r(0, 0, 5, 5);
    const NPoint corners[3] = {NPoint(0, 0), NPoint(5, 0), NPoint(0, 5)};
#define GUARD(op) "Es wurde ein NDevice::" op "(..) au\xDF" "erhalb von onPaint(..) bzw. ohne " \
                  "vorheriges NDevice::beginPaint(..) verwendet."
    const struct {
        std::function<void()> call;
        const char* text;
    } cases[] = {
        {[&] { device.rectangle(r); }, GUARD("rectangle")},
        {[&] { device.ellipse(r); }, GUARD("ellipse")},
        {[&] { device.line(0, 0, 5, 5); }, GUARD("line")},
        {[&] { device.roundRect(r, NSize(2, 2)); }, GUARD("roundRect")},
        {[&] { device.textOut(0, 0, "x"); }, GUARD("textOut")},
        {[&] { device.fillRectangle(r, 0); }, GUARD("fillRectangle")},
        {[&] { device.polygon(corners, 3); }, GUARD("polygon")},
        {[&] { device.drawText(r, "x"); }, GUARD("drawText")},
        {[&] { EXPECT_EQ(device.getTextSize("x"), NSize()); }, GUARD("getTextSize")},
    };
#undef GUARD
    for (const auto& c : cases) {
        globalError.log = "";
        c.call();
        EXPECT_EQ(text(globalError.log), logged(c.text));
    }
    globalError.log = "";
    EXPECT_EQ(device.getDrawnArea(), NRect());
}

TEST(NDevice, SecondBeginPaintEndsTheFirstAndReportsIt)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    globalDebug.debugPort = listener.port();
    globalDebug.off = false;
    PlainWindow window(40, 40);
    Canvas first(20, 20, white), second(20, 20, white);
    NDevice device;
    device.setHwnd(window.hwnd);
    globalError.log = "";

    ASSERT_TRUE(device.beginPaint(first.dc));
    ASSERT_TRUE(device.beginPaint(second.dc));
    EXPECT_NE(GetCurrentObject(first.dc, OBJ_FONT), device.getFont());
    device.fillRectangle(NRect(0, 0, 20, 20), red);
    device.endPaint();
    EXPECT_FALSE(device.isPainting());
    EXPECT_EQ(first.pixels().at(10, 10), white);
    EXPECT_EQ(second.pixels().at(10, 10), red);

    EXPECT_EQ(text(globalError.log),
              logged("Es wurde ein NDevice::beginPaint(..) ohne vorheriges NDevice::endPaint(..) "
                     "verwendet.\r\nM\xF6gliche Ursachen sind: beginPaint(..) innerhalb von "
                     "onPaint() \r\noder beginnPaint(..) innerhalb von beginnPaint(..)\r\noder ein "
                     "vergessenes endPaint(..)\r\n"));
    const std::string line = "!!!!! Es wurde ein NekPaintTest->NDevice::beginPaint(..) ohne "
                             "vorheriges NDevice::endPaint(..) verwendet. (endPaint folgt "
                             "automatisch)\r\n";
    EXPECT_TRUE(listener.waitForBytes(line.size()));
    EXPECT_EQ(listener.received(), line);

    globalError.log = "";
    globalDebug.close();
    globalDebug.off = true;
    globalDebug.connectState = 0;
    globalDebug.debugPort = 5001;
}

TEST(NDevice, AmpersandUnderlinesTheNextLetterOnlyWhenAsked)
{
    const RECT letter = textInk("A", "");
    const RECT prefixed = textInk("&A", "&");
    const RECT literal = textInk("&A", "");
    ASSERT_GT(letter.right, letter.left);
    // The underline lies below the letter; the ampersand itself is not drawn.
    EXPECT_GT(prefixed.bottom, letter.bottom);
    EXPECT_LE(prefixed.right - prefixed.left, letter.right - letter.left + 4);
    // Without "&" in the format the ampersand shows and nothing is underlined.
    EXPECT_GT(literal.right - literal.left, letter.right - letter.left + 6);
    EXPECT_EQ(literal.bottom, letter.bottom);
}

TEST(NDevice, ZoomScalesOnlyInAdvancedMode)
{
    const RECT plain = lineInk(GM_ADVANCED, 1.0f);
    EXPECT_EQ(plain.left, 5);
    EXPECT_EQ(plain.right, 30);
    const RECT doubled = lineInk(GM_ADVANCED, 2.0f);
    EXPECT_NEAR(doubled.left, 10, 1);
    EXPECT_NEAR(doubled.right, 60, 1);
    EXPECT_NEAR(doubled.top, 20, 1);
    const RECT compatible = lineInk(GM_COMPATIBLE, 2.0f);
    EXPECT_EQ(compatible.right, plain.right);
}

TEST(NDevice, ConversionsFollowZoomAndOffsetInAndOutsideAPaint)
{
    PlainWindow window(40, 40);
    const struct {
        int mode;
        float zoom;
        int offset;
        NPoint logical, device;
    } cases[] = {
        {GM_COMPATIBLE, 3.0f, 10, NPoint(15, 25), NPoint(5, 15)},
        // The y offset moves the other way than the x offset.
        {GM_ADVANCED, 2.0f, 10, NPoint(10, 10), NPoint(0, 40)},
    };
    for (const auto& c : cases) {
        NDevice device;
        device.setHwnd(window.hwnd);
        device.setGraphicsMode(c.mode);
        device.setZoom(c.zoom);
        device.setOffset(c.offset, c.offset);
        const int scale = c.mode == GM_ADVANCED ? int(c.zoom) : 1;
        Canvas canvas(10, 10, white);
        for (bool inPaint : {false, true}) {
            if (inPaint)
                device.beginPaint(canvas.dc);
            EXPECT_EQ(device.toDevice(c.logical), c.device);
            EXPECT_EQ(device.toLogical(c.device), c.logical);
            EXPECT_EQ(device.toLogicalY(-6 * scale), -6);
            EXPECT_EQ(device.toDevice(NRect(c.logical.x, c.logical.y, 3, 4)),
                      NRect(c.device.x, c.device.y, 3 * scale, 4 * scale));
        }
        device.endPaint();
    }
}

TEST(NDevice, FontHeightFollowsTheMapMode)
{
    const struct {
        int mapMode, height;
    } cases[] = {{0, -13},           {MM_TEXT, -13},      {MM_LOMETRIC, -35}, {MM_HIMETRIC, -352},
                 {MM_LOENGLISH, -13}, {MM_HIENGLISH, -138}, {MM_TWIPS, -10}};
    for (const auto& c : cases) {
        NDevice device;
        device.setMapMode(c.mapMode);
        device.setFont("Arial", 10);
        EXPECT_EQ(device.getFontRecord().lfHeight, c.height) << c.mapMode;
    }

    // -2 keeps a field; the window the device belongs to gets the font.
    HWND label = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                                 nullptr);
    NDevice device;
    device.setHwnd(label);
    device.setFont("A face name far longer than thirty-one characters", 10, 1);
    device.setBold(true);
    EXPECT_STREQ(device.getFontRecord().lfFaceName, "A face name far longer than thi");
    EXPECT_EQ(device.getFontRecord().lfUnderline, 1);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), device.getFont());
    DestroyWindow(label);
}

TEST(NDevice, NoFlickerShowsThePaintOnlyAtItsEnd)
{
    PlainWindow window(120, 80);
    NDevice device;
    device.setHwnd(window.hwnd);
    device.setBackgroundColor(green);
    // One system paint filling `rect`; `during` is what the window shows before endPaint.
    Pixels during;
    auto paint = [&](const NRect& rect, COLORREF colour) {
        InvalidateRect(window.hwnd, nullptr, FALSE);
        EXPECT_TRUE(device.beginPaint());
        device.fillRectangle(rect, colour);
        during = capture(window.hwnd, 0, 0, 120, 80);
        device.endPaint();
        return capture(window.hwnd, 0, 0, 120, 80);
    };

    // A direct paint is on the window at once, a noFlicker paint only after
    // endPaint, on its background colour.
    paint(NRect(0, 0, 120, 80), red);
    EXPECT_EQ(during.at(60, 40), red);
    device.setNoFlicker(true);
    Pixels after = paint(NRect(10, 10, 50, 30), blue);
    EXPECT_EQ(during.at(30, 20), red);
    EXPECT_EQ(after.at(30, 20), blue);
    EXPECT_EQ(after.at(100, 60), green);

    // Zoom and offset do not shift the copy to the window.
    device.setGraphicsMode(GM_ADVANCED);
    device.setZoom(2.0f);
    device.setOffset(5, 0);
    after = paint(NRect(5, 0, 10, 10), blue);
    EXPECT_EQ(device.getPaintRect(), NRect(5, 0, 60, 40));
    EXPECT_EQ(after.at(1, 1), blue);
    EXPECT_EQ(after.at(18, 18), blue);
    EXPECT_EQ(after.at(21, 10), green);
}
