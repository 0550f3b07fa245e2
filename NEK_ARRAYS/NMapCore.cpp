#include "NMapCore.h"

#include "NListSlots.h"
#include "NMapNumToNum.h"
#include "NMapNumToString.h"
#include "NMapSearch.h"
#include "NMapStringToNum.h"
#include "NMapStringToString.h"
#include "NQuickSort.h"

#include <cstdlib>
#include <cstring>

template <class Map, class KeyKind, class ValueKind>
NMapCore<Map, KeyKind, ValueKind>::NMapCore()
    : defaultValue(), entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
}

template <class Map, class KeyKind, class ValueKind>
NMapCore<Map, KeyKind, ValueKind>::NMapCore(const NMapCore& other) : NMapCore()
{
    *this = other;
}

template <class Map, class KeyKind, class ValueKind>
NMapCore<Map, KeyKind, ValueKind>& NMapCore<Map, KeyKind, ValueKind>::operator=(const NMapCore& other)
{
    if (this == &other)
        return *this;
    removeAll();
    defaultValue = other.defaultValue;
    sorted = other.sorted;
    if (other.count > 0 && fitArray(other.count))
        for (int i = 0; i < other.count; ++i) {
            entries[i].key = KeyKind::make(KeyKind::get(other.entries[i].key));
            entries[i].value = ValueKind::make(ValueKind::get(other.entries[i].value));
            ++count;
        }
    return *this;
}

template <class Map, class KeyKind, class ValueKind>
NMapCore<Map, KeyKind, ValueKind>::~NMapCore()
{
    removeAll();
}

template <class Map, class KeyKind, class ValueKind>
int NMapCore<Map, KeyKind, ValueKind>::compareKey(int index, KeyArg key) const
{
    // An index outside the map compares as equal, which ends every scan.
    if (!isIndex(index))
        return 0;
    return KeyKind::compare(KeyKind::get(entries[index].key), key);
}

// --- searching ------------------------------------------------------------------

template <class Map, class KeyKind, class ValueKind>
int NMapCore<Map, KeyKind, ValueKind>::find(KeyArg key) const
{
    return NMapSearch::find(count, sorted, [&](int i) { return map().compareWith(i, key); });
}

template <class Map, class KeyKind, class ValueKind>
bool NMapCore<Map, KeyKind, ValueKind>::contains(KeyArg key) const
{
    return find(key) >= 0;
}

template <class Map, class KeyKind, class ValueKind>
bool NMapCore<Map, KeyKind, ValueKind>::get(KeyArg key, Value& value) const
{
    const int i = find(key);
    if (i < 0)
        return false;
    value = ValueKind::get(entries[i].value);
    return true;
}

template <class Map, class KeyKind, class ValueKind>
typename ValueKind::Type& NMapCore<Map, KeyKind, ValueKind>::lookup(KeyArg key, bool create)
{
    const int i = find(key);
    if (i >= 0)
        return ValueKind::get(entries[i].value);
    if (!create)
        return defaultValue;
    Value* value = insertEntry(~i, key, Value());
    return value ? *value : defaultValue;
}

template <class Map, class KeyKind, class ValueKind>
bool NMapCore<Map, KeyKind, ValueKind>::getAt(int index, Key& key, Value& value) const
{
    if (!isIndex(index))
        return false;
    key = KeyKind::get(entries[index].key);
    value = ValueKind::get(entries[index].value);
    return true;
}

template <class Map, class KeyKind, class ValueKind>
typename KeyKind::Type NMapCore<Map, KeyKind, ValueKind>::getKeyAt(int index) const
{
    return isIndex(index) ? KeyKind::get(entries[index].key) : Key();
}

template <class Map, class KeyKind, class ValueKind>
typename ValueKind::Type& NMapCore<Map, KeyKind, ValueKind>::getValueAt(int index)
{
    return isIndex(index) ? ValueKind::get(entries[index].value) : defaultValue;
}

// --- changing -------------------------------------------------------------------

template <class Map, class KeyKind, class ValueKind>
bool NMapCore<Map, KeyKind, ValueKind>::setAt(KeyArg key, ValueArg value)
{
    const int i = find(key);
    if (i >= 0) {
        ValueKind::get(entries[i].value) = value;
        return false;
    }
    return insertEntry(~i, key, value) != nullptr;
}

