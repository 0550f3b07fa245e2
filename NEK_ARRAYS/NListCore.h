#ifndef NEK_NLISTCORE_H
#define NEK_NLISTCORE_H

#include <cstdlib>
#include <cstring>

#include "NListSlots.h"
#include "NQuickSort.h"

// What the four lists share: the slot array, insertion, access, search,
// removal and sorting, with the index checks and their boxes. A list class
// derives from NListCore<List, Kind>, names itself as List and declares its
// own virtual operations. The core calls the following by name on List; a
// list that defines one of them hides the default here:
//   matches(i, value)  whether element i equals value; default: compareWith gives 0
//   fitSlots(n)        sizes the array before an insertion; default: false when
//                      the heap refuses
//   inserted(index)    runs after an insertion; default: nothing
//   emptyElement()     what getAt yields on an empty list after the box;
//                      default: one shared element, reset each time
// All of it is defined here, so that a list builds only what it uses (the
// point list has no compareWith and no sort).
//
// A kind says how an element is held: NListInline keeps it in the slot,
// NListOwned keeps an object the list creates and deletes.
template <class E>
struct NListInline {
    using Element = E;
    using Arg = E;
    using Slot = E;
    static Slot fresh() { return Slot(); }
    static E& get(Slot& slot) { return slot; }
    static void release(Slot) {}
};

template <class E>
struct NListOwned {
    using Element = E;
    using Arg = const E&;
    using Slot = E*;
    static Slot fresh() { return new E(); }
    static E& get(Slot slot) { return *slot; }
    static void release(Slot slot) { delete slot; }
};

template <class List, class Kind>
class NListCore {
public:
    using Element = typename Kind::Element;
    using Arg = typename Kind::Arg;
    using Slot = typename Kind::Slot;

    NListCore(const NListCore&) = delete;
    NListCore& operator=(const NListCore&) = delete;

    int getCount() const { return count; }
    int getAllocatedBytes() const { return allocatedBytes; }

    // Opens a slot at index (count appends) holding a new empty element;
    // -1 when index is outside.
    int insertAt(int index)
    {
        return insertSlot(index, [] { return Kind::fresh(); });
    }
    // -1 when index is outside, -2 when the value could not be stored.
    int insertAt(int index, Arg value)
    {
        const int at = insertAt(index);
        if (at < 0)
            return at;
        return setAt(at, value) ? at : -2;
    }
    // With unique, the index of an equal element when there is one.
    int add(Arg value, bool unique = false)
    {
        if (unique) {
            const int found = list().find(value);
            if (found >= 0)
                return found;
        }
        return list().insertAt(count, value);
    }
    // Outside the list: the index is clamped into it after the box.
    Element& getAt(int index)
    {
        if (index < 0 || index >= count) {
            report("getAt", index);
            if (count < 1)
                return list().emptyElement();
            index = index >= count ? count - 1 : 0;
        }
        return Kind::get(data[index]);
    }
    bool setAt(int index, Arg value)
    {
        if (index < 0 || index >= count) {
            report("getAt", index);
            return false;
        }
        Kind::get(data[index]) = value;
        return true;
    }
    int find(Arg value, int start = 0)
    {
        for (int i = start < 0 ? 0 : start; i < count; ++i)
            if (list().matches(i, value))
                return i;
        return -1;
    }
    void removeAt(int index)
    {
        if (index < 0 || index >= count) {
            report("removeAt", index);
            return;
        }
        Kind::release(data[index]);
        std::memmove(data + index, data + index + 1,
                     static_cast<size_t>(count - index - 1) * sizeof(*data));
        --count;
        data[count] = Slot();
        NListSlots::fit(data, allocatedBytes, count);
    }
    // Scans from the end, so that removals do not move what is still to come.
    int removeValue(Arg value)
    {
        int removed = 0;
        for (int i = count - 1; i >= 0; --i) {
            if (list().matches(i, value)) {
                removeAt(i);
                ++removed;
            }
        }
        return removed;
    }
    void removeAll()
    {
        while (count > 0)
            removeAt(count - 1);
    }
    void swap(int i, int j)
    {
        if (i < 0 || i >= count || j < 0 || j >= count)
            return;
        const Slot kept = data[i];
        data[i] = data[j];
        data[j] = kept;
    }

protected:
    // A new list starts with a small zeroed array, or with none.
    explicit NListCore(bool firstArray) : data(nullptr), count(0), allocatedBytes(0)
    {
        if (firstArray)
            NListSlots::start(data, allocatedBytes);
    }
    // Left empty: a global list that a later global's destructor still asks
    // at exit reads as empty, not as freed memory. The stores are volatile, as
    // the compiler drops plain stores into an object whose life ends.
    ~NListCore()
    {
        for (int i = count - 1; i >= 0; --i)
            Kind::release(data[i]);
        std::free(data);
        *static_cast<Slot* volatile*>(&data) = nullptr;
        *static_cast<volatile int*>(&count) = 0;
    }

    // The copy of another list's elements; what else a list copies is its own.
    void assign(const NListCore& other)
    {
        if (this == &other)
            return;
        removeAll();
        for (int i = 0; i < other.count; ++i)
            list().add(Kind::get(other.data[i]));
    }

    // Offered by the lists that have them.
    Slot* getData() { return data; }
    // direction 1 ascending, -1 descending.
    void sort(int direction = 1)
    {
        if (count > 1)
            sortRange(0, count - 1, direction < 0 ? -1 : 1);
    }

    // The defaults described at the top.
    bool matches(int i, Arg value) { return list().compareWith(i, value) == 0; }
    bool fitSlots(int n) { return NListSlots::fit(data, allocatedBytes, n); }
    void inserted(int) {}
    Element& emptyElement()
    {
        static Element none;
        none = Element();
        return none;
    }

    // Opens a slot at index and fills it with what make() returns, once the
    // index is checked and the array has room; -1 when it is outside or there
    // is no room.
    template <class Make>
    int insertSlot(int index, Make make)
    {
        if (index < 0 || index > count) {
            report("insertAt", index);
            return -1;
        }
        if (!list().fitSlots(count + 1))
            return -1;
        std::memmove(data + index + 1, data + index,
                     static_cast<size_t>(count - index) * sizeof(*data));
        data[index] = make();
        ++count;
        list().inserted(index);
        return index;
    }

    Slot* data;
    int count;
    int allocatedBytes;

private:
    List& list() { return static_cast<List&>(*this); }
    void report(const char* operation, int index)
    {
        NListSlots::reportIndex(list().getClassName(), operation, index, count);
    }
    // The pivot is a copy of the middle element, kept while the range is split.
    void sortRange(int low, int high, int direction)
    {
        NQuickSort::sort(
            low, high, direction, [this](int i) { return Element(Kind::get(data[i])); },
            [this](int i, const Element& pivot) { return list().compareWith(i, pivot); },
            [this](int i, int j) { swap(i, j); });
    }
};

#endif
