#include "NFrameWindow.h"

#include <shellapi.h>

#include "NApplication.h"
#include "NApplicationBasic.h"
#include "NError.h"
#include "NFileSystem.h"
#include "NPopupMenu.h"
#include "NResources.h"

const char* const NFrameWindow::webAddress = "http://www.korvel.de/nek";

namespace {

const UINT scrollLockScanCode = 0x46;
const DWORD minimizedOrMaximized = WS_MINIMIZE | WS_MAXIMIZE;

// A bar that is shown, also while its frame is not shown yet.
bool shown(NWindow& bar) { return bar.isWindow() && (bar.getStyle() & WS_VISIBLE); }

// Dragging a window by its client area; one drag at a time for all frames.
struct ClientDrag {
    bool inProgress;
    bool stepping;
    NPoint start;  // client coordinates at the button press
    NPoint last;   // screen coordinates
} drag = {false, false, NPoint(), NPoint()};

bool developmentMode() { return globalResources.isDiskResources(); }

// True when `r` lies whole on the work area of a present monitor and is at
// least `least` and at most that work area large: a monitor unplugged since,
// or a value edited by hand, must not give a window nobody can reach.
bool onAWorkArea(const NRect& r, const NSize& least)
{
    if (r.width < least.cx || r.height < least.cy)
        return false;
    const POINT corner = {r.x, r.y};
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    const HMONITOR monitor = MonitorFromPoint(corner, MONITOR_DEFAULTTONULL);
    if (!monitor || !GetMonitorInfoA(monitor, &info))
        return false;
    const RECT& work = info.rcWork;
    return r.x >= work.left && r.y >= work.top && static_cast<long long>(r.x) + r.width <= work.right &&
           static_cast<long long>(r.y) + r.height <= work.bottom;
}

}  // namespace

NFrameWindow::NFrameWindow()
    : bigIconName("app_big.ico"),
      smallIconName("app_smal.ico"),
      savePosition(0),
      dragFlags(0),
      showLogo(1),
      bigIcon(nullptr),
      smallIcon(nullptr),
      hScroll(false),
      vScroll(true)
{
}

const char* NFrameWindow::getName() const { return getClassName(); }
const char* NFrameWindow::getClassName() const { return "NFrameWindow"; }

NFrameWindow::~NFrameWindow()
{
    // While the bars and the logo still exist: their windows go with this one.
    // destroy asks onClose, so a frame destroyed with its object still writes "winpostype".
    if (isWindow())
        destroy();
    if (bigIcon)
        DestroyIcon(bigIcon);
    if (smallIcon)
        DestroyIcon(smallIcon);
}

bool NFrameWindow::onStatusBarClick(int) { return false; }
bool NFrameWindow::onStatusBarRClick(int) { return false; }
bool NFrameWindow::onStatusBarDblClick(int) { return false; }

// --- creation and the stored position ---------------------------------------------------

HICON NFrameWindow::loadIcon(const NString& name, HICON previous)
{
    const NString path = globalResources.getFile(name);
    if (path.isEmpty())
        return previous;
    if (previous)
        DestroyIcon(previous);
    HICON icon = ExtractIconA(globalApplication.instance, path, 0);
    // 1: the file holds no icon.
    if (reinterpret_cast<UINT_PTR>(icon) <= 1)
        icon = nullptr;
    return icon;
}

void NFrameWindow::onPreCreateWindow()
{
    bigIcon = loadIcon(bigIconName, bigIcon);
    if (bigIcon)
        wndClass.hIcon = bigIcon;
    smallIcon = loadIcon(smallIconName, smallIcon);
    if (smallIcon)
        wndClass.hIconSm = smallIcon;

    if (!savePosition || !globalApplication.openUserConfigFile())
        return;
    NFileIni& config = globalApplicationBasic.userConfig;
    const NString stored = config.getValue(getClassName(), "winpos");
    if (stored.isEmpty())
        return;
    // The programmed size stays the minimum, whatever size is restored.
    if (minSize.cx == -1)
        minSize.cx = rect.width;
    if (minSize.cy == -1)
        minSize.cy = rect.height;
    NRect restored = rect;
    restored.fromText(stored, ",");
    // A frame inside another window keeps its place there; a top-level one
    // only where a monitor shows it, else the programmed place.
    if ((style & WS_CHILD) || onAWorkArea(restored, minSize))
        rect = restored;
    if (config.getValue(getClassName(), "winpostype") == "max")
        style |= WS_MAXIMIZE;
}

