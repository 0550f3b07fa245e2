#include "NColor.h"
#include "NColorMap.h"

#include <gtest/gtest.h>

TEST(NColor, BytesOfTheValue)
{
    NColor color(0x12, 0x34, 0x56);
    EXPECT_STREQ("NColor", color.getName());
    EXPECT_EQ(0x563412u, color.getValue());
    EXPECT_EQ(0x12, color.getRed());
    EXPECT_EQ(0x34, color.getGreen());
    EXPECT_EQ(0x56, color.getBlue());
    EXPECT_EQ(0, color.getHighByte());
    color = 0xAABBCCDDu;
    EXPECT_EQ(0xDD, color.getRed());
    EXPECT_EQ(0xCC, color.getGreen());
    EXPECT_EQ(0xBB, color.getBlue());
    EXPECT_EQ(0xAA, color.getHighByte());
    EXPECT_EQ(0x0000FFu, NColor(0x0000FFu).getValue());
}

TEST(NColorMap, SixteenColoursInOrder)
{
    NColorMap map;
    EXPECT_STREQ("NColorMap", map.getName());
    const struct {
        const char* key;
        int value;
        const char* text;
    } expected[] = {
        {"schwarz,black", 0x000000, "#000000"}, {"maroon", 0x000080, "#800000"},
        {"gr\xFC" "n,green", 0x008000, "#008000"}, {"navy", 0x800000, "#000080"},
        {"olive", 0x008080, "#808000"},         {"violet,purple", 0x800080, "#800080"},
        {"teal", 0x808000, "#008080"},          {"grau,gray", 0x808080, "#808080"},
        {"silber,silver", 0xC0C0C0, "#C0C0C0"}, {"rot,red", 0x0000FF, "#FF0000"},
        {"lime", 0x00FF00, "#00FF00"},          {"blau,blue", 0xFF0000, "#0000FF"},
        {"gelb,yellow", 0x00FFFF, "#FFFF00"},   {"fuchsia", 0xFF00FF, "#FF00FF"},
        {"aqua,cyan", 0xFFFF00, "#00FFFF"},     {"weis,white", 0xFFFFFF, "#FFFFFF"},
    };
    // The first operation fills the map.
    EXPECT_EQ(0, map.getCount());
    EXPECT_STREQ("#FF0000", map.toText(0x0000FF).getBuffer());
    ASSERT_EQ(16, map.getCount());
    for (int i = 0; i < 16; ++i) {
        EXPECT_STREQ(expected[i].key, map.getKeyAt(i).getBuffer()) << i;
        EXPECT_EQ(expected[i].value, map.getValueAt(i)) << i;
        EXPECT_STREQ(expected[i].text, map.toText(expected[i].value).getBuffer()) << i;
        EXPECT_EQ(expected[i].value, map.getColor(expected[i].text)) << i;
    }
    // Added names work until fillDefaults starts afresh.
    map.setAt("hellblau,lightblue", 0xFFD0D0);
    EXPECT_EQ(0xFFD0D0, map.getColor("lightblue"));
    map.getValueAt(9) = 0x123456;
    map.fillDefaults();
    EXPECT_EQ(16, map.getCount());
    EXPECT_EQ(-1, map.getColor("lightblue"));
    EXPECT_EQ(0x0000FF, map.getColor("rot"));
}

TEST(NColorMap, NamesGermanAndEnglishWholeAndCaseSensitive)
{
    NColorMap map;
    EXPECT_EQ(0x0000FF, map.getColor("rot"));
    EXPECT_EQ(0x0000FF, map.getColor("red"));
    EXPECT_EQ(0x008000, map.getColor("gr\xFC" "n"));
    EXPECT_EQ(0x008000, map.getColor("green"));
    EXPECT_EQ(0xFFFFFF, map.getColor("weis"));
    EXPECT_EQ(0xFFFFFF, map.getColorByName("white"));
    EXPECT_EQ(0xFFFF00, map.getColorByName("cyan"));
    EXPECT_EQ(0x000000, map.getColorByName("schwarz"));
    EXPECT_EQ(-1, map.getColor("Red"));
    EXPECT_EQ(-1, map.getColor("ROT"));
    EXPECT_EQ(-1, map.getColor("gr"));
    EXPECT_EQ(-1, map.getColor("gruen"));
    EXPECT_EQ(-1, map.getColor("wei\xDF"));
    EXPECT_EQ(-1, map.getColor("weiss"));
    EXPECT_EQ(-1, map.getColor("reds"));
    EXPECT_EQ(-1, map.getColor("ed"));
    EXPECT_EQ(-1, map.getColor("rot,"));
    EXPECT_EQ(-1, map.getColor(" rot"));
    EXPECT_EQ(-1, map.getColor(""));
    EXPECT_EQ(-1, map.getColorByName(","));
    // An added key that repeats a name loses to the earlier standard key.
    map.setAt("rouge,red", 0x0000C0);
    EXPECT_EQ(0x0000FF, map.getColor("red"));
    EXPECT_EQ(0x0000C0, map.getColor("rouge"));
}

