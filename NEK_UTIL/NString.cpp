#include "NString.h"
#include "NLanguage.h"

#include <cassert>
#include <climits>
#include <cstdint>
#include <cstdio>
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

namespace {

// Reports through the runtime's assertion handler even in release builds:
// running on without a text block is never an option.
[[noreturn]] void fatal(const char* expression)
{
    _assert(expression, __FILE__, __LINE__);
    abort();
}

int measure(const char* text)
{
    if (!text)
        return 0;
    const size_t n = strlen(text);
    return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

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

// First position >= start where `what` occurs in text[0..textLength).
int findBytes(const char* text, int textLength, int start, const char* what, int whatLength)
{
    if (whatLength <= 0 || start < 0 || whatLength > textLength - start)
        return -1;
    const char* p = text + start;
    const char* last = text + (textLength - whatLength);
    while (p <= last) {
        p = static_cast<const char*>(memchr(p, what[0], static_cast<size_t>(last - p) + 1));
        if (!p)
            return -1;
        if (memcmp(p, what, static_cast<size_t>(whatLength)) == 0)
            return static_cast<int>(p - text);
        ++p;
    }
    return -1;
}

// Each byte must equal the byte of either the upper- or the lower-cased pattern.
bool matchesEitherCase(const char* text, const char* upper, const char* lower, int n)
{
    for (int i = 0; i < n; ++i)
        if (text[i] != upper[i] && text[i] != lower[i])
            return false;
    return true;
}

}  // namespace

// --- construction ------------------------------------------------------------

NString::NString()
    : precision(10), capacity(0), buffer(nullptr), length(0), wideBuffer(nullptr), wideBufferSize(0)
{
    ensureRoom(0);
}

NString::NString(const NString& other)
    : precision(10), capacity(0), buffer(nullptr), length(0), wideBuffer(nullptr), wideBufferSize(0)
{
    set(other.buffer, other.length);
}

NString::NString(const char* text)
    : precision(10), capacity(0), buffer(nullptr), length(0), wideBuffer(nullptr), wideBufferSize(0)
{
    set(text);
}

NString::NString(const char* text, int count)
    : precision(10), capacity(0), buffer(nullptr), length(0), wideBuffer(nullptr), wideBufferSize(0)
{
    set(text, count);
}

NString::NString(char c)
    : precision(10), capacity(0), buffer(nullptr), length(0), wideBuffer(nullptr), wideBufferSize(0)
{
    set(&c, 1);
}

const char* NString::getName() const { return getClassName(); }
const char* NString::getClassName() const { return "NString"; }

NString::~NString()
{
    HANDLE heap = GetProcessHeap();
    if (buffer)
        HeapFree(heap, 0, buffer);
    if (wideBuffer)
        HeapFree(heap, 0, wideBuffer);
}

// --- block management --------------------------------------------------------

void NString::ensureRoom(int n)
{
    if (n < 0)
        n = 0;
    const int wanted = n | 127;
    if (buffer && (capacity | 127) == wanted)
        return;
    const SIZE_T bytes = static_cast<SIZE_T>(static_cast<unsigned>(wanted)) + 1;
    HANDLE heap = GetProcessHeap();
    char* pBuffer = static_cast<char*>(buffer ? HeapReAlloc(heap, HEAP_ZERO_MEMORY, buffer, bytes)
                                              : HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes));
    if (!pBuffer)
        fatal("pBuffer");
    buffer = pBuffer;
    capacity = wanted;
    // A shrink may cut the old text; keep the terminator inside the block.
    if (length > capacity) {
        length = capacity;
        buffer[length] = 0;
    }
}

bool NString::ownsPointer(const char* p) const
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(p);
    const uintptr_t begin = reinterpret_cast<uintptr_t>(buffer);
    return p && address >= begin && address <= begin + static_cast<uintptr_t>(capacity);
}

