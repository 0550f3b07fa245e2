#ifndef NEK_NMAPSTRINGTOSTRING_H
#define NEK_NMAPSTRINGTOSTRING_H

#include "NString.h"

// NMapStringToString: unique text keys (case-sensitive) with text values,
// kept in insertion order or, once setSorted(true), in ascending byte order
// of the keys (binary search). Keys and values are owned by the map; a
// reference to a value stays valid until its entry is removed.

class NMapStringToString {
public:
    NMapStringToString();
    NMapStringToString(const NMapStringToString& other);
    NMapStringToString& operator=(const NMapStringToString& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapStringToString();
    // -1, 0 or 1 as the key of entry `index` sorts before, equal to or after `key`.
    virtual int compareWith(int index, const NString& key) const;

    bool setAt(const NString& key, const NString& value);
    NString& lookup(const NString& key, bool create = false);
    bool getAt(int index, NString& key, NString& value) const;
    NString getKeyAt(int index) const;
    NString& getValueAt(int index);
    bool contains(const NString& key) const;
    bool get(const NString& key, NString& value) const;
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
    int addAll(const NMapStringToString& other);

    // --- text ---------------------------------------------------------------
    // `text` with every prefix + key + suffix replaced by the key's value,
    // the entries taken in map order.
    NString replaceVariables(const NString& text, const char* prefix = "{{",
                             const char* suffix = "}}") const;
    NString toText(const char* pairSeparator, const char* itemSeparator) const;
    // Reads items "key<pairSeparator>value" separated by itemSeparator;
    // returns how many pairs were stored.
    int fromText(const NString& text, const char* itemSeparator, const char* pairSeparator,
                 bool clearFirst = true);

protected:
    struct Entry {
        NString* key;
        NString* value;
    };

    // Inserts an entry at `position`; the new value is returned (null when
    // no room could be had).
    NString* insertEntry(int position, const NString& key, const NString& value);
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
