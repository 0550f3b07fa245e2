#ifndef NEK_NFRAMEWINDOW_H
#define NEK_NFRAMEWINDOW_H

#include "NCoolbar.h"
#include "NImageControl.h"
#include "NMenubar.h"
#include "NScrollBar.h"
#include "NStatusBar.h"
#include "NToolbar.h"
#include "NWindow.h"

// NFrameWindow: the top-level window of an application. It takes its icons
// from the resource manager, remembers position, size and maximized state
// per class in the user configuration file, keeps its minimum size, runs
// the event table, hands owner-draw and colour requests to the controls,
// creates the declared controls on first show, lays out its bars, and in
// development mode offers the run-time layouter through its logo and
// Scroll Lock.
class NFrameWindow : public NWindow {
public:
    NFrameWindow();
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NFrameWindow() override;
    void onMouseMove(int keys, int x, int y) override;
    bool onClose() override;
    void onPreCreateWindow() override;

    virtual bool onStatusBarClick(int part);
    virtual bool onStatusBarRClick(int part);
    virtual bool onStatusBarDblClick(int part);

    // The bars, each created once on first request.
    NToolbar& createToolbar();
    NMenubar& createMenubar();
    NStatusBar& createStatusBar();
    void createScrollBars(bool horizontal, bool vertical);
    void layoutBars();

    void startPositioning();
    void endPositioning();
    bool isPositioning() const { return positioning != 0; }

    NString bigIconName;
    NString smallIconName;
    int savePosition;
    NToolbar toolbar;
    NCoolbar coolbar;
    NMenubar menubar;
    int dragFlags;
    NImageControl logo;
    int showLogo;
    HICON bigIcon;
    HICON smallIcon;
    NScrollBar hScroll;
    NScrollBar vScroll;
    NStatusBar statusBar;

protected:
    void onLogo();

private:
    void resizeSteps();
    void createDeclaredControls();
    void createLogo();
    void saveWindowPosition();
};

#endif
