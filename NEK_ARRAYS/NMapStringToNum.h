#ifndef NEK_NMAPSTRINGTONUM_H
#define NEK_NMAPSTRINGTONUM_H

#include "NString.h"

// NMapStringToNum: unique text keys (case-sensitive) with 32-bit values,
// kept in insertion order or, once setSorted(true), in ascending byte order
// of the keys (binary search). Keys are owned by the map; values live in the
// entry array, so a reference to one stays valid until the map changes size.

class NMapStringToNum {
public:
    NMapStringToNum();
    NMapStringToNum(const NMapStringToNum& other);
    NMapStringToNum& operator=(const NMapStringToNum& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapStringToNum();
    // -1, 0 or 1 as the key of entry `index` sorts before, equal to or after `key`.
    virtual int compareWith(int index, const NString& key) const;

    bool setAt(const NString& key, int value);
    int& lookup(const NString& key, bool create = false);
    bool getAt(int index, NString& key, int& value) const;
    NString getKeyAt(int index) const;
    int& getValueAt(int index);
    bool contains(const NString& key) const;
    bool get(const NString& key, int& value) const;
    int getCount() const { return count; }
    // Index of the key, or the complement (~) of the position it would take.
    int find(const NString& key) const;

    void removeKey(const NString& key);
    void removeAt(int index);
    void removeAll();
    void swap(int i, int j);
    void sort(int direction = 1);
    void setSorted(bool on);
    bool isSorted() const { return sorted; }
    int addAll(const NMapStringToNum& other);

protected:
    struct Entry {
        NString* key;
        int value;
    };

    // Inserts an entry at `position`; the new value is returned (null when
    // no room could be had).
    int* insertEntry(int position, const NString& key, int value);
    // Brings the array to the size that `n` entries call for.
    bool fitArray(int n);
    void swapEntries(int i, int j);
    void quickSort(int low, int high, int direction);
    bool isIndex(int index) const { return index >= 0 && index < count; }

    int defaultValue;
    Entry* entries;
    int count;
    int allocatedBytes;
    bool sorted;
};

#endif
