#include "../diag/SocketTestHelpers.h"

#include <gtest/gtest.h>

#include <functional>

#include "NDebug.h"
#include "NDevice.h"
#include "PaintTestSupport.h"

namespace {

const COLORREF white = RGB(255, 255, 255);
const COLORREF red = RGB(255, 0, 0);
const COLORREF green = RGB(0, 160, 0);
const COLORREF blue = RGB(0, 0, 255);

// What a red line from (5, 10) to (30, 10) covers on a canvas.
RECT lineInk(int graphicsMode, float zoom)
{
    Canvas canvas(120, 60, white);
    NDevice device;
    device.setGraphicsMode(graphicsMode);
    device.setZoom(zoom);
    device.beginPaint(canvas.dc);
    device.line(5, 10, 30, 10, red);
    device.endPaint();
    return canvas.pixels().inkBox(white);
}

RECT textInk(const char* text, const char* format)
{
    Canvas canvas(160, 60, white);
    NDevice device;
    device.setFont("Arial", 24);
    device.beginPaint(canvas.dc);
    NRect rect(10, 5, 140, 50);
    device.drawText(rect, text, format);
    device.endPaint();
    return canvas.pixels().inkBox(white);
}

}  // namespace

TEST(NDevice, RectangleOutlineFillAndDrawnArea)
{
    Canvas canvas(40, 32, white);
    NDevice device;
    EXPECT_STREQ(device.getName(), "NDevice");
    EXPECT_EQ(device.getKind(), 's');
    ASSERT_TRUE(device.beginPaint(canvas.dc));
    device.rectangle(NRect(5, 5, 20, 10), red, blue);
    // The colours of one call do not stay: the current pen and no brush again.
    device.setPen(green, 3);
    device.rectangle(NRect(2, 18, 12, 10));
    device.endPaint();
    EXPECT_EQ(device.getBrushColor(), -1);

    const Pixels p = canvas.pixels();
    EXPECT_EQ(p.at(5, 5), red);
    EXPECT_EQ(p.at(24, 14), red);
    EXPECT_EQ(p.at(15, 10), blue);
    EXPECT_EQ(p.at(25, 10), white);
    EXPECT_EQ(p.at(4, 5), white);
    EXPECT_EQ(p.at(2, 23), green);
    EXPECT_EQ(p.at(8, 23), white);
    // Each shape grown by (pen width + 1) / 2: 1 for the first, 2 for the second.
    EXPECT_EQ(device.getDrawnArea(), NRect(0, 4, 26, 26));
}

TEST(NDevice, DrawingOutsideAPaintIsLoggedOncePerOperation)
{
    NDevice device;
    const NPoint corners[3] = {NPoint(0, 0), NPoint(5, 0), NPoint(0, 5)};
    const struct {
        std::function<void()> call;
        const char* text;
    } cases[] = {
#define GUARD(op) "Es wurde ein NDevice::" op "(..) au\xDF" "erhalb von onPaint(..) bzw. ohne " \
                  "vorheriges NDevice::beginPaint(..) verwendet."
        {[&] { device.rectangle(NRect(0, 0, 5, 5)); }, GUARD("rectangle")},
        {[&] { device.ellipse(NRect(0, 0, 5, 5)); }, GUARD("ellipse")},
        {[&] { device.line(0, 0, 5, 5); }, GUARD("line")},
        {[&] { device.roundRect(NRect(0, 0, 5, 5), NSize(2, 2)); }, GUARD("roundRect")},
        {[&] { device.textOut(0, 0, "x"); }, GUARD("textOut")},
        {[&] { device.fillRectangle(NRect(0, 0, 5, 5), 0); }, GUARD("fillRectangle")},
        {[&] { device.polygon(corners, 3); }, GUARD("polygon")},
        {[&] { NRect r(0, 0, 5, 5); device.drawText(r, "x"); }, GUARD("drawText")},
        {[&] { EXPECT_EQ(device.getTextSize("x"), NSize()); }, GUARD("getTextSize")},
#undef GUARD
    };
    for (const auto& c : cases) {
        globalError.log = "";
        c.call();
        EXPECT_EQ(text(globalError.log), logged(c.text));
    }
    globalError.log = "";
    EXPECT_FALSE(device.isPainting());
    EXPECT_EQ(device.getDrawnArea(), NRect());
}

