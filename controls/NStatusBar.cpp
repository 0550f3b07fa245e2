#include "NStatusBar.h"

#include <commctrl.h>

#include "NNumList.h"
#include "NStringList.h"

namespace {
WNDPROC statusBarSystemProcedure = nullptr;
}

NStatusBar::NStatusBar() : simple(false)
{
    className = STATUSCLASSNAMEA;
    style = WS_CHILD | WS_CLIPSIBLINGS | SBARS_TOOLTIPS;
    exStyle = WS_EX_TOPMOST;
    commonControlClasses = ICC_BAR_CLASSES;
    barData = 3;
    positionable = 0;
}

const char* NStatusBar::getName() const { return getClassName(); }
const char* NStatusBar::getClassName() const { return "NStatusBar"; }
NStatusBar::~NStatusBar() {}

void NStatusBar::afterCreate()
{
    subclass(statusBarSystemProcedure);
    if (parent)
        parent->clientInsets.height += getWindowRect(false).height;
}

LRESULT NStatusBar::onReflect(int code, NMHDR* header)
{
    if (code == static_cast<int>(NM_CLICK))
        return onClick(static_cast<int>(reinterpret_cast<NMMOUSE*>(header)->dwItemSpec)) ? 1 : 0;
    return 0;
}

bool NStatusBar::onClick(int) { return false; }

void NStatusBar::setParts(const NString& widths)
{
    NStringList items;
    items.split(widths, ",");
    simple = items.getCount() < 2;
    sendMessage(SB_SIMPLE, simple ? 1 : 0);
    if (simple)
        return;
    // The bar wants the parts' right edges; a negative width reaches to the end.
    NNumList rightEdges;
    int edge = 0;
    for (int i = 0; i < items.getCount(); ++i) {
        const int width = items.getAt(i).toInt();
        edge = width < 0 || edge < 0 ? -1 : edge + width;
        rightEdges.add(edge);
    }
    sendMessage(SB_SETPARTS, static_cast<WPARAM>(rightEdges.getCount()),
                reinterpret_cast<LPARAM>(rightEdges.getData()));
}

void NStatusBar::setText(int part, const NString& text, int flags)
{
    // The simple bar has one part of its own.
    const WPARAM where = simple ? SB_SIMPLEID : static_cast<WPARAM>(part | flags);
    sendMessage(SB_SETTEXTA, where, reinterpret_cast<LPARAM>(text.getBuffer()));
}

NString NStatusBar::getText(int part)
{
    // A simple bar answers with its one part's text.
    const WPARAM where = static_cast<WPARAM>(part);
    const int length = LOWORD(sendMessage(SB_GETTEXTLENGTHA, where));
    NString text;
    if (length <= 0)
        return text;
    char* buffer = new char[length + 1];
    buffer[0] = '\0';
    sendMessage(SB_GETTEXTA, where, reinterpret_cast<LPARAM>(buffer));
    text = buffer;
    delete[] buffer;
    return text;
}

void NStatusBar::setTipText(int part, const NString& text)
{
    sendMessage(SB_SETTIPTEXTA, static_cast<WPARAM>(part),
                reinterpret_cast<LPARAM>(text.getBuffer()));
}
