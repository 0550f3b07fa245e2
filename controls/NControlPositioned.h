#ifndef NEK_NCONTROLPOSITIONED_H
#define NEK_NCONTROLPOSITIONED_H

#include "NControl.h"

class NPositioningWnd;

// NControlPositioned: a control created at a programmed rectangle whose
// negative values count from the parent's right and bottom edges. A layout
// stored for it in controlpos.ini replaces the programmed rectangle, the
// anchor keeps it at the parent's edges, and the run-time layouter can
// move and resize it.
class NControlPositioned : public NControl {
public:
    // A width or height argument that keeps the control's default size.
    static const int defaultSize = -2000000000;

    NControlPositioned();
    // Refused: controls are created with createCtrl.
    bool create(NWindow* parent = nullptr) override;
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NControlPositioned() override;

    // Returns the control id, 0 when the window could not be created.
    // autoAnchor: the anchor follows the edges the control is near.
    virtual int createCtrl(NWindow* parent, const NString& name, int x, int y,
                           int width = defaultSize, int height = defaultSize,
                           bool autoAnchor = true);
    virtual int createCtrlRect(NWindow* parent, const NString& name, const NRect& r,
                               bool autoAnchor = true);
    virtual void beginPositioning();
    virtual void endPositioning();
    virtual void afterCreate();
    virtual void beforeCreate();

    // The stored layout for this control in its parent's section, applied
    // with clamping into the parent's client area.
    void applyStoredLayout();

    int positionable;
    NRect programmedRect;
    NPositioningWnd* overlay;
};

#endif
