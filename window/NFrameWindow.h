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
    // The library maker's web page, opened from the logo.
    static const char* const webAddress;
    // Commands of the logo menu.
    enum { logoPositioning = 0x50, logoPositioningOff = 0x70, logoInfo = 0x3F, logoWeb = 0x77 };
    // The first declared control stands at firstDeclared, x, y; the next ones
    // follow to the right and wrap to a new row once x passes declaredWrapX.
    enum { firstDeclared = 20, declaredStepX = 100, declaredStepY = 40, declaredWrapX = 750 };

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

    // The bars, each created once on first request; the frame must exist.
    // The toolbar and the menu bar go into the coolbar as bands.
    NToolbar& createToolbar();
    NMenubar& createMenubar();
    NStatusBar& createStatusBar();
    void createScrollBars(bool horizontal, bool vertical);
    // Insets from the visible bars, the scroll bars along the free client area.
    void layoutBars();

    // Asks first when the window's size differs from its creation size.
    void startPositioning();
    // Writes every control's rectangle to the layout file and saves it.
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
    // The logo's click: the web page, or in development mode the logo menu.
    void onLogo();

private:
    void resizeSteps();
    void firstShow();
    void createDeclaredControls();
    void createLogo();
    // The toolbar or the menu bar as a band of the coolbar, made first.
    void addBar(NToolbar& bar);
    void saveWindowPosition();
    void runEventTable(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onStatusBarNotify(int code, NMHDR* header, bool& handled);
    void openWebPage();
    HICON loadIcon(const NString& name, HICON previous);
};

#endif
