// NPdfImage: the PNG reader.
#include "NPdfImage.h"

#include <zlib.h>

#include <cstring>

namespace {

unsigned be32(const unsigned char* p)
{
    return (static_cast<unsigned>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

const char* const truncated = "ist kein lesbares PNG-Bild (abgeschnitten)";

// Inflates exactly `expected` bytes; false when the stream is damaged, ends
// early or holds more.
bool inflateExactly(const std::string& in, size_t expected, std::vector<unsigned char>& out)
{
    out.resize(expected + 1);
    z_stream z;
    std::memset(&z, 0, sizeof(z));
    if (inflateInit(&z) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int result = inflate(&z, Z_FINISH);
    size_t produced = out.size() - z.avail_out;
    inflateEnd(&z);
    out.resize(expected);
    return result == Z_STREAM_END && produced == expected;
}

unsigned char paeth(int a, int b, int c)
{
    int p = a + b - c;
    int pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
    if (pa <= pb && pa <= pc)
        return static_cast<unsigned char>(a);
    return static_cast<unsigned char>(pb <= pc ? b : c);
}

// Undoes the row filters of one (sub-)image in place; rows are 1 filter byte
// plus rowBytes. False on an unknown filter type.
bool unfilter(unsigned char* rows, size_t rowBytes, size_t rowCount, size_t bpp)
{
    unsigned char* previous = nullptr;
    for (size_t y = 0; y < rowCount; ++y) {
        unsigned char* row = rows + y * (rowBytes + 1);
        unsigned filter = row[0];
        unsigned char* cur = row + 1;
        unsigned char* up = previous ? previous + 1 : nullptr;
        for (size_t i = 0; i < rowBytes; ++i) {
            int a = i >= bpp ? cur[i - bpp] : 0;
            int b = up ? up[i] : 0;
            int c = up && i >= bpp ? up[i - bpp] : 0;
            switch (filter) {
            case 0: break;
            case 1: cur[i] = static_cast<unsigned char>(cur[i] + a); break;
            case 2: cur[i] = static_cast<unsigned char>(cur[i] + b); break;
            case 3: cur[i] = static_cast<unsigned char>(cur[i] + (a + b) / 2); break;
            case 4: cur[i] = static_cast<unsigned char>(cur[i] + paeth(a, b, c)); break;
            default: return false;
            }
        }
        previous = row;
    }
    return true;
}

unsigned sampleAt(const unsigned char* row, size_t index, unsigned depth)
{
    switch (depth) {
    case 8: return row[index];
    case 16: return (row[2 * index] << 8) | row[2 * index + 1];
    default: {
        size_t bit = index * depth;
        unsigned shift = 8 - depth - static_cast<unsigned>(bit % 8);
        return (row[bit / 8] >> shift) & ((1u << depth) - 1);
    }
    }
}

} // namespace

bool NPdfImage::parsePng(const unsigned char* bytes, size_t size)
{
    size_t pos = 8;
    bool haveHeader = false, haveEnd = false;
    unsigned long long w = 0, h = 0;
    unsigned depth = 0, colorType = 0, interlace = 0;
    std::string idat, palette, transparency;
    while (pos < size) {
        if (size - pos < 12)
            return fail(truncated);
        unsigned length = be32(bytes + pos);
        const unsigned char* type = bytes + pos + 4;
        if (length > 0x7FFFFFFFu || size - pos - 12 < length)
            return fail(truncated);
        const unsigned char* body = type + 4;
        unsigned crc = static_cast<unsigned>(crc32(crc32(0L, Z_NULL, 0), type, length + 4));
        if (crc != be32(body + length))
            return fail("ist kein lesbares PNG-Bild (Pr\xFC""fsumme falsch, Datei besch\xE4""digt)");
        pos += 12 + length;
        std::string name(reinterpret_cast<const char*>(type), 4);
        if (!haveHeader && name != "IHDR")
            return fail("ist kein lesbares PNG-Bild (Kopf IHDR fehlt)");
        if (name == "IHDR") {
            if (haveHeader || length != 13)
                return fail("ist kein lesbares PNG-Bild (Kopf IHDR ung\xFCltig)");
            haveHeader = true;
            w = be32(body);
            h = be32(body + 4);
            depth = body[8];
            colorType = body[9];
            interlace = body[12];
            bool valid = body[10] == 0 && body[11] == 0 && interlace <= 1;
            switch (colorType) {
            case 0: valid = valid && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16); break;
            case 3: valid = valid && (depth == 1 || depth == 2 || depth == 4 || depth == 8); break;
            case 2: case 4: case 6: valid = valid && (depth == 8 || depth == 16); break;
            default: valid = false;
            }
            if (!valid)
                return fail("ist kein lesbares PNG-Bild (Farbtyp, Bittiefe oder Verfahren ung\xFCltig)");
        } else if (name == "PLTE") {
            if (length % 3 || length == 0 || length > 768)
                return fail("ist kein lesbares PNG-Bild (Palette ung\xFCltig)");
            palette.assign(reinterpret_cast<const char*>(body), length);
        } else if (name == "tRNS") {
            transparency.assign(reinterpret_cast<const char*>(body), length);
        } else if (name == "IDAT") {
            idat.append(reinterpret_cast<const char*>(body), length);
        } else if (name == "IEND") {
            haveEnd = true;
            break;
        } else if (!(type[0] & 0x20)) {
            return fail("ist kein lesbares PNG-Bild (unbekannter notwendiger Abschnitt)");
        }
    }
    if (!haveHeader || !haveEnd)
        return fail(truncated);
    if (idat.empty())
        return fail("ist kein lesbares PNG-Bild (Bilddaten fehlen)");
    if (!checkSize(static_cast<long long>(w), static_cast<long long>(h)))
        return false;
    if (colorType == 3 && palette.empty())
        return fail("ist kein lesbares PNG-Bild (Palette fehlt)");

    const unsigned channelsOf[7] = {1, 0, 3, 1, 2, 0, 4};
    unsigned channels = channelsOf[colorType];
    size_t bitsPerPixel = channels * depth;
    size_t bpp = bitsPerPixel >= 8 ? bitsPerPixel / 8 : 1;
    auto rowBytesOf = [&](size_t pixels) { return (pixels * bitsPerPixel + 7) / 8; };

    // Adam7 passes: x start, y start, x step, y step; a plain picture is one pass.
    static const int adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                    {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static const int single[1][4] = {{0, 0, 1, 1}};
    const int (*passes)[4] = interlace ? adam7 : single;
    int passCount = interlace ? 7 : 1;
    size_t expected = 0;
    for (int p = 0; p < passCount; ++p) {
        size_t pw = (width - passes[p][0] + passes[p][2] - 1) / passes[p][2];
        size_t ph = (height - passes[p][1] + passes[p][3] - 1) / passes[p][3];
        if (static_cast<int>(pw) > 0 && static_cast<int>(ph) > 0 && passes[p][0] < width && passes[p][1] < height)
            expected += ph * (rowBytesOf(pw) + 1);
    }
    std::vector<unsigned char> raw;
    if (!inflateExactly(idat, expected, raw))
        return fail("ist kein lesbares PNG-Bild (Bilddaten abgeschnitten oder besch\xE4""digt)");

    // Palette entries: transparency per entry (missing ones are opaque).
    size_t paletteSize = palette.size() / 3;
    int keyIndex = -1;
    bool paletteBlends = false;
    if (colorType == 3) {
        int transparent = 0;
        for (size_t i = 0; i < transparency.size() && i < paletteSize; ++i) {
            unsigned char a = static_cast<unsigned char>(transparency[i]);
            if (a == 0) {
                ++transparent;
                keyIndex = static_cast<int>(i);
            } else if (a != 255) {
                paletteBlends = true;
            }
        }
        if (transparent != 1 || paletteBlends) {
            paletteBlends = paletteBlends || transparent > 1;
            keyIndex = -1;
        }
    }
    auto paletteSpace = [&](unsigned hival) {
        NString hex;
        for (size_t i = 0; i <= hival; ++i) {
            unsigned char rgb[3] = {0, 0, 0};   // indices beyond the palette: black
            if (i < paletteSize) {
                unsigned a = i < transparency.size() ? static_cast<unsigned char>(transparency[i]) : 255;
                if (keyIndex >= 0)
                    a = 255;   // the key entry is masked, not blended
                for (int c = 0; c < 3; ++c)
                    rgb[c] = static_cast<unsigned char>(
                        (static_cast<unsigned char>(palette[3 * i + c]) * a + 255 * (255 - a) + 127) / 255);
            }
            hex.appendFormat("%02X%02X%02X", rgb[0], rgb[1], rgb[2]);
        }
        NString space;
        space.format("[/Indexed /DeviceRGB %u <%s>]", hival, hex.getBuffer());
        return space;
    };
    // tRNS colour key of grey and RGB pictures, in sample values.
    bool colorKey = (colorType == 0 && transparency.size() >= 2) || (colorType == 2 && transparency.size() >= 6);
    unsigned keyValues[3] = {0, 0, 0};
    if (colorKey)
        for (unsigned c = 0; c < channels; ++c)
            keyValues[c] = (static_cast<unsigned char>(transparency[2 * c]) << 8) |
                           static_cast<unsigned char>(transparency[2 * c + 1]);
    const char* deviceSpace = channels >= 3 ? "/DeviceRGB" : "/DeviceGray";

    // Plain pictures without alpha keep their compressed data.
    if (!interlace && depth <= 8 && (colorType == 0 || colorType == 2 || (colorType == 3 && !paletteBlends))) {
        if (!unfilter(raw.data(), rowBytesOf(width), height, bpp))
            return fail("ist kein lesbares PNG-Bild (unbekannter Zeilenfilter)");
        NString space = colorType == 3 ? paletteSpace((1u << depth) - 1) : NString(deviceSpace);
        dictionary.format("/Width %d /Height %d /ColorSpace %s /BitsPerComponent %u", width, height,
                          space.getBuffer(), depth);
        if (colorType == 3 && keyIndex >= 0)
            dictionary.appendFormat(" /Mask [%d %d]", keyIndex, keyIndex);
        if (colorKey) {
            dictionary += " /Mask [";
            for (unsigned c = 0; c < channels; ++c)
                dictionary.appendFormat("%s%u %u", c ? " " : "", keyValues[c], keyValues[c]);
            dictionary += "]";
        }
        dictionary.appendFormat(" /Filter /FlateDecode /DecodeParms << /Predictor 15 /Colors %u "
                                "/BitsPerComponent %u /Columns %d >>", channels, depth, width);
        data = idat;
        return true;
    }

    // Everything else: samples of 8 bits, one byte per palette index, alpha
    // painted over white.
    bool indexed = colorType == 3;
    unsigned outChannels = indexed ? 1 : (channels >= 3 ? 3 : 1);
    std::vector<unsigned char> samples(static_cast<size_t>(width) * height * outChannels);
    unsigned maxValue = (1u << depth) - 1;
    bool keyMask = colorKey && depth <= 8;   // keys of 16-bit pictures blend instead
    size_t offset = 0;
    for (int p = 0; p < passCount; ++p) {
        int x0 = passes[p][0], y0 = passes[p][1], dx = passes[p][2], dy = passes[p][3];
        if (x0 >= width || y0 >= height)
            continue;
        size_t pw = (width - x0 + dx - 1) / dx, ph = (height - y0 + dy - 1) / dy;
        size_t rowBytes = rowBytesOf(pw);
        if (!unfilter(raw.data() + offset, rowBytes, ph, bpp))
            return fail("ist kein lesbares PNG-Bild (unbekannter Zeilenfilter)");
        for (size_t py = 0; py < ph; ++py) {
            const unsigned char* row = raw.data() + offset + py * (rowBytes + 1) + 1;
            size_t y = y0 + py * dy;
            for (size_t px = 0; px < pw; ++px) {
                size_t x = x0 + px * dx;
                unsigned char* out = samples.data() + (y * width + x) * outChannels;
                if (indexed) {
                    *out = static_cast<unsigned char>(sampleAt(row, px, depth));
                    continue;
                }
                unsigned v[4];
                for (unsigned c = 0; c < channels; ++c)
                    v[c] = sampleAt(row, px * channels + c, depth);
                unsigned alpha = 255;
                if (colorType == 4 || colorType == 6)
                    alpha = depth == 16 ? v[channels - 1] >> 8 : v[channels - 1];
                else if (colorKey && !keyMask) {
                    bool match = true;
                    for (unsigned c = 0; c < channels; ++c)
                        match = match && v[c] == keyValues[c];
                    if (match)
                        alpha = 0;
                }
                for (unsigned c = 0; c < outChannels; ++c) {
                    unsigned s = depth == 16 ? v[c] >> 8 : depth == 8 ? v[c] : v[c] * 255 / maxValue;
                    out[c] = static_cast<unsigned char>((s * alpha + 255 * (255 - alpha) + 127) / 255);
                }
            }
        }
        offset += ph * (rowBytes + 1);
    }
    NString space = indexed ? paletteSpace(255) : NString(deviceSpace);
    dictionary.format("/Width %d /Height %d /ColorSpace %s /BitsPerComponent 8", width, height, space.getBuffer());
    if (indexed && keyIndex >= 0)
        dictionary.appendFormat(" /Mask [%d %d]", keyIndex, keyIndex);
    if (keyMask) {
        // Sub-byte grey was scaled to 8 bits above; the key goes along.
        dictionary += " /Mask [";
        for (unsigned c = 0; c < channels; ++c) {
            unsigned k = depth == 8 ? keyValues[c] : (keyValues[c] & maxValue) * 255 / maxValue;
            dictionary.appendFormat("%s%u %u", c ? " " : "", k, k);
        }
        dictionary += "]";
    }
    dictionary += " /Filter /FlateDecode";
    return storeDeflated(samples);
}
