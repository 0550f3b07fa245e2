#include "NImageList.h"

#include <windows.h>
#include <commctrl.h>

#include "NError.h"
#include "NResources.h"

namespace {

// LR_LOADFROMFILE | LR_DEFAULTSIZE
const UINT loadFlags = 0x50;

HBITMAP loadBitmap(const NString& name)
{
    const NString path = globalResources.getFile(name);
    if (path.isEmpty())
        return nullptr;
    return static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, loadFlags));
}

COLORREF topLeftColour(HBITMAP bitmap)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF colour = GetPixel(memory, 0, 0);
    SelectObject(memory, old);
    DeleteDC(memory);
    return colour;
}

}  // namespace

const char* const NImageList::maskTopLeft = "MASK_TOPLEFT";

NImageList::NImageList() : list(nullptr) {}

NImageList::~NImageList()
{
    if (list)
        ImageList_Destroy(list);
}

const char* NImageList::getName() const { return getClassName(); }
const char* NImageList::getClassName() const { return "NImageList"; }

bool NImageList::create(int width, int height, unsigned int flags, int initialCount,
                        int growCount)
{
    if (list)
        ImageList_Destroy(list);
    list = ImageList_Create(width, height, flags, initialCount, growCount);
    return list != nullptr;
}

int NImageList::add(const NString& name, const NString& maskName)
{
    HBITMAP bitmap = loadBitmap(name);
    if (!bitmap) {
        globalError.messageBox(
            NString("NImageList.add(..): Fehler beim Laden des Bitmaps\r\n") + name + "\r\n", 0,
            "Fehler !", MB_ICONERROR);
        return -1;
    }
    int index;
    if (maskName == maskTopLeft) {
        index = ImageList_AddMasked(list, bitmap, topLeftColour(bitmap));
    } else if (maskName.isEmpty()) {
        index = ImageList_Add(list, bitmap, nullptr);
    } else {
        // A mask that cannot be loaded goes in as no mask.
        HBITMAP mask = loadBitmap(maskName);
        index = ImageList_Add(list, bitmap, mask);
        if (mask)
            DeleteObject(mask);
    }
    DeleteObject(bitmap);
    return index;
}

int NImageList::add(HBITMAP bitmap, HBITMAP mask)
{
    return ImageList_Add(list, bitmap, mask);
}

int NImageList::getCount() const
{
    return list ? ImageList_GetImageCount(list) : 0;
}
