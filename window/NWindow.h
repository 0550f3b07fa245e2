#ifndef NEK_NWINDOW_H
#define NEK_NWINDOW_H

#include <windows.h>

#include <string>
#include <vector>

#include "NAnchor.h"
#include "NDevice.h"
#include "NImage.h"
#include "NPointerList.h"
#include "NRect.h"
#include "NScroll.h"
#include "NSize.h"
#include "NString.h"
#include "NStringList.h"

class NToolTip;
class NWindow;

// Private messages of the library's windows.
#define NEK_MSG_CTLCOLOR 0x4401          // colour request to a control: wParam dc, lParam control
#define NEK_MSG_DRAWITEM 0x4403          // owner-draw request to a control: lParam DRAWITEMSTRUCT*
#define NEK_MSG_REFLECT 0x4404           // WM_COMMAND/WM_NOTIFY reflected: wParam id, lParam NMHDR*
#define NEK_MSG_PARENT_MOUSEMOVE 0x4472  // the parent's WM_MOUSEMOVE, relayed to its children
#define NEK_MSG_POSITIONING_START 0x4450
#define NEK_MSG_POSITIONING_END 0x4451
#define NEK_MSG_POSITIONING_SAVE 0x4453  // lParam: the layout section name (const char*)
#define NEK_MSG_DEFAULT_BUTTON 0x4490    // lParam: control id of the new default button
#define NEK_MSG_CLICK_BUTTON 0x4491      // lParam: control id, or 0 for the default button

// One handler of a window's event table: a member function without
// arguments, called when a message (and control id and notification code,
// 0 = any) matches. Evaluated by the frame window.
struct EventEntry {
    typedef void (NWindow::*Handler)();
    UINT message;
    int id;
    int code;
    NWindow* target;
    Handler handler;
};

// NWindow: one Win32 window and everything needed to create it later, so a
// window object is a plain member of its owner, configured first and
// created on demand. Messages reach the object through the application's
// shared window procedure and are unpacked here, once, into the virtual
// handlers; a derived window overrides the handlers it needs. Misuse is
// reported in German through the error log and never stops the program.
class NWindow {
public:
    // windowType values.
    enum { typePlain = 0, typeControl = 1, typePositioned = 3 };
    // modalFlags bits.
    enum { modalRunning = 1, modalInside = 2, modalParentDisabled = 4, modalParentHidden = 8 };

    NWindow();

