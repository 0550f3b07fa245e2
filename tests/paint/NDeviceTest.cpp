#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include "NDevice.h"
#include "PaintTestSupport.h"

namespace {

const COLORREF white = RGB(255, 255, 255), red = RGB(255, 0, 0), green = RGB(0, 160, 0), blue = RGB(0, 0, 255);

// The box around what `draw` puts on a white 160 x 60 canvas.
RECT ink(NDevice& device, const std::function<void()>& draw)
{
    Canvas canvas(160, 60, white);
    device.beginPaint(canvas.dc);
    draw();
    device.endPaint();
    const Pixels p = canvas.pixels();
    RECT box = {160, 60, 0, 0};
    for (LONG x = 0, y = 0; y < 60; x = (x + 1) % 160, y += x == 0)
        if (p.at(x, y) != white)
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    return box;
}

}  // namespace

TEST(NDevice, RectangleOutlineFillAndDrawnAreaAndZoomAndOffsetMoveTheInk)
{
    Canvas canvas(40, 32, white);
    NDevice device;
    ASSERT_TRUE(device.beginPaint(canvas.dc));
    device.rectangle(NRect(5, 5, 20, 10), red, blue);
    device.setPen(green, 3);
    device.rectangle(NRect(2, 18, 12, 10));  // one call's colours do not stay: no brush again
    device.ellipse(NRect(28, 2, 10, 10), -1, blue);  // without a pen only the fill
    device.setPen(red, 1);  // -3 takes back the last change: green again
    device.setPen(-3, 1);
    device.line(16, 27, 36, 27);
    device.endPaint();
    expectSpots(canvas.pixels(), {{5, 5, red}, {24, 14, red}, {15, 10, blue}, {25, 10, white}, {2, 23, green},
                                  {8, 23, white}, {33, 7, blue}, {28, 2, white}, {26, 27, green}});
    // Each shape grown by (pen width + 1) / 2: 1 for the first, 2 for the others.
    EXPECT_EQ(device.getDrawnArea(), NRect(0, 0, 40, 30));

    // Zoom 2, offset (2, 3): only the advanced mode zooms; y moves the other way than x; toDevice agrees.
    PlainWindow window(40, 40);
    const struct { int mode, scale; NPoint start; } cases[] = {{GM_COMPATIBLE, 1, NPoint(3, 7)},
                                                               {GM_ADVANCED, 2, NPoint(6, 26)}};
    for (const auto& c : cases) {
        NDevice device;
        device.setHwnd(window.hwnd);
        device.setGraphicsMode(c.mode);
        device.setZoom(2.0f);
        device.setOffset(2, 3);
        const RECT line = ink(device, [&] { device.line(5, 10, 30, 10, red); });
        EXPECT_NEAR(line.left, c.start.x, 1);
        EXPECT_NEAR(line.top, c.start.y, 1);
        EXPECT_NEAR(line.right, c.start.x + 25 * c.scale, 1);
        EXPECT_EQ(line.bottom - line.top, c.scale);
        EXPECT_EQ(device.toDevice(NPoint(5, 10)), c.start);
        EXPECT_EQ(device.toLogical(c.start), NPoint(5, 10));
        EXPECT_EQ(device.toDevice(NRect(5, 10, 3, 4)), NRect(c.start.x, c.start.y, 3 * c.scale, 4 * c.scale));
    }
}

TEST(NDevice, MisuseIsLoggedOncePerOperationAndASecondBeginPaintEndsTheFirst)
{
    NDevice device;
    NRect r(0, 0, 5, 5);
    const NPoint corners[3] = {NPoint(0, 0), NPoint(5, 0), NPoint(0, 5)};
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"rectangle", [&] { device.rectangle(r); }},   {"ellipse", [&] { device.ellipse(r); }},
        {"line", [&] { device.line(0, 0, 5, 5); }},    {"roundRect", [&] { device.roundRect(r, NSize(2, 2)); }},
        {"textOut", [&] { device.textOut(0, 0, "x"); }}, {"fillRectangle", [&] { device.fillRectangle(r, 0); }},
        {"polygon", [&] { device.polygon(corners, 3); }}, {"drawText", [&] { device.drawText(r, "x"); }},
        {"getTextSize", [&] { EXPECT_EQ(device.getTextSize("x"), NSize()); }}};
    for (const auto& c : cases) {
        globalError.log = "";
        c.second();
        EXPECT_EQ(str(globalError.log), logged((std::string("Es wurde ein NDevice::") + c.first +
                                                "(..) au\xDF" "erhalb von onPaint(..) bzw. ohne vorheriges "
                                                "NDevice::beginPaint(..) verwendet.").c_str()));
    }
    EXPECT_EQ(device.getDrawnArea(), NRect());

    Canvas first(20, 20, white), second(20, 20, white);
    ASSERT_TRUE(device.beginPaint(first.dc));
    globalError.log = "";
    ASSERT_TRUE(device.beginPaint(second.dc));
    EXPECT_NE(GetCurrentObject(first.dc, OBJ_FONT), device.getFont());
    EXPECT_EQ(str(globalError.log), logged("Es wurde ein NDevice::beginPaint(..) ohne vorheriges NDevice::endPaint(..) "
                                           "verwendet.\r\nM\xF6gliche Ursachen sind: beginPaint(..) innerhalb von "
                                           "onPaint() \r\noder beginnPaint(..) innerhalb von beginnPaint(..)\r\noder "
                                           "ein vergessenes endPaint(..)\r\n"));
    globalError.log = "";
    device.endPaint();
}

