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

    virtual bool onClick(int part);

    // Part widths separated by ","; fewer than two: one simple part.
    void setParts(const NString& widths);
    void setText(int part, const NString& text, int flags = 0);
    void setTipText(int part, const NString& text);
    bool isSimple() const { return simple; }

private:
    bool simple;
};

#endif
