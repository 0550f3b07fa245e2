#include "FrameSequence.h"

#include "NWidePath.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const unsigned int transparentPixel = 0;
// More is not read for a GIF: GDI+ could not hold its frames either.
const unsigned long long longestGif = 0x40000000ULL;

unsigned little16(const std::vector<unsigned char>& b, size_t at) { return b[at] | b[at + 1] << 8; }

// The row a GIF's n-th stored row goes to; interlaced pictures store every
// 8th row from 0, every 8th from 4, every 4th from 2, then every 2nd from 1.
int interlacedRow(int n, int height)
{
    const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = height > starts[pass] ? (height - starts[pass] + steps[pass] - 1) / steps[pass] : 0;
        if (n < rows)
            return starts[pass] + n * steps[pass];
        n -= rows;
    }
    return 0;
}

}  // namespace

FrameSequence::FrameSequence() : image(nullptr), frameCount(0), width(0), height(0) {}

const char* FrameSequence::getName() const { return getClassName(); }
const char* FrameSequence::getClassName() const { return "FrameSequence"; }
FrameSequence::~FrameSequence() {}

bool FrameSequence::open(const std::wstring& path, GpImage* loaded)
{
    image = loaded;
    gifFrames.clear();
    delays.clear();
    frameCount = width = height = 0;
    BYTE head[6] = {};
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, head, sizeof head, &got, nullptr);
        CloseHandle(file);
    }
    if (got == sizeof head && memcmp(head, "GIF8", 4) == 0)
        return NWidePath::readWholeFile(path, longestGif, bytes) && scanGif();

    bytes.clear();
    UINT dimensions = 0;
    GUID dimension = {};
    UINT count = 1;
    if (image && GdipImageGetFrameDimensionsCount(image, &dimensions) == Ok && dimensions > 0) {
        std::vector<GUID> ids(dimensions);
        if (GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) == Ok) {
            dimension = ids[0];
            if (GdipImageGetFrameCount(image, &dimension, &count) != Ok || count == 0)
                count = 1;
        }
    }
    UINT w = 0, h = 0;
    if (!image || GdipImageSelectActiveFrame(image, &dimension, 0) != Ok || GdipGetImageWidth(image, &w) != Ok ||
        GdipGetImageHeight(image, &h) != Ok || w == 0 || h == 0)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    frameCount = static_cast<int>(count);
    // Pages have no display time; an animation that GDI+ reads gives its own.
    delays.assign(count, 0);
    UINT size = 0;
    if (GdipGetPropertyItemSize(image, PropertyTagFrameDelay, &size) == Ok && size >= sizeof(PropertyItem)) {
        std::vector<BYTE> block(size);
        PropertyItem* item = reinterpret_cast<PropertyItem*>(block.data());
        if (GdipGetPropertyItem(image, PropertyTagFrameDelay, size, item) == Ok)
            for (UINT k = 0; k < count && (k + 1) * 4 <= item->length; ++k)
                delays[k] = 10u * static_cast<unsigned>(static_cast<const LONG*>(item->value)[k]);
    }
    return true;
}

