#ifndef CONVERTERBITMAP_H
#define CONVERTERBITMAP_H

#include <vector>

#include "NSize.h"
#include "NString.h"
#include "OndraSourceText.h"

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
    // Loads the picture at a UTF-16 path (any name, long paths in the
    // "\\?\" form) without converting it. Returns the GDI+ status: Ok, or
    // why there is no picture (OutOfMemory: too big to be decoded).
    int loadFile(const wchar_t* path);
    // Forgets the picture and its text.
    void clear();
    void convert();
    void createSource();
    void draw(Gdiplus::GpGraphics* graphics);

    // True when the last load produced a picture with pixels.
    bool hasPicture() const;
    // GDI+ status of the format conversion that took effect in the last convert.
    int getConvertStatus() const { return convertStatus; }
    // Frames (animation) or pages (TIFF) of the loaded picture; only the first is converted.
    int getFrameCount() const;
    // True when the loaded picture has pixels that are not fully opaque.
    bool hasTransparency() const;

    // Text without the window's copy in sourceText, for callers that keep the
    // text elsewhere. prepareSource makes the pixels ready: a picture that
    // needs neither scaling nor blending is read as it was loaded (the text
    // is the same as after convert), any other is converted and the loaded
    // picture released. False when the converted picture cannot be created.
    bool prepareSource();
    // The exact length of the text for the prepared pixels under `name`;
    // 0 without pixels.
    unsigned long long sourceLength(const NString& name);
    // Writes that text and a terminating zero to `out` (sourceLength + 1
    // bytes), telling `progress` on the way, and sends it to the debug channel.
    void writeSource(const NString& name, char* out, OndraSourceText::Progress* progress = nullptr);

    // Takes `image` (owned from now on) as the loaded picture, in place of
    // what loadFile read.
    void adoptImage(Gdiplus::GpImage* image);
    // The prepared pixels' 16-bit values, column by column, top to bottom.
    bool sourceValues(std::vector<unsigned short>& values, int& width, int& height);

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
    // Colour (0x00BBGGRR) that convert puts under the picture before drawing
    // it, so transparent pixels take it instead of black; -1 for none.
    int background;

private:
    void releaseImages();
    bool fileExists(const NString& path) const;
    // The bitmap the text is made of.
    Gdiplus::GpBitmap* textImage() const;

    bool loadFailed;
    int convertStatus;
    // The text is read from sourceImage as it was loaded.
    bool readLoaded;
};

#endif
