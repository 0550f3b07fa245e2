#include "ConverterBitmap.h"

#include <windows.h>
#include <gdiplus.h>

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "BitmapColumns.h"
#include "NDebug.h"
#include "NError.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const int pixelFormat32bppARGB = 0x26200A;
const int paletteTypeFixedHalftone256 = 9;
// The longest text sourceText can hold.
const unsigned long long longestText = 0x7FFFFFF0ULL;

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

unsigned readBigEndian(const BYTE* p, int n)
{
    unsigned v = 0;
    for (int i = 0; i < n; ++i)
        v = v << 8 | p[i];
    return v;
}

unsigned readLittleEndian(const BYTE* p, int n)
{
    unsigned v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// The number of pixels a PNG, BMP, GIF or JPEG file announces in its
// header; 0 for other files. Read before GDI+ decodes the picture, since
// some decoders fail badly on pictures beyond 2 GB.
unsigned long long announcedPixels(IStream* stream)
{
    BYTE head[26] = {};
    ULONG got = 0;
    LARGE_INTEGER start = {};
    stream->Read(head, sizeof head, &got);
    unsigned long long w = 0, h = 0;
    if (got >= 24 && memcmp(head, "\x89PNG\r\n\x1A\n", 8) == 0) {
        w = readBigEndian(head + 16, 4);
        h = readBigEndian(head + 20, 4);
    } else if (got >= 26 && head[0] == 'B' && head[1] == 'M') {
        const bool core = readLittleEndian(head + 14, 4) == 12;
        w = core ? readLittleEndian(head + 18, 2) : readLittleEndian(head + 18, 4);
        const int height = static_cast<int>(core ? readLittleEndian(head + 20, 2) : readLittleEndian(head + 22, 4));
        h = static_cast<unsigned long long>(height < 0 ? -static_cast<long long>(height) : height);
    } else if (got >= 10 && memcmp(head, "GIF8", 4) == 0) {
        w = readLittleEndian(head + 6, 2);
        h = readLittleEndian(head + 8, 2);
    } else if (got >= 4 && head[0] == 0xFF && head[1] == 0xD8) {
        // Segments up to the frame header, which holds height and width.
        LARGE_INTEGER at = {};
        at.QuadPart = 2;
        BYTE segment[9];
        for (int i = 0; i < 1000; ++i) {
            if (FAILED(stream->Seek(at, STREAM_SEEK_SET, nullptr)) || FAILED(stream->Read(segment, 9, &got)) ||
                got < 9 || segment[0] != 0xFF)
                break;
            const BYTE marker = segment[1];
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                h = readBigEndian(segment + 5, 2);
                w = readBigEndian(segment + 7, 2);
                break;
            }
            at.QuadPart += 2 + readBigEndian(segment + 2, 2);
        }
    }
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return w * h;
}

}  // namespace

ConverterBitmap::ConverterBitmap()
    : ditherType(0),
      pixelFormat(sourcePixelFormat),
      sourceImage(nullptr),
      convertedImage(nullptr),
      background(-1),
      loadFailed(false),
      convertStatus(0),
      readLoaded(false)
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
    int wideLength = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    std::vector<WCHAR> widePath(wideLength > 0 ? wideLength : 1, 0);
    MultiByteToWideChar(CP_ACP, 0, path, -1, widePath.data(), wideLength);
    loadFile(widePath.data());
    filePath = path;
    convert();
    createSource();
}

int ConverterBitmap::loadFile(const wchar_t* path)
{
    releaseImages();
    readLoaded = false;
    // Through a stream of our own, which takes every path CreateFileW takes.
    IStream* stream = nullptr;
    GpStatus status = Win32Error;
    if (SUCCEEDED(SHCreateStreamOnFileEx(path, STGM_READ | STGM_SHARE_DENY_WRITE, FILE_ATTRIBUTE_NORMAL, FALSE,
                                         nullptr, &stream))) {
        GpBitmap* bitmap = nullptr;
        // GDI+ keeps a bitmap's size in 32 bits.
        status = announcedPixels(stream) > 0x7FFFFFFF / 4 ? OutOfMemory : GdipCreateBitmapFromStream(stream, &bitmap);
        if (status == Ok && bitmap) {
            sourceImage = bitmap;
        } else if (status != OutOfMemory) {
            // Some GDI+ versions read metafiles (WMF, EMF) only as images.
            GpImage* image = nullptr;
            LARGE_INTEGER start = {};
            stream->Seek(start, STREAM_SEEK_SET, nullptr);
            if (GdipLoadImageFromStream(stream, &image) == Ok && image) {
                sourceImage = image;
                status = Ok;
            }
        }
        // GDI+ holds its own reference while it needs the stream.
        stream->Release();
    }
    loadFailed = sourceImage == nullptr;
    return loadFailed && status == Ok ? GenericError : status;
}

void ConverterBitmap::adoptImage(GpImage* image)
{
    releaseImages();
    sourceImage = image;
    loadFailed = image == nullptr;
    readLoaded = false;
}