void NString::appendBytes(const char* bytes, int count)
{
    if (!bytes || count <= 0)
        return;
    if (count > INT_MAX - length)
        fatal("pBuffer");
    // Growing may move the block, and with it a source inside this string.
    const ptrdiff_t offset = ownsPointer(bytes) ? bytes - buffer : -1;
    ensureRoom(length + count);
    if (offset >= 0)
        bytes = buffer + offset;
    memmove(buffer + length, bytes, static_cast<size_t>(count));
    length += count;
    buffer[length] = 0;
}

// --- assignment --------------------------------------------------------------

void NString::set(const char* text, int count)
{
    if (!text) {
        text = "";
        count = 0;
    }
    text = globalLanguage.translate(text, count);
    if (!text) {
        text = "";
        count = 0;
    }
    if (count < 0)
        count = measure(text);
    if (ownsPointer(text)) {
        // Move it to the front first: a shrinking block keeps only its start.
        memmove(buffer, text, static_cast<size_t>(count));
        ensureRoom(count);
    } else {
        ensureRoom(count);
        memcpy(buffer, text, static_cast<size_t>(count));
    }
    buffer[count] = 0;
    length = count;
}

NString& NString::operator=(const NString& other)
{
    if (this != &other)
        set(other.buffer, other.length);
    return *this;
}

NString& NString::operator=(const char* text)
{
    set(text);
    return *this;
}

NString& NString::operator=(char c)
{
    set(&c, 1);
    return *this;
}

NString& NString::operator=(int value)
{
    char digits[100];
    _ltoa(value, digits, 10);
    set(digits);
    return *this;
}

NString& NString::operator=(double value)
{
    int digits = precision > 100 ? 100 : precision;
    if (digits < 1)
        digits = 1;
    // Sign, 100 digits, point and a three-digit exponent still fit.
    char text[128];
    _gcvt(value, digits, text);
    set(text);
    return *this;
}

// --- access ------------------------------------------------------------------

char NString::getAt(int index) const
{
    return index >= 0 && index < length ? buffer[index] : 0;
}

bool NString::setAt(int index, char c)
{
    if (index < 0 || index >= length)
        return false;
    buffer[index] = c;
    return true;
}

void NString::setPrecision(int digits)
{
    precision = digits;
}

// --- appending ---------------------------------------------------------------

void NString::append(const char* other, int maxLength)
{
    if (!other)
        return;
    const int n = maxLength < 0 ? measure(other)
                                : static_cast<int>(strnlen(other, static_cast<size_t>(maxLength)));
    appendBytes(other, n);
}

NString& NString::operator+=(const NString& other)
{
    int n = other.length;
    const char* text = globalLanguage.translate(other.buffer, n);
    appendBytes(text, n < 0 ? measure(text) : n);
    return *this;
}

NString& NString::operator+=(const char* other)
{
    if (!other)
        return *this;
    int n = -1;
    const char* text = globalLanguage.translate(other, n);
    appendBytes(text, n < 0 ? measure(text) : n);
    return *this;
}

NString& NString::operator+=(char c)
{
    appendBytes(&c, 1);
    return *this;
}

NString& NString::operator+=(int value)
{
    char digits[100];
    _ltoa(value, digits, 10);
    appendBytes(digits, measure(digits));
    return *this;
}

void NString::appendRepeated(const char* other, int count)
{
    const int n = measure(other);
    if (n == 0 || count <= 0)
        return;
    if (count > (INT_MAX - length) / n)
        fatal("pBuffer");
    std::string copy;
    if (ownsPointer(other)) {
        copy.assign(other, static_cast<size_t>(n));
        other = copy.c_str();
    }
    // One resize for all copies instead of one per copy.
    ensureRoom(length + n * count);
    for (int i = 0; i < count; ++i) {
        memcpy(buffer + length, other, static_cast<size_t>(n));
        length += n;
    }
    buffer[length] = 0;
}

void NString::format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    formatAt(0, fmt, args);
    va_end(args);
}

void NString::appendFormat(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    formatAt(length, fmt, args);
    va_end(args);
}

