#include "NColor.h"
#include "NColorMap.h"

#include <gtest/gtest.h>

#include <vector>

TEST(NColor, BytesOfTheValueSixteenNamedColoursHexAndDecimalTexts)
{
    NColor color(0x12, 0x34, 0x56);
    EXPECT_EQ(color.getValue(), 0x563412u);
    color = 0xAABBCCDDu;
    EXPECT_EQ((std::vector<int>{color.getRed(), color.getGreen(), color.getBlue(), color.getHighByte()}),
              (std::vector<int>{0xDD, 0xCC, 0xBB, 0xAA}));
    NColorMap map;  // the first operation fills the map
    EXPECT_EQ(0x800000, map.getColor("navy"));
    ASSERT_EQ(16, map.getCount());
    const struct { const char* name; int value; } names[] = {
        {"schwarz", 0x000000}, {"rot", 0x0000FF}, {"red", 0x0000FF}, {"gr\xFC" "n", 0x008000},
        {"blau", 0xFF0000}, {"weis", 0xFFFFFF}, {"cyan", 0xFFFF00}, {"maroon", 0x000080},
        {"Red", -1}, {"ROT", -1}, {"gr", -1}, {"gruen", -1}, {"wei\xDF", -1}, {"reds", -1},
        {"ed", -1}, {"rot,", -1}, {" rot", -1}, {"", -1}, {",", -1},
    };
    for (const auto& n : names) EXPECT_EQ(n.value, map.getColor(n.name)) << n.name;

    // An added key that repeats a name loses to the earlier standard key;
    // added names work until fillDefaults starts afresh.
    map.setAt("rouge,red", 0x0000C0);
    EXPECT_EQ(0x0000FF, map.getColor("red"));
    EXPECT_EQ(0x0000C0, map.getColor("rouge"));
    map.fillDefaults();
    EXPECT_EQ(-1, map.getColor("rouge"));
    EXPECT_EQ(0xFF0000, globalColorMap.getColor("blau"));

    const struct { const char* text; int value; } cases[] = {
        {"#FF0000", 0x0000FF}, {"#ff0000", 0x0000FF}, {"#d0d0ff;", 0xFFD0D0},
        {"#123456789ABC", 0x563412}, {"#F0F", 0xFF00FF}, {"#A23", 0x3322AA}, {"#12345", 0x332211},
        {"#", 0}, {"#12", 0}, {"#GGGGGG", 0}, {"#12G456", 0x120000},
        {"255,128,0", 0x0080FF}, {"255, 128, 0", 0x0080FF}, {"300,0,0", 0x00002C},
        {"1,2,3,4", 0x030201}, {"1,2", 0x000201}, {"7", 0x000007}, {"0,,", 0},
        {"1,-1,0", 0x00FF01}, {"0,-256,257", 0x010000},
        {"rgb(1,2,3", -1}, {"-1,0,0", -1},  // no notation of its own: looked up as a name
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, map.getColor(c.text)) << c.text;
    EXPECT_EQ(0, map.getColor("99999999999999999999,99999999999999999999,0") & ~0x00FFFF);
    EXPECT_EQ(0x030201, map.parseRGB("1 / 2 / 3", " / "));
    EXPECT_STREQ("#ABCDEF", map.toText(0xEFCDAB).getBuffer());
    // Bits above the blue byte do not show in the text.
    EXPECT_STREQ("#010203", map.toText(0x7F030201).getBuffer());
}
