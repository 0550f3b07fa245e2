#include "NPdfImage.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const long long maxSide = 65535;
const long long maxPixels = 30000000;
// Larger files are not pictures we could place anyway.
const long long maxFileSize = 512LL * 1024 * 1024;

unsigned le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
unsigned le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24);
}
unsigned be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }

} // namespace

NPdfImage::NPdfImage() : width(0), height(0) {}
const char* NPdfImage::getName() const { return getClassName(); }
const char* NPdfImage::getClassName() const { return "NPdfImage"; }
NPdfImage::~NPdfImage() {}

void NPdfImage::clear()
{
    width = height = 0;
    dictionary = "";
    data.clear();
    error = "";
    key = "";
}

bool NPdfImage::fail(const char* reason)
{
    NString text;
    text.format("NPdfImage::%s(..): Die Datei \"%s\" %s.", operation.getBuffer(),
                fileName.getBuffer(), reason);
    clear();
    error = text;
    return false;
}

bool NPdfImage::checkSize(long long w, long long h)
{
    if (w < 1 || h < 1)
        return fail("hat keine Bildpunkte (Breite oder H\xF6he 0)");
    if (w > maxSide || h > maxSide || w * h > maxPixels) {
        NString reason;
        reason.format("ist mit %lld x %lld Bildpunkten zu gro\xDF", w, h);
        return fail(reason);
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool NPdfImage::load(const NString& path)
{
    clear();
    operation = "load";
    fileName = path;
    std::FILE* file = std::fopen(path.getBuffer(), "rb");
    if (!file)
        return fail("konnte nicht ge\xF6""ffnet werden");
    std::string bytes;
    char buffer[65536];
    size_t got;
    bool tooLarge = false;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
        bytes.append(buffer, got);
        if (static_cast<long long>(bytes.size()) > maxFileSize) {
            tooLarge = true;
            break;
        }
    }
    bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError)
        return fail("konnte nicht gelesen werden");
    if (tooLarge)
        return fail("ist zu gro\xDF f\xFCr ein Bild");
    return parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

bool NPdfImage::loadMemory(const void* bytes, size_t size, const NString& nameForMessages)
{
    clear();
    operation = "loadMemory";
    fileName = nameForMessages;
    if (!bytes && size > 0)
        return fail("hat keine Daten");
    return parse(static_cast<const unsigned char*>(bytes), size);
}

bool NPdfImage::parse(const unsigned char* bytes, size_t size)
{
    static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    bool ok;
    try {
        if (size >= 8 && std::memcmp(bytes, pngSignature, 8) == 0)
            ok = parsePng(bytes, size);
        else if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
            ok = parseJpeg(bytes, size);
        else if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
            ok = parseBmp(bytes, size);
        else
            return fail("ist kein Bild im Format PNG, JPEG oder BMP");
    } catch (const std::bad_alloc&) {
        // A large picture on a 32-bit process: refuse it, do not end the program.
        return fail("ist zu gro\xDF f\xFCr den freien Speicher");
    }
    if (!ok)
        return false;
    // CRC-32 and FNV-1a over dictionary and data: two independent sums make
    // a false match of two different pictures practically impossible.
    unsigned long crc = crc32(0L, Z_NULL, 0);
    unsigned long long fnv = 1469598103934665603ULL;
    auto add = [&](const char* p, size_t n) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(p), static_cast<uInt>(n));
        for (size_t i = 0; i < n; ++i) {
            fnv ^= static_cast<unsigned char>(p[i]);
            fnv *= 1099511628211ULL;
        }
    };
    add(dictionary.getBuffer(), dictionary.getLength());
    add("\n", 1);
    // crc32 takes at most 4 GiB per call; the data is far below that.
    add(data.data(), data.size());
    key.format("%08lx%016llx%llx", crc & 0xFFFFFFFFUL, fnv, static_cast<unsigned long long>(data.size()));
    return true;
}

