#include "ConverterBitmap.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "NDebug.h"
#include "NError.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const int pixelFormat32bppARGB = 0x26200A;
const int paletteTypeFixedHalftone256 = 9;
// Columns read per lock: a strip this narrow stays in the cache while it is
// read column by column.
const int stripColumns = 16;

int imageWidth(GpImage* image)
{
    UINT w = 0;
    if (!image || GdipGetImageWidth(image, &w) != Ok)
        return 0;
    return static_cast<int>(w);
}

int imageHeight(GpImage* image)
{
    UINT h = 0;
    if (!image || GdipGetImageHeight(image, &h) != Ok)
        return 0;
    return static_cast<int>(h);
}

// Not every import library exports the in-place conversion (the 32-bit
// mingw one lacks it), so it is looked up in the loaded gdiplus.dll.
typedef GpStatus(WINGDIPAPI* ConvertFormatFunction)(GpBitmap*, PixelFormat, DitherType, PaletteType,
                                                     ColorPalette*, REAL);

GpStatus convertInPlace(GpBitmap* bitmap, PixelFormat format, DitherType dither, PaletteType palette)
{
    HMODULE module = GetModuleHandleW(L"gdiplus.dll");
    FARPROC address = module ? GetProcAddress(module, "GdipBitmapConvertFormat") : nullptr;
    if (!address)
        return NotImplemented;
    ConvertFormatFunction function = reinterpret_cast<ConvertFormatFunction>(reinterpret_cast<void*>(address));
    return function(bitmap, format, dither, palette, nullptr, 0.0f);
}

void replaceAll(std::string& text, const std::string& what, const std::string& with)
{
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + with.size()))
        text.replace(pos, what.size(), with);
}

// Appends "0x%04X, " for v.
inline void appendValue(std::string& out, unsigned int v)
{
    static const char hex[] = "0123456789ABCDEF";
    char text[8] = {'0', 'x', hex[(v >> 12) & 15], hex[(v >> 8) & 15],
                    hex[(v >> 4) & 15], hex[v & 15], ',', ' '};
    out.append(text, 8);
}

// The run-length coder: a pending value and its count, carried across columns.
class RunCoder {
public:
    explicit RunCoder(std::string& out) : out(out) {}

    void add(unsigned int v)
    {
        if (first) {
            pending = v;
            count = 1;
            first = false;
        } else if (v == pending && count <= 254) {
            ++count;
        } else {
            emit();
            pending = v;
            count = 1;
        }
    }

    void emit()
    {
        if (count != 1)
            appendValue(out, (static_cast<unsigned int>(count) << 8) + 0x30);
        appendValue(out, pending);
    }

private:
    std::string& out;
    unsigned int pending = 0;
    int count = 0;
    bool first = true;
};

// Reads the pixels of `bitmap` column by column, in strips, as the 16-bit
// values of the source text. A picture in the 16-bit format is read as it is
// stored: GDI+ widens each 5-bit channel to 8 bits keeping its top bits, so
// the value can be taken from the stored word directly. Other formats are
// read as 32-bit ARGB. Where the bitmap cannot be locked, pixels are read
// one by one through GDI+.
class ColumnReader {
public:
    ColumnReader(GpBitmap* bitmap, int width, int height)
        : bitmap(bitmap), width(width), height(height)
    {
        PixelFormat format = 0;
        native = GdipGetImagePixelFormat(bitmap, &format) == Ok &&
                 format == static_cast<PixelFormat>(ConverterBitmap::sourcePixelFormat);
    }

    // Makes the strip holding column x available.
    void select(int x)
    {
        if (locked && x < stripStart + stripWidth)
            return;
        stripStart = x;
        stripWidth = std::min(stripColumns, width - x);
        GpRect rect(stripStart, 0, stripWidth, height);
        BitmapData data = {};
        const PixelFormat lockFormat =
            native ? static_cast<PixelFormat>(ConverterBitmap::sourcePixelFormat) : pixelFormat32bppARGB;
        locked = GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, lockFormat, &data) == Ok;
        if (!locked)
            return;
        strip.resize(static_cast<size_t>(stripWidth) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y) {
            const BYTE* row = static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
            for (int i = 0; i < stripWidth; ++i) {
                unsigned int value;
                if (native) {
                    const unsigned int w = reinterpret_cast<const UINT16*>(row)[i];
                    value = (((w >> 10) & 31) << 11) + (((w >> 5) & 31) << 6) + (w & 31);
                } else {
                    value = ConverterBitmap::pixelValue(reinterpret_cast<const ARGB*>(row)[i]);
                }
                strip[static_cast<size_t>(i) * static_cast<size_t>(height) + y] = static_cast<UINT16>(value);
            }
        }
        GdipBitmapUnlockBits(bitmap, &data);
    }

    unsigned int value(int x, int y) const
    {
        if (locked)
            return strip[static_cast<size_t>(x - stripStart) * static_cast<size_t>(height) + y];
        ARGB c = 0;
        GdipBitmapGetPixel(bitmap, x, y, &c);
        return ConverterBitmap::pixelValue(c);
    }

