#ifndef NEK_NMAPNUMTOSTRING_H
#define NEK_NMAPNUMTOSTRING_H

#include "NMapCore.h"

// NMapNumToString: unique 32-bit keys with text values, kept in insertion
// order or, once setSorted(true), in ascending key order (binary search).
// Values are owned by the map; a reference to one stays valid until its
// entry is removed.
// The operations are those of NMapCore.

class NMapNumToString : public NMapCore<NMapNumToString, NMapNum, NMapText> {
public:
    NMapNumToString();
    NMapNumToString(const NMapNumToString& other);
    NMapNumToString& operator=(const NMapNumToString& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapNumToString();
    // -1, 0 or 1 as the key of entry `index` is below, equal to or above `key`.
    // Defined here so that the core's search can have it inlined.
    virtual int compareWith(int index, int key) const { return compareKey(index, key); }
};

#endif