bool NPdfImage::storeDeflated(const std::vector<unsigned char>& samples)
{
    uLongf length = compressBound(static_cast<uLong>(samples.size()));
    data.resize(length);
    if (compress2(reinterpret_cast<Bytef*>(&data[0]), &length, samples.data(),
                  static_cast<uLong>(samples.size()), 6) != Z_OK)
        return fail("konnte nicht komprimiert werden (zu wenig Speicher)");
    data.resize(length);
    return true;
}

// --- JPEG --------------------------------------------------------------------
// Only the markers up to the frame header are read; the file itself is the
// stream, which every PDF viewer decodes.
bool NPdfImage::parseJpeg(const unsigned char* bytes, size_t size)
{
    size_t pos = 2;
    bool adobe = false;
    for (;;) {
        if (pos >= size)
            return fail("ist kein lesbares JPEG-Bild (abgeschnitten vor dem Bildkopf)");
        if (bytes[pos] != 0xFF) {
            NString reason;
            reason.format("ist kein lesbares JPEG-Bild (ung\xFCltige Daten an Position %u vor dem Bildkopf)",
                          static_cast<unsigned>(pos));
            return fail(reason);
        }
        while (pos < size && bytes[pos] == 0xFF)   // fill bytes
            ++pos;
        if (pos >= size)
            return fail("ist kein lesbares JPEG-Bild (abgeschnitten vor dem Bildkopf)");
        unsigned marker = bytes[pos++];
        bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        bool hasLength = isFrame || marker == 0xC4 || marker == 0xCC || marker == 0xDB || marker == 0xDD ||
                         marker == 0xFE || (marker >= 0xE0 && marker <= 0xEF);
        if (!hasLength) {
            NString reason;
            reason.format("ist kein lesbares JPEG-Bild (unerwartete Markierung 0xFF%02X vor dem Bildkopf)", marker);
            return fail(reason);
        }
        if (pos + 2 > size)
            return fail("ist kein lesbares JPEG-Bild (abgeschnitten vor dem Bildkopf)");
        size_t length = be16(bytes + pos);
        if (length < 2)
            return fail("ist kein lesbares JPEG-Bild (ung\xFCltige Segmentl\xE4nge)");
        if (pos + length > size)
            return fail("ist kein lesbares JPEG-Bild (abgeschnitten vor dem Bildkopf)");
        const unsigned char* segment = bytes + pos + 2;
        size_t segmentSize = length - 2;
        pos += length;
        if (marker == 0xEE && segmentSize >= 12 && std::memcmp(segment, "Adobe", 5) == 0)
            adobe = true;
        if (!isFrame)
            continue;
        if (marker != 0xC0 && marker != 0xC1 && marker != 0xC2)
            return fail("ist ein JPEG-Bild mit einer Kompression, die PDF nicht darstellt "
                        "(verlustfrei, hierarchisch oder arithmetisch)");
        if (segmentSize < 6)
            return fail("ist kein lesbares JPEG-Bild (Bildkopf zu kurz)");
        if (segment[0] != 8)
            return fail("ist ein JPEG-Bild mit 12 Bit je Farbanteil, PDF kennt nur 8");
        unsigned h = be16(segment + 1), w = be16(segment + 3), components = segment[5];
        if (segmentSize < 6 + 3 * components)
            return fail("ist kein lesbares JPEG-Bild (Bildkopf zu kurz)");
        if (h == 0)
            return fail("ist ein JPEG-Bild ohne H\xF6henangabe im Bildkopf");
        if (!checkSize(w, h))
            return false;
        const char* space;
        if (components == 1)
            space = "/DeviceGray";
        else if (components == 3)
            space = "/DeviceRGB";
        else if (components == 4)
            space = "/DeviceCMYK";
        else
            return fail("ist ein JPEG-Bild mit einer nicht unterst\xFCtzten Zahl von Farbanteilen");
        dictionary.format("/Width %d /Height %d /ColorSpace %s /BitsPerComponent 8", width, height, space);
        if (components == 4 && adobe)
            dictionary += " /Decode [1 0 1 0 1 0 1 0]";
        dictionary += " /Filter /DCTDecode";
        data.assign(reinterpret_cast<const char*>(bytes), size);
        return true;
    }
}

