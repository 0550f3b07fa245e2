#ifndef BITMAPCOLUMNS_H
#define BITMAPCOLUMNS_H

#include <memory>
#include <vector>

#include "OndraSourceText.h"

namespace Gdiplus {
class GpBitmap;
struct BitmapData;
}

// BitmapColumns: the 16-bit values of a GDI+ bitmap for the source text,
// column by column. Columns are read in strips, so that walking down a
// column stays in the cache. The formats pictures arrive in (16-bit 5-5-5,
// 24 and 32 bits, palettes) are read as they are stored; any other through
// GDI+ as 32-bit ARGB. Where a strip cannot be locked, pixels are read one by one.
class BitmapColumns : public OndraSourceText::Columns {
public:
    explicit BitmapColumns(Gdiplus::GpBitmap* bitmap);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    ~BitmapColumns() override;

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const unsigned short* column(int x) override;

    // True when some pixel is not fully opaque.
    bool hasTransparency() const;

private:
    enum Layout { argb, rgb555, rgb24, rgb32, indexed };

    void readStrip(int x);
    // Stores value(row, i) of every pixel of the locked strip column by column.
    template <class Value>
    void transpose(const Gdiplus::BitmapData& data, Value value);
    void readPixelByPixel();

    Gdiplus::GpBitmap* bitmap;
    int width;
    int height;
    int format;
    Layout layout;
    int indexBits;
    std::vector<unsigned short> paletteValues;
    int stripStart;
    int stripWidth;
    std::vector<unsigned short> strip;
    // The whole bitmap, locked in its own format on first use.
    std::unique_ptr<Gdiplus::BitmapData> whole;
    bool wholeTried;
};

#endif
