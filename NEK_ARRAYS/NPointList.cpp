#include "NPointList.h"

#include <assert.h>

NPointList::NPointList() : NListCore(false), emptyPoint(nullptr) {}

NPointList::NPointList(const NPointList& other) : NPointList()
{
    assign(other);
}

NPointList& NPointList::operator=(const NPointList& other)
{
    assign(other);
    return *this;
}

const char* NPointList::getName() const { return getClassName(); }
const char* NPointList::getClassName() const { return "NPointList"; }

NPointList::~NPointList()
{
    delete emptyPoint;
}

void NPointList::onInsert(int) {}

int NPointList::insertAt(int index, const NPoint& point)
{
    // The point is placed with its value, so onInsert sees it.
    return insertSlot(index, [&point] { return new NPoint(point); });
}

// Without its array the list cannot go on in any sensible way.
bool NPointList::fitSlots(int n)
{
    if (!NListSlots::fit(data, allocatedBytes, n)) {
        _assert("list", __FILE__, __LINE__);
        std::abort();
    }
    return true;
}

NPoint& NPointList::emptyElement()
{
    if (!emptyPoint)
        emptyPoint = new NPoint();
    *emptyPoint = NPoint();
    return *emptyPoint;
}
