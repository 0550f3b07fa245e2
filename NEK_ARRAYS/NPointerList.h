#ifndef NEK_NPOINTERLIST_H
#define NEK_NPOINTERLIST_H

// NPointerList: a growable array of untyped pointers, addressed from 0.
// The list never frees what its elements point to. An index outside the
// list shows an error box and the operation goes on with a safe value.
class NPointerList {
public:
    NPointerList();
    NPointerList(const NPointerList& other);
    NPointerList& operator=(const NPointerList& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPointerList();
    // Both compare the pointer values as unsigned numbers: -1, 0 or 1.
    virtual int compareAt(int i, int j);
    virtual int compareWith(int i, void* value);

    int getCount() const { return count; }
    int getAllocatedBytes() const { return allocatedBytes; }
    void** getData() { return data; }

    // Opens a null slot at index (count appends); -1 when index is outside.
    int insertAt(int index);
    // -1 when index is outside, -2 when the value could not be stored.
    int insertAt(int index, void* value);
    // With unique, the index of an equal element when there is one.
    int add(void* value, bool unique = false);
    // Outside the list: the index is clamped into it after the box.
    void*& getAt(int index);
    bool setAt(int index, void* value);
    int find(void* value, int start = 0);
    void removeAt(int index);
    int removeValue(void* value);
    void removeAll();
    void swap(int i, int j);
    // direction 1 ascending, -1 descending.
    void sort(int direction = 1);

protected:
    void** data;
    int count;
    int allocatedBytes;

private:
    void sortRange(int low, int high, int direction);
};

#endif
