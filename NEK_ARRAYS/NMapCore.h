#ifndef NEK_NMAPCORE_H
#define NEK_NMAPCORE_H

#include "NString.h"

// What the four maps share: the entry array, the key search, insertion,
// removal and sorting. A map class derives from NMapCore<Map, KeyKind,
// ValueKind>, names itself as Map and declares its own virtual operations;
// the core searches and sorts through Map::compareWith, so that a class
// derived from a map still decides the key order.
//
// A kind says how one side of an entry is held: NMapNum keeps a 32-bit
// number in the entry itself, NMapText an NString the map creates and
// deletes.
struct NMapNum {
    using Type = int;
    using Arg = int;
    using Slot = int;
    static Slot make(Arg v) { return v; }
    static int& get(int& slot) { return slot; }
    static int get(const int& slot) { return slot; }
    static void release(Slot) {}
    static int compare(int own, int key) { return own < key ? -1 : (own > key ? 1 : 0); }
};

struct NMapText {
    using Type = NString;
    using Arg = const NString&;
    using Slot = NString*;
    static Slot make(Arg v) { return new NString(v); }
    static NString& get(Slot slot) { return *slot; }
    static void release(Slot slot) { delete slot; }
    // Byte order of NString's `<`; case always counts.
    static int compare(const NString& own, const NString& key)
    {
        return own < key ? -1 : (key < own ? 1 : 0);
    }
};

template <class Map, class KeyKind, class ValueKind>
class NMapCore {
public:
    using Key = typename KeyKind::Type;
    using KeyArg = typename KeyKind::Arg;
    using Value = typename ValueKind::Type;
    using ValueArg = typename ValueKind::Arg;

    NMapCore(const NMapCore& other);
    NMapCore& operator=(const NMapCore& other);

    // Overwrites the value of an existing key (false) or inserts a new entry
    // (true): at the end, or at the key's place in a sorted map.
    bool setAt(KeyArg key, ValueArg value);
    // A missing key yields defaultValue, or with create a new empty entry.
    Value& lookup(KeyArg key, bool create = false);
    bool getAt(int index, Key& key, Value& value) const;
    Key getKeyAt(int index) const;
    Value& getValueAt(int index);
    bool contains(KeyArg key) const;
    bool get(KeyArg key, Value& value) const;
    int getCount() const { return count; }
    // Index of the key, or the complement (~) of the position it would take.
    int find(KeyArg key) const;

    void removeKey(KeyArg key);
    void removeAt(int index);
    void removeAll();
    void swap(int i, int j);
    void sort(int direction = 1);
    void setSorted(bool on);
    bool isSorted() const { return sorted; }
    int addAll(const Map& other);

protected:
    struct Entry {
        typename KeyKind::Slot key;
        typename ValueKind::Slot value;
    };

    NMapCore();
    ~NMapCore();

    // What Map::compareWith answers for the key kind.
    int compareKey(int index, KeyArg key) const;
    // Inserts an entry at `position`; the new value is returned (null when
    // no room could be had).
    Value* insertEntry(int position, KeyArg key, ValueArg value);
    // Brings the array to the size that `n` entries call for.
    bool fitArray(int n);
    void swapEntries(int i, int j);
    void quickSort(int low, int high, int direction);
    bool isIndex(int index) const { return index >= 0 && index < count; }

    Value defaultValue;
    Entry* entries;
    int count;
    int allocatedBytes;
    bool sorted;

private:
    const Map& map() const { return static_cast<const Map&>(*this); }
};

#endif
