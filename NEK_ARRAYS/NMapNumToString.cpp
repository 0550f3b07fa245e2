#include "NMapNumToString.h"

#include "NListSlots.h"
#include "NMapSearch.h"
#include "NQuickSort.h"

#include <climits>
#include <cstdlib>
#include <cstring>

NMapNumToString::NMapNumToString()
    : entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
}

NMapNumToString::NMapNumToString(const NMapNumToString& other)
    : entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
    *this = other;
}

NMapNumToString& NMapNumToString::operator=(const NMapNumToString& other)
{
    if (this == &other)
        return *this;
    removeAll();
    defaultValue = other.defaultValue;
    sorted = other.sorted;
    if (other.count > 0 && fitArray(other.count))
        for (int i = 0; i < other.count; ++i) {
            entries[i].key = other.entries[i].key;
            entries[i].value = new NString(*other.entries[i].value);
            ++count;
        }
    return *this;
}

const char* NMapNumToString::getName() const { return getClassName(); }
const char* NMapNumToString::getClassName() const { return "NMapNumToString"; }

NMapNumToString::~NMapNumToString()
{
    removeAll();
}

int NMapNumToString::compareWith(int index, int key) const
{
    // An index outside the map compares as equal, which ends every scan.
    if (!isIndex(index))
        return 0;
    const int own = entries[index].key;
    return own < key ? -1 : (own > key ? 1 : 0);
}

// --- searching ------------------------------------------------------------------

int NMapNumToString::find(int key) const
{
    return NMapSearch::find(count, sorted, [&](int i) { return compareWith(i, key); });
}

bool NMapNumToString::contains(int key) const
{
    return find(key) >= 0;
}

bool NMapNumToString::get(int key, NString& value) const
{
    const int i = find(key);
    if (i < 0)
        return false;
    value = *entries[i].value;
    return true;
}

NString& NMapNumToString::lookup(int key, bool create)
{
    const int i = find(key);
    if (i >= 0)
        return *entries[i].value;
    if (!create)
        return defaultValue;
    NString* value = insertEntry(~i, key, NString());
    return value ? *value : defaultValue;
}

bool NMapNumToString::getAt(int index, int& key, NString& value) const
{
    if (!isIndex(index))
        return false;
    key = entries[index].key;
    value = *entries[index].value;
    return true;
}

int NMapNumToString::getKeyAt(int index) const
{
    return isIndex(index) ? entries[index].key : 0;
}

NString& NMapNumToString::getValueAt(int index)
{
    return isIndex(index) ? *entries[index].value : defaultValue;
}

// --- changing -------------------------------------------------------------------

bool NMapNumToString::setAt(int key, const NString& value)
{
    const int i = find(key);
    if (i >= 0) {
        *entries[i].value = value;
        return false;
    }
    return insertEntry(~i, key, value) != nullptr;
}

int NMapNumToString::addAll(const NMapNumToString& other)
{
    if (this == &other)
        return 0;
    int added = 0;
    for (int i = 0; i < other.count; ++i)
        if (setAt(other.entries[i].key, *other.entries[i].value))
            ++added;
    return added;
}

void NMapNumToString::removeKey(int key)
{
    const int i = find(key);
    if (i >= 0)
        removeAt(i);
}

void NMapNumToString::removeAt(int index)
{
    if (!isIndex(index))
        return;
    delete entries[index].value;
    memmove(entries + index, entries + index + 1, sizeof(Entry) * static_cast<size_t>(count - index - 1));
    --count;
    fitArray(count);
}

void NMapNumToString::removeAll()
{
    for (int i = count - 1; i >= 0; --i)
        delete entries[i].value;
    count = 0;
    // An emptied map holds no array, as a new one does.
    free(entries);
    entries = nullptr;
    allocatedBytes = 0;
}

void NMapNumToString::swap(int i, int j)
{
    if (!isIndex(i) || !isIndex(j) || i == j)
        return;
    swapEntries(i, j);
    // The keys are out of order now; the binary search would miss them.
    sorted = false;
}

void NMapNumToString::sort(int direction)
{
    direction = direction < 0 ? -1 : 1;
    if (count >= 2)
        quickSort(0, count - 1, direction);
    // Only an ascending order can be searched in halves.
    if (direction < 0)
        sorted = false;
}

void NMapNumToString::setSorted(bool on)
{
    sorted = on;
    if (on)
        sort(1);
}

// --- the entry array ------------------------------------------------------------

NString* NMapNumToString::insertEntry(int position, int key, const NString& value)
{
    if (position < 0 || position > count || !fitArray(count + 1))
        return nullptr;
    NString* created = new NString(value);
    memmove(entries + position + 1, entries + position, sizeof(Entry) * static_cast<size_t>(count - position));
    entries[position].key = key;
    entries[position].value = created;
    ++count;
    return created;
}

bool NMapNumToString::fitArray(int n)
{
    // A failed shrink leaves a usable array.
    return NListSlots::fit(entries, allocatedBytes, n) ||
           allocatedBytes / static_cast<int>(sizeof(Entry)) >= n + 1;
}

void NMapNumToString::swapEntries(int i, int j)
{
    const Entry kept = entries[i];
    entries[i] = entries[j];
    entries[j] = kept;
}

// Hoare partitioning around the middle key; the smaller part is sorted by
// recursion and the larger one by the loop, which bounds the stack depth.
void NMapNumToString::quickSort(int low, int high, int direction)
{
    NQuickSort::sort(low, high, direction, [this](int i) { return entries[i].key; },
                     [this](int i, int pivot) { return compareWith(i, pivot); },
                     [this](int i, int j) { swapEntries(i, j); });
}
