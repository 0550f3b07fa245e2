#ifndef NEK_NCOOLBAR_H
#define NEK_NCOOLBAR_H

#include <windows.h>
#include <commctrl.h>

#include "NControlLoaded.h"

// NCoolbar: a rebar across the top of a frame window holding its toolbar or
// menu bar as a band.
class NCoolbar : public NControlLoaded {
public:
    NCoolbar();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NCoolbar() override;
    void afterCreate() override;

    // Puts the control into a band and reserves the bar's height at the top
    // of the parent.
    bool addBand(NWindow* control, const NString& text);

private:
    REBARBANDINFOA band;
    NString bandText;
};

#endif
