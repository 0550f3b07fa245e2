#include "BitmapColumns.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>

#include "ConverterBitmap.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// Columns read per strip: wide strips keep reading the rows cheap, a strip
// stays a few megabytes; always whole bytes of a 1-bit picture.
int stripColumnsFor(int height)
{
    const int columns = static_cast<int>((32u << 20) / (2u * static_cast<unsigned>(std::max(1, height))));
    return std::max(64, std::min(512, columns - columns % 64));
}
const PixelFormat formatARGB = PixelFormat32bppARGB;

// The palette of an indexed bitmap; empty when there is none.
std::vector<ARGB> paletteOf(GpBitmap* bitmap)
{
    INT size = 0;
    if (GdipGetImagePaletteSize(bitmap, &size) != Ok || size < static_cast<INT>(sizeof(ColorPalette)))
        return {};
    std::vector<BYTE> block(static_cast<size_t>(size));
    ColorPalette* palette = reinterpret_cast<ColorPalette*>(block.data());
    if (GdipGetImagePalette(bitmap, palette, size) != Ok)
        return {};
    return std::vector<ARGB>(palette->Entries, palette->Entries + palette->Count);
}

}  // namespace

BitmapColumns::BitmapColumns(GpBitmap* bitmap)
    : bitmap(bitmap),
      width(0),
      height(0),
      format(0),
      layout(argb),
      indexBits(0),
      stripStart(0),
      stripWidth(0),
      wholeTried(false)
{
    UINT w = 0, h = 0;
    PixelFormat f = 0;
    if (bitmap && GdipGetImageWidth(bitmap, &w) == Ok && GdipGetImageHeight(bitmap, &h) == Ok) {
        width = static_cast<int>(w);
        height = static_cast<int>(h);
    }
    if (bitmap)
        GdipGetImagePixelFormat(bitmap, &f);
    format = static_cast<int>(f);
    if (format == ConverterBitmap::sourcePixelFormat) {
        layout = rgb555;
    } else if (format == PixelFormat24bppRGB) {
        layout = rgb24;
    } else if (format == PixelFormat32bppRGB) {
        layout = rgb32;
    } else if (format == PixelFormat1bppIndexed || format == PixelFormat4bppIndexed ||
               format == PixelFormat8bppIndexed) {
        const std::vector<ARGB> palette = paletteOf(bitmap);
        indexBits = static_cast<int>(GetPixelFormatSize(f));
        paletteValues.assign(static_cast<size_t>(1) << indexBits, 0);
        for (size_t i = 0; i < palette.size() && i < paletteValues.size(); ++i)
            paletteValues[i] = static_cast<unsigned short>(ConverterBitmap::pixelValue(palette[i]));
        layout = palette.empty() ? argb : indexed;
    }
}

const char* BitmapColumns::getName() const { return getClassName(); }
const char* BitmapColumns::getClassName() const { return "BitmapColumns"; }
BitmapColumns::~BitmapColumns()
{
    if (whole)
        GdipBitmapUnlockBits(bitmap, whole.get());
}

const unsigned short* BitmapColumns::column(int x)
{
    if (strip.empty() || x < stripStart || x >= stripStart + stripWidth)
        readStrip(x);
    return &strip[static_cast<size_t>(x - stripStart) * static_cast<size_t>(height)];
}

