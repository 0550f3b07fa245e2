#include "NString.h"

#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <oleauto.h>

namespace {

std::string bytes(const NString& s)
{
    return std::string(s.getBuffer(), static_cast<size_t>(s.getLength()));
}

template <typename Edit>
std::string edited(const std::string& text, Edit edit)
{
    NString s(text.data(), static_cast<int>(text.size()));
    edit(s);
    return bytes(s);
}

std::string urlEncoded(const std::string& t) { return edited(t, [](NString& s) { s.urlEncode(); }); }
std::string urlDecoded(const std::string& t) { return edited(t, [](NString& s) { s.urlDecode(); }); }
std::string htmlEncoded(const std::string& t) { return edited(t, [](NString& s) { s.htmlEncode(); }); }
std::string htmlDecoded(const std::string& t) { return edited(t, [](NString& s) { s.htmlDecode(); }); }
std::string escaped(const std::string& t) { return edited(t, [](NString& s) { s.escape(); }); }
std::string unescaped(const std::string& t) { return edited(t, [](NString& s) { s.unescape(); }); }

bool isNumber(const char* text, char kind, bool ignoreBlanks = false)
{
    return NString(text).isNumber(kind, ignoreBlanks);
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

TEST(NStringEncodings, UrlEncodingRoundTrips)
{
    EXPECT_EQ("a%20b%2F%E4", urlEncoded("a b/\xE4"));
    EXPECT_EQ("%0D%0A%09xY9%2D%5F%2E", urlEncoded("\r\n\txY9-_."));
    const std::string all = allBytes();
    const std::string encoded = urlEncoded(all);
    EXPECT_EQ(std::string::npos, encoded.find_first_not_of(
        "%0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(all, urlDecoded(encoded));

    // '+' is a space; lower-case hex decodes too.
    EXPECT_EQ("a b\xFC", urlDecoded("a+b%fc"));
    // A '%' too near the end stays; parsing stops at a non-hex character; zero bytes are dropped.
    EXPECT_EQ("x%4", urlDecoded("x%4"));
    EXPECT_EQ("\x04Z", urlDecoded("%4GZ"));
    EXPECT_EQ("ab", urlDecoded("a%00b"));
}

TEST(NStringEncodings, HtmlEntities)
{
    EXPECT_EQ("&auml;&ouml;&uuml;&Auml;&Ouml;&Uuml;&szlig;", htmlEncoded("\xE4\xF6\xFC\xC4\xD6\xDC\xDF"));
    EXPECT_EQ("&lt;a href=&quot;x&quot;&gt;Tom&prime;s &amp; Co&lt;/a&gt;",
              htmlEncoded("<a href=\"x\">Tom's & Co</a>"));
    EXPECT_EQ("\xE9\x01\r\n", htmlEncoded("\xE9\x01\r\n"));

    // "&amp;" goes last: an escaped entity stays an entity.
    EXPECT_EQ("&lt;", htmlDecoded("&amp;lt;"));
    // Unknown, broken or unterminated entities pass unchanged.
    EXPECT_EQ("&nbsp; &auml &; &", htmlDecoded("&nbsp; &auml &; &"));
    const std::string all = allBytes();
    EXPECT_EQ(all, htmlDecoded(htmlEncoded(all)));
}

TEST(NStringEncodings, CEscapes)
{
    EXPECT_EQ("\\r\\n\\x00\\x1F \"'\xE4\x7F", escaped(std::string("\r\n\0\x1F \"'\xE4\x7F", 9)));

    // Zero included: every byte survives escaping and unescaping.
    std::string all = allBytes();
    all += '\0';
    const std::string e = escaped(all);
    for (char c : e)
        ASSERT_GE(static_cast<unsigned char>(c), 32);
    EXPECT_EQ(all, unescaped(e));

    EXPECT_EQ("\n\r\t\\\"q", unescaped("\\n\\r\\t\\\\\\\"\\q"));
    // \x takes up to two hex digits, either case.
    EXPECT_EQ("\xAB" "C\x0Fz", unescaped("\\xaBC\\xFz"));
    // Up to three decimal digits, read in base 8 ("\\19" is 1*8+9).
    EXPECT_EQ("A" "\x11" "\xFF" "0", unescaped("\\101\\19\\3770"));
    // Truncated escapes end cleanly.
    EXPECT_EQ("abx", unescaped("ab\\x"));
    EXPECT_EQ("ab\\", unescaped("ab\\"));
}

TEST(NStringEncodings, IsNumberPerKind)
{
    EXPECT_TRUE(isNumber("0x1aF", 'h'));
    EXPECT_FALSE(isNumber("0x", 'h'));
    EXPECT_FALSE(isNumber("1F", 'h'));

    EXPECT_TRUE(isNumber("0b1010", 'b'));
    EXPECT_FALSE(isNumber("0b", 'b'));
    EXPECT_FALSE(isNumber("0b102", 'b'));

    EXPECT_TRUE(isNumber("#FFF", 'c'));
    EXPECT_FALSE(isNumber("#FFFF", 'c'));
    EXPECT_FALSE(isNumber("#GGG", 'c'));

    EXPECT_TRUE(isNumber("+0", 'd'));
    EXPECT_TRUE(isNumber(" -12 ", 'd', true));
    EXPECT_FALSE(isNumber(" -12 ", 'd'));

    EXPECT_TRUE(isNumber(".5", 'f'));
    EXPECT_FALSE(isNumber("+.", 'f'));
    EXPECT_FALSE(isNumber("1.2.3", 'f'));
    EXPECT_FALSE(isNumber("1,5", 'f'));

    for (char kind : {'h', 'b', 'c', 'd', 'f'})
        EXPECT_FALSE(isNumber(" \t ", kind, true)) << kind;
    EXPECT_FALSE(isNumber("12", 'x'));
}

TEST(NStringEncodings, ToWideBstrAndVariant)
{
    NString s("Gr\xF6\xDF" "e");
    const wchar_t* wide = s.toWide();
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(std::wstring(L"Gr\x00F6\x00DF" L"e"), std::wstring(wide));
    s = "ab";
    EXPECT_EQ(std::wstring(L"ab"), std::wstring(s.toWide()));

    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ("", bytes(s));
    // The BSTR's own length counts, embedded zeros included.
    BSTR word = SysAllocStringLen(L"Gr\x00F6\x00DF" L"e\0x", 7);
    NString fromWord(word);
    EXPECT_EQ(std::string("Gr\xF6\xDF" "e\0x", 7), bytes(fromWord));
    SysFreeString(word);

    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = 42;
    EXPECT_EQ("42", bytes(NString(v)));
    VARIANT text;
    VariantInit(&text);
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"\x00C4pfel");
    s = text;
    EXPECT_EQ("\xC4pfel", bytes(s));
    VariantClear(&text);

    // Conversion failures keep the old content.
    VARIANT null;
    VariantInit(&null);
    V_VT(&null) = VT_NULL;
    s = null;
    EXPECT_EQ("\xC4pfel", bytes(s));
    EXPECT_EQ("", bytes(NString(null)));
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