void NFrameWindow::saveWindowPosition()
{
    if (!savePosition || (getStyle() & minimizedOrMaximized) ||
        !globalApplication.openUserConfigFile())
        return;
    NFileIni& config = globalApplicationBasic.userConfig;
    config.setValue(getClassName(), "winpos", getWindowRect(false).toText(","));
    config.save();
}

bool NFrameWindow::onClose()
{
    if (savePosition && globalApplication.openUserConfigFile()) {
        NFileIni& config = globalApplicationBasic.userConfig;
        config.setValue(getClassName(), "winpostype", (getStyle() & WS_MAXIMIZE) ? "max" : "std");
        config.save();
    }
    return true;
}

// --- messages --------------------------------------------------------------------------------

void NFrameWindow::runEventTable(UINT message, WPARAM wParam, LPARAM lParam)
{
    // By index: a handler may add entries.
    for (int i = 0; i < eventTable.getCount(); ++i) {
        const EventEntry* entry = static_cast<const EventEntry*>(eventTable.getAt(i));
        if (entry->message != message && !(message == WM_COMMAND && entry->code != 0))
            continue;
        bool call = entry->id == 0;
        if (!call && static_cast<int>(LOWORD(wParam)) == entry->id) {
            if (entry->code == 0)
                call = true;
            else if (message == WM_COMMAND)
                call = static_cast<int>(HIWORD(wParam)) == entry->code;
            else if (message == WM_NOTIFY && lParam)
                call = static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code) == entry->code;
        }
        if (call && entry->target)
            (entry->target->*entry->handler)();
    }
}

LRESULT NFrameWindow::onStatusBarNotify(int code, NMHDR* header, bool& handled)
{
    const int part = static_cast<int>(reinterpret_cast<NMMOUSE*>(header)->dwItemSpec);
    bool done = false;
    if (code == static_cast<int>(NM_CLICK))
        done = onStatusBarClick(part);
    else if (code == static_cast<int>(NM_DBLCLK))
        done = onStatusBarDblClick(part);
    else if (code == static_cast<int>(NM_RCLICK))
        done = onStatusBarRClick(part);
    else
        return 0;
    handled = handled || done;
    return done ? 1 : 0;
}

LRESULT NFrameWindow::onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                                bool handled, LRESULT result)
{
    if (messageWindow != hwnd && messageWindow != nullptr)
        return NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);

    runEventTable(message, wParam, lParam);
    switch (message) {
    case WM_WINDOWPOSCHANGED:
        if (!(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
            resizeSteps();
        break;
    case WM_SIZE:
        resizeSteps();
        break;
    case WM_MOVE:
        saveWindowPosition();
        break;
    case WM_SHOWWINDOW:
        if (firstShowPending)
            firstShow();
        break;
    case WM_GETMINMAXINFO:
        if (minSize.cx > 0 && minSize.cy > 0) {
            MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = minSize.cx;
            info->ptMinTrackSize.y = minSize.cy;
            handled = true;
            result = 0;
        }
        break;
    case WM_DRAWITEM:
        SendMessageA(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem, NEK_MSG_DRAWITEM,
                     wParam, lParam);
        handled = true;
        result = 1;
        break;
    // WM_CTLCOLORDLG is not passed: dialogs colour themselves.
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        const LRESULT brush =
            SendMessageA(reinterpret_cast<HWND>(lParam), NEK_MSG_CTLCOLOR, wParam, lParam);
        if (brush) {
            handled = true;
            result = brush;
        }
        break;
    }
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (statusBar.hwnd && header->hwndFrom == statusBar.hwnd)
            result = onStatusBarNotify(static_cast<int>(header->code), header, handled);
        // The coolbar grows or shrinks with its bands.
        else if (coolbar.hwnd && header->hwndFrom == coolbar.hwnd &&
                 header->code == static_cast<UINT>(RBN_HEIGHTCHANGE))
            layoutBars();
        break;
    }
    case WM_KEYDOWN:
        if (developmentMode() && ((lParam >> 16) & 0x7F) == scrollLockScanCode) {
            if (positioning)
                endPositioning();
            else
                startPositioning();
        }
        break;
    default:
        break;
    }
    return NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
}

// --- first show, resizing, the declared controls ----------------------------------------------

void NFrameWindow::firstShow()
{
    firstShowPending = false;
    onFirstShow();
    createDeclaredControls();
}

void NFrameWindow::resizeSteps()
{
    if (firstShowPending)
        firstShow();
    const NSize size = getClientSize();
    NPointerList children;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (NWindow* window = globalApplication.findWindow(child))
            children.add(window);
    for (int i = 0; i < children.getCount(); ++i)
        static_cast<NWindow*>(children.getAt(i))->onParentSize(size);
    layoutBars();
    saveWindowPosition();
    if (showLogo && !logo.isCreated())
        createLogo();
}

