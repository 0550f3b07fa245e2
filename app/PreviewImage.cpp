#include "PreviewImage.h"

#include <windows.h>
#include <gdiplus.h>

#include <new>

#include "OutputFile.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

bool pngEncoder(CLSID& clsid)
{
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok || size == 0)
        return false;
    std::vector<BYTE> block(size);
    ImageCodecInfo* codecs = reinterpret_cast<ImageCodecInfo*>(block.data());
    if (GdipGetImageEncoders(count, size, codecs) != Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
        if (codecs[i].MimeType && std::wstring(codecs[i].MimeType) == L"image/png") {
            clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

}  // namespace

PreviewImage::PreviewImage(int width, int height, int frames)
    : width(width),
      height(height),
      frames(frames)
{
    // GDI+ takes no bitmap beyond 2 GB; a smaller one may still not fit here.
    const unsigned long long pixels = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(frames) *
                                      static_cast<unsigned long long>(height);
    if (pixels * 4 <= 0x7FFFFFFF)
        strip.reset(new (std::nothrow) unsigned int[static_cast<size_t>(pixels)]);
}

const char* PreviewImage::getName() const { return getClassName(); }
const char* PreviewImage::getClassName() const { return "PreviewImage"; }
PreviewImage::~PreviewImage() {}

unsigned int PreviewImage::colour(unsigned int value)
{
    // Red in bits 15-11, green in 10-6, blue in 4-0; bit 5 carries no colour.
    const unsigned r = (value >> 11) & 31, g = (value >> 6) & 31, b = value & 31;
    auto widen = [](unsigned c) { return (c << 3) | (c >> 2); };
    return 0xFF000000u | widen(r) << 16 | widen(g) << 8 | widen(b);
}

void PreviewImage::setFrame(int k, const std::vector<unsigned short>& values)
{
    if (!strip)
        return;
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(frames);
    for (size_t y = 0; y < static_cast<size_t>(height); ++y)
        for (size_t x = 0; x < static_cast<size_t>(width); ++x)
            strip[y * stride + static_cast<size_t>(k) * static_cast<size_t>(width) + x] =
                colour(values[y * static_cast<size_t>(width) + x]);
}

unsigned int PreviewImage::pixel(int x, int y) const
{
    if (!strip)
        return 0;
    return strip[static_cast<size_t>(y) * static_cast<size_t>(width) * static_cast<size_t>(frames) +
                 static_cast<size_t>(x)];
}

bool PreviewImage::save(const std::wstring& path, std::wstring& problem) const
{
    const unsigned long long stripWidth = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(frames);
    // GDI+ keeps a bitmap's size and stride in 32 bits.
    if (stripWidth * 4 * static_cast<unsigned long long>(height) > 0x7FFFFFFF || stripWidth * 4 > 0x7FFFFFFF) {
        problem = L"das Vorschaubild ist zu gro\xDF f\xFC" L"r GDI+";
        return false;
    }
    if (!strip) {
        problem = L"zu wenig Speicher f\xFC" L"r das Vorschaubild";
        return false;
    }
    CLSID png = {};
    if (!pngEncoder(png)) {
        problem = L"GDI+ hat keinen PNG-Encoder";
        return false;
    }
    GpBitmap* bitmap = nullptr;
    const INT stride = static_cast<INT>(stripWidth * 4);
    if (GdipCreateBitmapFromScan0(static_cast<INT>(stripWidth), height, stride, PixelFormat32bppARGB,
                                  reinterpret_cast<BYTE*>(strip.get()), &bitmap) != Ok) {
        problem = L"GDI+ kann das Vorschaubild nicht anlegen";
        return false;
    }
    // Encoded in memory first, so that the file is written in one piece.
    IStream* stream = nullptr;
    GpStatus status = GenericError;
    if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        status = GdipSaveImageToStream(bitmap, stream, &png, nullptr);
    GdipDisposeImage(bitmap);
    bool saved = false;
    HGLOBAL memory = nullptr;
    STATSTG info = {};
    if (status == Ok && SUCCEEDED(GetHGlobalFromStream(stream, &memory)) &&
        SUCCEEDED(stream->Stat(&info, STATFLAG_NONAME))) {
        const char* bytes = static_cast<const char*>(GlobalLock(memory));
        OutputFile file(path, bytes);
        saved = bytes && file.open() && file.finish(bytes + info.cbSize.QuadPart);
        if (bytes)
            GlobalUnlock(memory);
        if (!saved)
            problem = L"Fehlernummer " + std::to_wstring(file.getError());
    } else {
        problem = L"GDI+ kann kein PNG schreiben (Status " + std::to_wstring(static_cast<int>(status)) + L")";
    }
    if (stream)
        stream->Release();
    return saved;
}
