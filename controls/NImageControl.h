#ifndef NEK_NIMAGECONTROL_H
#define NEK_NIMAGECONTROL_H

#include "NControlPositioned.h"

// NImageControl: a picture in a control of its own, aligned inside it,
// optionally clickable (hand cursor, WM_COMMAND to the parent).
class NImageControl : public NControlPositioned {
public:
    // alignment bits: horizontal right / centre, vertical bottom / centre.
    enum { alignRight = 0x400, alignCenterX = 0x200, alignBottom = 0x4, alignCenterY = 0x2 };

    NImageControl();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NImageControl() override;
    void onLButtonDown(int keys, int x, int y) override;
    void onMouseMove(int keys, int x, int y) override;
    void onPaint(NPainter& painter) override;
    LRESULT onEraseBackground(NPainter& painter) override;
    void onSize(int sizeType, int width, int height) override;

    bool setImage(const NString& file);
    void setDrawMode(int mode);
    void setTransparentColour(int value);

    int clickable;
    NPoint clickPoint;
    NImage image;
    int alignment;
    int backColour;

private:
    void updateOffset();
};

#endif
