#include "NPoint.h"
#include "NRange.h"
#include "NRect.h"
#include "NRectc.h"
#include "NSize.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include <windows.h>

namespace {

std::string describe(const NRect& r)
{
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + "," +
           std::to_string(r.height) + (r.bottomUp ? "^" : "");
}

std::string describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

}  // namespace

TEST(Geometry, AbsoluteExtentsLimitsAndBottomUpRectangles)
{
    NRect r(10, 20, 30, 40);
    EXPECT_EQ(describe(r.getRECT()), "10,20,40,60");
    EXPECT_EQ(r.getCenter(), NPoint(25, 40));
    EXPECT_TRUE(r.contains(NPoint(40, 60)) && !r.contains(NPoint(40, 61)));
    // Negative extents count by their magnitude and never flip the rectangle;
    // extreme values stop at the int range instead of wrapping.
    const int edges[][2] = {
        {NRect(0, 0, -5, 10).getRight(), 5}, {NRect(0, 0, 5, -10).getBottom(), 10},
        {NRect(0, 0, 5, -10, true).getBottom(), -10}, {NRect(INT_MAX - 5, INT_MIN + 5, 10, 10, true).getRight(), INT_MAX},
        {NRect(0, 0, INT_MIN, 0).getRight(), INT_MAX},
    };
    for (const auto& e : edges) EXPECT_EQ(e[0], e[1]);
    EXPECT_EQ(NPoint(INT_MAX, INT_MIN) + NPoint(1, -1), NPoint(INT_MAX, INT_MIN));
    // Inverted RECTs keep their signed extents unless read as bottom-up.
    RECT inverted = {40, 60, 10, 20};
    EXPECT_EQ(describe(NRect(inverted)), "40,60,-30,-40");
    r.set(inverted, true);
    EXPECT_EQ(describe(r), "40,60,30,40^");

    NRect up(10, 20, 30, 40, true);
    EXPECT_EQ(up.getCenter(), NPoint(25, 0));
    EXPECT_EQ(describe(up.getRECT()), "10,20,40,-20");
    up.inflate(5);
    EXPECT_EQ(describe(up), "5,25,40,50^");
    NRect drag;
    drag.setFromPoints(NPoint(30, 5), NPoint(10, 50));
    EXPECT_EQ(describe(drag), "10,5,20,45");
    drag.bottomUp = true;
    drag.setFromPoints(NPoint(30, 5), NPoint(10, 50));
    EXPECT_EQ(describe(drag) + " " + std::to_string(drag.getBottom()), "10,50,20,-45^ 5");
    NRectc c(10, 20, 30, -40);
    EXPECT_EQ(describe(c), "10,20,30,40^");
    EXPECT_TRUE(c.contains(NPoint(40, -20)) && !c.contains(NPoint(25, -21)));
    EXPECT_EQ(describe(NRectc(NRect(10, 20, 30, 40, true).getRECT())), "10,20,30,40^");
}

