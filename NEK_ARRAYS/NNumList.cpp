#include "NNumList.h"

#include <climits>
#include <cmath>

namespace {

int compareNumbers(int a, int b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

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

NNumList::NNumList() : NListCore(true) {}

NNumList::NNumList(const NNumList& other) : NNumList()
{
    assign(other);
}

NNumList& NNumList::operator=(const NNumList& other)
{
    assign(other);
    return *this;
}

const char* NNumList::getName() const { return getClassName(); }
const char* NNumList::getClassName() const { return "NNumList"; }

NNumList::~NNumList() = default;

int NNumList::compareAt(int i, int j)
{
    // Two statements: the boxes for bad indices come in the order i, j.
    const int a = getAt(i);
    return compareNumbers(a, getAt(j));
}

int NNumList::compareWith(int i, int value)
{
    return compareNumbers(getAt(i), value);
}

// --- text ---------------------------------------------------------------------

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
