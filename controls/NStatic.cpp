#include "NStatic.h"

#include "NColorMap.h"
#include "NResources.h"
#include "NStringList.h"

namespace {

// The system procedure of the "STATIC" class, taken by the first static.
WNDPROC staticProcedure = nullptr;

}  // namespace

NStatic::NStatic()
{
    className = "STATIC";
    style &= ~static_cast<DWORD>(WS_TABSTOP);
    // The parent shows through, behind the text too.
    device.setBackgroundColor(-1);
    device.setTextColor(-2, -1);
    styleName = "NStatic-normal";
}

NStatic::~NStatic() {}

const char* NStatic::getName() const { return getClassName(); }
const char* NStatic::getClassName() const { return "NStatic"; }

void NStatic::setWindowText(const NString& text)
{
    // Transparent text leaves the old letters behind unless the parent
    // paints its background there again.
    if (parent && parent->isWindow() && isWindow() && device.getBackgroundColor() == -1)
        parent->invalidateRect(getWindowRect(false));
    NControlPredefined::setWindowText(text);
}

void NStatic::afterCreate() { subclass(staticProcedure); }

void NStatic::beforeCreate()
{
    // "size,text colour,font name,weight"; anything shorter keeps the device as it is.
    NStringList items;
    items.split(globalResources.getStyle(styleName), ",");
    if (items.getCount() < 4)
        return;
    for (int i = 0; i < items.getCount(); ++i)
        items.getAt(i).trim();
    device.setFont(items.getAt(2), items.getAt(0).toInt(), 0, 0, items.getAt(3).toInt());
    device.setTextColor(globalColorMap.getColor(items.getAt(1)));
}
