#include "NMapNumToNum.h"

#include "NListSlots.h"
#include "NMapSearch.h"
#include "NQuickSort.h"

#include <climits>
#include <cstdlib>
#include <cstring>

NMapNumToNum::NMapNumToNum()
    : defaultValue(0), entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
}

NMapNumToNum::NMapNumToNum(const NMapNumToNum& other)
    : defaultValue(0), entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
    *this = other;
}

NMapNumToNum& NMapNumToNum::operator=(const NMapNumToNum& other)
{
    if (this == &other)
        return *this;
    removeAll();
    defaultValue = other.defaultValue;
    sorted = other.sorted;
    if (other.count > 0 && fitArray(other.count)) {
        memcpy(entries, other.entries, sizeof(Entry) * static_cast<size_t>(other.count));
        count = other.count;
    }
    return *this;
}

const char* NMapNumToNum::getName() const { return getClassName(); }
const char* NMapNumToNum::getClassName() const { return "NMapNumToNum"; }

NMapNumToNum::~NMapNumToNum()
{
    removeAll();
}

int NMapNumToNum::compareWith(int index, int key) const
{
    // An index outside the map compares as equal, which ends every scan.
    if (!isIndex(index))
        return 0;
    const int own = entries[index].key;
    return own < key ? -1 : (own > key ? 1 : 0);
}

// --- searching ------------------------------------------------------------------

int NMapNumToNum::find(int key) const
{
    return NMapSearch::find(count, sorted, [&](int i) { return compareWith(i, key); });
}

bool NMapNumToNum::contains(int key) const
{
    return find(key) >= 0;
}

bool NMapNumToNum::get(int key, int& value) const
{
    const int i = find(key);
    if (i < 0)
        return false;
    value = entries[i].value;
    return true;
}

int& NMapNumToNum::lookup(int key, bool create)
{
    const int i = find(key);
    if (i >= 0)
        return entries[i].value;
    if (!create)
        return defaultValue;
    int* value = insertEntry(~i, key, 0);
    return value ? *value : defaultValue;
}

bool NMapNumToNum::getAt(int index, int& key, int& value) const
{
    if (!isIndex(index))
        return false;
    key = entries[index].key;
    value = entries[index].value;
    return true;
}

int NMapNumToNum::getKeyAt(int index) const
{
    return isIndex(index) ? entries[index].key : 0;
}

int& NMapNumToNum::getValueAt(int index)
{
    return isIndex(index) ? entries[index].value : defaultValue;
}

// --- changing -------------------------------------------------------------------

bool NMapNumToNum::setAt(int key, int value)
{
    const int i = find(key);
    if (i >= 0) {
        entries[i].value = value;
        return false;
    }
    return insertEntry(~i, key, value) != nullptr;
}

int NMapNumToNum::addAll(const NMapNumToNum& other)
{
    if (this == &other)
        return 0;
    int added = 0;
    for (int i = 0; i < other.count; ++i)
        if (setAt(other.entries[i].key, other.entries[i].value))
            ++added;
    return added;
}

void NMapNumToNum::removeKey(int key)
{
    const int i = find(key);
    if (i >= 0)
        removeAt(i);
}

void NMapNumToNum::removeAt(int index)
{
    if (!isIndex(index))
        return;
    memmove(entries + index, entries + index + 1, sizeof(Entry) * static_cast<size_t>(count - index - 1));
    --count;
    fitArray(count);
}

void NMapNumToNum::removeAll()
{
    count = 0;
    // An emptied map holds no array, as a new one does.
    free(entries);
    entries = nullptr;
    allocatedBytes = 0;
}

void NMapNumToNum::swap(int i, int j)
{
    if (!isIndex(i) || !isIndex(j) || i == j)
        return;
    swapEntries(i, j);
    // The keys are out of order now; the binary search would miss them.
    sorted = false;
}

void NMapNumToNum::sort(int direction)
{
    direction = direction < 0 ? -1 : 1;
    if (count >= 2)
        quickSort(0, count - 1, direction);
    // Only an ascending order can be searched in halves.
    if (direction < 0)
        sorted = false;
}

void NMapNumToNum::setSorted(bool on)
{
    sorted = on;
    if (on)
        sort(1);
}

// --- the entry array ------------------------------------------------------------

int* NMapNumToNum::insertEntry(int position, int key, int value)
{
    if (position < 0 || position > count || !fitArray(count + 1))
        return nullptr;
    memmove(entries + position + 1, entries + position, sizeof(Entry) * static_cast<size_t>(count - position));
    entries[position].key = key;
    entries[position].value = value;
    ++count;
    return &entries[position].value;
}

bool NMapNumToNum::fitArray(int n)
{
    // A failed shrink leaves a usable array.
    return NListSlots::fit(entries, allocatedBytes, n) ||
           allocatedBytes / static_cast<int>(sizeof(Entry)) >= n + 1;
}

void NMapNumToNum::swapEntries(int i, int j)
{
    const Entry kept = entries[i];
    entries[i] = entries[j];
    entries[j] = kept;
}

// Hoare partitioning around the middle key; the smaller part is sorted by
// recursion and the larger one by the loop, which bounds the stack depth.
void NMapNumToNum::quickSort(int low, int high, int direction)
{
    NQuickSort::sort(low, high, direction, [this](int i) { return entries[i].key; },
                     [this](int i, int pivot) { return compareWith(i, pivot); },
                     [this](int i, int j) { swapEntries(i, j); });
}