template <class Map, class KeyKind, class ValueKind>
int NMapCore<Map, KeyKind, ValueKind>::addAll(const Map& other)
{
    const NMapCore& from = other;
    if (this == &from)
        return 0;
    int added = 0;
    for (int i = 0; i < from.count; ++i)
        if (setAt(KeyKind::get(from.entries[i].key), ValueKind::get(from.entries[i].value)))
            ++added;
    return added;
}

template <class Map, class KeyKind, class ValueKind>
void NMapCore<Map, KeyKind, ValueKind>::removeKey(KeyArg key)
{
    const int i = find(key);
    if (i >= 0)
        removeAt(i);
}

template <class Map, class KeyKind, class ValueKind>
void NMapCore<Map, KeyKind, ValueKind>::removeAt(int index)
{
    if (!isIndex(index))
        return;
    KeyKind::release(entries[index].key);
    ValueKind::release(entries[index].value);
    memmove(entries + index, entries + index + 1, sizeof(Entry) * static_cast<size_t>(count - index - 1));
    --count;
    fitArray(count);
}

template <class Map, class KeyKind, class ValueKind>
void NMapCore<Map, KeyKind, ValueKind>::removeAll()
{
    for (int i = count - 1; i >= 0; --i) {
        KeyKind::release(entries[i].key);
        ValueKind::release(entries[i].value);
    }
    count = 0;
    // An emptied map holds no array, as a new one does.
    free(entries);
    entries = nullptr;
    allocatedBytes = 0;
}

template <class Map, class KeyKind, class ValueKind>
void NMapCore<Map, KeyKind, ValueKind>::swap(int i, int j)
{
    if (!isIndex(i) || !isIndex(j) || i == j)
        return;
    swapEntries(i, j);
    // The keys are out of order now; the binary search would miss them.
    sorted = false;
}

template <class Map, class KeyKind, class ValueKind>
void NMapCore<Map, KeyKind, ValueKind>::sort(int direction)
{
    direction = direction < 0 ? -1 : 1;
    if (count >= 2)
        quickSort(0, count - 1, direction);
    // Only an ascending order can be searched in halves.
    if (direction < 0)
        sorted = false;
}

template <class Map, class KeyKind, class ValueKind>
void NMapCore<Map, KeyKind, ValueKind>::setSorted(bool on)
{
    sorted = on;
    if (on)
        sort(1);
}

// --- the entry array ------------------------------------------------------------

template <class Map, class KeyKind, class ValueKind>
typename ValueKind::Type* NMapCore<Map, KeyKind, ValueKind>::insertEntry(int position, KeyArg key,
                                                                         ValueArg value)
{
    if (position < 0 || position > count || !fitArray(count + 1))
        return nullptr;
    const typename KeyKind::Slot createdKey = KeyKind::make(key);
    const typename ValueKind::Slot createdValue = ValueKind::make(value);
    memmove(entries + position + 1, entries + position, sizeof(Entry) * static_cast<size_t>(count - position));
    entries[position].key = createdKey;
    entries[position].value = createdValue;
    ++count;
    return &ValueKind::get(entries[position].value);
}

template <class Map, class KeyKind, class ValueKind>
bool NMapCore<Map, KeyKind, ValueKind>::fitArray(int n)
{
    // A failed shrink leaves a usable array.
    return NListSlots::fit(entries, allocatedBytes, n) ||
           allocatedBytes / static_cast<int>(sizeof(Entry)) >= n + 1;
}

template <class Map, class KeyKind, class ValueKind>
void NMapCore<Map, KeyKind, ValueKind>::swapEntries(int i, int j)
{
    const Entry kept = entries[i];
    entries[i] = entries[j];
    entries[j] = kept;
}

// Hoare partitioning around the middle key; the smaller part is sorted by
// recursion and the larger one by the loop, which bounds the stack depth.
// The pivot is the key's slot: a text key stays put while entries move.
template <class Map, class KeyKind, class ValueKind>
void NMapCore<Map, KeyKind, ValueKind>::quickSort(int low, int high, int direction)
{
    NQuickSort::sort(
        low, high, direction, [this](int i) { return entries[i].key; },
        [this](int i, typename KeyKind::Slot pivot) { return map().compareWith(i, KeyKind::get(pivot)); },
        [this](int i, int j) { swapEntries(i, j); });
}

template class NMapCore<NMapNumToNum, NMapNum, NMapNum>;
template class NMapCore<NMapNumToString, NMapNum, NMapText>;
template class NMapCore<NMapStringToNum, NMapText, NMapNum>;
template class NMapCore<NMapStringToString, NMapText, NMapText>;
