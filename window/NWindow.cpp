// NWindow: construction, creation, the modal loop and the services. The
// message unpacking and the default handlers are in NWindowMessages.cpp.
#include "NWindow.h"

#include <cstdint>

#include "NApplication.h"
#include "NDebug.h"
#include "NError.h"
#include "NToolTip.h"

namespace {

// System classes whose windows are controls: not entered in the dispatch
// list, their messages reach the library through subclassing.
const char* const predefinedClasses[] = {
    "BUTTON",  "COMBOBOX", "EDIT", "LISTBOX", "SCROLLBAR", "STATIC", "msctls_statusbar32",
    "SysTabControl32", "msctls_progress32"};

bool isPredefinedClass(const NString& name)
{
    for (const char* predefined : predefinedClasses)
        if (name.compare(predefined, true) == 0)
            return true;
    return false;
}

}  // namespace

NWindow::NWindow()
    : hwnd(nullptr),
      className("NEK_WINDOW"),
      style(WS_OVERLAPPEDWINDOW),
      rect(-1, -1, 600, 400),
      title("Korvel - Windows Application mit NEK"),
      id(0),
      exStyle(0),
      toolTip(nullptr),
      barData(0),
      wndClass(),
      firstShowPending(true),
      timerEvents(true),
      modalFlags(0),
      modalResult(0),
      parent(nullptr),
      created(0),
      minSize(-1, -1),
      windowType(typePlain),
      cursor(nullptr),
      waitCount(0),
      positioning(0),
      cursorId(32512),
      waitCursor(nullptr),
      inMetaFile(false),
      inForeignPaint(false)
{
    globalApplication.addWindow(this);
    device.setWindow(this);
    scroll.setOwner(this);
    NWindow::initDefaults();
}

NWindow::~NWindow()
{
    if (isWindow())
        destroy();
    globalApplication.removeWindow(this);
    globalApplication.unregisterWindow(this);
    for (int i = 0; i < eventTable.getCount(); ++i)
        delete static_cast<EventEntry*>(eventTable.getAt(i));
    eventTable.removeAll();
    if (cursor)
        DestroyCursor(cursor);
    delete toolTip;
}

const char* NWindow::getName() const { return getClassName(); }
const char* NWindow::getClassName() const { return "NWindow"; }

void NWindow::initDefaults()
{
    wndClass = WNDCLASSEXA();
    wndClass.cbSize = sizeof wndClass;
    wndClass.style = CS_DBLCLKS;
    wndClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    wndClass.hIconSm = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    wndClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    device.setFont("Arial", 10);
    device.setBackgroundColor(0xA08D8C);
    device.setTextColor(0);
}

// --- creation -----------------------------------------------------------------------------

bool NWindow::create(NWindow* newParent) { return createWindow(newParent); }

bool NWindow::createWindow(NWindow* newParent)
{
    if (created) {
        globalError.messageBox(NString("NWindow::create(): Dieses Fenster wurde bereits erzeugt.\r\n'") +
                                   (isWindow() ? getWindowText() : title) + "'",
                               0, "Fehler !", MB_ICONERROR);
        return false;
    }
    created = 1;
    parent = newParent;
    onPreCreateWindow();

    if (!parent) {
        if (rect.y == -1)
            rect.y = (GetSystemMetrics(SM_CYFULLSCREEN) - rect.height) / 2;
        if (rect.x == -1)
            rect.x = (GetSystemMetrics(SM_CXFULLSCREEN) - rect.width) / 2;
    } else {
        const NRect around = parent->getWindowRect((style & WS_CHILD) == 0);
        if (rect.y == -1)
            rect.y = around.y + around.height / 2 - rect.height / 2;
        if (rect.x == -1)
            rect.x = around.x + around.width / 2 - rect.width / 2;
    }
    if (minSize.cx == -1)
        minSize.cx = rect.width;
    if (minSize.cy == -1)
        minSize.cy = rect.height;

    if (!isPredefinedClass(className)) {
        wndClass.lpszClassName = className;
        if (!globalApplication.registerWindow(this, &wndClass)) {
            const DWORD error = GetLastError();
            if (error != ERROR_CLASS_ALREADY_EXISTS) {
                globalError.messageBox("Registrierung fehlgeschlagen, ", error, "Fehler !",
                                       MB_ICONERROR);
                return false;
            }
        }
    }

    const HWND handle = CreateWindowExA(
        exStyle, className, title, style, rect.x, rect.y, rect.width, rect.height,
        parent ? parent->hwnd : nullptr, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
        globalApplication.instance, nullptr);
    if (!handle) {
        const DWORD error = GetLastError();
        // Out of the dispatch list, or it would take the next new window's messages.
        globalApplication.unregisterWindow(this);
        messageBox(NError::getSystemMessage(error),
                   NString("Fehler beim Erzeugen des Fensters: ") + className + " (" + title + ")",
                   MB_ICONERROR);
        return false;
    }
    hwnd = handle;
    device.setHwnd(hwnd);
    return true;
}