TEST(NDevice, FontHeightFollowsTheMapModeTheWindowGetsTheFontAndAmpersandUnderlinesOnlyWhenAsked)
{
    const int heights[][2] = {{0, -13}, {MM_TEXT, -13}, {MM_LOMETRIC, -35}, {MM_HIMETRIC, -352}, {MM_LOENGLISH, -13},
                              {MM_HIENGLISH, -138}, {MM_TWIPS, -10}};
    for (const auto& h : heights) {
        NDevice device;
        device.setMapMode(h[0]);
        device.setFont("Arial", 10);
        EXPECT_EQ(device.getFontRecord().lfHeight, h[1]) << h[0];
    }
    HWND label = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    NDevice device;
    device.setHwnd(label);
    device.setFont("A face name far longer than thirty-one characters", 10);
    EXPECT_STREQ(device.getFontRecord().lfFaceName, "A face name far longer than thi");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), device.getFont());
    DestroyWindow(label);

    auto text = [](const char* letters, const char* format) {
        NDevice device;
        device.setFont("Arial", 24);
        NRect rect(10, 5, 140, 50);
        return ink(device, [&] { device.drawText(rect, letters, format); });
    };
    const RECT letter = text("A", ""), prefixed = text("&A", "&"), literal = text("&A", "");
    ASSERT_GT(letter.right, letter.left);
    // With "&" in the format an underline lies below the letter and the ampersand is not drawn.
    EXPECT_GT(prefixed.bottom, letter.bottom);
    EXPECT_LE(prefixed.right - prefixed.left, letter.right - letter.left + 4);
    EXPECT_GT(literal.right - literal.left, letter.right - letter.left + 6);
    EXPECT_EQ(literal.bottom, letter.bottom);

    // "v": one line centred vertically in the box (every button caption), even with a line break.
    for (const char* format : {"v", "vh"}) {
        const RECT box = text("A\r\nA", format);
        EXPECT_LT(box.bottom - box.top, 2 * (letter.bottom - letter.top)) << format;
        EXPECT_NEAR((box.top + box.bottom) / 2, 30, 2) << format;
        EXPECT_NEAR(format[1] ? (box.left + box.right) / 2 : box.left, format[1] ? 80 : 11, 2) << format;
    }
}

TEST(NDevice, NoFlickerShowsThePaintOnlyAtItsEnd)
{
    PlainWindow window(120, 80);
    NDevice device;
    device.setHwnd(window.hwnd);
    device.setBackgroundColor(green);
    Pixels during;  // what the window shows before endPaint
    auto paint = [&](const NRect& rect, COLORREF colour) {
        InvalidateRect(window.hwnd, nullptr, TRUE);
        EXPECT_TRUE(device.beginPaint());
        device.fillRectangle(rect, colour);
        during = capture(window.hwnd, 0, 0, 120, 80);
        device.endPaint();
        return capture(window.hwnd, 0, 0, 120, 80);
    };
    // A direct paint shows at once, a noFlicker one only after endPaint, on its background.
    paint(NRect(0, 0, 120, 80), red);
    EXPECT_EQ(during.at(60, 40), red);
    device.setNoFlicker(true);
    expectSpots(paint(NRect(10, 10, 50, 30), blue), {{30, 20, blue}, {100, 60, green}});
    EXPECT_EQ(during.at(30, 20), red);
    // Zoom and offset do not shift the copy to the window.
    device.setGraphicsMode(GM_ADVANCED);
    device.setZoom(2.0f);
    device.setOffset(5, 0);
    expectSpots(paint(NRect(5, 0, 10, 10), blue), {{1, 1, blue}, {18, 18, blue}, {21, 10, green}});
    EXPECT_EQ(device.getPaintRect(), NRect(5, 0, 60, 40));

    // The pen, brush, font (and noFlicker picture) a paint made are deleted at its end.
    for (bool noFlicker : {false, true}) {
        device.setNoFlicker(noFlicker);
        const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        InvalidateRect(window.hwnd, nullptr, TRUE);
        ASSERT_TRUE(device.beginPaint());
        device.setFont("Arial", 14);
        device.setPen(red, 2);
        device.setBrush(blue);
        device.rectangle(NRect(1, 1, 20, 20));
        NRect line(0, 30, 100, 20);
        device.drawText(line, "Text");
        const HDC dc = device.getDC();
        const HGDIOBJ made[] = {GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH),
                                GetCurrentObject(dc, OBJ_FONT)};
        device.endPaint();
        for (HGDIOBJ object : made)
            EXPECT_EQ(GetObjectType(object), 0u) << noFlicker;
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before) << noFlicker;
    }
}