private:
    GpBitmap* bitmap;
    int width;
    int height;
    bool native = false;
    bool locked = false;
    int stripStart = 0;
    int stripWidth = 0;
    std::vector<UINT16> strip;
};

}  // namespace

ConverterBitmap::ConverterBitmap()
    : ditherType(0),
      pixelFormat(sourcePixelFormat),
      sourceImage(nullptr),
      convertedImage(nullptr),
      loadFailed(false),
      convertStatus(0)
{
}

const char* ConverterBitmap::getName() const { return getClassName(); }
const char* ConverterBitmap::getClassName() const { return "ConverterBitmap"; }

ConverterBitmap::~ConverterBitmap() { releaseImages(); }

void ConverterBitmap::releaseImages()
{
    if (sourceImage)
        GdipDisposeImage(sourceImage);
    if (convertedImage)
        GdipDisposeImage(convertedImage);
    sourceImage = nullptr;
    convertedImage = nullptr;
}

bool ConverterBitmap::fileExists(const NString& path) const
{
    // Wildcards would let the search find some other file.
    if (path.isEmpty() || path.find("*") >= 0 || path.find("?") >= 0)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path, &found);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void ConverterBitmap::load(const NString& path)
{
    if (!fileExists(path))
        return;
    releaseImages();
    filePath = path;

    int wideLength = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    std::vector<WCHAR> widePath(wideLength > 0 ? wideLength : 1, 0);
    MultiByteToWideChar(CP_ACP, 0, path, -1, widePath.data(), wideLength);

    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(widePath.data(), &bitmap) == Ok && bitmap) {
        sourceImage = bitmap;
    } else {
        // Some GDI+ versions read metafiles (WMF, EMF) only as images.
        GpImage* image = nullptr;
        if (GdipLoadImageFromFile(widePath.data(), &image) == Ok && image)
            sourceImage = image;
    }
    loadFailed = sourceImage == nullptr;
    convert();
    createSource();
}

void ConverterBitmap::convert()
{
    // Without a picture there is nothing to convert, except after a failed
    // load: then the empty picture's failing conversion is logged below.
    if (!sourceImage && !loadFailed)
        return;
    if (convertedImage) {
        GdipDisposeImage(convertedImage);
        convertedImage = nullptr;
    }
    if (targetSize.cx == 0)
        targetSize.cx = imageWidth(sourceImage);
    if (targetSize.cy == 0)
        targetSize.cy = imageHeight(sourceImage);
    const int width = targetSize.cx;
    const int height = targetSize.cy;

    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, pixelFormat32bppARGB, nullptr, &bitmap) == Ok)
        convertedImage = bitmap;

    GpGraphics* graphics = nullptr;
    if (convertedImage && sourceImage &&
        GdipGetImageGraphicsContext(convertedImage, &graphics) == Ok) {
        GdipDrawImageRectI(graphics, sourceImage, 0, 0, width, height);
        GdipDeleteGraphics(graphics);
    }

    GpStatus status = convertInPlace(convertedImage, static_cast<PixelFormat>(pixelFormat),
                                     static_cast<DitherType>(ditherType),
                                     static_cast<PaletteType>(paletteTypeFixedHalftone256));
    if (status == NotImplemented) {
        // GDI+ without in-place conversion: a converting copy of the whole
        // picture gives the same pixels.
        GpBitmap* copy = nullptr;
        status = GdipCloneBitmapAreaI(0, 0, width, height, static_cast<PixelFormat>(pixelFormat),
                                      convertedImage, &copy);
        if (status == Ok && copy) {
            GdipDisposeImage(convertedImage);
            convertedImage = copy;
        }
    }
    convertStatus = status;
    globalDebug.printf("ConverterBitmap::convert(..) status = %d", static_cast<int>(status));
}