// --- BMP ---------------------------------------------------------------------
// RLE8 / RLE4 (bottom-up): one byte per pixel, top row first. Pixels the
// codes skip keep index 0. False when the codes run out of the data.
bool NPdfImage::decodeRle(const unsigned char* p, size_t size, unsigned bitCount,
                          std::vector<unsigned char>& indices) const
{
    indices.assign(static_cast<size_t>(width) * height, 0);
    long long x = 0, y = 0;   // y counts from the bottom row
    auto put = [&](unsigned index) {
        if (x < width && y < height)
            indices[static_cast<size_t>(height - 1 - y) * width + x] = static_cast<unsigned char>(index);
        ++x;
    };
    size_t pos = 0;
    while (pos + 2 <= size) {
        unsigned count = p[pos], value = p[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(bitCount == 8 ? value : (i % 2 ? value & 0x0F : value >> 4));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (pos + 2 > size)
                return false;
            x += p[pos];
            y += p[pos + 1];
            pos += 2;
        } else {
            size_t bytes = bitCount == 8 ? value : (value + 1) / 2;
            if (pos + bytes > size)
                return false;
            for (unsigned i = 0; i < value; ++i)
                put(bitCount == 8 ? p[pos + i] : (i % 2 ? p[pos + i / 2] & 0x0F : p[pos + i / 2] >> 4));
            pos += (bytes + 1) & ~static_cast<size_t>(1);
        }
    }
    return false;   // no end-of-picture code
}

