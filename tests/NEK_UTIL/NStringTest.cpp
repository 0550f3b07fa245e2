#include "NString.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <algorithm>
#include <functional>
#include <string>

#include <windows.h>
#include <oleauto.h>

namespace {

std::string bytes(const NString& s) { return std::string(s.getBuffer(), static_cast<size_t>(s.getLength())); }

template <typename Edit>
std::string edited(const std::string& text, Edit edit)
{
    NString s(text.data(), static_cast<int>(text.size()));
    edit(s);
    return bytes(s);
}

}  // namespace

TEST(NString, BlockFollowsTheRequestedSizeIn128ByteStepsAlsoForSourcesInsideTheBlock)
{
    NString empty;
    EXPECT_TRUE(empty.getCapacity() == 127 && empty.getBufferOrNull() == nullptr);
    const struct {
        char fill;
        int start;
        std::function<void(NString&)> edit;
        int length, capacity;
    } cases[] = {
        {'x', 300, [](NString&) {}, 300, 383},
        {'x', 300, [](NString& s) { s = "abc"; }, 3, 127},
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
        EXPECT_EQ(c.length * 10000 + c.capacity, s.getLength() * 10000 + s.getCapacity()) << c.fill << c.start;
    }
    // Sources inside the own block, which moves while it grows.
    EXPECT_EQ(std::string(250, 'k'),
              edited(std::string(100, 'k'), [](NString& e) { e += e; e.append(e.getBuffer() + 150); }));
    EXPECT_EQ("end", edited(std::string(200, 'a') + "end", [](NString& e) { e = e.getBuffer() + 200; }));
    EXPECT_EQ("f!abcde_f!", edited("abcde_f!", [](NString& e) { e.insert(0, e.getBuffer() + 6); }));
    EXPECT_EQ("aa-bb", edited("a-b", [](NString& e) { e.replace("-", e.getBuffer()); }));
}

TEST(NString, AccessSubstringsSearchingReplaceAndInPlaceEditing)
{
    const NString s("abcdef");
    EXPECT_EQ(0, s.getAt(6));
    NString changed(s);
    EXPECT_FALSE(changed.setAt(-1, 'x') || changed.setAt(6, 'x'));
    EXPECT_TRUE(changed.setAt(0, 'A'));
    EXPECT_STREQ("Abcdef", changed.getBuffer());
    EXPECT_EQ("def|bcde|ef||abcd|abcdef", bytes(s.mid(-3) + "|" + s.mid(1, -1) + "|" + s.mid(4, 100) + "|" +
                                                s.mid(2, -10) + "|" + s.left(-2) + "|" + s.right(50)));

    const struct { int found, expected; } finds[] = {
        {NString("abcd").find("CD", 0, true), 2}, {NString("abc").find("ab", -5), 0}, {NString("abc").find(""), -1},
        {NString("abcAB").findReverse("ab", true), 3}, {NString("abab").findReverse("aba"), 0},
        {NString("aaaa").countOf("aa"), 3},
        // Umlauts match across case in the ignore-case search.
        {NString("gr\xD6\xDF" "e \xE4rger").find("\xF6\xDF", 0, true), 2},
        {NString("gr\xD6\xDF" "e \xE4rger").findReverse("\xC4RGER", true), 6},
        {NString("C:\\dir\\file.txt").findChar('\\', 3), 6}, {NString("C:\\dir\\file.txt").findChar('\\', 7), -1},
        {NString("C:\\dir\\file.txt").findLastChar('\\'), 6},
    };
    for (size_t i = 0; i < sizeof finds / sizeof finds[0]; ++i)
        EXPECT_EQ(finds[i].found, finds[i].expected) << i;

    const struct { const char* text; const char* what; const char* with; bool repeat; const char* result; } cases[] = {
        // One character for one, the first hit not at the start.
        {"a-b-c", "-", "+", false, "a+b+c/2"},
        // Equal lengths, longer (over neighbouring candidates), shorter, no-ops.
        {"abcabcab", "abc", "XYZ", false, "XYZXYZab/2"},
        {"aaa", "a", "aa", false, "aaaaaa/3"},
        {"xaaaax", "aa", "bcd", false, "xbcdbcdx/2"},
        {"-a--b-", "-", "", false, "ab/4"},
        {"abc", "", "x", false, "abc/0"},
        // Repeated passes add up their counts; a recreated pattern stops after one pass.
        {"aaaa", "aa", "a", true, "a/3"},
        {"a     b", "  ", " ", true, "a b/4"},
        {"ab", "a", "aa", true, "aab/1"},
    };
    for (const auto& c : cases) {
        NString text(c.text);
        const int count = text.replace(c.what, c.with, c.repeat);
        EXPECT_EQ(c.result, bytes(text) + "/" + std::to_string(count)) << c.text << " " << c.what;
    }
    EXPECT_EQ("abcde_f!", edited("abef", [](NString& e) {
                  e.insert(2, "cd"); e.insert(-1, "_"); e.insert(100, "!"); e.insert(-20, "never"); }));
    EXPECT_EQ("adef", edited("abcdef", [](NString& e) { e.remove(1, 2); }));
    EXPECT_EQ("ab", edited("ab", [](NString& e) { e.remove(2, 1); e.remove(-1, 1); }));
    EXPECT_EQ("a_b_c_d", edited("a,b;c d", [](NString& e) { e.replaceChars(",; ", '_'); }));
    EXPECT_EQ("yxzyxz", edited("xyzxyz", [](NString& e) { e.mapChars("xy", "yx"); }));
    EXPECT_EQ("  z", edited("xyz", [](NString& e) { e.mapChars("xy", "q"); }));
}

