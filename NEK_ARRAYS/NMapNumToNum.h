#ifndef NEK_NMAPNUMTONUM_H
#define NEK_NMAPNUMTONUM_H

#include "NMapCore.h"

// NMapNumToNum: unique 32-bit keys with 32-bit values, kept in insertion
// order or, once setSorted(true), in ascending key order (binary search).
// Values live in the entry array: a reference to one stays valid until the
// map changes size.
// The operations are those of NMapCore.

class NMapNumToNum : public NMapCore<NMapNumToNum, NMapNum, NMapNum> {
public:
    NMapNumToNum();
    NMapNumToNum(const NMapNumToNum& other);
    NMapNumToNum& operator=(const NMapNumToNum& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapNumToNum();
    // -1, 0 or 1 as the key of entry `index` is below, equal to or above `key`.
    // Defined here so that the core's search can have it inlined.
    virtual int compareWith(int index, int key) const { return compareKey(index, key); }
};

#endif
