#include "NPointerList.h"

#include "NQuickSort.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "NListSlots.h"

NPointerList::NPointerList() : data(nullptr), count(0), allocatedBytes(0)
{
    NListSlots::start(data, allocatedBytes);
}

NPointerList::NPointerList(const NPointerList& other) : NPointerList()
{
    *this = other;
}

NPointerList& NPointerList::operator=(const NPointerList& other)
{
    if (this == &other)
        return *this;
    removeAll();
    for (int i = 0; i < other.count; ++i)
        add(other.data[i]);
    return *this;
}

const char* NPointerList::getName() const { return getClassName(); }
const char* NPointerList::getClassName() const { return "NPointerList"; }

NPointerList::~NPointerList()
{
    removeAll();
    std::free(data);
}

int NPointerList::compareAt(int i, int j)
{
    const uintptr_t a = reinterpret_cast<uintptr_t>(getAt(i));
    const uintptr_t b = reinterpret_cast<uintptr_t>(getAt(j));
    return a < b ? -1 : (a > b ? 1 : 0);
}

int NPointerList::compareWith(int i, void* value)
{
    const uintptr_t a = reinterpret_cast<uintptr_t>(getAt(i));
    const uintptr_t b = reinterpret_cast<uintptr_t>(value);
    return a < b ? -1 : (a > b ? 1 : 0);
}

int NPointerList::insertAt(int index)
{
    if (index < 0 || index > count) {
        NListSlots::reportIndex(getClassName(), "insertAt", index, count);
        return -1;
    }
    if (!NListSlots::fit(data, allocatedBytes, count + 1))
        return -1;
    std::memmove(data + index + 1, data + index, static_cast<size_t>(count - index) * sizeof(*data));
    data[index] = nullptr;
    ++count;
    return index;
}

int NPointerList::insertAt(int index, void* value)
{
    const int at = insertAt(index);
    if (at < 0)
        return at;
    return setAt(at, value) ? at : -2;
}

int NPointerList::add(void* value, bool unique)
{
    if (unique) {
        const int found = find(value);
        if (found >= 0)
            return found;
    }
    return insertAt(count, value);
}

void*& NPointerList::getAt(int index)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "getAt", index, count);
        if (count < 1) {
            static void* none;
            none = nullptr;
            return none;
        }
        index = index >= count ? count - 1 : 0;
    }
    return data[index];
}

bool NPointerList::setAt(int index, void* value)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "getAt", index, count);
        return false;
    }
    data[index] = value;
    return true;
}

int NPointerList::find(void* value, int start)
{
    for (int i = start < 0 ? 0 : start; i < count; ++i)
        if (compareWith(i, value) == 0)
            return i;
    return -1;
}

void NPointerList::removeAt(int index)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "removeAt", index, count);
        return;
    }
    std::memmove(data + index, data + index + 1,
                 static_cast<size_t>(count - index - 1) * sizeof(*data));
    --count;
    data[count] = nullptr;
    NListSlots::fit(data, allocatedBytes, count);
}

int NPointerList::removeValue(void* value)
{
    int removed = 0;
    for (int i = count - 1; i >= 0; --i) {
        if (compareWith(i, value) == 0) {
            removeAt(i);
            ++removed;
        }
    }
    return removed;
}

void NPointerList::removeAll()
{
    while (count > 0)
        removeAt(count - 1);
}

void NPointerList::swap(int i, int j)
{
    if (i < 0 || i >= count || j < 0 || j >= count)
        return;
    void* t = data[i];
    data[i] = data[j];
    data[j] = t;
}

void NPointerList::sort(int direction)
{
    if (count > 1)
        sortRange(0, count - 1, direction < 0 ? -1 : 1);
}

void NPointerList::sortRange(int low, int high, int direction)
{
    NQuickSort::sort(low, high, direction, [this](int i) { return data[i]; },
                     [this](int i, void* pivot) { return compareWith(i, pivot); },
                     [this](int i, int j) { swap(i, j); });
}