TEST(NString, CaseMappingComparisonAndTrimming)
{
    const std::string mixed = "\xC4\xD6\xDC\xE4\xF6\xFC\xDF Az\xC0\xE0 09";
    EXPECT_EQ("\xC4\xD6\xDC\xC4\xD6\xDC\xDF AZ\xC0\xE0 09", edited(mixed, [](NString& e) { e.makeUpper(); }));
    EXPECT_EQ("\xE4\xF6\xFC\xE4\xF6\xFC\xDF az\xC0\xE0 09", edited(mixed, [](NString& e) { e.makeLower(); }));
    const NString word("\xDC" "berGr\xD6\xDF" "e");
    EXPECT_TRUE(word.startsWith("\xFC" "BER", true) && word.endsWith("gr\xF6\xDF" "E", true));
    EXPECT_FALSE(word.startsWith("\xFC" "BER") || word.endsWith("gr\xF6\xDF" "E"));
    EXPECT_FALSE(NString("ab").startsWith("abc") || NString("ab").endsWith("xab", true));
    // Comparison: bytes unsigned, umlauts sort after ASCII and keep their case.
    EXPECT_TRUE(NString("z") < NString("\xE4"));
    EXPECT_TRUE(NString("ab") < NString("abc") && !(NString("abd") <= NString("abc")));
    EXPECT_EQ(0, NString("abc").compare("ABC", true));
    EXPECT_NE(0, NString("\xE4").compare("\xC4", true));
    // Bytes from 128 up are never blanks, whatever the sign of char.
    EXPECT_EQ("\xA0 y \xA0", edited("\xA0 y \xA0", [](NString& e) { e.trim(); }));
    EXPECT_EQ("z \xFF ", edited("\t z \xFF ", [](NString& e) { e.trimLeft(); }));
    EXPECT_EQ("\t z", edited("\t z \r\n", [](NString& e) { e.trimRight(); }));
    EXPECT_EQ("a b\x7F", edited("\x01\x1F" "a b\x7F", [](NString& e) { e.trim(); }));
}