TEST(Geometry, UnionExtendFitAspectFitInsideAndTextRoundTripWithMalformedTexts)
{
    // The receiver's orientation decides; extents come out positive.
    const struct { NRect r; std::vector<NRect> with; const char* result; } unions[] = {
        {NRect(0, 0, 10, 10), {NRect(20, 30, 5, 5), NRect(5, 5, -10, 2), NRect(-5, -6, 1, 1)}, "-5,-6,30,41"},
        {NRect(0, 10, 10, 10, true), {NRect(5, 30, 10, 5, true)}, "0,30,15,30^"},
        {NRect(0, 10, 10, 10, true), {NRect(5, 30, 10, 5, true), NRect(0, -10, 1, 1)}, "0,30,15,40^"},
        {NRect(0, 0, 10, 10), {NRect(0, 50, 10, 20, true)}, "0,0,10,50"},
        {NRect(10, 10, -10, -10), {NRect(10, 10, 0, 0)}, "10,10,10,10"},
    };
    for (auto u : unions) {
        for (const NRect& w : u.with) u.r.unionWith(w);
        EXPECT_EQ(describe(u.r), u.result);
    }
    NRectc ec(0, 10, 10, 10);
    ec.extendTo(NPoint(20, 15));
    EXPECT_EQ(describe(ec), "0,15,20,15^");

    const NRect wide(0, 0, 200, 100), tall(0, 0, 100, 200), square(0, 0, 100, 100);
    const NRect upOuter(0, 100, 100, 100, true), upWide(0, 0, 200, 100, true);
    const int centred = NRect::alignCenterX | NRect::alignCenterY;
    const struct { NRect r, outer; int alignment; const char* result; } aspects[] = {
        {wide, square, centred, "0,25,100,50"}, {wide, square, NRect::alignBottom, "0,50,100,50"},
        {tall, square, NRect::alignRight, "50,0,50,100"},
        {tall, NRect(10, 20, 101, 100), NRect::alignCenterX, "35,20,50,100"},
        // Enlarging, the outer corner, rounding to the nearest pixel.
        {NRect(3, 4, 10, 5), NRect(7, 8, 100, 100), 0, "7,8,100,50"},
        {NRect(0, 0, 3, 2), NRect(0, 0, 10, 10), 0, "0,0,10,7"},
        // Bottom-up: the free height is taken downward, i.e. towards smaller y.
        {upWide, upOuter, NRect::alignBottom, "0,50,100,50^"}, {upWide, upOuter, NRect::alignCenterY, "0,75,100,50^"},
        // A zero extent cannot be scaled: the other extent decides.
        {NRect(0, 0, 0, 50), square, 0, "0,0,0,100"}, {NRect(0, 0, 0, 0), square, centred, "50,50,0,0"},
    };
    for (auto c : aspects) {
        c.r.fitAspect(c.outer, c.alignment);
        EXPECT_EQ(describe(c.r), c.result);
    }
    // Too large and not shrunk: a left or top edge outside wins; otherwise
    // the right or bottom edge is pulled back, pushing the other one out.
    const struct { NRect r, outer; bool shrink; const char* result; } insides[] = {
        {NRect(90, 0, 50, 50), square, false, "50,0,50,50"},
        {NRect(-30, -10, 150, 150), square, false, "0,0,150,150"},
        {NRect(-30, 10, 150, 150), square, false, "0,-50,150,150"},
        {NRect(20, 20, 150, 30), NRect(10, 10, 100, 100), true, "10,20,100,30"},
        {NRect(90, 120, 50, 50, true), upOuter, false, "50,100,50,50^"},
        {NRect(0, 20, 50, 50, true), upOuter, false, "0,50,50,50^"},
        {NRect(0, 20, 50, 150, true), upOuter, false, "0,150,50,150^"},
    };
    for (auto c : insides) {
        c.r.fitInside(c.outer, c.shrink);
        EXPECT_EQ(describe(c.r), c.result);
    }

    NRect r;
    const NString text = NRect(-1, -2, 300, -4).toText("; ");
    EXPECT_STREQ(text.getBuffer(), "-1; -2; 300; -4");
    EXPECT_TRUE(r.fromText(text, "; "));
    EXPECT_EQ(describe(r), "-1,-2,300,-4");
    // Missing parts become 0 and are reported; extra ones are ignored.
    const struct { const char* text; bool complete; const char* result; } texts[] = {
        {"5,6,7,8,9", true, "5,6,7,8"}, {"1,,3,4", false, "1,0,3,4"}, {"1;2;3;4", false, "1,0,0,0"},
        {"a,12px,0x10,-", true, "0,12,16,0"},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(r.fromText(t.text, ","), t.complete) << t.text;
        EXPECT_EQ(describe(r), t.result);
    }
    NPoint p;
    NSize s;
    NRange range;
    EXPECT_TRUE(!p.fromText("7", ";") && !s.fromText("x480", "x") && range.fromText("1:2:3", ":"));
    EXPECT_TRUE(p == NPoint(7, 0) && s == NSize(0, 480) && range == NRange(1, 2));
}