bool FrameSequence::scanGif()
{
    const std::vector<unsigned char>& b = bytes;
    if (b.size() < 13)
        return false;
    width = static_cast<int>(little16(b, 6));
    height = static_cast<int>(little16(b, 8));
    size_t at = 13;
    std::vector<unsigned int> globalPalette;
    auto readPalette = [&](unsigned flags, std::vector<unsigned int>& palette) {
        const size_t entries = flags & 0x80 ? size_t(2) << (flags & 7) : 0;
        for (size_t i = 0; i < entries && at + 3 <= b.size(); ++i, at += 3)
            palette.push_back(0xFF000000u | b[at] << 16 | b[at + 1] << 8 | b[at + 2]);
    };
    auto skipBlocks = [&] {
        while (at < b.size()) {
            const size_t n = b[at++];
            if (n == 0)
                break;
            at += n;
        }
    };
    readPalette(b[10], globalPalette);
    int disposal = 0, transparent = -1;
    unsigned delay = 0;
    while (at < b.size()) {
        const unsigned char kind = b[at++];
        if (kind == 0x21 && at < b.size()) {
            const unsigned char label = b[at++];
            if (label == 0xF9 && at + 5 <= b.size() && b[at] >= 4) {
                const unsigned packed = b[at + 1];
                delay = little16(b, at + 2);
                disposal = static_cast<int>((packed >> 2) & 7);
                transparent = packed & 1 ? b[at + 4] : -1;
            }
            skipBlocks();
        } else if (kind == 0x2C && at + 10 <= b.size()) {
            GifFrame f;
            f.left = static_cast<int>(little16(b, at));
            f.top = static_cast<int>(little16(b, at + 2));
            f.width = static_cast<int>(little16(b, at + 4));
            f.height = static_cast<int>(little16(b, at + 6));
            const unsigned packed = b[at + 8];
            f.interlaced = (packed & 0x40) != 0;
            at += 9;
            readPalette(packed, f.palette);
            if (f.palette.empty())
                f.palette = globalPalette;
            f.disposal = disposal;
            f.transparent = transparent;
            // A frame larger than any bitmap GDI+ could hold is damage.
            if (4ULL * static_cast<unsigned>(f.width) * static_cast<unsigned>(f.height) > 0x7FFFFFFFULL)
                break;
            f.codeSize = at < b.size() ? b[at] : 0;
            f.dataStart = ++at;
            skipBlocks();
            gifFrames.push_back(f);
            // Display time in 1/100 s.
            delays.push_back(10u * delay);
            disposal = 0;
            transparent = -1;
            delay = 0;
        } else {
            break;  // the trailer 0x3B, or the rest is damaged
        }
    }
    frameCount = static_cast<int>(gifFrames.size());
    return frameCount > 0 && width > 0 && height > 0 && 4ULL * static_cast<unsigned>(width) * static_cast<unsigned>(height) <= 0x7FFFFFFFULL;
}

// LZW as GIF uses it: variable code width up to 12 bits, clear and end codes.
// A damaged stream leaves the rest of the frame at index 0 (or transparent).
bool FrameSequence::decodeGif(const GifFrame& f, std::vector<unsigned char>& indices) const
{
    const size_t total = static_cast<size_t>(f.width) * static_cast<size_t>(f.height);
    indices.assign(total, static_cast<unsigned char>(f.transparent >= 0 ? f.transparent : 0));
    const int minimum = f.codeSize;
    if (minimum < 1 || minimum > 11)
        return false;
    const std::vector<unsigned char>& b = bytes;
    const unsigned clear = 1u << minimum, endCode = clear + 1;
    std::vector<unsigned short> prefix(4096);
    std::vector<unsigned char> suffix(4096), stack(4097);
    for (unsigned i = 0; i < clear; ++i)
        suffix[i] = static_cast<unsigned char>(i);
    unsigned size = static_cast<unsigned>(minimum) + 1, next = endCode + 1;
    int previous = -1;
    unsigned first = 0;
    size_t at = f.dataStart, blockLeft = 0, out = 0;
    unsigned long bits = 0;
    unsigned bitCount = 0;
    while (out < total) {
        while (bitCount < size) {
            if (blockLeft == 0) {
                if (at >= b.size() || b[at] == 0)
                    return true;
                blockLeft = b[at++];
            }
            if (at >= b.size())
                return true;
            bits |= static_cast<unsigned long>(b[at++]) << bitCount;
            bitCount += 8;
            --blockLeft;
        }
        unsigned code = static_cast<unsigned>(bits & ((1ul << size) - 1));
        bits >>= size;
        bitCount -= size;
        if (code == clear) {
            size = static_cast<unsigned>(minimum) + 1;
            next = endCode + 1;
            previous = -1;
            continue;
        }
        if (code == endCode)
            return true;
        if (previous < 0) {
            if (code >= clear)
                return true;
            indices[out++] = static_cast<unsigned char>(code);
            previous = static_cast<int>(code);
            first = code;
            continue;
        }
        const unsigned in = code;
        size_t depth = 0;
        if (code >= next) {
            if (code > next)
                return true;
            stack[depth++] = static_cast<unsigned char>(first);
            code = static_cast<unsigned>(previous);
        }
        while (code >= clear && depth < 4096) {
            stack[depth++] = suffix[code];
            code = prefix[code];
        }
        first = code;
        stack[depth++] = static_cast<unsigned char>(first);
        while (depth > 0 && out < total)
            indices[out++] = stack[--depth];
        if (next < 4096) {
            prefix[next] = static_cast<unsigned short>(previous);
            suffix[next] = static_cast<unsigned char>(first);
            ++next;
            if (next == (1u << size) && size < 12)
                ++size;
        }
        previous = static_cast<int>(in);
    }
    return true;
}

