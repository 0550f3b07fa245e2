#include "NMapNumToMenuPointer.h"

#include <cstring>

#include "NListSlots.h"
#include "NMapSearch.h"
#include "NQuickSort.h"

NMapNumToMenuPointer::NMapNumToMenuPointer()
    : entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
}

const char* NMapNumToMenuPointer::getName() const { return getClassName(); }
const char* NMapNumToMenuPointer::getClassName() const { return "NMapNumToMenuPointer"; }

NMapNumToMenuPointer::~NMapNumToMenuPointer() { removeAll(); }

int NMapNumToMenuPointer::compareWith(int index, int key) const
{
    // An index outside the map compares as equal, which ends every scan.
    if (!isIndex(index))
        return 0;
    const int own = entries[index].key;
    return own < key ? -1 : (own > key ? 1 : 0);
}

int NMapNumToMenuPointer::find(int key) const
{
    return NMapSearch::find(count, sorted, [&](int i) { return compareWith(i, key); });
}

bool NMapNumToMenuPointer::setAt(int key, NPopupMenu* menu)
{
    const int i = find(key);
    if (i >= 0) {
        entries[i].menu = menu;
        return false;
    }
    const int position = ~i;
    if (!NListSlots::fit(entries, allocatedBytes, count + 1) &&
        allocatedBytes / static_cast<int>(sizeof(Entry)) < count + 2)
        return false;
    memmove(entries + position + 1, entries + position,
            sizeof(Entry) * static_cast<size_t>(count - position));
    entries[position].key = key;
    entries[position].menu = menu;
    ++count;
    return true;
}

NPopupMenu* NMapNumToMenuPointer::lookup(int key) const
{
    const int i = find(key);
    return i >= 0 ? entries[i].menu : nullptr;
}

bool NMapNumToMenuPointer::contains(int key) const { return find(key) >= 0; }

int NMapNumToMenuPointer::getKeyAt(int index) const
{
    return isIndex(index) ? entries[index].key : 0;
}

NPopupMenu* NMapNumToMenuPointer::getValueAt(int index) const
{
    return isIndex(index) ? entries[index].menu : nullptr;
}

void NMapNumToMenuPointer::removeKey(int key)
{
    const int i = find(key);
    if (i >= 0)
        removeAt(i);
}

void NMapNumToMenuPointer::removeAt(int index)
{
    if (!isIndex(index))
        return;
    memmove(entries + index, entries + index + 1,
            sizeof(Entry) * static_cast<size_t>(count - index - 1));
    --count;
    NListSlots::fit(entries, allocatedBytes, count);
}

void NMapNumToMenuPointer::removeAll()
{
    count = 0;
    free(entries);
    entries = nullptr;
    allocatedBytes = 0;
}

void NMapNumToMenuPointer::sort(int direction)
{
    direction = direction < 0 ? -1 : 1;
    if (count >= 2)
        NQuickSort::sort(0, count - 1, direction, [this](int i) { return entries[i].key; },
                         [this](int i, int pivot) { return compareWith(i, pivot); },
                         [this](int i, int j) { swapEntries(i, j); });
    // Only an ascending order can be searched in halves.
    if (direction < 0)
        sorted = false;
}

void NMapNumToMenuPointer::setSorted(bool on)
{
    sorted = on;
    if (on)
        sort(1);
}

void NMapNumToMenuPointer::swapEntries(int i, int j)
{
    const Entry kept = entries[i];
    entries[i] = entries[j];
    entries[j] = kept;
}