void BitmapColumns::readStrip(int x)
{
    const int columns = stripColumnsFor(height);
    stripStart = x - x % columns;
    stripWidth = std::min(columns, width - stripStart);
    strip.resize(static_cast<size_t>(stripWidth) * static_cast<size_t>(height));
    // A format read as stored is locked once, as a whole: GDI+ then hands
    // out the stored pixels. Any other is converted a strip at a time, which
    // keeps the converted copy small.
    BitmapData data = {};
    bool stripLocked = false;
    if (layout != argb || format == PixelFormat32bppARGB) {
        if (!wholeTried) {
            wholeTried = true;
            whole.reset(new BitmapData());
            GpRect all(0, 0, width, height);
            if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, static_cast<PixelFormat>(format), whole.get()) != Ok)
                whole.reset();
        }
        if (!whole) {
            readPixelByPixel();
            return;
        }
        data = *whole;
        const size_t bits = static_cast<size_t>(stripStart) * GetPixelFormatSize(static_cast<PixelFormat>(format));
        data.Scan0 = static_cast<BYTE*>(data.Scan0) + bits / 8;
    } else {
        GpRect rect(stripStart, 0, stripWidth, height);
        if (GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, formatARGB, &data) != Ok) {
            readPixelByPixel();
            return;
        }
        stripLocked = true;
    }
    switch (layout) {
    case rgb555:
        // 5 bits per channel as stored; the text keeps green in bits 10-6.
        transpose(data, [](const BYTE* row, int i) {
            const unsigned w = reinterpret_cast<const UINT16*>(row)[i];
            return (((w >> 10) & 31) << 11) + (((w >> 5) & 31) << 6) + (w & 31);
        });
        break;
    case rgb24:
        transpose(data, [](const BYTE* row, int i) {
            const BYTE* p = row + 3 * i;
            return ConverterBitmap::pixelValue(0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]);
        });
        break;
    case rgb32:
        transpose(data, [](const BYTE* row, int i) {
            return ConverterBitmap::pixelValue(0xFF000000u | reinterpret_cast<const ARGB*>(row)[i]);
        });
        break;
    case indexed: {
        // The strip starts on a byte: 64 columns are whole bytes at any depth.
        const int bits = indexBits;
        const unsigned mask = (1u << bits) - 1;
        const unsigned short* values = paletteValues.data();
        transpose(data, [bits, mask, values](const BYTE* row, int i) {
            const int bit = i * bits;
            return static_cast<unsigned>(values[(row[bit >> 3] >> (8 - bits - (bit & 7))) & mask]);
        });
        break;
    }
    case argb:
        transpose(data, [](const BYTE* row, int i) {
            return ConverterBitmap::pixelValue(reinterpret_cast<const ARGB*>(row)[i]);
        });
        break;
    }
    if (stripLocked)
        GdipBitmapUnlockBits(bitmap, &data);
}

template <class Value>
void BitmapColumns::transpose(const Gdiplus::BitmapData& data, Value value)
{
    const size_t h = static_cast<size_t>(height);
    for (int y = 0; y < height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        unsigned short* out = &strip[static_cast<size_t>(y)];
        for (int i = 0; i < stripWidth; ++i, out += h)
            *out = static_cast<unsigned short>(value(row, i));
    }
}

void BitmapColumns::readPixelByPixel()
{
    for (int i = 0; i < stripWidth; ++i)
        for (int y = 0; y < height; ++y) {
            ARGB c = 0;
            GdipBitmapGetPixel(bitmap, stripStart + i, y, &c);
            strip[static_cast<size_t>(i) * static_cast<size_t>(height) + static_cast<size_t>(y)] =
                static_cast<unsigned short>(ConverterBitmap::pixelValue(c));
        }
}

bool BitmapColumns::hasTransparency() const
{
    if (!(format & (PixelFormatAlpha | PixelFormatPAlpha | PixelFormatIndexed)))
        return false;
    if (format & PixelFormatIndexed) {
        const std::vector<ARGB> palette = paletteOf(bitmap);
        if (std::none_of(palette.begin(), palette.end(), [](ARGB c) { return (c >> 24) != 0xFF; }))
            return false;
    }
    // Bands of rows as 32-bit ARGB, a few megabytes each.
    const int bandRows = std::max(1, (1 << 20) / std::max(1, width));
    for (int top = 0; top < height; top += bandRows) {
        GpRect rect(0, top, width, std::min(bandRows, height - top));
        BitmapData data = {};
        if (GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, formatARGB, &data) != Ok)
            return true;
        bool seen = false;
        for (int y = 0; y < rect.Height && !seen; ++y) {
            const ARGB* row = reinterpret_cast<const ARGB*>(static_cast<const BYTE*>(data.Scan0) +
                                                            static_cast<ptrdiff_t>(y) * data.Stride);
            seen = std::any_of(row, row + width, [](ARGB c) { return (c >> 24) != 0xFF; });
        }
        GdipBitmapUnlockBits(bitmap, &data);
        if (seen)
            return true;
    }
    return false;
}
