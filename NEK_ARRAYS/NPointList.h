#ifndef NEK_NPOINTLIST_H
#define NEK_NPOINTLIST_H

#include "NListCore.h"
#include "NPoint.h"

// NPointList: a growable array of points, addressed from 0. The list owns
// its points: it creates them on insertion and deletes them on removal.
// An index outside the list shows an error box and the operation goes on
// with a safe value. The operations are those of NListCore, with points
// compared by ==; there is no sort.
class NPointList : public NListCore<NPointList, NListOwned<NPoint>> {
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

    using NListCore::insertAt;
    // -1 when index is outside.
    int insertAt(int index, const NPoint& point);

protected:
    // What getAt yields on an empty list; created when first needed.
    NPoint* emptyPoint;

private:
    friend class NListCore<NPointList, NListOwned<NPoint>>;
    bool matches(int i, const NPoint& point) const { return *data[i] == point; }
    bool fitSlots(int n);
    void inserted(int index) { onInsert(index); }
    NPoint& emptyElement();
};

#endif
