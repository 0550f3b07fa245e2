#include "NString.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>

namespace {

std::string bytes(const NString& s) { return std::string(s.getBuffer(), static_cast<size_t>(s.getLength())); }

template <typename Edit>
std::string edited(const char* text, Edit edit)
{
    NString s(text);
    edit(s);
    return bytes(s);
}

// The resulting text and the count, as "text/count".
std::string replaced(const char* text, const char* what, const char* with, bool repeat = false)
{
    NString s(text);
    const int count = s.replace(what, with, repeat);
    return bytes(s) + "/" + std::to_string(count);
}

}  // namespace

// The block rule for every kind of edit: the block follows the size an edit
// asks for in 128-byte steps, both ways; remove and trim keep it.
TEST(NString, BlockFollowsTheRequestedSizeIn128ByteSteps)
{
    NString empty;
    EXPECT_EQ(127, empty.getCapacity());
    EXPECT_STREQ("", empty.getBuffer());
    EXPECT_EQ(nullptr, empty.getBufferOrNull());

    const struct {
        char fill;
        int start;
        std::function<void(NString&)> edit;
        int length, capacity;
    } cases[] = {
        {'x', 300, [](NString&) {}, 300, 383},
        {'x', 300, [](NString& s) { s = "abc"; }, 3, 127},
        {'x', 300, [](NString& s) { s = s.getBuffer() + 290; }, 10, 127},
        {'a', 127, [](NString& s) { s += 'b'; }, 128, 255},
        {'a', 128, [](NString& s) { s.appendRepeated("c", 128); }, 256, 383},
        {'a', 200, [](NString& s) { s.replace("a", "bc"); }, 400, 511},
        {'w', 300, [](NString& s) { s.replace("ww", "v"); }, 150, 255},
        {'r', 300, [](NString& s) { s.remove(10); }, 10, 383},
        {' ', 200, [](NString& s) { s.trim(); }, 0, 255},
        {'o', 8, [](NString& s) { s.format("%d", 42); }, 2, 1023},
    };
    for (const auto& c : cases) {
        NString s(std::string(static_cast<size_t>(c.start), c.fill).c_str());
        c.edit(s);
        EXPECT_EQ(c.length, s.getLength()) << c.fill << c.start;
        EXPECT_EQ(c.capacity, s.getCapacity()) << c.fill << c.start;
    }

    // Bytes that come back after a shrink are zero again.
    NString s(std::string(300, 'x').c_str());
    s = "abc";
    s.append(std::string(130, 'y').c_str());
    for (int i = 133; i <= s.getCapacity(); ++i)
        ASSERT_EQ(0, s.getBuffer()[i]) << i;
}

TEST(NString, SourcesInsideTheOwnBlock)
{
    NString self(std::string(100, 'k').c_str());
    self += self;
    EXPECT_EQ(std::string(200, 'k'), self.getBuffer());
    self.append(self.getBuffer() + 150);
    EXPECT_EQ(250, self.getLength());
    NString tail(std::string(200, 'a').append("end").c_str());
    tail = tail.getBuffer() + 200;
    EXPECT_STREQ("end", tail.getBuffer());
    NString ins("abcde_f!");
    ins.insert(0, ins.getBuffer() + 6);
    EXPECT_STREQ("f!abcde_f!", ins.getBuffer());
    NString rep("a-b");
    rep.replace("-", rep.getBuffer());
    EXPECT_STREQ("aa-bb", rep.getBuffer());
}

TEST(NString, AccessSubstringsAndSearching)
{
    const NString s("abcdef");
    EXPECT_EQ('f', s.getAt(5));
    EXPECT_EQ(0, s.getAt(6));
    NString changed(s);
    EXPECT_FALSE(changed.setAt(-1, 'x') || changed.setAt(6, 'x'));
    EXPECT_TRUE(changed.setAt(0, 'A'));
    EXPECT_STREQ("Abcdef", changed.getBuffer());

    EXPECT_STREQ("def", s.mid(-3).getBuffer());
    EXPECT_STREQ("bcde", s.mid(1, -1).getBuffer());
    EXPECT_STREQ("ef", s.mid(4, 100).getBuffer());
    EXPECT_STREQ("", s.mid(2, -10).getBuffer());
    EXPECT_STREQ("abcd", s.left(-2).getBuffer());
    EXPECT_STREQ("abcdef", s.right(50).getBuffer());

    EXPECT_EQ(2, NString("abcd").find("CD", 0, true));
    EXPECT_EQ(0, NString("abc").find("ab", -5));
    EXPECT_EQ(-1, NString("abc").find(""));
    EXPECT_EQ(3, NString("abcAB").findReverse("ab", true));
    EXPECT_EQ(0, NString("abab").findReverse("aba"));
    EXPECT_EQ(3, NString("aaaa").countOf("aa"));
    // Umlauts match across case in the ignore-case search.
    const NString umlauts("gr\xD6\xDF" "e \xE4rger");
    EXPECT_EQ(2, umlauts.find("\xF6\xDF", 0, true));
    EXPECT_EQ(6, umlauts.findReverse("\xC4RGER", true));
    const NString path("C:\\dir\\file.txt");
    EXPECT_EQ(6, path.findChar('\\', 3));
    EXPECT_EQ(-1, path.findChar('\\', 7));
    EXPECT_EQ(6, path.findLastChar('\\'));
}