void NFrameWindow::createDeclaredControls()
{
    int x = firstDeclared;
    int y = firstDeclared;
    // By index: creating a control may construct further window objects.
    for (int i = 0; i < globalApplication.windows.getCount(); ++i) {
        NWindow* window = static_cast<NWindow*>(globalApplication.windows.getAt(i));
        if (window->getParent() != this || window->getWindowType() != typePositioned ||
            window->isCreated())
            continue;
        NControlPositioned* control = static_cast<NControlPositioned*>(window);
        control->createCtrl(this, control->title, x, y);
        x += declaredStepX;
        if (x > declaredWrapX) {
            x = firstDeclared;
            y += declaredStepY;
        }
    }
}

// --- bars ------------------------------------------------------------------------------------

void NFrameWindow::addBar(NToolbar& bar)
{
    if (bar.isCreated() || !isWindow())
        return;
    if (!coolbar.isCreated()) {
        const NRect free = getFreeClientRect();
        coolbar.createCtrl(this, "coolbar", free.x, free.y, free.width,
                           NControlPositioned::defaultSize, false);
    }
    bar.createToolbar(this);
    coolbar.addBand(&bar, "");
    layoutBars();
}

NToolbar& NFrameWindow::createToolbar()
{
    addBar(toolbar);
    return toolbar;
}

NMenubar& NFrameWindow::createMenubar()
{
    addBar(menubar);
    return menubar;
}

NStatusBar& NFrameWindow::createStatusBar()
{
    if (!statusBar.isCreated() && isWindow()) {
        statusBar.createCtrl(this, "Status", 0, 0, NControlPositioned::defaultSize,
                             NControlPositioned::defaultSize, false);
        layoutBars();
    }
    return statusBar;
}

void NFrameWindow::createScrollBars(bool horizontal, bool vertical)
{
    if (!isWindow())
        return;
    if (horizontal && !hScroll.isCreated())
        hScroll.createCtrl(this, "hScroll", 0, 0, NControlPositioned::defaultSize,
                           GetSystemMetrics(SM_CYHSCROLL), false);
    if (vertical && !vScroll.isCreated())
        vScroll.createCtrl(this, "vScroll", 0, 0, GetSystemMetrics(SM_CXVSCROLL),
                           NControlPositioned::defaultSize, false);
    scroll.attachBars(hScroll.isWindow() ? &hScroll : nullptr,
                      vScroll.isWindow() ? &vScroll : nullptr);
    layoutBars();
    scroll.update();
}

void NFrameWindow::layoutBars()
{
    if (!isWindow())
        return;
    clientInsets = NRect(0, 0, 0, 0);
    const NSize client = getClientSize();
    if (shown(coolbar)) {
        const NRect bar = coolbar.getWindowRect(false);
        if (bar.width != client.cx)
            coolbar.setWindowRect(NRect(0, bar.y, client.cx, bar.height), true);
        clientInsets.y += bar.height;
    }
    if (shown(statusBar)) {
        // The status bar puts itself along the bottom edge when told the size.
        statusBar.sendMessage(WM_SIZE, 0, MAKELPARAM(client.cx, client.cy));
        clientInsets.height += statusBar.getWindowRect(false).height;
    }
    const bool horizontal = shown(hScroll);
    const bool vertical = shown(vScroll);
    const int barHeight = horizontal ? hScroll.getWindowRect(false).height : 0;
    const int barWidth = vertical ? vScroll.getWindowRect(false).width : 0;
    clientInsets.height += barHeight;
    clientInsets.width += barWidth;
    const NRect free = getFreeClientRect();
    if (horizontal)
        hScroll.setWindowRect(NRect(free.x, free.getBottom(), free.width, barHeight), true);
    if (vertical)
        vScroll.setWindowRect(NRect(free.getRight(), free.y, barWidth, free.height), true);
    invalidate();
}

// --- the logo ----------------------------------------------------------------------------------

void NFrameWindow::createLogo()
{
    logo.positionable = 0;
    logo.clickable = 1;
    logo.setTransparentColour(-2);
    logo.setDrawMode(0);
    logo.createCtrl(this, "", 0, -35, 70, 35, true);
    logo.setImage("nek.bmp");
    NString tip("Diese Anwendung wurde mit der \r\nNEK erstellt.");
    if (developmentMode())
        tip.insert(0, "Klicken Sie hier f\xFCr den Realtime-Layouter.\r\n\r\n");
    logo.addToolTip(tip, webAddress, TTI_INFO, 200, true);
    addEvent(WM_COMMAND, logo.getId(), 0, this, &NFrameWindow::onLogo);
}

