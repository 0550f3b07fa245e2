#ifndef NEK_NPOINTERLIST_H
#define NEK_NPOINTERLIST_H

#include "NListCore.h"

// NPointerList: a growable array of untyped pointers, addressed from 0.
// The list never frees what its elements point to. An index outside the
// list shows an error box and the operation goes on with a safe value.
// The operations are those of NListCore.
class NPointerList : public NListCore<NPointerList, NListInline<void*>> {
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

    using NListCore::getData;
    using NListCore::sort;
};

#endif
