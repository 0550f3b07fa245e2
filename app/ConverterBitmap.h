#ifndef CONVERTERBITMAP_H
#define CONVERTERBITMAP_H

#include "NSize.h"
#include "NString.h"

namespace Gdiplus {
class GpImage;
class GpBitmap;
class GpGraphics;
}

// ConverterBitmap loads a picture through GDI+, scales it to targetSize,
// converts it to 16-bit pixels and generates the run-length coded source
// text for the Ondra graphics library. GDI+ must be started by the caller.
class ConverterBitmap {
public:
    // The pixel format the source text is generated for (16 bpp, 5 bits per
    // channel); other formats leave the text untouched.
    static const int sourcePixelFormat = 0x21005;

    ConverterBitmap();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~ConverterBitmap();

    // Loads, converts and generates; a path where no file exists changes nothing.
    void load(const NString& path);
    void convert();
    void createSource();
    void draw(Gdiplus::GpGraphics* graphics);

    // True when the last load produced a picture with pixels.
    bool hasPicture() const;
    // GDI+ status of the format conversion that took effect in the last convert.
    int getConvertStatus() const { return convertStatus; }

    // The 16-bit value written for one pixel given as 32-bit ARGB.
    static unsigned int pixelValue(unsigned int argb);
    // The symbol name used in the text: the file title of `path`.
    static NString symbolName(const NString& path);

    NString sourceText;
    NSize targetSize;
    int ditherType;
    int pixelFormat;
    // The picture as read; a GDI+ bitmap, or a metafile image where GDI+
    // reads vector pictures only as images.
    Gdiplus::GpImage* sourceImage;
    Gdiplus::GpBitmap* convertedImage;
    NString filePath;

private:
    void releaseImages();
    bool fileExists(const NString& path) const;

    bool loadFailed;
    int convertStatus;
};

#endif
