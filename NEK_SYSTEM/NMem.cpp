#include "NMem.h"
#include "NMapStringToString.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

const char base64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

unsigned char* heapAlloc(int64_t bytes)
{
    if (bytes < 0 || bytes > INT_MAX)
        return nullptr;
    return static_cast<unsigned char*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(bytes)));
}

void heapFree(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// A text built in a scratch block of exactly known length; empty when the
// length does not fit a string or the memory is not there.
class TextBuilder {
public:
    explicit TextBuilder(int64_t length)
        : block(length >= 0 && length < INT_MAX ? reinterpret_cast<char*>(heapAlloc(length + 1))
                                                : nullptr),
          end(block)
    {
    }
    ~TextBuilder() { heapFree(block); }
    TextBuilder(const TextBuilder&) = delete;
    TextBuilder& operator=(const TextBuilder&) = delete;

    bool ok() const { return block != nullptr; }
    void put(char c) { *end++ = c; }
    void put(const char* text, int count)
    {
        memcpy(end, text, static_cast<size_t>(count));
        end += count;
    }
    NString result() const { return block ? NString(block, static_cast<int>(end - block)) : NString(); }

private:
    char* block;
    char* end;
};

bool isListSeparator(unsigned char c) { return c <= 32 || c == ',' || c == ';'; }

int hexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a byte value written as binary ("0b"), hexadecimal ("0x") or signed
// decimal number; false when the token is no such number or lies outside
// 0..255.
bool parseByteToken(const char* token, int length, unsigned char& value)
{
    int start = 0;
    int radix = 10;
    if (length > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'b')) {
        radix = token[1] == 'x' ? 16 : 2;
        start = 2;
    } else if (token[0] == '+' || token[0] == '-') {
        start = 1;
    }
    if (start >= length)
        return false;
    for (int i = start; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(token[i]);
        const bool digit = radix == 16 ? hexDigit(c) >= 0
                                       : (radix == 2 ? (c == '0' || c == '1') : (c >= '0' && c <= '9'));
        if (!digit)
            return false;
    }
    // Leading zeros go first, so that a long but small number is read whole;
    // more significant digits than a byte needs are out of range anyway.
    int first = start;
    while (first < length - 1 && token[first] == '0')
        ++first;
    const int maxDigits = radix == 16 ? 2 : (radix == 2 ? 8 : 3);
    if (length - first > maxDigits)
        return false;
    NString number(token, start);
    number.append(token + first, length - first);
    const int n = number.toInt();
    if (n < 0 || n > 255)
        return false;
    value = static_cast<unsigned char>(n);
    return true;
}

int base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

}  // namespace

// --- life cycle ---------------------------------------------------------------

NMem::NMem() : data(heapAlloc(100)), size(data ? 100 : 0) {}

NMem::NMem(int initialSize) : data(heapAlloc(initialSize < 0 ? 0 : initialSize)), size(0)
{
    if (data)
        size = initialSize < 0 ? 0 : initialSize;
}

NMem::NMem(const NMem& other) : data(heapAlloc(other.size)), size(0)
{
    if (data) {
        size = other.size;
        if (size > 0)
            memcpy(data, other.data, static_cast<size_t>(size));
    }
}

NMem::~NMem()
{
    heapFree(data);
}

const char* NMem::getName() const { return getClassName(); }
const char* NMem::getClassName() const { return "NMem"; }

NMem& NMem::operator=(const NMem& other)
{
    if (this == &other)
        return *this;
    unsigned char* block = heapAlloc(other.size);
    if (block) {
        if (other.size > 0)
            memcpy(block, other.data, static_cast<size_t>(other.size));
        adopt(block, other.size);
    }
    return *this;
}

bool NMem::fillFrom(const NMem& source)
{
    if (this == &source)
        return true;
    if (source.size > size && !resize(source.size))
        return false;
    if (source.size > 0)
        memcpy(data, source.data, static_cast<size_t>(source.size));
    return true;
}

void NMem::adopt(unsigned char* block, int newSize)
{
    heapFree(data);
    data = block;
    size = newSize;
}

