#ifndef NEK_NSCROLLBAR_H
#define NEK_NSCROLLBAR_H

#include "NControlLoaded.h"

// NScrollBar: a separate horizontal or vertical scroll bar of a frame
// window, driven by the window's scroll state.
class NScrollBar : public NControlLoaded {
public:
    explicit NScrollBar(bool vertical = false);
    const char* getName() const override;
    const char* getClassName() const override;
    ~NScrollBar() override;
    void afterCreate() override;

    bool isVertical() const { return vertical; }

private:
    bool vertical;
};

#endif
