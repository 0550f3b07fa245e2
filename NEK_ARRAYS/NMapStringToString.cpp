#include "NMapStringToString.h"

#include "NListSlots.h"
#include "NMapSearch.h"
#include "NQuickSort.h"

#include <climits>
#include <cstdlib>
#include <cstring>

NMapStringToString::NMapStringToString()
    : entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
}

NMapStringToString::NMapStringToString(const NMapStringToString& other)
    : entries(nullptr), count(0), allocatedBytes(0), sorted(false)
{
    *this = other;
}

NMapStringToString& NMapStringToString::operator=(const NMapStringToString& other)
{
    if (this == &other)
        return *this;
    removeAll();
    defaultValue = other.defaultValue;
    sorted = other.sorted;
    if (other.count > 0 && fitArray(other.count))
        for (int i = 0; i < other.count; ++i) {
            entries[i].key = new NString(*other.entries[i].key);
            entries[i].value = new NString(*other.entries[i].value);
            ++count;
        }
    return *this;
}

const char* NMapStringToString::getName() const { return getClassName(); }
const char* NMapStringToString::getClassName() const { return "NMapStringToString"; }

NMapStringToString::~NMapStringToString()
{
    removeAll();
}

int NMapStringToString::compareWith(int index, const NString& key) const
{
    // An index outside the map compares as equal, which ends every scan.
    if (!isIndex(index))
        return 0;
    const NString& own = *entries[index].key;
    return own < key ? -1 : (key < own ? 1 : 0);
}

// --- searching ------------------------------------------------------------------

int NMapStringToString::find(const NString& key) const
{
    return NMapSearch::find(count, sorted, [&](int i) { return compareWith(i, key); });
}

bool NMapStringToString::contains(const NString& key) const
{
    return find(key) >= 0;
}

bool NMapStringToString::get(const NString& key, NString& value) const
{
    const int i = find(key);
    if (i < 0)
        return false;
    value = *entries[i].value;
    return true;
}

NString& NMapStringToString::lookup(const NString& key, bool create)
{
    const int i = find(key);
    if (i >= 0)
        return *entries[i].value;
    if (!create)
        return defaultValue;
    NString* value = insertEntry(~i, key, NString());
    return value ? *value : defaultValue;
}

bool NMapStringToString::getAt(int index, NString& key, NString& value) const
{
    if (!isIndex(index))
        return false;
    key = *entries[index].key;
    value = *entries[index].value;
    return true;
}

NString NMapStringToString::getKeyAt(int index) const
{
    return isIndex(index) ? *entries[index].key : NString();
}

NString& NMapStringToString::getValueAt(int index)
{
    return isIndex(index) ? *entries[index].value : defaultValue;
}

// --- changing -------------------------------------------------------------------

bool NMapStringToString::setAt(const NString& key, const NString& value)
{
    const int i = find(key);
    if (i >= 0) {
        *entries[i].value = value;
        return false;
    }
    return insertEntry(~i, key, value) != nullptr;
}

int NMapStringToString::addAll(const NMapStringToString& other)
{
    if (this == &other)
        return 0;
    int added = 0;
    for (int i = 0; i < other.count; ++i)
        if (setAt(*other.entries[i].key, *other.entries[i].value))
            ++added;
    return added;
}

void NMapStringToString::removeKey(const NString& key)
{
    const int i = find(key);
    if (i >= 0)
        removeAt(i);
}

void NMapStringToString::removeAt(int index)
{
    if (!isIndex(index))
        return;
    delete entries[index].key;
    delete entries[index].value;
    memmove(entries + index, entries + index + 1, sizeof(Entry) * static_cast<size_t>(count - index - 1));
    --count;
    fitArray(count);
}

void NMapStringToString::removeAll()
{
    for (int i = count - 1; i >= 0; --i) {
        delete entries[i].key;
        delete entries[i].value;
    }
    count = 0;
    // An emptied map holds no array, as a new one does.
    free(entries);
    entries = nullptr;
    allocatedBytes = 0;
}

void NMapStringToString::swap(int i, int j)
{
    if (!isIndex(i) || !isIndex(j) || i == j)
        return;
    swapEntries(i, j);
    // The keys are out of order now; the binary search would miss them.
    sorted = false;
}

void NMapStringToString::sort(int direction)
{
    direction = direction < 0 ? -1 : 1;
    if (count >= 2)
        quickSort(0, count - 1, direction);
    // Only an ascending order can be searched in halves.
    if (direction < 0)
        sorted = false;
}

void NMapStringToString::setSorted(bool on)
{
    sorted = on;
    if (on)
        sort(1);
}

// --- the entry array ------------------------------------------------------------

NString* NMapStringToString::insertEntry(int position, const NString& key, const NString& value)
{
    if (position < 0 || position > count || !fitArray(count + 1))
        return nullptr;
    NString* createdKey = new NString(key);
    NString* created = new NString(value);
    memmove(entries + position + 1, entries + position, sizeof(Entry) * static_cast<size_t>(count - position));
    entries[position].key = createdKey;
    entries[position].value = created;
    ++count;
    return created;
}

bool NMapStringToString::fitArray(int n)
{
    // A failed shrink leaves a usable array.
    return NListSlots::fit(entries, allocatedBytes, n) ||
           allocatedBytes / static_cast<int>(sizeof(Entry)) >= n + 1;
}

void NMapStringToString::swapEntries(int i, int j)
{
    const Entry kept = entries[i];
    entries[i] = entries[j];
    entries[j] = kept;
}

// Hoare partitioning around the middle key; the smaller part is sorted by
// recursion and the larger one by the loop, which bounds the stack depth.
void NMapStringToString::quickSort(int low, int high, int direction)
{
    NQuickSort::sort(low, high, direction, [this](int i) { return entries[i].key; },
                     [this](int i, const NString* pivot) { return compareWith(i, *pivot); },
                     [this](int i, int j) { swapEntries(i, j); });
}

// --- text -----------------------------------------------------------------------

NString NMapStringToString::replaceVariables(const NString& text, const char* prefix,
                                             const char* suffix) const
{
    NString result(text);
    NString pattern;
    for (int i = 0; i < count; ++i) {
        pattern = prefix;
        pattern += *entries[i].key;
        pattern += suffix;
        result.replace(pattern, *entries[i].value);
    }
    return result;
}

NString NMapStringToString::toText(const char* pairSeparator, const char* itemSeparator) const
{
    NString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += itemSeparator;
        text += *entries[i].key;
        text += pairSeparator;
        text += *entries[i].value;
    }
    return text;
}

// Items are cut without the list classes: the map must stand on its own.
// An empty item is skipped; an item without pairSeparator is a key with an
// empty value; the value is everything after the first pairSeparator.
int NMapStringToString::fromText(const NString& text, const char* itemSeparator,
                                 const char* pairSeparator, bool clearFirst)
{
    const NString items(text);  // `text` may be one of our own values
    if (clearFirst)
        removeAll();
    const NString itemCut(itemSeparator);
    const NString pairCut(pairSeparator);
    int read = 0;
    int start = 0;
    const int end = items.getLength();
    while (start <= end) {
        int stop = itemCut.isEmpty() ? -1 : items.find(itemCut, start);
        if (stop < 0)
            stop = end;
        if (stop > start) {
            const NString item = items.mid(start, stop - start);
            const int pair = pairCut.isEmpty() ? -1 : item.find(pairCut);
            if (pair < 0)
                setAt(item, NString());
            else
                setAt(item.left(pair), item.mid(pair + pairCut.getLength()));
            ++read;
        }
        start = stop + itemCut.getLength();
        if (stop == end)
            break;
    }
    return read;
}
