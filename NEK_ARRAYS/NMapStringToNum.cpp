#include "NMapStringToNum.h"

#include "NListSlots.h"
#include "NMapSearch.h"
#include "NQuickSort.h"

#include <climits>
#include <cstdlib>
#include <cstring>

NMapStringToNum::NMapStringToNum()
    : defaultValue(0), entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
}

NMapStringToNum::NMapStringToNum(const NMapStringToNum& other)
    : defaultValue(0), entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
    *this = other;
}

NMapStringToNum& NMapStringToNum::operator=(const NMapStringToNum& other)
{
    if (this == &other)
        return *this;
    removeAll();
    defaultValue = other.defaultValue;
    sorted = other.sorted;
    if (other.count > 0 && fitArray(other.count))
        for (int i = 0; i < other.count; ++i) {
            entries[i].key = new NString(*other.entries[i].key);
            entries[i].value = other.entries[i].value;
            ++count;
        }
    return *this;
}

const char* NMapStringToNum::getName() const { return getClassName(); }
const char* NMapStringToNum::getClassName() const { return "NMapStringToNum"; }

NMapStringToNum::~NMapStringToNum()
{
    removeAll();
}

int NMapStringToNum::compareWith(int index, const NString& key) const
{
    // An index outside the map compares as equal, which ends every scan.
    if (!isIndex(index))
        return 0;
    const NString& own = *entries[index].key;
    return own < key ? -1 : (key < own ? 1 : 0);
}

// --- searching ------------------------------------------------------------------

int NMapStringToNum::find(const NString& key) const
{
    return NMapSearch::find(count, sorted, [&](int i) { return compareWith(i, key); });
}

bool NMapStringToNum::contains(const NString& key) const
{
    return find(key) >= 0;
}

bool NMapStringToNum::get(const NString& key, int& value) const
{
    const int i = find(key);
    if (i < 0)
        return false;
    value = entries[i].value;
    return true;
}

int& NMapStringToNum::lookup(const NString& key, bool create)
{
    const int i = find(key);
    if (i >= 0)
        return entries[i].value;
    if (!create)
        return defaultValue;
    int* value = insertEntry(~i, key, 0);
    return value ? *value : defaultValue;
}

bool NMapStringToNum::getAt(int index, NString& key, int& value) const
{
    if (!isIndex(index))
        return false;
    key = *entries[index].key;
    value = entries[index].value;
    return true;
}

NString NMapStringToNum::getKeyAt(int index) const
{
    return isIndex(index) ? *entries[index].key : NString();
}

int& NMapStringToNum::getValueAt(int index)
{
    return isIndex(index) ? entries[index].value : defaultValue;
}

// --- changing -------------------------------------------------------------------

bool NMapStringToNum::setAt(const NString& key, int value)
{
    const int i = find(key);
    if (i >= 0) {
        entries[i].value = value;
        return false;
    }
    return insertEntry(~i, key, value) != nullptr;
}

int NMapStringToNum::addAll(const NMapStringToNum& other)
{
    if (this == &other)
        return 0;
    int added = 0;
    for (int i = 0; i < other.count; ++i)
        if (setAt(*other.entries[i].key, other.entries[i].value))
            ++added;
    return added;
}

void NMapStringToNum::removeKey(const NString& key)
{
    const int i = find(key);
    if (i >= 0)
        removeAt(i);
}

void NMapStringToNum::removeAt(int index)
{
    if (!isIndex(index))
        return;
    delete entries[index].key;
    memmove(entries + index, entries + index + 1, sizeof(Entry) * static_cast<size_t>(count - index - 1));
    --count;
    fitArray(count);
}

void NMapStringToNum::removeAll()
{
    for (int i = count - 1; i >= 0; --i)
        delete entries[i].key;
    count = 0;
    // An emptied map holds no array, as a new one does.
    free(entries);
    entries = nullptr;
    allocatedBytes = 0;
}

void NMapStringToNum::swap(int i, int j)
{
    if (!isIndex(i) || !isIndex(j) || i == j)
        return;
    swapEntries(i, j);
    // The keys are out of order now; the binary search would miss them.
    sorted = false;
}

void NMapStringToNum::sort(int direction)
{
    direction = direction < 0 ? -1 : 1;
    if (count >= 2)
        quickSort(0, count - 1, direction);
    // Only an ascending order can be searched in halves.
    if (direction < 0)
        sorted = false;
}

void NMapStringToNum::setSorted(bool on)
{
    sorted = on;
    if (on)
        sort(1);
}

// --- the entry array ------------------------------------------------------------

int* NMapStringToNum::insertEntry(int position, const NString& key, int value)
{
    if (position < 0 || position > count || !fitArray(count + 1))
        return nullptr;
    NString* createdKey = new NString(key);
    memmove(entries + position + 1, entries + position, sizeof(Entry) * static_cast<size_t>(count - position));
    entries[position].key = createdKey;
    entries[position].value = value;
    ++count;
    return &entries[position].value;
}

bool NMapStringToNum::fitArray(int n)
{
    // A failed shrink leaves a usable array.
    return NListSlots::fit(entries, allocatedBytes, n) ||
           allocatedBytes / static_cast<int>(sizeof(Entry)) >= n + 1;
}

void NMapStringToNum::swapEntries(int i, int j)
{
    const Entry kept = entries[i];
    entries[i] = entries[j];
    entries[j] = kept;
}

// Hoare partitioning around the middle key; the smaller part is sorted by
// recursion and the larger one by the loop, which bounds the stack depth.
void NMapStringToNum::quickSort(int low, int high, int direction)
{
    NQuickSort::sort(low, high, direction, [this](int i) { return entries[i].key; },
                     [this](int i, const NString* pivot) { return compareWith(i, *pivot); },
                     [this](int i, int j) { swapEntries(i, j); });
}

