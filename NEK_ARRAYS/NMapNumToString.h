#ifndef NEK_NMAPNUMTOSTRING_H
#define NEK_NMAPNUMTOSTRING_H

#include "NString.h"

// NMapNumToString: unique 32-bit keys with text values, kept in insertion
// order or, once setSorted(true), in ascending key order (binary search).
// Values are owned by the map; a reference to one stays valid until its
// entry is removed.

class NMapNumToString {
public:
    NMapNumToString();
    NMapNumToString(const NMapNumToString& other);
    NMapNumToString& operator=(const NMapNumToString& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapNumToString();
    // -1, 0 or 1 as the key of entry `index` is below, equal to or above `key`.
    virtual int compareWith(int index, int key) const;

    bool setAt(int key, const NString& value);
    NString& lookup(int key, bool create = false);
    bool getAt(int index, int& key, NString& value) const;
    int getKeyAt(int index) const;
    NString& getValueAt(int index);
    bool contains(int key) const;
    bool get(int key, NString& value) const;
    int getCount() const { return count; }
    // Index of the key, or the complement (~) of the position it would take.
    int find(int key) const;

    void removeKey(int key);
    void removeAt(int index);
    void removeAll();
    void swap(int i, int j);
    void sort(int direction = 1);
    void setSorted(bool on);
    bool isSorted() const { return sorted; }
    int addAll(const NMapNumToString& other);

protected:
    struct Entry {
        int key;
        NString* value;
    };

    // Inserts an entry at `position`; the new value is returned (null when
    // no room could be had).
    NString* insertEntry(int position, int key, const NString& value);
    // Brings the array to the size that `n` entries call for.
    bool fitArray(int n);
    void swapEntries(int i, int j);
    void quickSort(int low, int high, int direction);
    bool isIndex(int index) const { return index >= 0 && index < count; }

    NString defaultValue;
    Entry* entries;
    int count;
    int allocatedBytes;
    bool sorted;
};

#endif
