#ifndef NEK_NPDFIMAGE_H
#define NEK_NPDFIMAGE_H

#include "NString.h"

#include <cstddef>
#include <string>
#include <vector>

// NPdfImage: a PNG, JPEG or BMP picture prepared as a PDF 1.3 image XObject:
// the entries of its dictionary and its stream bytes, already encoded.
//
// JPEG (baseline, extended and progressive; grey, YCbCr/RGB, CMYK): the file
//   is the stream as it is (/DCTDecode). A CMYK file with Adobe's APP14
//   marker stores inverted values: /Decode [1 0 1 0 1 0 1 0].
// PNG: a non-interlaced grey, RGB or palette picture of up to 8 bits without
//   an alpha channel keeps its IDAT data (/FlateDecode with the PNG
//   predictor); everything else is decoded and deflated again:
//   - Adam7 interlacing is undone;
//   - 16-bit samples are cut to their high byte (PDF 1.3 knows 8 at most);
//   - PDF 1.3 has no soft masks, so an alpha channel, and partly transparent
//     palette entries, are painted over white. A tRNS colour key (grey, RGB)
//     or a single fully transparent palette entry becomes a /Mask colour-key
//     array instead, which keeps those pixels really transparent.
// BMP: BITMAPCOREHEADER, BITMAPINFOHEADER, V4 and V5; 1/4/8-bit palette
//   pictures become /Indexed, 16/24/32-bit ones DeviceRGB (BI_RGB and
//   BI_BITFIELDS; an alpha mask of a V4/V5 header is painted over white),
//   bottom-up and top-down, RLE8 and RLE4 too, deflated.
// Pictures with more than 30 million pixels or a side over 65535 are
// refused before anything is allocated for them.
class NPdfImage {
public:
    NPdfImage();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPdfImage();

    bool load(const NString& path);   // PNG, JPEG or BMP, recognised by content; false: getError()
    bool loadMemory(const void* data, size_t size, const NString& nameForMessages);
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // Entries of the image XObject dictionary except /Type /Subtype /Length.
    const NString& getDictionary() const { return dictionary; }
    // Stream bytes, encoded as the dictionary's /Filter says.
    const std::string& getData() const { return data; }
    const NString& getError() const { return error; }
    // Same stored picture (data and dictionary) -> same key.
    const NString& getKey() const { return key; }

private:
    bool parse(const unsigned char* bytes, size_t size);
    bool parsePng(const unsigned char* bytes, size_t size);
    bool parseJpeg(const unsigned char* bytes, size_t size);
    bool parseBmp(const unsigned char* bytes, size_t size);
    bool decodeRle(const unsigned char* pixels, size_t size, unsigned bitCount,
                   std::vector<unsigned char>& indices) const;
    bool fail(const char* reason);
    bool checkSize(long long w, long long h);
    // Deflates samples (rows without padding) into data.
    bool storeDeflated(const std::vector<unsigned char>& samples);
    void clear();

    int width;
    int height;
    NString dictionary;
    std::string data;
    NString error;
    NString key;
    NString operation;   // "load" or "loadMemory", for messages
    NString fileName;
};

#endif
