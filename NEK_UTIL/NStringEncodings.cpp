// NString conversions to and from other representations: UTF-16, BSTR and
// VARIANT, URL percent encoding, HTML entities, C escapes, quoted literals,
// and the number syntax test.

#include "NString.h"

#include <cassert>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <oleauto.h>

namespace {

[[noreturn]] void fatal(const char* expression)
{
    _assert(expression, __FILE__, __LINE__);
    abort();
}

const char upperHex[] = "0123456789ABCDEF";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

bool isUrlSafe(char c)
{
    return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The entity for c, or null when c stands for itself.
const char* htmlEntity(char c)
{
    switch (static_cast<unsigned char>(c)) {
    case 0xE4: return "&auml;";
    case 0xF6: return "&ouml;";
    case 0xFC: return "&uuml;";
    case 0xC4: return "&Auml;";
    case 0xD6: return "&Ouml;";
    case 0xDC: return "&Uuml;";
    case 0xDF: return "&szlig;";
    case '&': return "&amp;";
    case '"': return "&quot;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '\'': return "&prime;";
    default: return nullptr;
    }
}

// Each of text[from..to) satisfies accept, and there is at least one.
template <typename Accept>
bool allOf(const char* from, const char* to, Accept accept)
{
    if (from >= to)
        return false;
    for (const char* p = from; p < to; ++p)
        if (!accept(*p))
            return false;
    return true;
}

}  // namespace

// --- wide text and OLE automation ---------------------------------------------

NString::NString(const wchar_t* bstr)
    : precision(10), capacity(0), buffer(nullptr), length(0), wideBuffer(nullptr), wideBufferSize(0)
{
    ensureRoom(0);
    setFromBstr(bstr);
}

NString::NString(const tagVARIANT& variant)
    : precision(10), capacity(0), buffer(nullptr), length(0), wideBuffer(nullptr), wideBufferSize(0)
{
    ensureRoom(0);
    *this = variant;
}

NString& NString::operator=(const wchar_t* bstr)
{
    setFromBstr(bstr);
    return *this;
}

NString& NString::operator=(const tagVARIANT& variant)
{
    if (V_VT(&variant) == VT_BSTR) {
        setFromBstr(V_BSTR(&variant));
        return *this;
    }
    VARIANT text;
    VariantInit(&text);
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&variant), 0, VT_BSTR))
        && V_VT(&text) == VT_BSTR)
        setFromBstr(V_BSTR(&text));
    VariantClear(&text);
    return *this;
}

void NString::setFromBstr(const wchar_t* bstr)
{
    if (!bstr) {
        set("", 0);
        return;
    }
    const int nSize = static_cast<int>(SysStringLen(const_cast<BSTR>(bstr)));
    if (nSize < 0)
        fatal("nSize >= 0");
    std::string text;
    if (nSize > 0) {
        // One byte per character in the Western code pages; a multi-byte
        // code page may need more, so ask first.
        const int bytes = WideCharToMultiByte(CP_ACP, 0, bstr, nSize, nullptr, 0, nullptr, nullptr);
        if (bytes > 0) {
            text.resize(static_cast<size_t>(bytes));
            const int written = WideCharToMultiByte(CP_ACP, 0, bstr, nSize, &text[0], bytes,
                                                    nullptr, nullptr);
            text.resize(static_cast<size_t>(written > 0 ? written : 0));
        }
    }
    set(text.data(), static_cast<int>(text.size()));
}

const wchar_t* NString::toWide()
{
    int chars = 0;
    if (length > 0) {
        chars = MultiByteToWideChar(CP_ACP, 0, buffer, length, nullptr, 0);
        if (chars < 0)
            chars = 0;
    }
    // wideBufferSize counts bytes in 32 bits.
    if (chars > INT_MAX / static_cast<int>(sizeof(wchar_t)) - 1)
        fatal("pBufferW");
    const int bytes = (chars + 1) * static_cast<int>(sizeof(wchar_t));
    HANDLE heap = GetProcessHeap();
    if (wideBuffer)
        HeapFree(heap, 0, wideBuffer);
    wideBuffer = nullptr;
    wideBufferSize = 0;
    wchar_t* pBufferW = static_cast<wchar_t*>(
        HeapAlloc(heap, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(bytes)));
    if (!pBufferW)
        fatal("pBufferW");
    wideBuffer = pBufferW;
    wideBufferSize = bytes;
    if (chars > 0)
        MultiByteToWideChar(CP_ACP, 0, buffer, length, wideBuffer, chars);
    return wideBuffer;
}

// --- encodings ------------------------------------------------------------------

void NString::store(const char* bytes, int count)
{
    if (!bytes || count < 0)
        count = 0;
    ensureRoom(count);
    if (count > 0)
        memmove(buffer, bytes, static_cast<size_t>(count));
    buffer[count] = 0;
    length = count;
}

namespace {

// Results may be up to four times the source; the length is 32-bit.
int checkedLength(const std::string& text)
{
    if (text.size() > static_cast<size_t>(INT_MAX))
        fatal("pBuffer");
    return static_cast<int>(text.size());
}

}  // namespace

void NString::urlEncode()
{
    std::string out;
    out.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const char c = buffer[i];
        if (isUrlSafe(c)) {
            out += c;
        } else {
            const unsigned char b = static_cast<unsigned char>(c);
            out += '%';
            out += upperHex[b >> 4];
            out += upperHex[b & 15];
        }
    }
    store(out.data(), checkedLength(out));
}