// Frame k on the canvas: first the previous frame's disposal (2: its area
// becomes transparent, as viewers show it; 3: the canvas as it was before
// it), then this frame's opaque pixels.
void FrameSequence::composeGif(int k)
{
    const size_t w = static_cast<size_t>(width);
    if (k == 0) {
        canvas.assign(w * static_cast<size_t>(height), transparentPixel);
    } else {
        const GifFrame& last = gifFrames[static_cast<size_t>(k - 1)];
        if (last.disposal == 2) {
            for (int y = std::max(0, last.top); y < std::min(height, last.top + last.height); ++y)
                for (int x = std::max(0, last.left); x < std::min(width, last.left + last.width); ++x)
                    canvas[static_cast<size_t>(y) * w + static_cast<size_t>(x)] = transparentPixel;
        } else if (last.disposal == 3 && saved.size() == canvas.size()) {
            canvas = saved;
        }
    }
    const GifFrame& f = gifFrames[static_cast<size_t>(k)];
    if (f.disposal == 3)
        saved = canvas;
    std::vector<unsigned char> indices;
    decodeGif(f, indices);
    for (int n = 0; n < f.height; ++n) {
        const int y = f.top + (f.interlaced ? interlacedRow(n, f.height) : n);
        if (y < 0 || y >= height)
            continue;
        for (int i = 0; i < f.width; ++i) {
            const int x = f.left + i;
            const unsigned index = indices[static_cast<size_t>(n) * static_cast<size_t>(f.width) + static_cast<size_t>(i)];
            if (x >= width || static_cast<int>(index) == f.transparent || index >= f.palette.size())
                continue;
            canvas[static_cast<size_t>(y) * w + static_cast<size_t>(x)] = f.palette[index];
        }
    }
}

GpBitmap* FrameSequence::frame(int k)
{
    GpBitmap* bitmap = nullptr;
    if (k < 0 || k >= frameCount ||
        GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok)
        return nullptr;
    if (!gifFrames.empty()) {
        composeGif(k);
        BitmapData data = {};
        GpRect all(0, 0, width, height);
        if (GdipBitmapLockBits(bitmap, &all, ImageLockModeWrite, PixelFormat32bppARGB, &data) == Ok) {
            for (int y = 0; y < height; ++y)
                memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                       &canvas[static_cast<size_t>(y) * static_cast<size_t>(width)], static_cast<size_t>(width) * 4);
            GdipBitmapUnlockBits(bitmap, &data);
        }
        return bitmap;
    }
    // A page at its own size from the top left corner, its pixels copied as they are.
    UINT dimensions = 0;
    GpGraphics* graphics = nullptr;
    if (GdipImageGetFrameDimensionsCount(image, &dimensions) == Ok && dimensions > 0) {
        std::vector<GUID> ids(dimensions);
        if (GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) == Ok)
            GdipImageSelectActiveFrame(image, &ids[0], static_cast<UINT>(k));
    }
    UINT w = 0, h = 0;
    GdipGetImageWidth(image, &w);
    GdipGetImageHeight(image, &h);
    if (GdipGetImageGraphicsContext(bitmap, &graphics) == Ok) {
        GdipSetCompositingMode(graphics, CompositingModeSourceCopy);
        GdipDrawImageRectI(graphics, image, 0, 0, static_cast<INT>(w), static_cast<INT>(h));
        GdipDeleteGraphics(graphics);
    }
    return bitmap;
}