    // --- virtual operations; the order of these slots is part of the design ----
    virtual bool create(NWindow* parent = nullptr);
    virtual int messageBox(const NString& text, const NString& caption, unsigned int type = 0);
    virtual void setWindowText(const NString& text);
    virtual void destroy();
    virtual int showModal(bool hideParent = false);
    virtual void onParentSize(const NSize& parentClientSize);
    // handled: the message needs no default processing; result: the value so
    // far. Returns the value for Windows.
    virtual LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                              bool handled = false, LRESULT result = 0);
    virtual NSize getClientSize();
    virtual bool onAccelerator(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NWindow();
    virtual bool onKeyDown(wchar_t character, signed char scanCode, int virtualKey,
                           bool firstPress);
    virtual void onLButtonDown(int keys, int x, int y);
    virtual void onPaint(NPainter& painter);
    virtual void initDefaults();
    virtual void onCreate(CREATESTRUCTA* creation);
    virtual void onCommand(int id, HWND control, int code);
    virtual void onFirstShow();
    virtual void onMouseMove(int keys, int x, int y);
    virtual void onTimer(LPARAM tick);
    virtual bool onClose();
    virtual void onPaintBackground(NPainter& painter);
    virtual LRESULT onNotify(int id, HWND source, int code, NMHDR* header);
    virtual LRESULT onEraseBackground(NPainter& painter);
    virtual void onLButtonUp(int keys, int x, int y);
    virtual void onMouseLeave();
    virtual void onMouseHover(int keys);
    virtual void onLButtonDblClk(int keys, int x, int y);
    virtual void onPreCreateWindow();
    virtual void onWatchedMessage(HWND watched, UINT message, WPARAM wParam, LPARAM lParam,
                                  LPARAM userValue);
    virtual void onRButtonUp(int keys, int x, int y);
    virtual void onRButtonDown(int keys, int x, int y);
    virtual void onRButtonDblClk(int keys, int x, int y);
    virtual void onSetFocus(HWND previous);
    virtual void onSize(int sizeType, int width, int height);
    virtual void onSizing(int edge, RECT* rect);
    virtual void onVScroll();
    virtual bool onHelp(HELPINFO* help);
    virtual void onHScroll();
    virtual bool onChar(wchar_t character, signed char scanCode, int characterCode,
                        bool previousKeyState);
    virtual LRESULT onToolTipNotify(int code, NMHDR* header);
    virtual const char* getToolTipText();
    virtual bool createWindow(NWindow* parent);
    virtual bool onMouseWheel(int keys, int delta, int x, int y);
    virtual bool onContextMenu(int x, int y);
    virtual void onShow();
    virtual void onHide();
    virtual void paintTo(NPainter& painter);
    virtual void onDestroy();
    virtual void onKillFocus(HWND next);
    virtual void onMButtonDblClk(int keys, int x, int y);
    virtual void onMButtonDown(int keys, int x, int y);
    virtual void onMButtonUp(int keys, int x, int y);
    virtual bool onNcPaint(NPainter& painter);
    // Files dropped on a window whose exStyle has WS_EX_ACCEPTFILES: their
    // full paths in the order given, and the drop point in client coordinates.
    virtual void onDropFiles(NStringList& files, const NPoint& point);

    // --- services (those marked "any time" also work before creation) ------------
    // any time
    void show(int command = SW_SHOW);
    void hide() { show(SW_HIDE); }
    bool setWindowRect(const NRect& r, bool repaint = true);
    bool moveWindow(int x, int y, int width, int height, bool repaint = true);
    // The window rectangle, in the parent's client coordinates when there is a
    // parent and screen is false.
    NRect getWindowRect(bool screen = false);
    NRect getClientRect();
    NRect getFreeClientRect();
    NString getWindowText();
    int getWindowTextLength();
    void invalidate();
    void invalidateRect(const NRect& r);
    void enable(bool on = true);
    void disable(bool on = true) { enable(!on); }
    bool isEnabled();
    bool isWindow();
    void setFocus();
    bool hasFocus();
    void bringToTop();
    DWORD getStyle();
    void setStyle(DWORD newStyle);
    LRESULT sendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool trackMouse(bool leave = true, bool hover = false);
    NPoint screenToClient(const NPoint& point);
    NPoint clientToScreen(const NPoint& point);
    NWindow* getParent() const { return parent; }
    bool isCreated() const { return created != 0; }
    int getWindowType() const { return windowType; }
    HWND getHwnd() const { return hwnd; }
    int getShowState();
    bool isMinimized();
    void setParent(NWindow* newParent);
    void setCursor(int id);
    void setCursorHandle(HCURSOR handle);
    void setWaitCursor(bool on);
    int getWaitCount() const { return waitCount; }
    // While onDropFiles runs: the name of dropped file `index` in UTF-16,
    // also where the ANSI list shows '?' for characters the code page
    // lacks; empty otherwise.
    std::wstring getDroppedFile(int index) const;
    bool setBackgroundImage(const NString& file, int mode = 0);
    void setTimerEvents(bool on) { timerEvents = on; }
    // Balloon with title and icon (TTI_ values); delay in ms, below 1 the
    // system's default. Refused twice and before creation.
    bool addToolTip(const NString& text, const NString& title = NString(), int icon = 0,
                    int delay = 0, bool balloon = false);
    // The same with a tracking tool that follows trackPosition.
    bool addTrackingToolTip(const NString& text, const NString& title = NString(),
                            int icon = 0, int delay = 0, bool balloon = false);
    NToolTip* getToolTip() const { return toolTip; }
    // Paints onPaint into an enhanced metafile (a file, or memory when the
    // name is empty); returns the handle, -1 for a file, 0 on failure.
    HENHMETAFILE createMetaFile(const NRect& frame, const NString& fileName);
    // Sends `message` to every direct child window, from the last to the first.
    void relayToChildren(UINT message, WPARAM wParam, LPARAM lParam);

    // Adds a member-function handler to the event table.
    template <class T>
    void addEvent(UINT message, int id, int code, T* target, void (T::*handler)())
    {
        addEventEntry(message, id, code, target, static_cast<EventEntry::Handler>(handler));
    }
    void addEventEntry(UINT message, int id, int code, NWindow* target,
                       EventEntry::Handler handler);

    // --- fields -------------------------------------------------------------------
    HWND hwnd;
    NString className;
    DWORD style;
    NRect rect;
    NString title;
    UINT id;
    DWORD exStyle;
    NDevice device;
    NPointerList eventTable;
    NToolTip* toolTip;
    NScroll scroll;
    NRect clientInsets;
    int barData;
    WNDCLASSEXA wndClass;
    bool firstShowPending;
    bool timerEvents;
    NImage background;
    unsigned int modalFlags;
    int modalResult;
    NWindow* parent;
    int created;
    NAnchor anchor;
    NSize minSize;
    int windowType;
    HCURSOR cursor;
    int waitCount;
    int positioning;
    int cursorId;
    HCURSOR waitCursor;
    bool inMetaFile;
    bool inForeignPaint;

private:
    std::vector<std::wstring> droppedFiles;

    bool makeToolTip(const NString& text, const NString& titleText, int icon, int delay,
                     bool balloon, UINT toolFlags);
    NWindow(const NWindow&) = delete;
    NWindow& operator=(const NWindow&) = delete;
};

#endif
