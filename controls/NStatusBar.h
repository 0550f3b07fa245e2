#ifndef NEK_NSTATUSBAR_H
#define NEK_NSTATUSBAR_H

#include "NControlLoaded.h"

// NStatusBar: the status bar along the bottom of a frame window. Clicks on
// its parts reach onClick here and the frame's onStatusBarClick.
class NStatusBar : public NControlLoaded {
public:
    NStatusBar();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NStatusBar() override;
    LRESULT onReflect(int code, NMHDR* header) override;
    void afterCreate() override;

    // A click on a part; true when handled.
    virtual bool onClick(int part);

    // The parts' widths separated by "," (-1: to the bar's end); fewer than
    // two: one simple part.
    void setParts(const NString& widths);
    // In simple mode the one part gets the text, whatever part is given.
    void setText(int part, const NString& text, int flags = 0);
    NString getText(int part);
    void setTipText(int part, const NString& text);
    bool isSimple() const { return simple; }

private:
    bool simple;
};

#endif
