#include "NPointerList.h"

#include <cstdint>

namespace {

int compareAddresses(void* a, void* b)
{
    const uintptr_t x = reinterpret_cast<uintptr_t>(a);
    const uintptr_t y = reinterpret_cast<uintptr_t>(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace

NPointerList::NPointerList() : NListCore(true) {}

NPointerList::NPointerList(const NPointerList& other) : NPointerList()
{
    assign(other);
}

NPointerList& NPointerList::operator=(const NPointerList& other)
{
    assign(other);
    return *this;
}

const char* NPointerList::getName() const { return getClassName(); }
const char* NPointerList::getClassName() const { return "NPointerList"; }

NPointerList::~NPointerList() = default;

int NPointerList::compareAt(int i, int j)
{
    // Two statements: the boxes for bad indices come in the order i, j.
    void* a = getAt(i);
    return compareAddresses(a, getAt(j));
}

int NPointerList::compareWith(int i, void* value)
{
    return compareAddresses(getAt(i), value);
}