void NString::formatAt(int offset, const char* fmt, va_list args)
{
    int fmtLength = -1;
    fmt = globalLanguage.translate(fmt ? fmt : "", fmtLength);
    // The output is written over this very block.
    std::string fmtCopy;
    if (ownsPointer(fmt)) {
        fmtCopy = fmt;
        fmt = fmtCopy.c_str();
    }
    for (int limit = 1000; limit < 10000000; limit *= 10) {
        ensureRoom(offset + limit + 1);
        // A va_list is used up by each attempt.
        va_list attempt;
        va_copy(attempt, args);
        const int written = _vsnprintf(buffer + offset, static_cast<size_t>(limit), fmt, attempt);
        va_end(attempt);
        // Not written by the runtime when the output fills the limit exactly.
        buffer[offset + limit] = 0;
        if (written >= 0 && written <= limit)
            break;
    }
    length = offset + measure(buffer + offset);
}

NString operator+(const NString& a, const NString& b)
{
    NString result(a);
    result += b;
    return result;
}

// --- substrings --------------------------------------------------------------

NString NString::mid(int start, int count) const
{
    if (start < 0) {
        start += length;
        if (start < 0)
            start = 0;
    }
    if (start >= length)
        return NString();
    if (count < 0) {
        count = length - start + count;
        if (count < 0)
            count = 0;
    }
    if (count > length - start)
        count = length - start;
    return NString(buffer + start, count);
}

NString NString::mid(int start) const
{
    return mid(start, INT_MAX);
}

NString NString::left(int n) const
{
    return mid(0, n);
}

NString NString::right(int n) const
{
    // mid(-0) would be the whole text, not its last 0 characters.
    if (n == 0)
        return NString();
    return mid(-n);
}

// --- searching ---------------------------------------------------------------

int NString::find(const char* what, int start, bool ignoreCase) const
{
    if (start < 0)
        start = 0;
    if (start >= length || measure(what) == 0)
        return -1;
    if (!ignoreCase)
        return findBytes(buffer, length, start, what, measure(what));

    NString upper(what);
    NString lower(what);
    upper.makeUpper();
    lower.makeLower();
    const int n = upper.length;
    for (int i = start; n > 0 && i <= length - n; ++i)
        if (matchesEitherCase(buffer + i, upper.buffer, lower.buffer, n))
            return i;
    return -1;
}

int NString::findChar(char c, int start) const
{
    if (start < 0)
        start = 0;
    if (start >= length)
        return -1;
    const void* hit = memchr(buffer + start, c, static_cast<size_t>(length - start));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - buffer) : -1;
}

int NString::findLastChar(char c) const
{
    for (int i = length - 1; i >= 0; --i)
        if (buffer[i] == c)
            return i;
    return -1;
}

int NString::findReverse(const char* what, bool ignoreCase) const
{
    const int whatLength = measure(what);
    if (whatLength == 0)
        return -1;
    if (!ignoreCase) {
        for (int i = length - whatLength; i >= 0; --i)
            if (memcmp(buffer + i, what, static_cast<size_t>(whatLength)) == 0)
                return i;
        return -1;
    }
    NString upper(what);
    NString lower(what);
    upper.makeUpper();
    lower.makeLower();
    const int n = upper.length;
    for (int i = length - n; n > 0 && i >= 0; --i)
        if (matchesEitherCase(buffer + i, upper.buffer, lower.buffer, n))
            return i;
    return -1;
}

int NString::countOf(const char* what) const
{
    const int whatLength = measure(what);
    int count = 0;
    for (int pos = findBytes(buffer, length, 0, what, whatLength); pos >= 0;
         pos = findBytes(buffer, length, pos + 1, what, whatLength))
        ++count;
    return count;
}

// --- editing in place --------------------------------------------------------