TEST(NColorMap, HexAndDecimalTexts)
{
    NColorMap map;
    EXPECT_EQ(0x0000FF, map.getColor("#FF0000"));
    EXPECT_EQ(0x0000FF, map.getColor("#ff0000"));
    EXPECT_EQ(0xFFD0D0, map.getColor("#d0d0ff;"));
    EXPECT_EQ(0xFFD0D0, map.parseHex("#d0d0ff"));
    EXPECT_EQ(0x563412, map.getColor("#123456789ABC"));
    EXPECT_EQ(0xFF00FF, map.getColor("#F0F"));
    EXPECT_EQ(0x3322AA, map.getColor("#A23"));
    EXPECT_EQ(0x0080FF, map.getColor("255,128,0"));
    EXPECT_EQ(0x0080FF, map.getColor("255, 128, 0"));
    EXPECT_EQ(0x00002C, map.getColor("300,0,0"));
    EXPECT_EQ(0x030201, map.getColor("1,2,3,4"));
    EXPECT_EQ(0x000201, map.getColor("1,2"));
    EXPECT_EQ(0x000007, map.getColor("7"));
    EXPECT_EQ(0x030201, map.parseRGB("1;2;3", ";"));
    EXPECT_EQ(0x030201, map.parseRGB("1 / 2 / 3", " / "));
    for (int value : {0x000000, 0x0080FF, 0xABCDEF, 0x010203, 0xFFFFFF}) {
        const NString text = map.toText(value);
        EXPECT_EQ(value, map.getColor(text)) << text.getBuffer();
        const NColor color(static_cast<unsigned int>(value));
        NString triple;
        triple.format("%d,%d,%d", color.getRed(), color.getGreen(), color.getBlue());
        EXPECT_EQ(value, map.getColor(triple)) << triple.getBuffer();
    }
    EXPECT_STREQ("#ABCDEF", map.toText(0xEFCDAB).getBuffer());
    // Bits above the blue byte do not show in the text.
    EXPECT_STREQ("#010203", map.toText(0x7F030201).getBuffer());
}

TEST(NColorMap, MalformedTexts)
{
    NColorMap map;
    // Too short for either hex form: read as a plain number, which is 0.
    EXPECT_EQ(0, map.getColor("#"));
    EXPECT_EQ(0, map.getColor("#12"));
    // Five digits are too few for six and read as the three-digit form.
    EXPECT_EQ(0x332211, map.getColor("#12345"));
    // Non-hex characters end the digits.
    EXPECT_EQ(0, map.getColor("#GGGGGG"));
    EXPECT_EQ(0x120000, map.getColor("#12G456"));
    // No notation of its own: looked up as a name.
    EXPECT_EQ(-1, map.getColor("rgb("));
    EXPECT_EQ(-1, map.getColor("rgb(1,2,3"));
    EXPECT_EQ(-1, map.getColor("-1,0,0"));
    // Negative and huge parts keep only their low byte.
    EXPECT_EQ(0x00FF01, map.getColor("1,-1,0"));
    EXPECT_EQ(0x010000, map.getColor("0,-256,257"));
    const int huge = map.getColor("99999999999999999999,99999999999999999999,0");
    EXPECT_EQ(0, huge & ~0x00FFFF);
    EXPECT_EQ(0, map.getColor("0,,"));
    EXPECT_EQ(0, map.parseRGB("", ","));
    EXPECT_EQ(0, map.parseRGB("abc,def,ghi", ","));
    EXPECT_EQ(0, map.parseHex(""));
    EXPECT_EQ(16, map.getCount());
}

TEST(NColorMap, GlobalMapKnowsTheColours)
{
    EXPECT_EQ(0xFF0000, globalColorMap.getColor("blau"));
    EXPECT_STREQ("#0000FF", globalColorMap.toText(globalColorMap.getColor("blue")).getBuffer());
}
