#include "NStringList.h"

#include "NQuickSort.h"

#include <cstdlib>
#include <cstring>

#include "NListSlots.h"

NStringList::NStringList(bool ignoreCase)
    : ignoreCase(ignoreCase), data(nullptr), count(0), allocatedBytes(0)
{
    NListSlots::start(data, allocatedBytes);
}

NStringList::NStringList(const NStringList& other) : NStringList(other.ignoreCase)
{
    *this = other;
}

NStringList& NStringList::operator=(const NStringList& other)
{
    if (this == &other)
        return *this;
    removeAll();
    ignoreCase = other.ignoreCase;
    for (int i = 0; i < other.count; ++i)
        add(*other.data[i]);
    return *this;
}

const char* NStringList::getName() const { return getClassName(); }
const char* NStringList::getClassName() const { return "NStringList"; }

NStringList::~NStringList()
{
    removeAll();
    std::free(data);
}

int NStringList::compareWith(int i, const NString& text)
{
    const int result = getAt(i).compare(text, ignoreCase);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int NStringList::compareAt(int i, int j)
{
    const NString& a = getAt(i);
    const NString& b = getAt(j);
    return a < b ? -1 : (b < a ? 1 : 0);
}

int NStringList::insertAt(int index)
{
    if (index < 0 || index > count) {
        NListSlots::reportIndex(getClassName(), "insertAt", index, count);
        return -1;
    }
    if (!NListSlots::fit(data, allocatedBytes, count + 1))
        return -1;
    std::memmove(data + index + 1, data + index, static_cast<size_t>(count - index) * sizeof(*data));
    data[index] = new NString();
    ++count;
    return index;
}

int NStringList::insertAt(int index, const NString& text)
{
    const int at = insertAt(index);
    if (at < 0)
        return at;
    return setAt(at, text) ? at : -2;
}

int NStringList::add(const NString& text, bool unique)
{
    if (unique) {
        const int found = find(text);
        if (found >= 0)
            return found;
    }
    return insertAt(count, text);
}

NString& NStringList::getAt(int index)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "getAt", index, count);
        if (count < 1) {
            static NString none;
            none = "";
            return none;
        }
        index = index >= count ? count - 1 : 0;
    }
    return *data[index];
}

bool NStringList::setAt(int index, const NString& text)
{
    if (index < 0 || index >= count) {
        NListSlots::reportIndex(getClassName(), "getAt", index, count);
        return false;
    }
    *data[index] = text;
    return true;
}

int NStringList::find(const NString& text, int start)
{
    for (int i = start < 0 ? 0 : start; i < count; ++i)
        if (compareWith(i, text) == 0)
            return i;
    return -1;
}

void NStringList::removeAt(int index)
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

int NStringList::removeValue(const NString& text)
{
    int removed = 0;
    for (int i = count - 1; i >= 0; --i) {
        if (compareWith(i, text) == 0) {
            removeAt(i);
            ++removed;
        }
    }
    return removed;
}

void NStringList::removeAll()
{
    while (count > 0)
        removeAt(count - 1);
}

void NStringList::swap(int i, int j)
{
    if (i < 0 || i >= count || j < 0 || j >= count)
        return;
    NString* t = data[i];
    data[i] = data[j];
    data[j] = t;
}

void NStringList::sort(int direction)
{
    if (count > 1)
        sortRange(0, count - 1, direction < 0 ? -1 : 1);
}

void NStringList::sortRange(int low, int high, int direction)
{
    NQuickSort::sort(low, high, direction, [this](int i) { return NString(*data[i]); },
                     [this](int i, const NString& pivot) { return compareWith(i, pivot); },
                     [this](int i, int j) { swap(i, j); });
}

// --- text ---------------------------------------------------------------------

int NStringList::split(const NString& text, const NString& separator)
{
    removeAll();
    int pos = 0;
    // Without a separator the whole text is the one piece.
    if (!separator.isEmpty()) {
        for (int found = text.find(separator, pos); found >= 0; found = text.find(separator, pos)) {
            add(text.mid(pos, found - pos));
            pos = found + separator.getLength();
        }
    }
    add(text.mid(pos));
    return count;
}

NString NStringList::join(const NString& separator) const
{
    NString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += separator;
        text += *data[i];
    }
    return text;
}

int NStringList::splitWords(const NString& text)
{
    removeAll();
    const char* bytes = text.getBuffer();
    const int length = text.getLength();
    int start = 0;
    bool quoted = false;
    for (int i = 0; i <= length; ++i) {
        const unsigned char c = i < length ? static_cast<unsigned char>(bytes[i]) : 0;
        if (c == '"')
            quoted = !quoted;
        if (i < length && (quoted || c > 32))
            continue;
        NString word(bytes + start, i - start);
        word.trim();
        if (word.getLength() >= 2 && word.startsWith("\"") && word.endsWith("\"")) {
            word = word.mid(1, word.getLength() - 2);
            word.trim();
        }
        if (!word.isEmpty())
            add(word);
        start = i + 1;
    }
    return count;
}

int NStringList::addTokens(const NString& text, const NString& separator, bool unique)
{
    const int before = count;
    if (separator.isEmpty()) {
        // cutToken would find the empty separator at 0 forever.
        if (!text.isEmpty())
            add(text, unique);
        return count - before;
    }
    NString rest(text);
    while (!rest.isEmpty())
        add(rest.cutToken(separator), unique);
    return count - before;
}