void NString::insert(int pos, const char* other)
{
    if (pos < 0)
        pos += length;
    if (pos < 0 || !other)
        return;
    const int n = measure(other);
    if (pos >= length) {
        appendBytes(other, n);
        return;
    }
    if (n == 0)
        return;
    if (n > INT_MAX - length)
        fatal("pBuffer");
    std::string copy;
    if (ownsPointer(other)) {
        copy.assign(other, static_cast<size_t>(n));
        other = copy.c_str();
    }
    ensureRoom(length + n);
    memmove(buffer + pos + n, buffer + pos, static_cast<size_t>(length - pos));
    memcpy(buffer + pos, other, static_cast<size_t>(n));
    length += n;
    buffer[length] = 0;
}

void NString::remove(int pos, int count)
{
    if (pos < 0 || pos >= length || count == 0 || count < -1)
        return;
    if (count == -1 || count > length - pos)
        count = length - pos;
    memmove(buffer + pos, buffer + pos + count, static_cast<size_t>(length - pos - count));
    length -= count;
    buffer[length] = 0;
}

int NString::replace(const char* what, const char* with, bool repeat)
{
    const int whatLength = measure(what);
    if (whatLength == 0)
        return 0;
    if (!with)
        with = "";
    const int withLength = measure(with);
    // The block changes under the edit; arguments taken from it must survive.
    std::string whatCopy, withCopy;
    if (ownsPointer(what)) {
        whatCopy.assign(what, static_cast<size_t>(whatLength));
        what = whatCopy.c_str();
    }
    if (ownsPointer(with)) {
        withCopy.assign(with, static_cast<size_t>(withLength));
        with = withCopy.c_str();
    }
    // Every pass would recreate what it replaced: one pass is all there is.
    if (repeat && findBytes(with, withLength, 0, what, whatLength) >= 0)
        repeat = false;

    int total = 0;
    for (;;) {
        const int count = replacePass(what, whatLength, with, withLength);
        total += count;
        if (!repeat || count == 0)
            break;
    }
    return total;
}

int NString::replacePass(const char* what, int whatLength, const char* with, int withLength)
{
    int hit = findBytes(buffer, length, 0, what, whatLength);
    if (hit < 0)
        return 0;
    int count = 0;

    if (withLength > whatLength) {
        for (int pos = hit; pos >= 0; pos = findBytes(buffer, length, pos + whatLength, what, whatLength))
            ++count;
        const long long total = length + static_cast<long long>(count) * (withLength - whatLength);
        if (total > INT_MAX - 1)
            fatal("pBuffer");
        NString result;
        result.ensureRoom(static_cast<int>(total));
        char* out = result.buffer;
        int from = 0;
        for (; hit >= 0; hit = findBytes(buffer, length, from, what, whatLength)) {
            memcpy(out, buffer + from, static_cast<size_t>(hit - from));
            out += hit - from;
            memcpy(out, with, static_cast<size_t>(withLength));
            out += withLength;
            from = hit + whatLength;
        }
        memcpy(out, buffer + from, static_cast<size_t>(length - from));
        result.length = static_cast<int>(total);
        result.buffer[result.length] = 0;
        set(result.buffer, result.length);
        return count;
    }

    if (whatLength == 1 && withLength == 1) {
        const char from = what[0];
        const char to = with[0];
        for (int i = hit; i < length; ++i)
            if (buffer[i] == from) {
                buffer[i] = to;
                ++count;
            }
        return count;
    }

    if (withLength == whatLength) {
        for (; hit >= 0; hit = findBytes(buffer, length, hit + whatLength, what, whatLength)) {
            memcpy(buffer + hit, with, static_cast<size_t>(withLength));
            ++count;
        }
        return count;
    }

    // Shorter: one compacting sweep; the write position never passes the read position.
    int from = 0;
    int to = 0;
    for (; hit >= 0; hit = findBytes(buffer, length, from, what, whatLength)) {
        memmove(buffer + to, buffer + from, static_cast<size_t>(hit - from));
        to += hit - from;
        memcpy(buffer + to, with, static_cast<size_t>(withLength));
        to += withLength;
        from = hit + whatLength;
        ++count;
    }
    memmove(buffer + to, buffer + from, static_cast<size_t>(length - from));
    length = to + (length - from);
    buffer[length] = 0;
    ensureRoom(length);
    return count;
}

