#include "NString.h"

#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <oleauto.h>

namespace {

std::string bytes(const NString& s) { return std::string(s.getBuffer(), static_cast<size_t>(s.getLength())); }

// The text after one of the in-place conversions.
std::string converted(const std::string& text, void (NString::*convert)())
{
    NString s(text.data(), static_cast<int>(text.size()));
    (s.*convert)();
    return bytes(s);
}

// Every byte value but zero, control bytes and umlauts among them.
std::string allBytes()
{
    std::string text;
    for (int b = 1; b < 256; ++b)
        text += static_cast<char>(b);
    return text;
}

}  // namespace

TEST(NStringEncodings, EncodingsAndTheirDecodings)
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
        {"\xE9\x01\r\n", &NString::htmlEncode, "\xE9\x01\r\n"},
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
        EXPECT_EQ(c.result, converted(c.text, c.convert)) << c.text;
    EXPECT_EQ("\\r\\n\\x00\\x1F \"'\xE4\x7F", converted(std::string("\r\n\0\x1F \"'\xE4\x7F", 9), &NString::escape));

    // Every byte survives each round trip; encoded texts are plain ASCII.
    const std::string all = allBytes();
    const std::string url = converted(all, &NString::urlEncode);
    EXPECT_EQ(std::string::npos, url.find_first_not_of(
        "%0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(all, converted(url, &NString::urlDecode));
    EXPECT_EQ(all, converted(converted(all, &NString::htmlEncode), &NString::htmlDecode));
    const std::string escaped = converted(all + '\0', &NString::escape);
    for (char c : escaped)
        ASSERT_GE(static_cast<unsigned char>(c), 32);
    EXPECT_EQ(all + '\0', converted(escaped, &NString::unescape));
}

TEST(NStringEncodings, IsNumberPerKind)
{
    const struct { const char* text; char kind; bool blanks; bool number; } cases[] = {
        {"0x1aF", 'h', false, true},  {"0x", 'h', false, false},     {"1F", 'h', false, false},
        {"0b1010", 'b', false, true}, {"0b", 'b', false, false},     {"0b102", 'b', false, false},
        {"#FFF", 'c', false, true},   {"#FFFF", 'c', false, false},  {"#GGG", 'c', false, false},
        {"+0", 'd', false, true},     {" -12 ", 'd', true, true},    {" -12 ", 'd', false, false},
        {".5", 'f', false, true},     {"+.", 'f', false, false},     {"1.2.3", 'f', false, false},
        {"1,5", 'f', false, false},   {"12", 'x', false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.number, NString(c.text).isNumber(c.kind, c.blanks)) << c.text << " " << c.kind;
    for (char kind : {'h', 'b', 'c', 'd', 'f'})
        EXPECT_FALSE(NString(" \t ").isNumber(kind, true)) << kind;
}

TEST(NStringEncodings, ToWideBstrAndVariant)
{
    NString s("Gr\xF6\xDF" "e");
    EXPECT_EQ(std::wstring(L"Gr\x00F6\x00DF" L"e"), std::wstring(s.toWide()));
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ("", bytes(s));
    // The BSTR's own length counts, embedded zeros included.
    BSTR word = SysAllocStringLen(L"Gr\x00F6\x00DF" L"e\0x", 7);
    EXPECT_EQ(std::string("Gr\xF6\xDF" "e\0x", 7), bytes(NString(word)));
    SysFreeString(word);

    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = 42;
    EXPECT_EQ("42", bytes(NString(v)));
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(L"\x00C4pfel");
    s = v;
    EXPECT_EQ("\xC4pfel", bytes(s));
    VariantClear(&v);
    // Conversion failures keep the old content.
    V_VT(&v) = VT_NULL;
    s = v;
    EXPECT_EQ("\xC4pfel", bytes(s));
    EXPECT_EQ("", bytes(NString(v)));
}

TEST(NStringEncodings, QuotedLiterals)
{
    EXPECT_EQ(0, NString::quotedLength(nullptr));
    // An escaped quote does not end the literal; an escaped backslash does not escape the quote.
    EXPECT_EQ(8, NString::quotedLength("\"a\\\"b\\\\\" c"));
    EXPECT_EQ(0, NString::quotedLength("\"abc\\\""));
    EXPECT_EQ(0, NString::quotedLength("\"abc\\"));

    NString source("key = \"a\\tb\\\"c\" ; rest");
    EXPECT_EQ("a\tb\"c", bytes(NString::extractQuoted(source, 6, true, true)));
    // No literal at the position, or outside the text: nothing happens.
    EXPECT_EQ("", bytes(NString::extractQuoted(source, -1, true)));
    EXPECT_EQ("", bytes(NString::extractQuoted(source, 100, true)));
    EXPECT_EQ("key =  ; rest", bytes(source));
}
