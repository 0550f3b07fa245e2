#ifndef NEK_NMAPNUMTOMENUPOINTER_H
#define NEK_NMAPNUMTOMENUPOINTER_H

class NPopupMenu;

// NMapNumToMenuPointer: command id -> popup menu, with the behaviour of the
// library's number-keyed maps: unique keys kept in insertion order or, once
// setSorted(true), in ascending order found by binary search. The map does
// not own the menus.
class NMapNumToMenuPointer {
public:
    NMapNumToMenuPointer();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapNumToMenuPointer();
    // -1, 0 or 1 as the key of entry `index` is below, equal to or above `key`.
    virtual int compareWith(int index, int key) const;

    // True when the key is new; an existing key gets the new menu.
    bool setAt(int key, NPopupMenu* menu);
    // Null when the key is missing.
    NPopupMenu* lookup(int key) const;
    bool contains(int key) const;
    // 0 and null outside the map.
    int getKeyAt(int index) const;
    NPopupMenu* getValueAt(int index) const;
    int getCount() const { return count; }
    // Index of the key, or the complement (~) of the position it would take.
    int find(int key) const;

    void removeKey(int key);
    void removeAt(int index);
    void removeAll();
    // 1 ascending, -1 descending.
    void sort(int direction = 1);
    void setSorted(bool on);
    bool isSorted() const { return sorted; }

private:
    NMapNumToMenuPointer(const NMapNumToMenuPointer&) = delete;
    NMapNumToMenuPointer& operator=(const NMapNumToMenuPointer&) = delete;

    struct Entry {
        int key;
        NPopupMenu* menu;
    };
    bool isIndex(int index) const { return index >= 0 && index < count; }
    void swapEntries(int i, int j);

    Entry* entries;
    int count;
    int allocatedBytes;
    bool sorted;
};

#endif