bool ConverterBitmap::hasPicture() const
{
    return imageWidth(convertedImage) > 0 && imageHeight(convertedImage) > 0;
}

unsigned int ConverterBitmap::pixelValue(unsigned int c)
{
    if (c == 0x00000400)
        return 0x0020;
    unsigned int r = ((c >> 16) & 0xF8) >> 3;
    unsigned int g = ((c >> 8) & 0xF8) >> 3;
    unsigned int b = (c & 0xF8) >> 3;
    return (r << 11) + (g << 6) + b;
}

NString ConverterBitmap::symbolName(const NString& path)
{
    // File title as a path split gives it: after the last separator (or
    // drive colon), before the last dot of the name.
    int start = 0;
    for (int i = path.getLength() - 1; i >= 0; --i) {
        char c = path.getAt(i);
        if (c == '\\' || c == '/' || c == ':') {
            start = i + 1;
            break;
        }
    }
    NString name = path.mid(start);
    int dot = name.findLastChar('.');
    return dot >= 0 ? name.left(dot) : name;
}

void ConverterBitmap::createSource()
{
    if (pixelFormat != sourcePixelFormat)
        return;
    const int width = imageWidth(convertedImage);
    const int height = imageHeight(convertedImage);
    if (width <= 0 || height <= 0) {
        // Nothing was read: an empty text rather than one for no pixels.
        sourceText = "";
        return;
    }
    const std::string name(symbolName(filePath).getBuffer());

    // Each pixel costs at most eight characters (a run of two is a marker
    // and a value); every line adds its two tabs and CR LF.
    const unsigned long long pixels =
        static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
    const unsigned long long bound = pixels * 8 + (static_cast<unsigned long long>(width) + 1) * 4 +
                                     64 + 8 * name.size() + 512;
    if (bound > 0x7FFFFFF0ULL) {
        // The text would not fit into a string; generate none.
        sourceText = "";
        return;
    }

    std::string text;
    try {
        // Reserving the bound up to a limit saves most copies of a growing text
        // without asking for gigabytes that a noisy picture would never fill.
        text.reserve(static_cast<size_t>(std::min<unsigned long long>(bound, 256ULL << 20)));
        text += "#ifndef _bmp" + name + "_\r\n#define _bmp" + name + "_\r\n\r\n// header \r\n#define bmp" +
                name + "\t((BitmapHeader*)_bmp_" + name + ")\r\n\r\n#ifndef MyAppCpp\r\n\textern uint16_t _bmp_" +
                name + "[];\r\n//cpp\r\n#else\r\n";
        text += "\tconst color_t _bmp_data_" + name + "[] = {\r\n";

        RunCoder coder(text);
        ColumnReader reader(convertedImage, width, height);
        for (int x = 0; x < width; ++x) {
            reader.select(x);
            text += "\t\t";
            for (int y = 0; y < height; ++y)
                coder.add(reader.value(x, y));
            text += "\r\n";
        }
        text += "\t\t";
        coder.emit();
        text += "\r\n";
        // The comma after the very last value goes.
        text.erase(text.size() - 4, 1);
        text += "\r\n\t};\r\n";

        std::string tail = "\tconst color_t* _bmp_frames_" + name + "[] = {_bmp_data_" + name +
                           "};\r\n\tBitmapHeader _bmp_" + name +
                           " = { 'b', %frames%, %width%, %height% , _bmp_frames_" + name +
                           " };\r\n#endif\r\n#endif\r\n";
        replaceAll(tail, "%frames%", "1");
        replaceAll(tail, "%width%", std::to_string(width));
        replaceAll(tail, "%height%", std::to_string(height));
        text += tail;
    } catch (const std::bad_alloc&) {
        sourceText = "";
        globalError.addError(NString("Zu wenig Speicher f\xFCr den Quelltext des Bildes ") + filePath);
        return;
    }
    sourceText.set(text.data(), static_cast<int>(text.size()));
    globalDebug.sendLine(sourceText);
}

void ConverterBitmap::draw(GpGraphics* graphics)
{
    if (!convertedImage || !graphics)
        return;
    GdipDrawImageRectI(graphics, convertedImage, 0, 0, imageWidth(convertedImage),
                       imageHeight(convertedImage));
}
