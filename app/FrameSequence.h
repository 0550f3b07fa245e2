#ifndef FRAMESEQUENCE_H
#define FRAMESEQUENCE_H

#include <string>
#include <vector>

namespace Gdiplus {
class GpImage;
class GpBitmap;
}

// FrameSequence: the frames of an animated GIF or the pages of a multi-page
// TIFF, one after the other, each at the picture's full size and as a viewer
// shows it at that moment. GIF frames are decoded here and composed on one
// canvas (offsets, transparency and the disposal methods 0-3 applied), the
// same way on every GDI+ version; pages and other pictures come from GDI+.
// GDI+ must be started by the caller.
class FrameSequence {
public:
    FrameSequence();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~FrameSequence();

    // Opens the picture at `path` (UTF-16, "\\?\" form allowed); `image` is
    // the same picture as GDI+ loaded it (not owned, used for pages). False
    // when the frames cannot be read.
    bool open(const std::wstring& path, Gdiplus::GpImage* image);
    int getFrameCount() const { return frameCount; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // The display time of frame k in milliseconds (0 for pages).
    unsigned getDelay(int k) const { return delays[static_cast<size_t>(k)]; }
    // Frame k as a new 32-bit ARGB bitmap owned by the caller; frames must
    // be taken in order. Null when GDI+ cannot make the bitmap.
    Gdiplus::GpBitmap* frame(int k);

private:
    struct GifFrame {
        int left, top, width, height;
        int disposal;
        int transparent;  // palette index, -1 for none
        bool interlaced;
        std::vector<unsigned int> palette;
        size_t dataStart;  // first data sub-block, after the LZW code size
        int codeSize;
    };

    bool scanGif();
    bool decodeGif(const GifFrame& frame, std::vector<unsigned char>& indices) const;
    void composeGif(int k);

    Gdiplus::GpImage* image;
    std::vector<unsigned char> bytes;
    std::vector<GifFrame> gifFrames;
    std::vector<unsigned> delays;
    std::vector<unsigned int> canvas;
    std::vector<unsigned int> saved;
    int frameCount;
    int width;
    int height;
};

#endif
