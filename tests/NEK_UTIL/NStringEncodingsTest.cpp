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
    EXPECT_EQ("a b/\xE4", urlDecoded("a%20b%2F%E4"));
    EXPECT_EQ("%0D%0A%09xY9%2D%5F%2E", urlEncoded("\r\n\txY9-_."));

    const std::string all = allBytes();
    const std::string encoded = urlEncoded(all);
    EXPECT_EQ(std::string::npos, encoded.find_first_not_of(
        "%0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(all, urlDecoded(encoded));

    // '+' is a space; lower-case hex decodes too.
    EXPECT_EQ("a b\xFC", urlDecoded("a+b%fc"));
    // A '%' too near the end stays, with what follows it.
    EXPECT_EQ("100%", urlDecoded("100%"));
    EXPECT_EQ("x%4", urlDecoded("x%4"));
    // Parsing stops at a non-hex character; a zero byte is dropped.
    EXPECT_EQ("\x04Z", urlDecoded("%4GZ"));
    EXPECT_EQ("ab", urlDecoded("a%00b"));
    EXPECT_EQ("ab", urlDecoded("a%G1b"));
    EXPECT_EQ("", urlDecoded(""));
}

TEST(NStringEncodings, HtmlEntities)
{
    EXPECT_EQ("&auml;&ouml;&uuml;&Auml;&Ouml;&Uuml;&szlig;", htmlEncoded("\xE4\xF6\xFC\xC4\xD6\xDC\xDF"));
    EXPECT_EQ("&lt;a href=&quot;x&quot;&gt;Tom&prime;s &amp; Co&lt;/a&gt;",
              htmlEncoded("<a href=\"x\">Tom's & Co</a>"));
    EXPECT_EQ("\xE9\x01\r\n", htmlEncoded("\xE9\x01\r\n"));

    EXPECT_EQ("&amp;", bytes(NString::htmlEncodeChar('&')));
    EXPECT_EQ("&szlig;", bytes(NString::htmlEncodeChar('\xDF')));
    EXPECT_EQ("x", bytes(NString::htmlEncodeChar('x')));

    // "&amp;" goes last: an escaped entity stays an entity.
    EXPECT_EQ("&lt;", htmlDecoded("&amp;lt;"));
    EXPECT_EQ("&amp;", htmlDecoded("&amp;amp;"));
    EXPECT_EQ("Gr\xF6\xDF" "e 'x' <\"&\">", htmlDecoded("Gr&ouml;&szlig;e &prime;x&prime; &lt;&quot;&amp;&quot;&gt;"));
    // Unknown, broken or unterminated entities pass unchanged.
    EXPECT_EQ("&nbsp; &auml &; &", htmlDecoded("&nbsp; &auml &; &"));

    const std::string all = allBytes();
    EXPECT_EQ(all, htmlDecoded(htmlEncoded(all)));
}

TEST(NStringEncodings, CEscapes)
{
    EXPECT_EQ("a\\tb\\\\c\\x1B", escaped("a\tb\\c\x1B"));
    EXPECT_EQ("\\r\\n\\x00\\x1F \"'\xE4\x7F", escaped(std::string("\r\n\0\x1F \"'\xE4\x7F", 9)));

    // Zero included: every byte survives escaping and unescaping.
    std::string all = allBytes();
    all += '\0';
    const std::string e = escaped(all);
    for (char c : e)
        EXPECT_GE(static_cast<unsigned char>(c), 32);
    EXPECT_EQ(all, unescaped(e));

    EXPECT_EQ("\n\r\t\\\"q", unescaped("\\n\\r\\t\\\\\\\"\\q"));
    // \x takes up to two hex digits, either case.
    EXPECT_EQ("\xAB" "C\x0Fz", unescaped("\\xaBC\\xFz"));
    // Up to three decimal digits, read in base 8 ("\\19" is 1*8+9).
    EXPECT_EQ("A" "\x11" "\x08" "\xFF" "0", unescaped("\\101\\19\\010\\3770"));
    EXPECT_EQ(std::string("a\0b", 3), unescaped("a\\0b"));
    // Truncated escapes end cleanly.
    EXPECT_EQ("abx", unescaped("ab\\x"));
    EXPECT_EQ("xg", unescaped("\\xg"));
    EXPECT_EQ("ab\\", unescaped("ab\\"));
    EXPECT_EQ("\x07", unescaped("\\7"));
}

TEST(NStringEncodings, IsNumberPerKind)
{
    EXPECT_TRUE(isNumber("0x1aF", 'h'));
    EXPECT_FALSE(isNumber("0x", 'h'));
    EXPECT_FALSE(isNumber("0X1F", 'h'));
    EXPECT_FALSE(isNumber("0x1G", 'h'));
    EXPECT_FALSE(isNumber("1F", 'h'));

    EXPECT_TRUE(isNumber("0b1010", 'b'));
    EXPECT_FALSE(isNumber("0b", 'b'));
    EXPECT_FALSE(isNumber("0b102", 'b'));

    EXPECT_TRUE(isNumber("#FFF", 'c'));
    EXPECT_TRUE(isNumber("#00ff00", 'c'));
    EXPECT_FALSE(isNumber("#FFFF", 'c'));
    EXPECT_FALSE(isNumber("#FF", 'c'));
    EXPECT_FALSE(isNumber("#GGG", 'c'));
    EXPECT_FALSE(isNumber("FFF", 'c'));

    EXPECT_TRUE(isNumber("123", 'd'));
    EXPECT_TRUE(isNumber("+0", 'd'));
    EXPECT_TRUE(isNumber(" -12 ", 'd', true));
    EXPECT_FALSE(isNumber(" -12 ", 'd'));
    EXPECT_FALSE(isNumber("-", 'd'));
    EXPECT_FALSE(isNumber("1.5", 'd'));
    EXPECT_FALSE(isNumber("--1", 'd'));

    EXPECT_TRUE(isNumber("-1.25", 'f'));
    EXPECT_TRUE(isNumber(".5", 'f'));
    EXPECT_TRUE(isNumber("7.", 'f'));
    EXPECT_TRUE(isNumber("42", 'f'));
    EXPECT_FALSE(isNumber(".", 'f'));
    EXPECT_FALSE(isNumber("+.", 'f'));
    EXPECT_FALSE(isNumber("1x", 'f'));
    EXPECT_FALSE(isNumber("1.2.3", 'f'));
    EXPECT_FALSE(isNumber("1,5", 'f'));

    for (char kind : {'h', 'b', 'c', 'd', 'f'}) {
        EXPECT_FALSE(isNumber("", kind, true)) << kind;
        EXPECT_FALSE(isNumber(" \t ", kind, true)) << kind;
    }
    EXPECT_FALSE(isNumber("12", 'x'));
    EXPECT_FALSE(isNumber("12", 0));
}

TEST(NStringEncodings, ToWide)
{
    NString s("Gr\xF6\xDF" "e");
    const wchar_t* wide = s.toWide();
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(std::wstring(L"Gr\x00F6\x00DF" L"e"), std::wstring(wide));
    EXPECT_EQ(0, wide[5]);

    // Each call converts the current text.
    s = "ab";
    EXPECT_EQ(std::wstring(L"ab"), std::wstring(s.toWide()));
    s = "";
    wide = s.toWide();
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(0, wide[0]);
}

TEST(NStringEncodings, FromBstr)
{
    NString s("old");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ("", bytes(s));

    BSTR empty = SysAllocStringLen(nullptr, 0);
    s = "old";
    s = empty;
    EXPECT_EQ("", bytes(s));
    SysFreeString(empty);

    // The BSTR's own length counts, embedded zeros included.
    BSTR word = SysAllocStringLen(L"Gr\x00F6\x00DF" L"e\0x", 7);
    NString fromWord(word);
    EXPECT_EQ(std::string("Gr\xF6\xDF" "e\0x", 7), bytes(fromWord));
    SysFreeString(word);
}

TEST(NStringEncodings, FromVariant)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = 42;
    NString number(v);
    EXPECT_EQ("42", bytes(number));

    VARIANT text;
    VariantInit(&text);
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"\x00C4pfel");
    NString s;
    s = text;
    EXPECT_EQ("\xC4pfel", bytes(s));
    VariantClear(&text);

    // Conversion failures keep the old content.
    VARIANT null;
    VariantInit(&null);
    V_VT(&null) = VT_NULL;
    s = null;
    EXPECT_EQ("\xC4pfel", bytes(s));
    VARIANT unknown;
    VariantInit(&unknown);
    V_VT(&unknown) = VT_UNKNOWN;
    V_UNKNOWN(&unknown) = nullptr;
    s = unknown;
    EXPECT_EQ("\xC4pfel", bytes(s));
    NString fresh(null);
    EXPECT_EQ("", bytes(fresh));
}