void NWindow::destroy()
{
    // A window already gone is not asked again.
    if (isWindow() && onClose())
        DestroyWindow(hwnd);
}

void NWindow::setWindowText(const NString& text)
{
    if (!isWindow())
        title = text;
    else
        SetWindowTextA(hwnd, text);
}

int NWindow::messageBox(const NString& text, const NString& caption, unsigned int type)
{
    HWND owner = hwnd;
    if (!IsWindow(hwnd)) {
        globalError.addError(
            NString("Es wurde ein NWindow::messageBox() verwendet, ohne dass das Fenster "
                    "existierte.\r\n(Text: ") +
            text + ")");
        owner = nullptr;
    }
    return MessageBoxA(owner, text, caption, type);
}

// --- modal loop ------------------------------------------------------------------------

int NWindow::showModal(bool hideParent)
{
    // The handle rather than the creation flag: a window destroyed since its creation cannot run modally either.
    if (!isWindow()) {
        globalError.messageBox("NWindow::showModal() konnte nicht durchgef\xFChrt werden, da das "
                               "Fenster noch nicht mittels 'create()' erzeugt wurde.",
                               0, "Fehler !", MB_ICONERROR);
        return 0;
    }
    if (!parent) {
        globalError.messageBox("NWindow::showModal() konnte nicht durchgef\xFChrt werden, kein "
                               "Parent-Window existiert.",
                               0, "Fehler !", MB_ICONERROR);
        return 0;
    }
    modalFlags |= modalRunning | modalInside;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    if (parent->isWindow() && IsWindowEnabled(parent->hwnd)) {
        if (hideParent) {
            modalFlags |= modalParentHidden;
            ShowWindow(parent->hwnd, SW_HIDE);
        } else {
            modalFlags |= modalParentDisabled;
            EnableWindow(parent->hwnd, FALSE);
        }
    }

    // Ends when the window closes: WM_CLOSE refused by onClose or WM_DESTROY
    // clears the running bit.
    while (modalFlags & modalRunning) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (message.message == WM_QUIT) {
            modalFlags &= ~static_cast<unsigned int>(modalRunning);
            break;
        }
        if (globalApplication.translateAccelerator(message) == 0)
            TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    modalFlags &= ~static_cast<unsigned int>(modalInside);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    if (modalFlags & modalParentHidden)
        ShowWindow(parent->hwnd, SW_SHOW);
    if (modalFlags & modalParentDisabled)
        EnableWindow(parent->hwnd, TRUE);
    modalFlags &= ~static_cast<unsigned int>(modalParentHidden | modalParentDisabled);
    if (parent->isWindow())
        SetActiveWindow(parent->hwnd);
    destroy();
    return modalResult;
}

// --- services ------------------------------------------------------------------------

void NWindow::show(int command)
{
    if (hwnd) {
        ShowWindow(hwnd, command);
    } else if (!created) {
        if (command == SW_HIDE)
            style &= ~static_cast<DWORD>(WS_VISIBLE);
        else
            style |= WS_VISIBLE;
    }
}

bool NWindow::setWindowRect(const NRect& r, bool repaint)
{
    if (!isWindow()) {
        rect = r;
        return true;
    }
    return MoveWindow(hwnd, r.x, r.y, r.width, r.height, repaint) != 0;
}

bool NWindow::moveWindow(int x, int y, int width, int height, bool repaint)
{
    return setWindowRect(NRect(x, y, width, height), repaint);
}

