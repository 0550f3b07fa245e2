#ifndef NEK_NNUMLIST_H
#define NEK_NNUMLIST_H

#include "NString.h"

// NNumList: a growable array of 32-bit signed numbers, addressed from 0.
// An index outside the list shows an error box and the operation goes on
// with a safe value.
class NNumList {
public:
    NNumList();
    NNumList(const NNumList& other);
    NNumList& operator=(const NNumList& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NNumList();
    // Both compare as signed numbers: -1, 0 or 1.
    virtual int compareAt(int i, int j);
    virtual int compareWith(int i, int value);

    int getCount() const { return count; }
    int getAllocatedBytes() const { return allocatedBytes; }
    int* getData() { return data; }

    // Opens a slot holding 0 at index (count appends); -1 when index is outside.
    int insertAt(int index);
    // -1 when index is outside, -2 when the value could not be stored.
    int insertAt(int index, int value);
    // With unique, the index of an equal element when there is one.
    int add(int value, bool unique = false);
    // Outside the list: the index is clamped into it after the box.
    int& getAt(int index);
    bool setAt(int index, int value);
    int find(int value, int start = 0);
    void removeAt(int index);
    int removeValue(int value);
    void removeAll();
    void swap(int i, int j);
    // direction 1 ascending, -1 descending.
    void sort(int direction = 1);

    // The numbers between separators (an empty piece counts as 0, an empty
    // rest after the last separator is dropped); returns how many were added.
    int fromText(const NString& text, const NString& separator);
    NString toText(const NString& separator) const;
    // Sizes from a list like "100,*,25%": plain numbers, percentages of
    // total, and "*" for what is left of total.
    void splitSizes(int total, const NString& spec);

protected:
    int* data;
    int count;
    int allocatedBytes;

private:
    void sortRange(int low, int high, int direction);
};

#endif
