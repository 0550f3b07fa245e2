#ifndef NEK_NPOINTLIST_H
#define NEK_NPOINTLIST_H

#include "NPoint.h"

// NPointList: a growable array of points, addressed from 0. The list owns
// its points: it creates them on insertion and deletes them on removal.
// An index outside the list shows an error box and the operation goes on
// with a safe value.
class NPointList {
public:
    NPointList();
    NPointList(const NPointList& other);
    NPointList& operator=(const NPointList& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPointList();
    // Called after a point has been inserted at index (and holds its value);
    // lets a derived list keep data of its own in step. Does nothing here.
    virtual void onInsert(int index);

    int getCount() const { return count; }
    int getAllocatedBytes() const { return allocatedBytes; }

    // Opens a slot holding a new point (0, 0) at index (count appends);
    // -1 when index is outside.
    int insertAt(int index);
    // -1 when index is outside.
    int insertAt(int index, const NPoint& point);
    // With unique, the index of an equal point when there is one.
    int add(const NPoint& point, bool unique = false);
    // Outside the list: the index is clamped into it after the box.
    NPoint& getAt(int index);
    bool setAt(int index, const NPoint& point);
    int find(const NPoint& point, int start = 0);
    void removeAt(int index);
    int removeValue(const NPoint& point);
    void removeAll();
    void swap(int i, int j);

protected:
    NPoint** data;
    int count;
    int allocatedBytes;
    // What getAt yields on an empty list; created when first needed.
    NPoint* emptyPoint;

private:
    int insertPoint(int index, NPoint* point);
};

#endif
