#ifndef NEK_NNUMLIST_H
#define NEK_NNUMLIST_H

#include "NListCore.h"
#include "NString.h"

// NNumList: a growable array of 32-bit signed numbers, addressed from 0.
// An index outside the list shows an error box and the operation goes on
// with a safe value. The common operations are those of NListCore; the text
// operations are its own.
class NNumList : public NListCore<NNumList, NListInline<int>> {
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

    using NListCore::getData;
    using NListCore::sort;

    // The numbers between separators (an empty piece counts as 0, an empty
    // rest after the last separator is dropped); returns how many were added.
    int fromText(const NString& text, const NString& separator);
    NString toText(const NString& separator) const;
    // Sizes from a list like "100,*,25%": plain numbers, percentages of
    // total, and "*" for what is left of total.
    void splitSizes(int total, const NString& spec);
};

#endif