NRect NWindow::getWindowRect(bool screen)
{
    if (!isWindow()) {
        globalError.addError("Es wurde versucht mittels getWindowRect() auf ein nicht "
                             "existierendes Fenster zuzugreifen.");
        return NRect();
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    if (parent && !screen && parent->hwnd)
        MapWindowPoints(nullptr, parent->hwnd, reinterpret_cast<POINT*>(&r), 2);
    return NRect(r);
}

NSize NWindow::getClientSize()
{
    RECT r = {};
    if (hwnd)
        GetClientRect(hwnd, &r);
    return NSize(r.right - r.left, r.bottom - r.top);
}

NRect NWindow::getClientRect()
{
    const NSize size = getClientSize();
    return NRect(0, 0, size.cx, size.cy);
}

NRect NWindow::getFreeClientRect()
{
    NRect r = getClientRect();
    r.x += clientInsets.x;
    r.y += clientInsets.y;
    r.width -= clientInsets.x + clientInsets.width;
    r.height -= clientInsets.y + clientInsets.height;
    return r;
}

NString NWindow::getWindowText()
{
    if (!isWindow()) {
        globalError.addError("Es wurde versucht mittels getWindowText() auf ein nicht "
                             "existierendes Fenster zuzugreifen.");
        return NString();
    }
    const int length = GetWindowTextLengthA(hwnd);
    NString text;
    if (length <= 0)
        return text;
    char* buffer = new char[length + 1];
    const int got = GetWindowTextA(hwnd, buffer, length + 1);
    text.set(buffer, got > 0 ? got : 0);
    delete[] buffer;
    return text;
}

int NWindow::getWindowTextLength() { return static_cast<int>(sendMessage(WM_GETTEXTLENGTH)); }

void NWindow::invalidate()
{
    if (hwnd)
        InvalidateRect(hwnd, nullptr, TRUE);
}

void NWindow::invalidateRect(const NRect& r)
{
    if (hwnd)
        InvalidateRect(hwnd, &r.getRECT(), TRUE);
}

void NWindow::enable(bool on)
{
    if (hwnd)
        EnableWindow(hwnd, on);
}

bool NWindow::isEnabled() { return hwnd && IsWindowEnabled(hwnd); }
bool NWindow::isWindow() { return hwnd && IsWindow(hwnd); }

void NWindow::setFocus()
{
    if (hwnd)
        SetFocus(hwnd);
}

bool NWindow::hasFocus() { return hwnd && GetFocus() == hwnd; }

void NWindow::bringToTop()
{
    if (hwnd)
        BringWindowToTop(hwnd);
}

DWORD NWindow::getStyle()
{
    return hwnd ? static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) : style;
}

void NWindow::setStyle(DWORD newStyle)
{
    if (hwnd)
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(newStyle));
    else
        style = newStyle;
}

LRESULT NWindow::sendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return hwnd ? SendMessageA(hwnd, message, wParam, lParam) : 0;
}

bool NWindow::trackMouse(bool leave, bool hover)
{
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof track;
    track.dwFlags = (leave ? TME_LEAVE : 0) | (hover ? TME_HOVER : 0);
    track.hwndTrack = hwnd;
    track.dwHoverTime = HOVER_DEFAULT;
    return TrackMouseEvent(&track) != 0;
}

NPoint NWindow::screenToClient(const NPoint& point)
{
    POINT p = {point.x, point.y};
    return ScreenToClient(hwnd, &p) ? NPoint(p.x, p.y) : point;
}

NPoint NWindow::clientToScreen(const NPoint& point)
{
    POINT p = {point.x, point.y};
    return ClientToScreen(hwnd, &p) ? NPoint(p.x, p.y) : point;
}

int NWindow::getShowState()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!hwnd || !GetWindowPlacement(hwnd, &placement))
        return 0;
    return static_cast<int>(placement.showCmd);
}

bool NWindow::isMinimized()
{
    const int state = getShowState();
    return state == SW_SHOWMINIMIZED || state == SW_SHOWMINNOACTIVE || state == SW_MINIMIZE;
}

void NWindow::setParent(NWindow* newParent)
{
    if (!created) {
        parent = newParent;
        return;
    }
    if (!newParent) {
        if (hwnd)
            SetParent(hwnd, nullptr);
        parent = nullptr;
        return;
    }
    if (!newParent->isWindow()) {
        globalError.addError("NWindow::setParent(..): Das Elternfenster existiert noch nicht.");
        return;
    }
    if (hwnd)
        SetParent(hwnd, newParent->hwnd);
    parent = newParent;
}

// --- cursors -----------------------------------------------------------------------------