bool NPdfImage::parseBmp(const unsigned char* bytes, size_t size)
{
    if (size < 26)
        return fail("ist kein lesbares BMP-Bild (abgeschnitten)");
    size_t offBits = le32(bytes + 10);
    size_t headerSize = le32(bytes + 14);
    long long w, h;
    unsigned bitCount, compression = 0, colorsUsed = 0;
    size_t paletteEntrySize = 4;
    if (headerSize == 12) {   // BITMAPCOREHEADER (OS/2)
        w = le16(bytes + 18);
        h = static_cast<short>(le16(bytes + 20));
        bitCount = le16(bytes + 24);
        paletteEntrySize = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
               headerSize == 108 || headerSize == 124) {
        if (size < 14 + headerSize)
            return fail("ist kein lesbares BMP-Bild (abgeschnitten)");
        w = static_cast<int>(le32(bytes + 18));
        h = static_cast<int>(le32(bytes + 22));
        bitCount = le16(bytes + 28);
        compression = le32(bytes + 30);
        colorsUsed = le32(bytes + 46);
    } else {
        return fail("ist kein lesbares BMP-Bild (unbekannter Kopf)");
    }
    bool topDown = h < 0;
    if (topDown)
        h = -h;
    bool rle = compression == 1 || compression == 2;
    if (rle && (bitCount != (compression == 1 ? 8u : 4u) || topDown))
        return fail("ist kein lesbares BMP-Bild (RLE-Kompression passt nicht zur Farbtiefe)");
    if (compression > 3 && compression != 6)
        return fail("ist ein BMP-Bild mit einer nicht unterst\xFCtzten Kompression");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return fail("ist ein BMP-Bild mit einer nicht unterst\xFCtzten Farbtiefe");
    if (!checkSize(w, h))
        return false;

    size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    if (offBits > size || (!rle && (size - offBits) / stride < static_cast<size_t>(height)))
        return fail("ist kein lesbares BMP-Bild (abgeschnitten)");
    const unsigned char* pixels = bytes + offBits;
    auto row = [&](int y) { return pixels + stride * (topDown ? y : height - 1 - y); };

    std::vector<unsigned char> samples;
    if (bitCount <= 8) {
        size_t paletteStart = 14 + headerSize;
        size_t maxEntries = size_t(1) << bitCount;
        size_t entries = colorsUsed && colorsUsed < maxEntries ? colorsUsed : maxEntries;
        if (paletteStart > offBits || (offBits - paletteStart) / paletteEntrySize < entries)
            entries = paletteStart > offBits ? 0 : (offBits - paletteStart) / paletteEntrySize;
        if (entries == 0)
            return fail("ist kein lesbares BMP-Bild (Farbpalette fehlt)");
        size_t rowBytes = (static_cast<size_t>(width) * bitCount + 7) / 8;
        if (rle) {
            if (!decodeRle(pixels, size - offBits, bitCount, samples))
                return fail("ist kein lesbares BMP-Bild (RLE-Daten abgeschnitten oder besch\xE4""digt)");
            // One byte per index now; the palette grows to 256 entries (black).
            bitCount = 8;
            maxEntries = 256;
        } else {
            samples.reserve(rowBytes * height);
            for (int y = 0; y < height; ++y)
                samples.insert(samples.end(), row(y), row(y) + rowBytes);
        }
        // Every index the pixels can hold gets a colour: missing ones are black.
        NString hex;
        for (size_t i = 0; i < maxEntries; ++i) {
            const unsigned char* e = bytes + paletteStart + i * paletteEntrySize;
            if (i < entries)
                hex.appendFormat("%02X%02X%02X", e[2], e[1], e[0]);
            else
                hex += "000000";
        }
        dictionary.format("/Width %d /Height %d /ColorSpace [/Indexed /DeviceRGB %u <%s>] "
                          "/BitsPerComponent %u /Filter /FlateDecode",
                          width, height, static_cast<unsigned>(maxEntries - 1), hex.getBuffer(), bitCount);
        return storeDeflated(samples);
    }

    // Colour masks: BI_RGB defaults, else from the header (V4/V5) or the
    // three (four) values after an INFOHEADER.
    unsigned masks[4] = {0, 0, 0, 0};
    if (bitCount == 16) {
        masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
    } else {
        masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF;
    }
    if (compression == 3 || compression == 6) {
        size_t at = headerSize >= 52 ? 14 + 40 : 14 + headerSize;
        size_t count = compression == 6 || headerSize >= 56 ? 4 : 3;
        if (at + 4 * count > size)
            return fail("ist kein lesbares BMP-Bild (abgeschnitten)");
        for (size_t i = 0; i < count; ++i)
            masks[i] = le32(bytes + at + 4 * i);
        if (bitCount == 24)
            return fail("ist ein BMP-Bild mit Farbmasken bei 24 Bit, das ist ung\xFCltig");
    }
    int shift[4], bits[4];
    for (int c = 0; c < 4; ++c) {
        shift[c] = bits[c] = 0;
        unsigned m = masks[c];
        if (!m)
            continue;
        while (!(m & 1)) { m >>= 1; ++shift[c]; }
        while (m & 1) { m >>= 1; ++bits[c]; }
    }
    auto channel = [&](unsigned value, int c) -> unsigned {
        if (!bits[c])
            return 255;
        unsigned v = (value & masks[c]) >> shift[c];
        unsigned max = bits[c] >= 32 ? 0xFFFFFFFFu : (1u << bits[c]) - 1;
        return static_cast<unsigned>((static_cast<unsigned long long>(v) * 255 + max / 2) / max);
    };
    bool alpha = masks[3] != 0;
    samples.resize(static_cast<size_t>(width) * height * 3);
    unsigned char* out = samples.data();
    unsigned bytesPerPixel = bitCount / 8;
    for (int y = 0; y < height; ++y) {
        const unsigned char* p = row(y);
        for (int x = 0; x < width; ++x, p += bytesPerPixel) {
            unsigned value = bytesPerPixel == 2 ? le16(p)
                             : bytesPerPixel == 3 ? (p[0] | (p[1] << 8) | (p[2] << 16)) : le32(p);
            unsigned a = alpha ? channel(value, 3) : 255;
            for (int c = 0; c < 3; ++c)
                *out++ = static_cast<unsigned char>((channel(value, c) * a + 255 * (255 - a) + 127) / 255);
        }
    }
    dictionary.format("/Width %d /Height %d /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode",
                      width, height);
    return storeDeflated(samples);
}