void NFrameWindow::openWebPage() { NFileSystem::open(webAddress, NString(), NString(), SW_SHOW); }

void NFrameWindow::onLogo()
{
    if (!developmentMode()) {
        openWebPage();
        return;
    }
    NPopupMenu menu;
    // The frame reacts here; the ids mean nothing to the program's own commands.
    menu.sendCommand = 0;
    if (positioning)
        menu.addItem("Positionierung", logoPositioningOff, MF_CHECKED);
    else
        menu.addItem("Positionierung", logoPositioning);
    menu.addItem("Info...", logoInfo);
    menu.addItem(webAddress, logoWeb);
    const NRect at = logo.getWindowRect(true);
    switch (menu.track(hwnd, NPoint(at.x, at.y))) {
    case logoPositioning:
        startPositioning();
        break;
    case logoPositioningOff:
        endPositioning();
        break;
    case logoInfo:
        messageBox("Bevor Sie Ihre Anwendung weitergeben, sollten Sie die \r\nbenutzten "
                   "Ressourcen und Einstellungen in das fertige Programm binden.\r\nW\xE4hlen Sie "
                   "dazu 'Ressourcen einbinden' im Aktionsmen\xFC der Objektbibliothek.",
                   "Info", MB_ICONINFORMATION);
        break;
    case logoWeb:
        openWebPage();
        break;
    default:
        break;
    }
}

// --- the run-time layouter -----------------------------------------------------------------

void NFrameWindow::startPositioning()
{
    if (windowType != typePlain || !isWindow())
        return;
    const NRect now = getWindowRect(true);
    if ((now.width != rect.width || now.height != rect.height) &&
        messageBox("Die aktuelle Gr\xF6\xDF" "e einspricht nicht der Gr\xF6\xDF" "e bei Erzeugung "
                   "des Fensters.\r\nDie Positionierung der Controls erfolgt bei Erzeugung des "
                   "Fensters in der aktuellen Gr\xF6\xDF" "e, somit kann es zur Zerst\xF6rung "
                   "Ihrer Anordnung kommen.\r\nWollen Sie trotzdem mit der Anordnung beginnen?",
                   "ver\xE4nderte Fenstergr\xF6\xDF" "e",
                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    positioning = 1;
    relayToChildren(NEK_MSG_POSITIONING_START, 0, 0);
}

void NFrameWindow::endPositioning()
{
    const NString section(getClassName());
    NFileIni& layout = globalResources.getControlPosIni();
    // The keys go first: entries of controls that are gone or were moved in
    // the program do not come back. Comment lines stay (the file is copied
    // into the sources); so does every other section.
    NStringList lines;
    lines.split(layout.getSectionText(section), "\r\n");
    NString comments;
    for (int i = 0; i < lines.getCount(); ++i)
        if (lines.getAt(i).startsWith(";"))
            comments += lines.getAt(i) + "\r\n";
    layout.setSectionText(section, comments);
    relayToChildren(NEK_MSG_POSITIONING_SAVE, 0, reinterpret_cast<LPARAM>(section.getBuffer()));
    layout.save();
    relayToChildren(NEK_MSG_POSITIONING_END, 0, 0);
    positioning = 0;
    invalidate();
}

// --- moving the window by its client area --------------------------------------------------

void NFrameWindow::onMouseMove(int keys, int x, int y)
{
    NWindow::onMouseMove(keys, x, y);
    if (!(dragFlags & 1) || positioning || drag.stepping)
        return;
    const NRect window = getWindowRect(true);
    const NPoint screen(x + window.x, y + window.y);
    const bool down = (keys & MK_LBUTTON) != 0;
    if (down && !drag.inProgress) {
        SetCapture(hwnd);
        drag.inProgress = true;
        drag.start = NPoint(x, y);
        drag.last = screen;
        setCursor(32646);
    } else if (drag.inProgress && down) {
        if (screen.x != drag.last.x && screen.y != drag.last.y) {
            drag.stepping = true;
            setWindowRect(NRect(screen.x - drag.start.x, screen.y - drag.start.y, window.width,
                                window.height),
                          true);
            drag.stepping = false;
        }
        drag.last = screen;
    } else if (drag.inProgress) {
        ReleaseCapture();
        drag.inProgress = false;
        // The arrow rather than no cursor at all: the pointer stays over the window.
        setCursor(32512);
    }
}
