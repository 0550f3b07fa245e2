#ifndef NEK_NIMAGE_H
#define NEK_NIMAGE_H

#include "NRect.h"
#include "NSize.h"
#include "NString.h"

struct HDC__;
typedef struct HDC__* HDC;
struct HWND__;
typedef struct HWND__* HWND;
struct HBITMAP__;
typedef struct HBITMAP__* HBITMAP;
struct HICON__;
typedef struct HICON__* HICON;

// NImage: a bitmap picture found through the resource manager and shown at
// a position in a window, stretched to a display size (optionally keeping
// its proportions or following the window's client size) and optionally
// with one colour left transparent. The stretched copy is cached and made
// again only when the display size changes.
class NImage {
public:
    // Transparent colour values besides a colour: none, the top-left pixel.
    static const int transparentNone = -1;
    static const int transparentTopLeft = -2;

    NImage();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NImage();

    // Loads the resource file `name`; on failure the image is empty and a
    // log entry names the file.
    bool load(const NString& name, int x = 0, int y = 0, bool visible = true);
    void release();
    bool isLoaded() const { return picture != nullptr; }

    void setPosition(int x, int y);
    void setSize(int width, int height);
    void setStretch(bool on);
    bool isStretched() const { return stretch != 0; }
    void setKeepAspect(bool on);
    bool getKeepAspect() const { return keepAspect != 0; }
    void setFitToWindow(bool on) { fitToWindow = on; }
    bool getFitToWindow() const { return fitToWindow != 0; }
    void setTransparentColor(int colour) { transparentColour = colour; }
    int getTransparentColor() const { return transparentColour; }
    void setVisible(bool on) { visible = on; }
    void hide() { visible = false; }
    bool isVisible() const { return visible; }
    // The display rectangle; with stretch and fit to window the size is
    // first recomputed for `area` (its width and height).
    NRect getRect(const NRect* area = nullptr);
    NSize getPictureSize() const { return pictureSize; }
    // Draw mode of a window's background picture: 0 as is, other stretched.
    void setDrawMode(int mode) { drawMode = mode; }
    int getDrawMode() const { return drawMode; }

    // Draws onto dc at the display rectangle; window (may be null) gives the
    // client size for fit to window.
    void draw(HDC dc, HWND window = nullptr);
    // An icon of the picture, the transparent colour masked out.
    HICON createIcon();
    HBITMAP getBitmap() const { return picture; }
    bool hasScaledCopy() const { return scaled != nullptr; }

private:
    NImage(const NImage&) = delete;
    NImage& operator=(const NImage&) = delete;
    void deleteScaled();

    int fitToWindow;
    HBITMAP picture;
    HBITMAP scaled;
    bool visible;
    NRect display;
    int stretch;
    NSize pictureSize;
    int keepAspect;
    int transparentColour;
    int drawMode;
};

#endif
