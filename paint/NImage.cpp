#include "NImage.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "NError.h"
#include "NResources.h"

namespace {

// LR_LOADFROMFILE | LR_DEFAULTSIZE
const UINT loadFlags = 0x50;

// The colour that drawing leaves out of `bitmap`: none for -1, pixel (0, 0)
// for -2.
COLORREF keyColour(int transparent, HDC memory)
{
    return transparent == NImage::transparentTopLeft ? GetPixel(memory, 0, 0)
                                                     : static_cast<COLORREF>(transparent);
}

}  // namespace

NImage::NImage()
    : fitToWindow(0),
      picture(nullptr),
      scaled(nullptr),
      visible(false),
      display(),
      stretch(1),
      pictureSize(),
      keepAspect(0),
      transparentColour(transparentNone),
      drawMode(0)
{
}

NImage::~NImage()
{
    release();
}

const char* NImage::getName() const { return getClassName(); }
const char* NImage::getClassName() const { return "NImage"; }

void NImage::deleteScaled()
{
    if (scaled)
        DeleteObject(scaled);
    scaled = nullptr;
}

void NImage::release()
{
    deleteScaled();
    if (picture)
        DeleteObject(picture);
    picture = nullptr;
    pictureSize = NSize();
    visible = false;
}

bool NImage::load(const NString& name, int x, int y, bool show)
{
    const NString path = globalResources.getFile(name);
    release();
    if (!path.isEmpty())
        picture = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, loadFlags));
    if (!picture) {
        globalError.addError(NString("Fehler beim Laden des Bitmap ") + name + "\r\n");
        return false;
    }
    BITMAP info = {};
    GetObjectA(picture, sizeof info, &info);
    pictureSize = NSize(info.bmWidth, info.bmHeight);
    setSize(info.bmWidth, info.bmHeight);
    setPosition(x, y);
    visible = show;
    return true;
}

void NImage::setPosition(int x, int y)
{
    display.x = x;
    display.y = y;
}

void NImage::setSize(int width, int height)
{
    if (stretch && keepAspect) {
        double factor = 1.0;
        if (pictureSize.cx != 0 && pictureSize.cy != 0) {
            const double byWidth = static_cast<double>(width) / pictureSize.cx;
            const double byHeight = static_cast<double>(height) / pictureSize.cy;
            factor = byWidth < byHeight ? byWidth : byHeight;
        }
        const int newWidth = static_cast<int>(std::floor(pictureSize.cx * factor + 0.5));
        const int newHeight = static_cast<int>(std::floor(pictureSize.cy * factor + 0.5));
        // The cached copy stays valid while the size it was made for stays.
        if (newWidth != display.width || newHeight != display.height)
            deleteScaled();
        display.width = newWidth;
        display.height = newHeight;
        return;
    }
    if (display.width == width && display.height == height)
        return;
    display.width = width;
    display.height = height;
    deleteScaled();
    stretch = 1;
}

void NImage::setStretch(bool on)
{
    stretch = on;
    if (!on) {
        display.width = pictureSize.cx;
        display.height = pictureSize.cy;
        deleteScaled();
    }
}

void NImage::setKeepAspect(bool on)
{
    keepAspect = on;
    if (on)
        setSize(display.width, display.height);
}

NRect NImage::getRect(const NRect* area)
{
    if (area && stretch && fitToWindow)
        setSize(area->width, area->height);
    return display;
}

void NImage::draw(HDC dc, HWND window)
{
    if (!visible || !picture || !dc)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;

    RECT client;
    if (stretch && fitToWindow && window && GetClientRect(window, &client) &&
        (client.right != display.width || client.bottom != display.height))
        setSize(client.right, client.bottom);

    // A picture shown at its own size needs no copy.
    const bool scaledSize = display.width != pictureSize.cx || display.height != pictureSize.cy;
    if (stretch && scaledSize && !scaled && display.width > 0 && display.height > 0) {
        scaled = CreateCompatibleBitmap(dc, display.width, display.height);
        HDC source = CreateCompatibleDC(dc);
        if (scaled && source) {
            HGDIOBJ oldTarget = SelectObject(memory, scaled);
            HGDIOBJ oldSource = SelectObject(source, picture);
            // Colour on colour keeps the transparent colour exact; blending
            // would leave a fringe of near-key pixels around it.
            SetStretchBltMode(memory, COLORONCOLOR);
            StretchBlt(memory, 0, 0, display.width, display.height, source, 0, 0,
                       pictureSize.cx, pictureSize.cy, SRCCOPY);
            SelectObject(source, oldSource);
            SelectObject(memory, oldTarget);
        }
        if (source)
            DeleteDC(source);
    }
    if (scaled && (!stretch || !scaledSize))
        deleteScaled();

    HGDIOBJ old = SelectObject(memory, scaled ? scaled : picture);
    if (transparentColour != transparentNone)
        TransparentBlt(dc, display.x, display.y, display.width, display.height, memory, 0, 0,
                       display.width, display.height, keyColour(transparentColour, memory));
    else
        BitBlt(dc, display.x, display.y, display.width, display.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

HICON NImage::createIcon()
{
    if (!picture)
        return nullptr;
    const int width = pictureSize.cx;
    const int height = pictureSize.cy;
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    // A bitmap compatible with a fresh memory context is monochrome.
    HBITMAP mask = CreateCompatibleBitmap(target, width, height);
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);

    HGDIOBJ oldSource = SelectObject(source, picture);
    HGDIOBJ oldTarget = SelectObject(target, mask);
    // Mask bit 1 (screen shows through) exactly where the picture has the
    // transparent colour: a colour-to-monochrome copy turns the background
    // colour into 1 and everything else into 0.
    if (transparentColour == transparentNone) {
        PatBlt(target, 0, 0, width, height, BLACKNESS);
    } else {
        SetBkColor(source, keyColour(transparentColour, source));
        BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
    // The colour part is black under the mask, so that the icon's XOR step
    // leaves the screen as it is there.
    SelectObject(target, colour);
    BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, mask);
    SetTextColor(target, RGB(0, 0, 0));
    SetBkColor(target, RGB(255, 255, 255));
    BitBlt(target, 0, 0, width, height, source, 0, 0, 0x00220326);  // DSna
    SelectObject(target, oldTarget);
    SelectObject(source, oldSource);
    DeleteDC(source);
    DeleteDC(target);

    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}