TEST(NDevice, SecondBeginPaintEndsTheFirstAndReportsIt)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    globalDebug.debugPort = listener.port();
    globalDebug.off = false;
    globalDebug.connectState = 0;
    PlainWindow window(40, 40);
    Canvas first(20, 20, white);
    Canvas second(20, 20, white);
    NDevice device;
    device.setHwnd(window.hwnd);
    globalError.log = "";

    ASSERT_TRUE(device.beginPaint(first.dc));
    ASSERT_TRUE(device.beginPaint(second.dc));
    EXPECT_EQ(device.getDC(), second.dc);
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
    EXPECT_EQ(prefixed.top, letter.top);
    EXPECT_LE(prefixed.right - prefixed.left, letter.right - letter.left + 4);
    // Without "&" in the format the ampersand shows, the letter unlined.
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
    EXPECT_EQ(compatible.left, plain.left);
    EXPECT_EQ(compatible.right, plain.right);
}

TEST(NDevice, ConversionsFollowZoomAndOffsetInAndOutsideAPaint)
{
    PlainWindow window(40, 40);
    const struct {
        int mode;
        float zoom;
        int offsetX, offsetY;
        NPoint logical, device;
    } cases[] = {
        {GM_COMPATIBLE, 1.0f, 10, 20, NPoint(10, 20), NPoint(0, 0)},
        {GM_COMPATIBLE, 3.0f, 10, 20, NPoint(15, 25), NPoint(5, 5)},
        // The y offset moves the other way than the x offset.
        {GM_ADVANCED, 2.0f, 10, 10, NPoint(10, 10), NPoint(0, 40)},
        {GM_ADVANCED, 2.0f, 0, 0, NPoint(7, -3), NPoint(14, -6)},
    };
    for (const auto& c : cases) {
        NDevice device;
        device.setHwnd(window.hwnd);
        device.setGraphicsMode(c.mode);
        device.setZoom(c.zoom);
        device.setOffset(c.offsetX, c.offsetY);
        const int scale = c.mode == GM_ADVANCED ? int(c.zoom) : 1;
        for (int inPaint = 0; inPaint < 2; ++inPaint) {
            Canvas canvas(10, 10, white);
            if (inPaint) {
                ASSERT_TRUE(device.beginPaint(canvas.dc));
            }
            EXPECT_EQ(device.toDevice(c.logical), c.device);
            EXPECT_EQ(device.toLogical(c.device), c.logical);
            EXPECT_EQ(device.toDeviceX(6), 6 * scale);
            EXPECT_EQ(device.toLogicalY(-6 * scale), -6);
            EXPECT_EQ(device.toDevice(NRect(c.logical.x, c.logical.y, 3, 4)),
                      NRect(c.device.x, c.device.y, 3 * scale, 4 * scale));
            device.endPaint();
        }
    }
    NDevice device;
    device.setZoom(-2.0f, 0.0f);
    EXPECT_EQ(device.getZoomX(), 2.0f);
    EXPECT_EQ(device.getZoomY(), 1.0f);
}

