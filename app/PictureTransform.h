#ifndef PICTURETRANSFORM_H
#define PICTURETRANSFORM_H

namespace Gdiplus {
class GpImage;
class GpBitmap;
}

// PictureTransform: puts a picture over its background colour, then turns
// it clockwise by 0, 90, 180 or 270 degrees and mirrors the result left to
// right ('h') or top to bottom ('v'). The pixels are moved here, the same
// on every GDI+ version.
class PictureTransform {
public:
    // `background` as 0x00BBGGRR or -1 (transparent pixels stay as they are).
    PictureTransform(int background, int rotation, char flip);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~PictureTransform();

    // A new 32-bit ARGB bitmap (owned by the caller) of `image` at its own
    // size, transformed; null when GDI+ cannot make it.
    Gdiplus::GpBitmap* apply(Gdiplus::GpImage* image) const;
    // Where the result's pixel (x, y) comes from in a width x height picture.
    void source(int x, int y, int width, int height, int& sourceX, int& sourceY) const;
    bool swapsSides() const { return rotation == 90 || rotation == 270; }

private:
    int background;
    int rotation;
    char flip;
};

#endif