TEST(NString, ReplaceAndInPlaceEditing)
{
    const struct { const char* text; const char* what; const char* with; bool repeat; const char* result; } cases[] = {
        // One character for one, the first hit not at the start.
        {"a-b-c", "-", "+", false, "a+b+c/2"},
        // Equal lengths, longer (over neighbouring candidates), shorter, no-ops.
        {"abcabcab", "abc", "XYZ", false, "XYZXYZab/2"},
        {"aaa", "a", "aa", false, "aaaaaa/3"},
        {"aaa", "aa", "xyz", false, "xyza/1"},
        {"xaaaax", "aa", "bcd", false, "xbcdbcdx/2"},
        {"aaaa", "aa", "ba", false, "baba/2"},
        {"-a--b-", "-", "", false, "ab/4"},
        {"abc", "", "x", false, "abc/0"},
        {"abc", "z", "yy", false, "abc/0"},
        // Repeated passes add up their counts; a recreated pattern stops after one pass.
        {"aaaa", "aa", "a", true, "a/3"},
        {"a     b", "  ", " ", true, "a b/4"},
        {"ab", "a", "aa", true, "aab/1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, replaced(c.text, c.what, c.with, c.repeat)) << c.text << " " << c.what;

    NString s("abef");
    s.insert(2, "cd");
    s.insert(-1, "_");
    s.insert(100, "!");
    s.insert(-20, "never");
    EXPECT_STREQ("abcde_f!", s.getBuffer());

    EXPECT_EQ("adef", edited("abcdef", [](NString& e) { e.remove(1, 2); }));
    EXPECT_EQ("ab", edited("ab", [](NString& e) { e.remove(2, 1); e.remove(-1, 1); }));
    EXPECT_EQ("a_b_c_d", edited("a,b;c d", [](NString& e) { e.replaceChars(",; ", '_'); }));
    EXPECT_EQ("yxzyxz", edited("xyzxyz", [](NString& e) { e.mapChars("xy", "yx"); }));
    EXPECT_EQ("  z", edited("xyz", [](NString& e) { e.mapChars("xy", "q"); }));
}

TEST(NString, CaseMappingComparisonAndTrimming)
{
    EXPECT_EQ("\xC4\xD6\xDC\xC4\xD6\xDC\xDF AZ\xC0\xE0 09",
              edited("\xC4\xD6\xDC\xE4\xF6\xFC\xDF Az\xC0\xE0 09", [](NString& e) { e.makeUpper(); }));
    EXPECT_EQ("\xE4\xF6\xFC\xE4\xF6\xFC\xDF az\xC0\xE0 09",
              edited("\xC4\xD6\xDC\xE4\xF6\xFC\xDF Az\xC0\xE0 09", [](NString& e) { e.makeLower(); }));

    const NString word("\xDC" "berGr\xD6\xDF" "e");
    EXPECT_TRUE(word.startsWith("\xFC" "BER", true));
    EXPECT_FALSE(word.startsWith("\xFC" "BER"));
    EXPECT_TRUE(word.endsWith("gr\xF6\xDF" "E", true));
    EXPECT_FALSE(word.endsWith("gr\xF6\xDF" "E"));
    EXPECT_FALSE(NString("ab").startsWith("abc") || NString("ab").endsWith("xab", true));

    // Comparison: bytes unsigned, umlauts sort after ASCII and keep their case.
    EXPECT_TRUE(NString("z") < NString("\xE4"));
    EXPECT_TRUE(NString("ab") < NString("abc") && !(NString("abd") <= NString("abc")));
    EXPECT_EQ(0, NString("abc").compare("ABC", true));
    EXPECT_NE(0, NString("\xE4").compare("\xC4", true));

    EXPECT_EQ("x", edited(" \t x \r\n", [](NString& e) { e.trim(); }));
    // Bytes from 128 up are never blanks, whatever the sign of char.
    EXPECT_EQ("\xA0 y \xA0", edited("\xA0 y \xA0", [](NString& e) { e.trim(); }));
    EXPECT_EQ("z \xFF ", edited("\t z \xFF ", [](NString& e) { e.trimLeft(); }));
    EXPECT_EQ("\t z", edited("\t z \r\n", [](NString& e) { e.trimRight(); }));
    EXPECT_EQ("a b\x7F", edited("\x01\x1F" "a b\x7F", [](NString& e) { e.trim(); }));
}

TEST(NString, NumbersToTextAndBack)
{
    // Binary digits end with the 35th character; the overflow keeps the low bits.
    const std::string binary = "0b1" + std::string(31, '0') + "11";
    const struct { const char* text; int value; } cases[] = {
        {"#FF0000", 255}, {"#1A3", 0x33AA11}, {"#abcdefZZ", 0xEFCDAB}, {"#12345", 0x332211},
        {"#ab", 0}, {"0xABg12", 0xAB}, {"0x1FFFFFFFF", -1}, {"0x", 0}, {"0b102", 2},
        {binary.c_str(), 1}, {"0X1F", 0}, {"42abc", 42}, {"  -17", -17}, {"abc", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, NString(c.text).toInt()) << c.text;

    EXPECT_DOUBLE_EQ(-0.5, NString("-0.5x").toDouble());
    EXPECT_DOUBLE_EQ(0.0, NString("x").toDouble());

    const struct { int value; bool thousands; int radix; int minWidth; const char* text; } texts[] = {
        {1234567890, true, 10, -1, "1.234.567.890"}, {999, true, 10, -1, "999"},
        {1000, true, 10, -1, "1.000"}, {-1234567, true, 10, -1, "-1234567"},
        {-5, false, 10, 3, "0-5"}, {1234, true, 10, 6, "001.234"}, {-1, false, 16, -1, "ffffffff"},
        {10, false, 2, 8, "00001010"}, {INT_MIN, false, 10, -1, "-2147483648"},
    };
    for (const auto& c : texts)
        EXPECT_STREQ(c.text, NString::fromNumber(c.value, c.thousands, c.radix, c.minWidth).getBuffer())
            << c.value;

    const auto assigned = [](double value, int precision) {
        NString d;
        d.setPrecision(precision);
        d = value;
        return std::string(d.getBuffer());
    };
    EXPECT_EQ("3.14", assigned(3.14159265358979, 3));
    // 2^-200 has 140 significant decimal digits: only the cap keeps it to 100.
    EXPECT_EQ(assigned(std::ldexp(1.0, -200), 100), assigned(std::ldexp(1.0, -200), 1000));
}

TEST(NString, FormatLimits)
{
    NString s("old text");
    s.format("%d-%s-%02X", 42, "x", 10);
    EXPECT_STREQ("42-x-0A", s.getBuffer());

    // Exactly the first limit, just over it, far over it, and the cap.
    for (size_t n : {1000u, 1001u, 12345u}) {
        const std::string text(n, 'e');
        s.format("%s", text.c_str());
        EXPECT_EQ(text, s.getBuffer()) << n;
    }
    NString appended("head:");
    appended.appendFormat("%s|%d", std::string(12345, 'l').c_str(), 7);
    EXPECT_EQ("head:" + std::string(12345, 'l') + "|7", appended.getBuffer());

    const std::string huge(1200000, 'h');
    s.format("%s", huge.c_str());
    EXPECT_EQ(1000000, s.getLength());
    EXPECT_EQ(huge.substr(0, 1000000), s.getBuffer());
}

TEST(NString, Tokens)
{
    const auto cut = [](const char* text, const char* separator) {
        NString s(text);
        const NString token = s.cutToken(separator);
        return bytes(token) + "|" + bytes(s);
    };
    EXPECT_EQ("key|value => rest", cut("key => value => rest", " => "));
    EXPECT_EQ("abc|", cut("abc", ";"));
    EXPECT_EQ("|x", cut(";x", ";"));

    // The list afterwards, and "-" where the item was refused.
    const auto add = [](const char* list, const char* item, bool unique, bool allowEmpty) {
        NString s(list);
        const bool accepted = s.appendToken(";", item, unique, allowEmpty);
        return accepted ? bytes(s) : "-" + bytes(s);
    };
    EXPECT_EQ("-solo", add("solo", "solo", true, false));
    EXPECT_EQ("-red;green;blue", add("red;green;blue", "blue", true, false));
    EXPECT_EQ("-red;green;blue", add("red;green;blue", "green", true, false));
    EXPECT_EQ("red;green;blue;gree", add("red;green;blue", "gree", true, false));
    EXPECT_EQ("red;green;blue;lue", add("red;green;blue", "lue", true, false));
    EXPECT_EQ("-a", add("a", "", false, false));
    // A trailing separator is reused unless empty items are allowed.
    EXPECT_EQ("a;b", add("a;", "b", false, false));
    EXPECT_EQ("a;;", add("a;", "", false, true));
}