void NString::replaceChars(const char* set, char c)
{
    if (!set)
        return;
    bool inSet[256] = {};
    for (const char* p = set; *p; ++p)
        inSet[static_cast<unsigned char>(*p)] = true;
    for (int i = 0; i < length; ++i)
        if (inSet[static_cast<unsigned char>(buffer[i])])
            buffer[i] = c;
}

void NString::mapChars(const char* from, const char* to)
{
    if (!from)
        return;
    const int fromLength = measure(from);
    const bool blankOut = measure(to) < fromLength;
    bool mapped[256] = {};
    char target[256];
    for (int i = 0; i < fromLength; ++i) {
        const unsigned char key = static_cast<unsigned char>(from[i]);
        // The first mention of a character decides.
        if (!mapped[key]) {
            mapped[key] = true;
            target[key] = blankOut ? ' ' : to[i];
        }
    }
    for (int i = 0; i < length; ++i) {
        const unsigned char key = static_cast<unsigned char>(buffer[i]);
        if (mapped[key])
            buffer[i] = target[key];
    }
}

NString NString::cutToken(const char* separator)
{
    const int pos = find(separator);
    if (pos < 0) {
        NString token(*this);
        set("", 0);
        return token;
    }
    NString token(buffer, pos);
    remove(0, pos + measure(separator));
    return token;
}

bool NString::appendToken(const char* separator, const char* item, bool unique, bool allowEmpty)
{
    if (!separator)
        separator = "";
    if (!item)
        item = "";
    if (!*item && !allowEmpty)
        return false;
    if (unique) {
        const NString tail = NString(separator) + NString(item);
        const NString head = NString(item) + NString(separator);
        const NString inner = tail + NString(separator);
        if (*this == item || find(inner) >= 0 || startsWith(head) || endsWith(tail))
            return false;
    }
    if (length > 0 && (allowEmpty || !endsWith(separator)))
        append(separator);
    append(item);
    return true;
}

// --- comparison --------------------------------------------------------------

int NString::compare(const char* other, bool ignoreCase) const
{
    if (!other)
        other = "";
    return ignoreCase ? _stricmp(buffer, other) : strcmp(buffer, other);
}

bool NString::operator==(const NString& other) const
{
    return strcmp(buffer, other.buffer) == 0;
}

bool NString::operator==(const char* other) const
{
    return strcmp(buffer, other ? other : "") == 0;
}

bool NString::operator!=(const NString& other) const
{
    return strcmp(buffer, other.buffer) != 0;
}

bool NString::operator!=(const char* other) const
{
    int n = -1;
    const char* text = globalLanguage.translate(other ? other : "", n);
    return strcmp(buffer, text ? text : "") != 0;
}

bool NString::operator<(const NString& other) const { return strcmp(buffer, other.buffer) < 0; }
bool NString::operator>(const NString& other) const { return strcmp(buffer, other.buffer) > 0; }
bool NString::operator<=(const NString& other) const { return strcmp(buffer, other.buffer) <= 0; }
bool NString::operator>=(const NString& other) const { return strcmp(buffer, other.buffer) >= 0; }

bool NString::startsWith(const char* other, bool ignoreCase) const
{
    const int n = measure(other);
    if (n > length)
        return false;
    if (!ignoreCase)
        return memcmp(buffer, other, static_cast<size_t>(n)) == 0;
    NString mine(buffer, n);
    NString theirs(other, n);
    mine.makeLower();
    theirs.makeLower();
    return mine.length == theirs.length &&
           memcmp(mine.buffer, theirs.buffer, static_cast<size_t>(mine.length)) == 0;
}

