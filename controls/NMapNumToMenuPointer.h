#ifndef NEK_NMAPNUMTOMENUPOINTER_H
#define NEK_NMAPNUMTOMENUPOINTER_H

class NPopupMenu;

// NMapNumToMenuPointer: command id -> popup menu, with the behaviour of the
// library's number-keyed maps (insertion order or sorted with binary
// search). It does not own the menus.
class NMapNumToMenuPointer {
public:
    NMapNumToMenuPointer();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapNumToMenuPointer();

    // Inserts or replaces; returns the entry's index.
    int setAt(int key, NPopupMenu* menu);
    // Null when the key is missing.
    NPopupMenu* getAt(int key) const;
    int getCount() const;
    int getKeyAt(int index) const;
    NPopupMenu* getValueAt(int index) const;
    bool removeKey(int key);
    void removeAll();
    // direction 1 ascending, -1 descending, 0 back to insertion order lookups.
    void sort(int direction = 1);
};

#endif