bool NMem::resize(int newSize)
{
    if (newSize < 0)
        return false;
    if (data && newSize == size)
        return true;
    HANDLE heap = GetProcessHeap();
    void* block = data ? HeapReAlloc(heap, HEAP_ZERO_MEMORY, data, static_cast<SIZE_T>(newSize))
                       : HeapAlloc(heap, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(newSize));
    if (!block) {
        // A block that cannot shrink is still large enough.
        if (data && newSize < size) {
            size = newSize;
            return true;
        }
        return false;
    }
    data = static_cast<unsigned char*>(block);
    size = newSize;
    return true;
}

// --- size and bytes --------------------------------------------------------

bool NMem::setSize(int newSize)
{
    return resize(newSize);
}

unsigned char NMem::getAt(int index) const
{
    return index >= 0 && index < size ? data[index] : 0;
}

bool NMem::setAt(int index, unsigned char value)
{
    if (index < 0 || index >= size)
        return false;
    data[index] = value;
    return true;
}

void NMem::clear()
{
    if (size > 0)
        memset(data, 0, static_cast<size_t>(size));
}

// --- growing and shrinking ----------------------------------------------------

bool NMem::openGap(int position, int count)
{
    if (position < 0 || position > size || count < 0 || count > INT_MAX - size)
        return false;
    const int oldSize = size;
    if (!resize(size + count))
        return false;
    const int tail = oldSize - position;
    if (count > 0 && tail > 0) {
        memmove(data + position + count, data + position, static_cast<size_t>(tail));
        memset(data + position, 0, static_cast<size_t>(count));
    }
    return true;
}

bool NMem::insert(int position, const void* bytes, int count)
{
    if (count == 0)
        return position >= 0 && position <= size;
    if (!bytes || count < 0)
        return false;
    const unsigned char* source = static_cast<const unsigned char*>(bytes);
    // Bytes of this buffer itself move with the block: copy them first.
    unsigned char* copy = nullptr;
    if (data && source >= data && source < data + size) {
        copy = heapAlloc(count);
        if (!copy)
            return false;
        memcpy(copy, source, static_cast<size_t>(count));
        source = copy;
    }
    const bool ok = openGap(position, count);
    if (ok)
        memcpy(data + position, source, static_cast<size_t>(count));
    heapFree(copy);
    return ok;
}

bool NMem::append(const void* bytes, int count)
{
    return insert(size, bytes, count);
}

bool NMem::append(const NMem& other)
{
    return append(other.data, other.size);
}

bool NMem::append(const NString& text)
{
    return append(text.getBuffer(), text.getLength());
}

bool NMem::append(char value) { return append(&value, 1); }
bool NMem::append(unsigned char value) { return append(&value, 1); }
bool NMem::append(short value) { return append(&value, 2); }
bool NMem::append(unsigned short value) { return append(&value, 2); }
bool NMem::append(int value) { return append(&value, 4); }
bool NMem::append(unsigned int value) { return append(&value, 4); }

bool NMem::remove(int position, int count)
{
    if (position < 0 || position > size || count < 0)
        return false;
    if (count > size - position)
        count = size - position;
    if (count == 0)
        return true;
    memmove(data + position, data + position + count,
            static_cast<size_t>(size - position - count));
    return resize(size - count);
}

// --- searching --------------------------------------------------------------

int NMem::findByte(unsigned char value, int start) const
{
    if (start < 0)
        start = 0;
    if (start >= size)
        return -1;
    const void* hit = memchr(data + start, value, static_cast<size_t>(size - start));
    return hit ? static_cast<int>(static_cast<const unsigned char*>(hit) - data) : -1;
}

int NMem::find(const void* bytes, int count, int start) const
{
    if (!bytes || count < 1 || count > size)
        return -1;
    if (start < 0)
        start = 0;
    const unsigned char* pattern = static_cast<const unsigned char*>(bytes);
    const int last = size - count;
    for (int i = start; i <= last; ++i) {
        const void* hit = memchr(data + i, pattern[0], static_cast<size_t>(last - i + 1));
        if (!hit)
            return -1;
        i = static_cast<int>(static_cast<const unsigned char*>(hit) - data);
        if (memcmp(data + i, pattern, static_cast<size_t>(count)) == 0)
            return i;
    }
    return -1;
}