bool ConverterBitmap::sourceValues(std::vector<unsigned short>& values, int& width, int& height)
{
    BitmapColumns columns(textImage());
    width = columns.getWidth();
    height = columns.getHeight();
    if (width <= 0 || height <= 0)
        return false;
    const size_t h = static_cast<size_t>(height);
    values.resize(static_cast<size_t>(width) * h);
    for (int x = 0; x < width; ++x) {
        const unsigned short* column = columns.column(x);
        std::copy(column, column + h, values.begin() + static_cast<ptrdiff_t>(static_cast<size_t>(x) * h));
    }
    return true;
}

void ConverterBitmap::clear()
{
    releaseImages();
    loadFailed = false;
    readLoaded = false;
    sourceText = "";
    filePath = "";
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

    // GDI+ keeps a bitmap's size in 32 bits; some versions do not check it.
    GpBitmap* bitmap = nullptr;
    const long long bytes = 4LL * width * height;
    if (bytes <= 0x7FFFFFFF && GdipCreateBitmapFromScan0(width, height, 0, pixelFormat32bppARGB, nullptr, &bitmap) == Ok)
        convertedImage = bitmap;

    GpGraphics* graphics = nullptr;
    if (convertedImage && sourceImage &&
        GdipGetImageGraphicsContext(convertedImage, &graphics) == Ok) {
        if (background >= 0) {
            const unsigned c = static_cast<unsigned>(background);
            GdipGraphicsClear(graphics, 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
        }
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

GpBitmap* ConverterBitmap::textImage() const
{
    return readLoaded ? static_cast<GpBitmap*>(sourceImage) : convertedImage;
}

int ConverterBitmap::getFrameCount() const
{
    UINT dimensions = 0;
    if (!sourceImage || GdipImageGetFrameDimensionsCount(sourceImage, &dimensions) != Ok || dimensions == 0)
        return 1;
    std::vector<GUID> ids(dimensions);
    UINT frames = 0;
    if (GdipImageGetFrameDimensionsList(sourceImage, ids.data(), dimensions) != Ok ||
        GdipImageGetFrameCount(sourceImage, &ids[0], &frames) != Ok || frames == 0)
        return 1;
    return static_cast<int>(frames);
}

bool ConverterBitmap::hasTransparency() const
{
    ImageType type = ImageTypeUnknown;
    if (!sourceImage || GdipGetImageType(sourceImage, &type) != Ok || type != ImageTypeBitmap)
        return false;
    return BitmapColumns(static_cast<GpBitmap*>(sourceImage)).hasTransparency();
}

bool ConverterBitmap::prepareSource()
{
    readLoaded = false;
    ImageType type = ImageTypeUnknown;
    const int width = imageWidth(sourceImage);
    const int height = imageHeight(sourceImage);
    const bool ownSize = (targetSize.cx == 0 || targetSize.cx == width) &&
                         (targetSize.cy == 0 || targetSize.cy == height);
    // Drawing a fully opaque bitmap at its own size onto the empty 32-bit
    // picture copies it, and the conversion keeps the top five bits of each
    // channel: the very values the generator takes from the loaded picture.
    if (sourceImage && ownSize && pixelFormat == sourcePixelFormat &&
        GdipGetImageType(sourceImage, &type) == Ok && type == ImageTypeBitmap && !hasTransparency()) {
        targetSize.set(width, height);
        readLoaded = true;
        convertStatus = Ok;
        globalDebug.printf("ConverterBitmap::convert(..) status = %d", static_cast<int>(Ok));
        return true;
    }
    convert();
    GdipDisposeImage(sourceImage);
    sourceImage = nullptr;
    return imageWidth(convertedImage) == targetSize.cx && imageHeight(convertedImage) == targetSize.cy;
}

unsigned long long ConverterBitmap::sourceLength(const NString& name)
{
    BitmapColumns columns(textImage());
    if (pixelFormat != sourcePixelFormat || columns.getWidth() <= 0 || columns.getHeight() <= 0)
        return 0;
    return OndraSourceText(name, columns.getWidth(), columns.getHeight()).measure(columns);
}

void ConverterBitmap::writeSource(const NString& name, char* out, OndraSourceText::Progress* progress)
{
    BitmapColumns columns(textImage());
    char* end = OndraSourceText(name, columns.getWidth(), columns.getHeight()).write(columns, out, progress);
    *end = 0;
    globalDebug.sendLine(out);
}

void ConverterBitmap::createSource()
{
    if (pixelFormat != sourcePixelFormat)
        return;
    const NString name = symbolName(filePath);
    const unsigned long long length = sourceLength(name);
    // Without pixels (nothing was read) the text stays empty rather than
    // describing no pixels; so it does when it would not fit into a string.
    if (length == 0 || length > longestText) {
        sourceText = "";
        return;
    }
    char* text = new (std::nothrow) char[static_cast<size_t>(length) + 1];
    if (!text) {
        sourceText = "";
        globalError.addError(NString("Zu wenig Speicher f\xFCr den Quelltext des Bildes ") + filePath);
        return;
    }
    writeSource(name, text);
    sourceText.set(text, static_cast<int>(length));
    delete[] text;
}

void ConverterBitmap::draw(GpGraphics* graphics)
{
    if (!convertedImage || !graphics)
        return;
    GdipDrawImageRectI(graphics, convertedImage, 0, 0, imageWidth(convertedImage),
                       imageHeight(convertedImage));
}
