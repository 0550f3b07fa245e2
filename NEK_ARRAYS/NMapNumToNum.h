#ifndef NEK_NMAPNUMTONUM_H
#define NEK_NMAPNUMTONUM_H

// NMapNumToNum: unique 32-bit keys with 32-bit values, kept in insertion
// order or, once setSorted(true), in ascending key order (binary search).
// Values live in the entry array: a reference to one stays valid until the
// map changes size.

class NMapNumToNum {
public:
    NMapNumToNum();
    NMapNumToNum(const NMapNumToNum& other);
    NMapNumToNum& operator=(const NMapNumToNum& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapNumToNum();
    // -1, 0 or 1 as the key of entry `index` is below, equal to or above `key`.
    virtual int compareWith(int index, int key) const;

    bool setAt(int key, int value);
    int& lookup(int key, bool create = false);
    bool getAt(int index, int& key, int& value) const;
    int getKeyAt(int index) const;
    int& getValueAt(int index);
    bool contains(int key) const;
    bool get(int key, int& value) const;
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
    int addAll(const NMapNumToNum& other);

protected:
    struct Entry {
        int key;
        int value;
    };

    // Inserts an entry at `position`; the new value is returned (null when
    // no room could be had).
    int* insertEntry(int position, int key, int value);
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