int NMem::findReverse(const void* bytes, int count, int start) const
{
    if (!bytes || count < 1 || count > size || start < -1)
        return -1;
    const int last = size - count;
    if (start == -1 || start > last)
        start = last;
    for (int i = start; i >= 0; --i) {
        if (memcmp(data + i, bytes, static_cast<size_t>(count)) == 0)
            return i;
    }
    return -1;
}

bool NMem::getRange(int start, int count, NMem& target) const
{
    if (start < 0 || start > size || count < -1)
        return false;
    if (count == -1 || count > size - start)
        count = size - start;
    const int oldSize = target.size;
    if (count > INT_MAX - oldSize || !target.resize(oldSize + count))
        return false;
    // The target may be this buffer: take the range before zeroing.
    if (count > 0)
        memmove(target.data + oldSize, data + start, static_cast<size_t>(count));
    if (oldSize > 0)
        memset(target.data, 0, static_cast<size_t>(oldSize));
    return true;
}

// --- fields ------------------------------------------------------------------

int NMem::parseFields(NMapStringToString& map, char fieldSeparator, char keySeparator,
                      char end) const
{
    int fields = 0;
    int fieldStart = 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    for (int i = 0; i <= size; ++i) {
        // A last field without its separator counts as well.
        const bool atEnd = i == size;
        if (!atEnd && bytes[i] != fieldSeparator)
            continue;
        const int length = i - fieldStart;
        if (length > 0) {
            const char* field = bytes + fieldStart;
            const void* split = memchr(field, keySeparator, static_cast<size_t>(length));
            const int keyLength =
                split ? static_cast<int>(static_cast<const char*>(split) - field) : length;
            const NString value = split ? NString(field + keyLength + 1, length - keyLength - 1)
                                        : NString();
            map.setAt(NString(field, keyLength), value);
            ++fields;
        }
        if (atEnd || (i + 1 < size && bytes[i + 1] == end))
            break;
        fieldStart = i + 1;
    }
    return fields;
}

// --- text forms --------------------------------------------------------------

NString NMem::toHexDump(int bytesPerLine) const
{
    if (size <= 0 || bytesPerLine < 1)
        return NString();
    char address[16];
    const int width = snprintf(address, sizeof address, "%X", static_cast<unsigned>(size));
    const int64_t n = bytesPerLine;
    const int64_t lines = (size + n - 1) / n;
    // Each line: address, blank, n hex columns, blank, characters, CR LF.
    TextBuilder text(lines * (width + 1 + 3 * n + 1 + 2) + size);
    if (!text.ok())
        return NString();
    char hex[4];
    for (int64_t line = 0; line < lines; ++line) {
        const int lineStart = static_cast<int>(line * n);
        const int count = size - lineStart < bytesPerLine ? size - lineStart : bytesPerLine;
        snprintf(address, sizeof address, "%0*X ", width, static_cast<unsigned>(lineStart));
        text.put(address, width + 1);
        for (int i = 0; i < count; ++i) {
            snprintf(hex, sizeof hex, "%02X ", data[lineStart + i]);
            text.put(hex, 3);
        }
        for (int i = count; i < bytesPerLine; ++i)
            text.put("   ", 3);
        text.put(' ');
        for (int i = 0; i < count; ++i) {
            const unsigned char c = data[lineStart + i];
            text.put(c > 32 ? static_cast<char>(c) : '.');
        }
        text.put("\r\n", 2);
    }
    return text.result();
}

NString NMem::toByteList(const char* separator) const
{
    if (size <= 0)
        return NString();
    if (!separator)
        separator = "";
    const size_t separatorLength = strlen(separator);
    if (separatorLength > static_cast<size_t>(INT_MAX))
        return NString();
    TextBuilder text(int64_t(size) * 4 + int64_t(size - 1) * int64_t(separatorLength));
    if (!text.ok())
        return NString();
    char item[8];
    for (int i = 0; i < size; ++i) {
        if (i > 0)
            text.put(separator, static_cast<int>(separatorLength));
        snprintf(item, sizeof item, "0x%02X", data[i]);
        text.put(item, 4);
    }
    return text.result();
}