void NWindow::setCursor(int newId)
{
    if (newId != 0 && newId != cursorId) {
        if (cursor)
            DestroyCursor(cursor);
        cursor = nullptr;
        cursorId = newId;
    }
    const HCURSOR loaded = LoadCursorA(nullptr, MAKEINTRESOURCEA(LOWORD(cursorId)));
    if (loaded)
        cursor = loaded;
    int shownId = cursorId;
    HCURSOR shown = loaded;
    if (waitCount > 0) {
        if (!waitCursor)
            waitCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));
        shownId = 32514;
        shown = waitCursor;
    }
    if (!shown)
        globalError.addError(NString("Cursor konnte nicht geladen werden: ") +
                                 NString::fromNumber(shownId),
                             GetLastError());
    else
        SetCursor(shown);
}

void NWindow::setCursorHandle(HCURSOR handle)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if ((value >> 16) == 0) {
        setCursor(static_cast<int>(value));
        return;
    }
    if (waitCount >= 1) {
        if (!waitCursor)
            waitCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));
        SetCursor(waitCursor);
    } else {
        SetCursor(handle);
    }
}

void NWindow::setWaitCursor(bool on)
{
    if (on)
        ++waitCount;
    else if (waitCount > 0)
        --waitCount;
    setCursor(0);
}

// --- pictures, tooltips, metafiles ---------------------------------------------------------

bool NWindow::setBackgroundImage(const NString& file, int mode)
{
    const bool loaded = background.load(file);
    background.setDrawMode(mode);
    // Stretched pictures follow the client size.
    background.setStretch(mode != 0);
    background.setFitToWindow(mode != 0);
    invalidate();
    return loaded;
}

bool NWindow::addToolTip(const NString& text, const NString& titleText, int icon, int delay,
                         bool balloon)
{
    return makeToolTip(text, titleText, icon, delay, balloon, TTF_SUBCLASS);
}

bool NWindow::addTrackingToolTip(const NString& text, const NString& titleText, int icon,
                                 int delay, bool balloon)
{
    return makeToolTip(text, titleText, icon, delay, balloon, NToolTip::trackingFlags);
}

bool NWindow::makeToolTip(const NString& text, const NString& titleText, int icon, int delay,
                          bool balloon, UINT toolFlags)
{
    if (toolTip) {
        globalError.addError("NWindow::addToolTip() kann nicht mehrfach aufgerufen werden.");
        return false;
    }
    if (!isWindow()) {
        globalError.addError(
            "NWindow::addToolTip() kann nur auf schon erzeugte Fenster angewendet werden.");
        return false;
    }
    toolTip = new NToolTip();
    toolTip->create(hwnd, balloon, toolFlags);
    toolTip->setText(text, titleText, icon);
    toolTip->setDelay(delay);
    return true;
}

HENHMETAFILE NWindow::createMetaFile(const NRect& frame, const NString& fileName)
{
    RECT bounds = {frame.x, -frame.y, frame.x + frame.width, -(frame.y + frame.height)};
    const bool withFrame = frame.width != 0 && frame.height != 0;
    const HDC context = CreateEnhMetaFileA(device.getDC(), fileName.getBufferOrNull(),
                                           withFrame ? &bounds : nullptr, nullptr);
    if (!context) {
        globalDebug.printf("NWindow::createMetaFile(..) FEHLER: %s, filename=%s",
                           NError::getSystemMessage(GetLastError()).getBuffer(),
                           fileName.getBuffer());
        return nullptr;
    }
    inMetaFile = true;
    {
        NDevice metaDevice;
        metaDevice.setWindow(this);
        metaDevice.setHwnd(hwnd);
        metaDevice.setGraphicsMode(GM_ADVANCED);
        metaDevice.beginPaint(context);
        onPaint(metaDevice);
        metaDevice.endPaint();
    }
    inMetaFile = false;
    const HENHMETAFILE metaFile = CloseEnhMetaFile(context);
    if (fileName.isEmpty())
        return metaFile;
    DeleteEnhMetaFile(metaFile);
    return reinterpret_cast<HENHMETAFILE>(static_cast<intptr_t>(-1));
}

void NWindow::relayToChildren(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd)
        return;
    // Collected first: a child may change the list of children while it handles the message.
    NPointerList children;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindow(child))
            children.add(child);
    for (int i = children.getCount() - 1; i >= 0; --i)
        SendMessageA(static_cast<HWND>(children.getAt(i)), message, wParam, lParam);
}

void NWindow::addEventEntry(UINT message, int entryId, int code, NWindow* target,
                            EventEntry::Handler handler)
{
    eventTable.add(new EventEntry{message, entryId, code, target, handler});
}
