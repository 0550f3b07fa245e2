#include "PictureTransform.h"

#include <windows.h>
#include <gdiplus.h>

#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

PictureTransform::PictureTransform(int background, int rotation, char flip)
    : background(background), rotation(rotation), flip(flip)
{
}

const char* PictureTransform::getName() const { return getClassName(); }
const char* PictureTransform::getClassName() const { return "PictureTransform"; }
PictureTransform::~PictureTransform() {}

void PictureTransform::source(int x, int y, int width, int height, int& sourceX, int& sourceY) const
{
    // The mirror works on the turned picture, whose sides may be swapped.
    const int turnedWidth = swapsSides() ? height : width;
    const int turnedHeight = swapsSides() ? width : height;
    if (flip == 'h')
        x = turnedWidth - 1 - x;
    else if (flip == 'v')
        y = turnedHeight - 1 - y;
    switch (rotation) {
    case 90:
        sourceX = y;
        sourceY = height - 1 - x;
        break;
    case 180:
        sourceX = width - 1 - x;
        sourceY = height - 1 - y;
        break;
    case 270:
        sourceX = width - 1 - y;
        sourceY = x;
        break;
    default:
        sourceX = x;
        sourceY = y;
    }
}

GpBitmap* PictureTransform::apply(GpImage* image) const
{
    UINT w = 0, h = 0;
    if (!image || GdipGetImageWidth(image, &w) != Ok || GdipGetImageHeight(image, &h) != Ok || w == 0 || h == 0 ||
        4ULL * w * h > 0x7FFFFFFF)
        return nullptr;
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    // The picture over its background, at its own size.
    GpBitmap* flat = nullptr;
    GpGraphics* graphics = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &flat) != Ok)
        return nullptr;
    if (GdipGetImageGraphicsContext(flat, &graphics) == Ok) {
        if (background >= 0) {
            const unsigned c = static_cast<unsigned>(background);
            GdipGraphicsClear(graphics, 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
        } else {
            // Transparent pixels keep their alpha for the converter to see.
            GdipSetCompositingMode(graphics, CompositingModeSourceCopy);
        }
        GdipDrawImageRectI(graphics, image, 0, 0, width, height);
        GdipDeleteGraphics(graphics);
    }
    const int outWidth = swapsSides() ? height : width;
    const int outHeight = swapsSides() ? width : height;
    GpBitmap* turned = nullptr;
    BitmapData from = {}, to = {};
    GpRect all(0, 0, width, height), outAll(0, 0, outWidth, outHeight);
    if (GdipCreateBitmapFromScan0(outWidth, outHeight, 0, PixelFormat32bppARGB, nullptr, &turned) != Ok) {
        GdipDisposeImage(flat);
        return nullptr;
    }
    if (GdipBitmapLockBits(flat, &all, ImageLockModeRead, PixelFormat32bppARGB, &from) == Ok) {
        if (GdipBitmapLockBits(turned, &outAll, ImageLockModeWrite, PixelFormat32bppARGB, &to) == Ok) {
            for (int y = 0; y < outHeight; ++y) {
                ARGB* row = reinterpret_cast<ARGB*>(static_cast<BYTE*>(to.Scan0) + static_cast<ptrdiff_t>(y) * to.Stride);
                for (int x = 0; x < outWidth; ++x) {
                    int sx = 0, sy = 0;
                    source(x, y, width, height, sx, sy);
                    row[x] = reinterpret_cast<const ARGB*>(static_cast<const BYTE*>(from.Scan0) +
                                                           static_cast<ptrdiff_t>(sy) * from.Stride)[sx];
                }
            }
            GdipBitmapUnlockBits(turned, &to);
        }
        GdipBitmapUnlockBits(flat, &from);
    }
    GdipDisposeImage(flat);
    return turned;
}