TEST(NStringEncodings, QuotedLiterals)
{
    EXPECT_EQ(0, NString::quotedLength(nullptr));
    EXPECT_EQ(0, NString::quotedLength(""));
    EXPECT_EQ(0, NString::quotedLength("abc \"x\""));
    EXPECT_EQ(5, NString::quotedLength("\"abc\" rest"));
    EXPECT_EQ(5, NString::quotedLength("'a\"c' x'"));
    EXPECT_EQ(2, NString::quotedLength("\"\""));
    // An escaped quote does not end the literal; an escaped backslash does not escape the quote.
    EXPECT_EQ(8, NString::quotedLength("\"a\\\"b\\\\\" c"));
    EXPECT_EQ(0, NString::quotedLength("\"abc"));
    EXPECT_EQ(0, NString::quotedLength("\"abc\\\""));
    EXPECT_EQ(0, NString::quotedLength("\"abc\\"));

    NString source("key = \"a\\tb\\\"c\" ; rest");
    EXPECT_EQ("\"a\\tb\\\"c\"", bytes(NString::extractQuoted(source, 6)));
    EXPECT_EQ("key = \"a\\tb\\\"c\" ; rest", bytes(source));
    EXPECT_EQ("a\tb\"c", bytes(NString::extractQuoted(source, 6, true, true)));
    EXPECT_EQ("key =  ; rest", bytes(source));

    // No literal at the position, or outside the text: nothing happens.
    EXPECT_EQ("", bytes(NString::extractQuoted(source, 0, true, true)));
    EXPECT_EQ("", bytes(NString::extractQuoted(source, -1, true)));
    EXPECT_EQ("", bytes(NString::extractQuoted(source, 100, true)));
    EXPECT_EQ("key =  ; rest", bytes(source));

    NString empty("''");
    EXPECT_EQ("", bytes(NString::extractQuoted(empty, 0, true, true)));
    EXPECT_EQ("", bytes(empty));
}