TEST(NString, NumbersToTextAndBackAndFormatLimits)
{
    // Binary digits end with the 35th character; the overflow keeps the low bits.
    const std::string binary = "0b1" + std::string(31, '0') + "11";
    const struct { const char* text; int value; } cases[] = {
        {"#FF0000", 255}, {"#1A3", 0x33AA11}, {"#abcdefZZ", 0xEFCDAB}, {"#12345", 0x332211},
        {"#ab", 0}, {"0xABg12", 0xAB}, {"0x1FFFFFFFF", -1}, {"0x", 0}, {"0b102", 2},
        {binary.c_str(), 1}, {"0X1F", 0}, {"42abc", 42}, {"  -17", -17}, {"abc", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, NString(c.text).toInt()) << c.text;
    EXPECT_DOUBLE_EQ(-0.5, NString("-0.5x").toDouble());

    const struct { int value; bool thousands; int radix; int minWidth; const char* text; } texts[] = {
        {1234567890, true, 10, -1, "1.234.567.890"}, {999, true, 10, -1, "999"},
        {1000, true, 10, -1, "1.000"}, {-1234567, true, 10, -1, "-1234567"},
        {-5, false, 10, 3, "0-5"}, {1234, true, 10, 6, "001.234"}, {-1, false, 16, -1, "ffffffff"},
        {10, false, 2, 8, "00001010"}, {INT_MIN, false, 10, -1, "-2147483648"},
    };
    for (const auto& c : texts)
        EXPECT_STREQ(c.text, NString::fromNumber(c.value, c.thousands, c.radix, c.minWidth).getBuffer()) << c.value;
    const auto assigned = [](double value, int precision, NString d = NString()) {
        d.setPrecision(precision);
        return std::string((d = value).getBuffer());
    };
    EXPECT_EQ("3.14", assigned(3.14159265358979, 3));
    // 2^-200 has 140 significant decimal digits: only the cap keeps it to 100.
    EXPECT_EQ(assigned(std::ldexp(1.0, -200), 100), assigned(std::ldexp(1.0, -200), 1000));

    // Exactly the first limit, just over it, far over it, and the cap.
    NString s("old text");
    for (size_t n : {1000u, 1001u, 12345u}) {
        s.format("%s|%d", std::string(n, 'e').c_str(), 7);
        EXPECT_EQ(std::string(n, 'e') + "|7", s.getBuffer()) << n;
    }
    const std::string huge(1200000, 'h');
    s.format("%s", huge.c_str());
    EXPECT_EQ(huge.substr(0, 1000000), bytes(s));
}

TEST(NString, Tokens)
{
    const auto cut = [](const char* text, const char* separator, NString s = NString()) {
        const std::string token = bytes((s = text).cutToken(separator));
        return token + "|" + bytes(s);
    };
    EXPECT_EQ("key|value => rest", cut("key => value => rest", " => "));
    EXPECT_EQ("abc|", cut("abc", ";"));
    EXPECT_EQ("|x", cut(";x", ";"));
    // The list afterwards, and "-" where the item was refused.
    const char* const adds[][5] = {
        {"solo", "solo", "u", "", "-solo"}, {"red;green;blue", "blue", "u", "", "-red;green;blue"},
        {"red;green;blue", "green", "u", "", "-red;green;blue"},
        {"red;green;blue", "gree", "u", "", "red;green;blue;gree"},
        {"red;green;blue", "lue", "u", "", "red;green;blue;lue"}, {"a", "", "", "", "-a"},
        // A trailing separator is reused unless empty items are allowed.
        {"a;", "b", "", "", "a;b"}, {"a;", "", "", "e", "a;;"},
    };
    for (const auto& a : adds) {
        NString s(a[0]);
        const bool accepted = s.appendToken(";", a[1], *a[2] != 0, *a[3] != 0);
        EXPECT_EQ(a[4], (accepted ? "" : "-") + bytes(s)) << a[0] << " + " << a[1];
    }
}

TEST(NString, EncodingsAndTheirDecodings)
{
    const struct { const char* text; void (NString::*convert)(); const char* result; } cases[] = {
        {"a b/\xE4", &NString::urlEncode, "a%20b%2F%E4"},
        {"\r\n\txY9-_.", &NString::urlEncode, "%0D%0A%09xY9%2D%5F%2E"},
        // '+' is a space; lower-case hex decodes too; a '%' too near the end stays;
        // parsing stops at a non-hex character; zero bytes are dropped.
        {"a+b%fc", &NString::urlDecode, "a b\xFC"}, {"x%4", &NString::urlDecode, "x%4"},
        {"%4GZ", &NString::urlDecode, "\x04Z"},      {"a%00b", &NString::urlDecode, "ab"},
        {"\xE4\xF6\xFC\xC4\xD6\xDC\xDF", &NString::htmlEncode, "&auml;&ouml;&uuml;&Auml;&Ouml;&Uuml;&szlig;"},
        {"<a href=\"x\">Tom's & Co</a>", &NString::htmlEncode,
         "&lt;a href=&quot;x&quot;&gt;Tom&prime;s &amp; Co&lt;/a&gt;"},
        // "&amp;" goes last: an escaped entity stays an entity; unknown or broken ones pass.
        {"&amp;lt;", &NString::htmlDecode, "&lt;"},
        {"&nbsp; &auml &; &", &NString::htmlDecode, "&nbsp; &auml &; &"},
        {"\\n\\r\\t\\\\\\\"\\q", &NString::unescape, "\n\r\t\\\"q"},
        // \x takes up to two hex digits; up to three digits read in base 8 ("\19" is 1*8+9).
        {"\\xaBC\\xFz", &NString::unescape, "\xAB" "C\x0Fz"},
        {"\\101\\19\\3770", &NString::unescape, "A\x11\xFF" "0"},
        {"ab\\x", &NString::unescape, "abx"}, {"ab\\", &NString::unescape, "ab\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, edited(c.text, [&c](NString& e) { (e.*c.convert)(); })) << c.text;
    EXPECT_EQ("\\r\\n\\x00\\x1F \"'\xE4\x7F",
              edited(std::string("\r\n\0\x1F \"'\xE4\x7F", 9), [](NString& e) { e.escape(); }));

    // Every byte survives each round trip; encoded texts are plain ASCII.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string url = edited(all.substr(1), [](NString& e) { e.urlEncode(); });
    EXPECT_EQ(std::string::npos, url.find_first_not_of("%0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(all.substr(1), edited(url, [](NString& e) { e.urlDecode(); }));
    EXPECT_EQ(all.substr(1), edited(all.substr(1), [](NString& e) { e.htmlEncode(); e.htmlDecode(); }));
    const std::string escaped = edited(all, [](NString& e) { e.escape(); });
    EXPECT_EQ(escaped.end(), std::find_if(escaped.begin(), escaped.end(), [](char c) { return c >= 0 && c < 32; }));
    EXPECT_EQ(all, edited(escaped, [](NString& e) { e.unescape(); }));
}

TEST(NString, IsNumberPerKindQuotedLiteralsAndWideTexts)
{
    const struct { const char* text; char kind; bool blanks; bool number; } cases[] = {
        {"0x1aF", 'h', false, true},  {"0x", 'h', false, false},     {"1F", 'h', false, false},
        {"0b1010", 'b', false, true}, {"0b", 'b', false, false},     {"0b102", 'b', false, false},
        {"#FFF", 'c', false, true},   {"#FFFF", 'c', false, false},  {"#GGG", 'c', false, false},
        {"+0", 'd', false, true},     {" -12 ", 'd', true, true},    {" -12 ", 'd', false, false},
        {".5", 'f', false, true},     {"+.", 'f', false, false},     {"1.2.3", 'f', false, false},
        {"1,5", 'f', false, false},   {"12", 'x', false, false},     {" \t ", 'd', true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.number, NString(c.text).isNumber(c.kind, c.blanks)) << c.text << " " << c.kind;

    EXPECT_EQ(0, NString::quotedLength(nullptr));
    // An escaped quote does not end the literal; an escaped backslash does not escape the quote.
    EXPECT_EQ(8, NString::quotedLength("\"a\\\"b\\\\\" c"));
    EXPECT_EQ(0, NString::quotedLength("\"abc\\\""));
    NString source("key = \"a\\tb\\\"c\" ; rest");
    EXPECT_EQ("a\tb\"c", bytes(NString::extractQuoted(source, 6, true, true)));
    // No literal at the position, or outside the text: nothing happens.
    EXPECT_EQ("", bytes(NString::extractQuoted(source, -1, true)) + bytes(NString::extractQuoted(source, 100, true)));
    EXPECT_EQ("key =  ; rest", bytes(source));

    NString s("Gr\xF6\xDF" "e");
    EXPECT_EQ(std::wstring(L"Gr\x00F6\x00DF" L"e"), std::wstring(s.toWide()));
    // The BSTR's own length counts, embedded zeros included.
    BSTR word = SysAllocStringLen(L"Gr\x00F6\x00DF" L"e\0x", 7);
    EXPECT_EQ(std::string("Gr\xF6\xDF" "e\0x", 7), bytes(NString(word)));
    SysFreeString(word);
    VARIANT v = {};
    V_VT(&v) = VT_I4;
    V_I4(&v) = 42;
    EXPECT_EQ("42", bytes(NString(v)));
    // Conversion failures keep the old content.
    V_VT(&v) = VT_NULL;
    s = v;
    EXPECT_EQ("Gr\xF6\xDF" "e", bytes(s));
}
