#include "NNumList.h"

#include "NQuickSort.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "NListSlots.h"

NNumList::NNumList() : data(nullptr), count(0), allocatedBytes(0)
{
    NListSlots::start(data, allocatedBytes);
}

NNumList::NNumList(const NNumList& other) : NNumList()
{
    *this = other;
}

NNumList& NNumList::operator=(const NNumList& other)
{
    if (this == &other)
        return *this;
    removeAll();
    for (int i = 0; i < other.count; ++i)
        add(other.data[i]);
    return *this;
}

const char* NNumList::getName() const { return getClassName(); }
const char* NNumList::getClassName() const { return "NNumList"; }

NNumList::~NNumList()
{
    removeAll();
    std::free(data);
}

int NNumList::compareAt(int i, int j)
{
    const int a = getAt(i);
    const int b = getAt(j);
    return a < b ? -1 : (a > b ? 1 : 0);
}

int NNumList::compareWith(int i, int value)
{
    const int a = getAt(i);
    return a < value ? -1 : (a > value ? 1 : 0);
}

int NNumList::insertAt(int index)
{
    if (index < 0 || index > count) {
        NListSlots::reportIndex(getClassName(), "insertAt", index, count);
        return -1;
    }
    if (!NListSlots::fit(data, allocatedBytes, count + 1))
        return -1;
    std::memmove(data + index + 1, data + index, static_cast<size_t>(count - index) * sizeof(*data));
    data[index] = 0;
    ++count;
    return index;
}

int NNumList::insertAt(int index, int value)
{
    const int at = insertAt(index);
    if (at < 0)
        return at;
    return setAt(at, value) ? at : -2;
}

int NNumList::add(int value, bool unique)
{
    if (unique) {
        const int found = find(value);
        if (found >= 0)
            return found;
    }
    return insertAt(count, value);
}

int& NNumList::getAt(int index)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "getAt", index, count);
        if (count < 1) {
            static int none;
            none = 0;
            return none;
        }
        index = index >= count ? count - 1 : 0;
    }
    return data[index];
}

bool NNumList::setAt(int index, int value)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "getAt", index, count);
        return false;
    }
    data[index] = value;
    return true;
}

int NNumList::find(int value, int start)
{
    for (int i = start < 0 ? 0 : start; i < count; ++i)
        if (compareWith(i, value) == 0)
            return i;
    return -1;
}

void NNumList::removeAt(int index)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "removeAt", index, count);
        return;
    }
    std::memmove(data + index, data + index + 1,
                 static_cast<size_t>(count - index - 1) * sizeof(*data));
    --count;
    data[count] = 0;
    NListSlots::fit(data, allocatedBytes, count);
}

int NNumList::removeValue(int value)
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

void NNumList::removeAll()
{
    while (count > 0)
        removeAt(count - 1);
}

void NNumList::swap(int i, int j)
{
    if (i < 0 || i >= count || j < 0 || j >= count)
        return;
    const int t = data[i];
    data[i] = data[j];
    data[j] = t;
}

void NNumList::sort(int direction)
{
    if (count > 1)
        sortRange(0, count - 1, direction < 0 ? -1 : 1);
}

void NNumList::sortRange(int low, int high, int direction)
{
    NQuickSort::sort(low, high, direction, [this](int i) { return data[i]; },
                     [this](int i, int pivot) { return compareWith(i, pivot); },
                     [this](int i, int j) { swap(i, j); });
}

// --- text ---------------------------------------------------------------------

namespace {

// Absurd percentages ("1e30%") give the largest size, not undefined values.
int clampToInt(double value)
{
    if (value != value)
        return 0;
    if (value < INT_MIN)
        return INT_MIN;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

}  // namespace

int NNumList::fromText(const NString& text, const NString& separator)
{
    removeAll();
    const int before = count;
    int pos = 0;
    // Without a separator there is only the rest.
    if (!separator.isEmpty()) {
        for (int found = text.find(separator, pos); found >= 0; found = text.find(separator, pos)) {
            add(text.mid(pos, found - pos).toInt());
            pos = found + separator.getLength();
        }
    }
    const NString rest = text.mid(pos);
    if (!rest.isEmpty())
        add(rest.toInt());
    return count - before;
}

NString NNumList::toText(const NString& separator) const
{
    NString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += separator;
        text += data[i];
    }
    return text;
}

void NNumList::splitSizes(int total, const NString& spec)
{
    removeAll();
    NString rest(spec);
    rest += ',';
    int restIndex = -1;
    while (!rest.isEmpty()) {
        NString piece = rest.cutToken(",");
        piece.trim();
        if (piece == "*") {
            restIndex = add(0);
        } else if (piece.endsWith("%")) {
            piece.remove(piece.getLength() - 1, 1);
            add(clampToInt(std::floor(0.5 + total * piece.toDouble() / 100.0)));
        } else {
            add(piece.toInt());
        }
    }
    if (restIndex < 0)
        return;
    long long sum = 0;
    for (int i = 0; i < count; ++i)
        sum += data[i];
    if (total - sum > 0)
        data[restIndex] = clampToInt(static_cast<double>(total - sum));
}