void NString::urlDecode()
{
    std::string out;
    out.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const char c = buffer[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && length - i > 2) {
            // Hex digits up to the first other character, as toInt reads "0x..".
            int value = 0;
            for (int k = 1; k <= 2; ++k) {
                const int digit = hexValue(buffer[i + k]);
                if (digit < 0)
                    break;
                value = value * 16 + digit;
            }
            if (value != 0)
                out += static_cast<char>(value);
            i += 2;
        } else {
            out += c;
        }
    }
    store(out.data(), checkedLength(out));
}

NString NString::htmlEncodeChar(char c)
{
    NString result;
    const char* entity = htmlEntity(c);
    if (entity)
        result.store(entity, static_cast<int>(strlen(entity)));
    else
        result.store(&c, 1);
    return result;
}

void NString::htmlEncode()
{
    std::string out;
    out.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const char* entity = htmlEntity(buffer[i]);
        if (entity)
            out += entity;
        else
            out += buffer[i];
    }
    store(out.data(), checkedLength(out));
}

void NString::htmlDecode()
{
    // "&amp;" must come last, or "&amp;lt;" would end up as "<".
    static const char* const entities[][2] = {
        {"&auml;", "\xE4"}, {"&ouml;", "\xF6"}, {"&uuml;", "\xFC"},
        {"&Auml;", "\xC4"}, {"&Ouml;", "\xD6"}, {"&Uuml;", "\xDC"},
        {"&szlig;", "\xDF"}, {"&prime;", "'"}, {"&quot;", "\""},
        {"&lt;", "<"},      {"&gt;", ">"},      {"&amp;", "&"},
    };
    for (const auto& entity : entities)
        replace(entity[0], entity[1]);
}

void NString::escape()
{
    std::string out;
    out.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(buffer[i]);
        switch (b) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        default:
            if (b < 32) {
                out += "\\x";
                out += upperHex[b >> 4];
                out += upperHex[b & 15];
            } else {
                out += static_cast<char>(b);
            }
        }
    }
    store(out.data(), checkedLength(out));
}

void NString::unescape()
{
    std::string out;
    out.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const char c = buffer[i];
        if (c != '\\' || i + 1 >= length) {
            // A lone backslash at the very end has nothing to escape: keep it.
            out += c;
            continue;
        }
        const char next = buffer[++i];
        if (next == 'n') {
            out += '\n';
        } else if (next == 'r') {
            out += '\r';
        } else if (next == 't') {
            out += '\t';
        } else if (next == 'x' && i + 1 < length && hexValue(buffer[i + 1]) >= 0) {
            int value = 0;
            for (int k = 0; k < 2 && i + 1 < length && hexValue(buffer[i + 1]) >= 0; ++k)
                value = value * 16 + hexValue(buffer[++i]);
            out += static_cast<char>(value);
        } else if (isDigit(next)) {
            // Octal as C writes it; '8' and '9' are taken at face value.
            int value = next - '0';
            for (int k = 1; k < 3 && i + 1 < length && isDigit(buffer[i + 1]); ++k)
                value = value * 8 + (buffer[++i] - '0');
            out += static_cast<char>(value & 0xFF);
        } else {
            // Also "\x" without a hex digit: the 'x' stands for itself.
            out += next;
        }
    }
    store(out.data(), checkedLength(out));
}

int NString::quotedLength(const char* text)
{
    if (!text || (text[0] != '"' && text[0] != '\''))
        return 0;
    const char quote = text[0];
    for (int i = 1; text[i]; ++i) {
        if (text[i] == '\\') {
            if (!text[i + 1])
                return 0;
            ++i;
        } else if (text[i] == quote) {
            return i + 1;
        }
    }
    return 0;
}

NString NString::extractQuoted(NString& source, int pos, bool removeFromSource, bool unescapeIt)
{
    NString result;
    if (pos < 0 || pos >= source.length)
        return result;
    const int count = quotedLength(source.buffer + pos);
    if (count <= 0)
        return result;
    if (unescapeIt) {
        result.store(source.buffer + pos + 1, count - 2);
        result.unescape();
    } else {
        result.store(source.buffer + pos, count);
    }
    if (removeFromSource)
        source.remove(pos, count);
    return result;
}

// --- number syntax --------------------------------------------------------------

bool NString::isNumber(char kind, bool ignoreBlanks) const
{
    const char* p = buffer;
    const char* end = buffer + length;
    if (ignoreBlanks) {
        while (p < end && isBlank(*p))
            ++p;
        while (end > p && isBlank(end[-1]))
            --end;
    }
    if (p >= end)
        return false;
    const auto isHex = [](char c) { return hexValue(c) >= 0; };
    const auto isBinary = [](char c) { return c == '0' || c == '1'; };
    switch (kind) {
    case 'h':
        return end - p > 2 && p[0] == '0' && p[1] == 'x' && allOf(p + 2, end, isHex);
    case 'b':
        return end - p > 2 && p[0] == '0' && p[1] == 'b' && allOf(p + 2, end, isBinary);
    case 'c':
        return p[0] == '#' && (end - p == 4 || end - p == 7) && allOf(p + 1, end, isHex);
    case 'd':
        if (*p == '+' || *p == '-')
            ++p;
        return allOf(p, end, isDigit);
    case 'f': {
        if (*p == '+' || *p == '-')
            ++p;
        int digits = 0;
        int points = 0;
        for (; p < end; ++p) {
            if (isDigit(*p))
                ++digits;
            else if (*p == '.' && points == 0)
                ++points;
            else
                return false;
        }
        return digits > 0;
    }
    default:
        return false;
    }
}