bool NString::endsWith(const char* other, bool ignoreCase) const
{
    const int n = measure(other);
    if (n > length)
        return false;
    const char* tail = buffer + (length - n);
    if (!ignoreCase)
        return memcmp(tail, other, static_cast<size_t>(n)) == 0;
    NString mine(tail, n);
    NString theirs(other, n);
    mine.makeLower();
    theirs.makeLower();
    return mine.length == theirs.length &&
           memcmp(mine.buffer, theirs.buffer, static_cast<size_t>(mine.length)) == 0;
}

// --- case and blanks ---------------------------------------------------------

void NString::makeLower()
{
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(buffer[i]);
        if ((c >= 'A' && c <= 'Z') || c == 0xC4 || c == 0xD6 || c == 0xDC)
            buffer[i] = static_cast<char>(c + 0x20);
    }
}

void NString::makeUpper()
{
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(buffer[i]);
        if ((c >= 'a' && c <= 'z') || c == 0xE4 || c == 0xF6 || c == 0xFC)
            buffer[i] = static_cast<char>(c - 0x20);
    }
}

void NString::trim()
{
    trimRight();
    trimLeft();
}

void NString::trimLeft()
{
    int n = 0;
    while (n < length && isBlank(buffer[n]))
        ++n;
    if (n == 0)
        return;
    memmove(buffer, buffer + n, static_cast<size_t>(length - n));
    length -= n;
    buffer[length] = 0;
}

void NString::trimRight()
{
    while (length > 0 && isBlank(buffer[length - 1]))
        --length;
    buffer[length] = 0;
}

// --- numbers -----------------------------------------------------------------

int NString::toInt() const
{
    if (length >= 7 && buffer[0] == '#') {
        unsigned rgb = 0;
        for (int i = 1; i <= 6; ++i) {
            const int digit = hexValue(buffer[i]);
            if (digit < 0)
                break;
            rgb = (rgb << 4) | static_cast<unsigned>(digit);
        }
        // 0xRRGGBB becomes a COLORREF, red in the low byte.
        return static_cast<int>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }
    if (length >= 4 && buffer[0] == '#') {
        unsigned color = 0;
        for (int i = 0; i < 3; ++i) {
            const int digit = hexValue(buffer[1 + i]);
            if (digit >= 0)
                color |= static_cast<unsigned>(digit * 0x11) << (8 * i);
        }
        return static_cast<int>(color);
    }
    if (length >= 3 && buffer[0] == '0' && buffer[1] == 'x') {
        unsigned value = 0;
        for (int i = 2; i < length; ++i) {
            const int digit = hexValue(buffer[i]);
            if (digit < 0)
                break;
            value = (value << 4) | static_cast<unsigned>(digit);
        }
        return static_cast<int>(value);
    }
    if (length >= 3 && buffer[0] == '0' && buffer[1] == 'b') {
        unsigned value = 0;
        for (int i = 2; i < length && i < 35; ++i) {
            if (buffer[i] != '0' && buffer[i] != '1')
                break;
            value = (value << 1) | static_cast<unsigned>(buffer[i] - '0');
        }
        return static_cast<int>(value);
    }
    return static_cast<int>(atol(buffer));
}

double NString::toDouble() const
{
    return atof(buffer);
}

NString NString::fromNumber(int value, bool thousands, int radix, int minWidth)
{
    // The runtime rejects other radixes through its invalid-parameter handler.
    if (radix < 2 || radix > 36)
        radix = 10;
    char digits[100];
    _ltoa(value, digits, radix);
    NString text(digits);
    if (minWidth > 0 && text.length < minWidth) {
        const std::string zeros(static_cast<size_t>(minWidth - text.length), '0');
        text.insert(0, zeros.c_str());
    }
    if (thousands) {
        // insert() would count a negative position from the end instead.
        const auto dotAt = [&text](int fromEnd) {
            if (text.length >= fromEnd)
                text.insert(text.length - fromEnd, ".");
        };
        if (value > 999)
            dotAt(3);
        if (value > 999999)
            dotAt(7);
        if (value > 999999999)
            dotAt(11);
    }
    return text;
}