bool NMem::fromByteList(const NString& text)
{
    // extractQuoted wants a string it could cut; it is not cut here.
    NString source(text);
    const char* p = source.getBuffer();
    const int length = source.getLength();
    // Every byte takes at least one character of the text.
    unsigned char* bytes = heapAlloc(length > 0 ? length : 1);
    if (!bytes)
        return false;
    int count = 0;
    bool ok = true;
    // A ',' or ';' must be followed by an item before the next one; the
    // start of the text counts as such a separator.
    bool itemExpected = true;
    int pos = 0;
    while (pos < length) {
        const unsigned char c = static_cast<unsigned char>(p[pos]);
        if (c <= 32) {
            ++pos;
            continue;
        }
        if (c == ',' || c == ';') {
            if (itemExpected) {
                ok = false;
                break;
            }
            itemExpected = true;
            ++pos;
            continue;
        }
        itemExpected = false;
        if (c == '"' || c == '\'') {
            const int literal = NString::quotedLength(p + pos);
            if (literal == 0 ||
                (pos + literal < length && !isListSeparator(static_cast<unsigned char>(p[pos + literal])))) {
                ok = false;
                break;
            }
            const NString inner = NString::extractQuoted(source, pos, false, true);
            if (inner.getLength() > 0)
                memcpy(bytes + count, inner.getBuffer(), static_cast<size_t>(inner.getLength()));
            count += inner.getLength();
            pos += literal;
            continue;
        }
        int end = pos;
        while (end < length && !isListSeparator(static_cast<unsigned char>(p[end])))
            ++end;
        unsigned char value = 0;
        if (!parseByteToken(p + pos, end - pos, value)) {
            ok = false;
            break;
        }
        bytes[count++] = value;
        pos = end;
    }
    // What was read before a failure is kept.
    unsigned char* block = heapAlloc(count);
    if (!block) {
        heapFree(bytes);
        return false;
    }
    if (count > 0)
        memcpy(block, bytes, static_cast<size_t>(count));
    heapFree(bytes);
    adopt(block, count);
    return ok;
}

NString NMem::toBase64() const
{
    if (size <= 0)
        return NString();
    TextBuilder text((int64_t(size) + 2) / 3 * 4);
    if (!text.ok())
        return NString();
    for (int i = 0; i < size; i += 3) {
        const int rest = size - i;
        const unsigned group = (unsigned(data[i]) << 16) | (rest > 1 ? unsigned(data[i + 1]) << 8 : 0) |
                               (rest > 2 ? unsigned(data[i + 2]) : 0);
        text.put(base64Alphabet[(group >> 18) & 63]);
        text.put(base64Alphabet[(group >> 12) & 63]);
        text.put(rest > 1 ? base64Alphabet[(group >> 6) & 63] : '=');
        text.put(rest > 2 ? base64Alphabet[group & 63] : '=');
    }
    return text.result();
}

bool NMem::fromBase64(const NString& text)
{
    const char* p = text.getBuffer();
    const int length = text.getLength();
    if (length % 4 != 0)
        return false;
    int padding = 0;
    if (length > 0 && p[length - 1] == '=')
        padding = p[length - 2] == '=' ? 2 : 1;
    // Only the last two characters may be padding, and only at the very end.
    for (int i = 0; i < length - padding; ++i) {
        if (base64Value(static_cast<unsigned char>(p[i])) < 0)
            return false;
    }
    const int newSize = length / 4 * 3 - padding;
    unsigned char* block = heapAlloc(newSize);
    if (!block)
        return false;
    int out = 0;
    for (int i = 0; i < length; i += 4) {
        unsigned group = 0;
        for (int k = 0; k < 4; ++k) {
            const int v = base64Value(static_cast<unsigned char>(p[i + k]));
            group = (group << 6) | static_cast<unsigned>(v < 0 ? 0 : v);
        }
        const unsigned char bytes[3] = {static_cast<unsigned char>(group >> 16),
                                        static_cast<unsigned char>(group >> 8),
                                        static_cast<unsigned char>(group)};
        for (int k = 0; k < 3 && out < newSize; ++k)
            block[out++] = bytes[k];
    }
    adopt(block, newSize);
    return true;
}