TEST(NDevice, FontHeightFollowsTheMapMode)
{
    const struct {
        int mapMode, height;
    } cases[] = {{0, -13}, {MM_TEXT, -13},     {MM_LOMETRIC, -35}, {MM_HIMETRIC, -352},
                 {MM_LOENGLISH, -13}, {MM_HIENGLISH, -138}, {MM_TWIPS, -10}};
    for (const auto& c : cases) {
        NDevice device;
        device.setMapMode(c.mapMode);
        device.setFont("Arial", 10);
        EXPECT_EQ(device.getFontRecord().lfHeight, c.height) << c.mapMode;
    }

    NDevice device;
    device.setFont("A face name far longer than thirty-one characters", 10, 1);
    device.setBold(true);
    const LOGFONTA& record = device.getFontRecord();
    EXPECT_STREQ(record.lfFaceName, "A face name far longer than thi");
    EXPECT_EQ(record.lfHeight, -13);
    EXPECT_EQ(record.lfUnderline, 1);
    EXPECT_EQ(record.lfWeight, FW_BOLD);

    // Outside a paint the line height is measured on a borrowed context.
    const int small = device.getLineHeight();
    device.setFont("", 20);
    EXPECT_GT(device.getLineHeight(), small);
    EXPECT_GE(device.getLineHeight(true), device.getLineHeight());

    // The window the device belongs to gets the font.
    HWND label = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                 nullptr, nullptr);
    device.setHwnd(label);
    device.setFont("Arial", 12);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), device.getFont());
    DestroyWindow(label);
}

TEST(NDevice, DrawTextFixesAnUpwardHeightInMetricModes)
{
    Canvas canvas(60, 40, white);
    NDevice device;
    device.setMapMode(MM_LOMETRIC);
    device.setFont("Arial", 10);
    globalError.log = "";
    ASSERT_TRUE(device.beginPaint(canvas.dc));
    NRect rect(10, -10, 1400, 900);
    device.drawText(rect, "Ein langer Text ist das");
    device.drawText(rect, "zweimal");
    device.endPaint();
    EXPECT_EQ(rect.height, -900);
    EXPECT_EQ(text(globalError.log),
              logged("Es wurde NDevice::drawText(..) mit falschen Vorzeichen in NRect::height "
                     "verwendet.\r\n(Text: 'Ein langer Text...')"));
    globalError.log = "";
    const RECT ink = canvas.pixels().inkBox(white);
    EXPECT_GT(ink.right, ink.left);
}

TEST(NDevice, NoFlickerShowsThePaintOnlyAtItsEnd)
{
    PlainWindow window(120, 80);
    NDevice device;
    device.setHwnd(window.hwnd);
    device.setBackgroundColor(green);

    // A direct paint is on the window at once ...
    InvalidateRect(window.hwnd, nullptr, FALSE);
    ASSERT_TRUE(device.beginPaint());
    device.fillRectangle(NRect(0, 0, 120, 80), red);
    EXPECT_EQ(windowPixels(window.hwnd).at(60, 40), red);
    device.endPaint();

    // ... a noFlicker paint only after endPaint, on its background colour.
    device.setNoFlicker(true);
    InvalidateRect(window.hwnd, nullptr, FALSE);
    ASSERT_TRUE(device.beginPaint());
    device.fillRectangle(NRect(10, 10, 50, 30), blue);
    const Pixels during = windowPixels(window.hwnd);
    EXPECT_EQ(during.at(30, 20), red);
    EXPECT_EQ(during.at(100, 60), red);
    device.endPaint();
    const Pixels after = windowPixels(window.hwnd);
    EXPECT_EQ(after.at(30, 20), blue);
    EXPECT_EQ(after.at(100, 60), green);

    // Zoom and offset do not shift the copy to the window.
    device.setGraphicsMode(GM_ADVANCED);
    device.setZoom(2.0f);
    device.setOffset(5, 0);
    InvalidateRect(window.hwnd, nullptr, FALSE);
    ASSERT_TRUE(device.beginPaint());
    EXPECT_EQ(device.getPaintRect(), NRect(5, 0, 60, 40));
    device.fillRectangle(NRect(5, 0, 10, 10), blue);
    device.endPaint();
    const Pixels zoomed = windowPixels(window.hwnd);
    EXPECT_EQ(zoomed.at(1, 1), blue);
    EXPECT_EQ(zoomed.at(18, 18), blue);
    EXPECT_EQ(zoomed.at(21, 10), green);
}
