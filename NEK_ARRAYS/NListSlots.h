#ifndef NEK_NLISTSLOTS_H
#define NEK_NLISTSLOTS_H

#include <climits>
#include <cstdlib>
#include <cstring>

// The slot array shared by the list classes: growth in jumps of about a
// hundred slots, so that adding elements one by one reallocates rarely, and
// shrinking only when more than 150 slots lie idle.
namespace NListSlots {

const int initialSlots = 10;
const int spareSlots = 101;
const int maxIdleSlots = 150;

// Makes the array fit for n elements: reallocated to exactly n + 101 slots
// when it has fewer than n + 1 or more than n + 150. New slots are zeroed.
// False when the array could not be obtained (it is then left as it was).
template <class T>
bool fit(T*& data, int& allocatedBytes, int n)
{
    const long long slots = allocatedBytes / static_cast<long long>(sizeof(T));
    if (data && slots >= n + 1LL && slots <= n + static_cast<long long>(maxIdleSlots))
        return true;
    const long long wanted = n + static_cast<long long>(spareSlots);
    if (n < 0 || wanted * static_cast<long long>(sizeof(T)) > INT_MAX)
        return false;
    void* grown = std::realloc(static_cast<void*>(data), static_cast<size_t>(wanted) * sizeof(T));
    if (!grown)
        return false;
    if (wanted > slots)
        std::memset(static_cast<char*>(grown) + slots * sizeof(T), 0,
                    static_cast<size_t>(wanted - slots) * sizeof(T));
    data = static_cast<T*>(grown);
    allocatedBytes = static_cast<int>(wanted * static_cast<long long>(sizeof(T)));
    return true;
}

// The first array of a new list: initialSlots zeroed slots (none if the
// heap refuses; the first insertion then tries again).
template <class T>
void start(T*& data, int& allocatedBytes)
{
    data = static_cast<T*>(std::calloc(initialSlots, sizeof(T)));
    allocatedBytes = data ? initialSlots * static_cast<int>(sizeof(T)) : 0;
}

// Shows the box for an index outside the list; operation is "insertAt",
// "getAt" or "removeAt", count the list's element count.
void reportIndex(const char* className, const char* operation, int index, int count);

}  // namespace NListSlots

#endif
