#ifndef NEK_NIMAGELIST_H
#define NEK_NIMAGELIST_H

#include "NString.h"

struct _IMAGELIST;
typedef struct _IMAGELIST* HIMAGELIST;
struct HBITMAP__;
typedef struct HBITMAP__* HBITMAP;

// NImageList: owner of one Win32 image list, filled from bitmap files found
// through the resource manager, with an optional mask.
class NImageList {
public:
    // Mask name that takes the colour of the top-left pixel as mask colour.
    static const char* const maskTopLeft;

    NImageList();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NImageList();

    // Destroys a list that exists and creates a new one with these arguments.
    bool create(int width, int height, unsigned int flags, int initialCount, int growCount);
    // The index of the added picture, -1 when its file cannot be loaded.
    int add(const NString& name, const NString& maskName = NString());
    int add(HBITMAP bitmap, HBITMAP mask);
    int getCount() const;
    HIMAGELIST getHandle() const { return list; }

private:
    NImageList(const NImageList&) = delete;
    NImageList& operator=(const NImageList&) = delete;

    HIMAGELIST list;
};

#endif
