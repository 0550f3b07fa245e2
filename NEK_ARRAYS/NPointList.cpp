#include "NPointList.h"

#include <assert.h>
#include <cstdlib>
#include <cstring>

#include "NListSlots.h"

namespace {

// Without its array the list cannot go on in any sensible way.
void fitOrStop(NPoint**& data, int& allocatedBytes, int n)
{
    if (!NListSlots::fit(data, allocatedBytes, n)) {
        _assert("list", __FILE__, __LINE__);
        std::abort();
    }
}

}  // namespace

NPointList::NPointList() : data(nullptr), count(0), allocatedBytes(0), emptyPoint(nullptr) {}

NPointList::NPointList(const NPointList& other) : NPointList()
{
    *this = other;
}

NPointList& NPointList::operator=(const NPointList& other)
{
    if (this == &other)
        return *this;
    removeAll();
    for (int i = 0; i < other.count; ++i)
        add(*other.data[i]);
    return *this;
}

const char* NPointList::getName() const { return getClassName(); }
const char* NPointList::getClassName() const { return "NPointList"; }

NPointList::~NPointList()
{
    removeAll();
    std::free(data);
    delete emptyPoint;
}

void NPointList::onInsert(int) {}

int NPointList::insertPoint(int index, NPoint* point)
{
    if (index < 0 || index > count) {
        delete point;
        NListSlots::reportIndex(getClassName(), "insertAt", index, count);
        return -1;
    }
    fitOrStop(data, allocatedBytes, count + 1);
    std::memmove(data + index + 1, data + index, static_cast<size_t>(count - index) * sizeof(*data));
    data[index] = point;
    ++count;
    onInsert(index);
    return index;
}

int NPointList::insertAt(int index)
{
    return insertPoint(index, new NPoint());
}

int NPointList::insertAt(int index, const NPoint& point)
{
    return insertPoint(index, new NPoint(point));
}

int NPointList::add(const NPoint& point, bool unique)
{
    if (unique) {
        const int found = find(point);
        if (found >= 0)
            return found;
    }
    return insertAt(count, point);
}

NPoint& NPointList::getAt(int index)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "getAt", index, count);
        if (count < 1) {
            if (!emptyPoint)
                emptyPoint = new NPoint();
            *emptyPoint = NPoint();
            return *emptyPoint;
        }
        index = index >= count ? count - 1 : 0;
    }
    return *data[index];
}

bool NPointList::setAt(int index, const NPoint& point)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "getAt", index, count);
        return false;
    }
    *data[index] = point;
    return true;
}

int NPointList::find(const NPoint& point, int start)
{
    for (int i = start < 0 ? 0 : start; i < count; ++i)
        if (*data[i] == point)
            return i;
    return -1;
}

void NPointList::removeAt(int index)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "removeAt", index, count);
        return;
    }
    delete data[index];
    std::memmove(data + index, data + index + 1,
                 static_cast<size_t>(count - index - 1) * sizeof(*data));
    --count;
    data[count] = nullptr;
    NListSlots::fit(data, allocatedBytes, count);
}

int NPointList::removeValue(const NPoint& point)
{
    int removed = 0;
    for (int i = count - 1; i >= 0; --i) {
        if (*data[i] == point) {
            removeAt(i);
            ++removed;
        }
    }
    return removed;
}

void NPointList::removeAll()
{
    while (count > 0)
        removeAt(count - 1);
}

void NPointList::swap(int i, int j)
{
    if (i < 0 || i >= count || j < 0 || j >= count)
        return;
    NPoint* t = data[i];
    data[i] = data[j];
    data[j] = t;
}
