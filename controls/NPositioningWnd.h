#ifndef NEK_NPOSITIONINGWND_H
#define NEK_NPOSITIONINGWND_H

#include "NWindow.h"

class NControlPositioned;

// NPositioningWnd: the run-time layouter's overlay on one control: a
// transparent child window of the control's size with eight grab handles.
// Dragging inside moves the control, dragging a handle resizes it, live and
// snapped to a 10-pixel grid (left Shift: free). On save it writes the
// control's rectangle to the layout file.
class NPositioningWnd : public NWindow {
public:
    // dragMode values: nothing, the body; the handles are 2 to 9.
    enum { dragNone = 0, dragMove = 1, firstHandle = 2, lastHandle = 9 };
    static constexpr COLORREF idleColour = 0xFF0000;
    static constexpr COLORREF hoverColour = 0x00FF00;

    NPositioningWnd();
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NPositioningWnd() override;
    void onLButtonDown(int keys, int x, int y) override;
    void onPaint(NPainter& painter) override;
    void onMouseMove(int keys, int x, int y) override;
    void onLButtonUp(int keys, int x, int y) override;
    void onMouseLeave() override;
    void onPreCreateWindow() override;

    void attach(NControlPositioned* target);
    // 1 for the body, 2 to 9 for the handles clockwise from the top left.
    int hitTest(const NPoint& point);
    // In the overlay's client coordinates.
    NRect getHandleRect(int handle);
    // The layout file's key of the control: its class and programmed rectangle.
    NString getLayoutKey() const;

    int handleWidth;
    int handleHeight;
    int grid;
    COLORREF frameColour;
    COLORREF fillColour;
    NRect programmedRect;
    NPoint startPoint;
    NRect startRect;
    int dragMode;
    NControlPositioned* control;
    int hovering;

private:
    void dragStep(const NPoint& point);
    int snap(int value) const;
    void updateCursor(const NPoint& point);
    NSize currentSize();
};

#endif
