#ifndef NEK_NMAPSTRINGTONUM_H
#define NEK_NMAPSTRINGTONUM_H

#include "NMapCore.h"

// NMapStringToNum: unique text keys (case-sensitive) with 32-bit values,
// kept in insertion order or, once setSorted(true), in ascending byte order
// of the keys (binary search). Keys are owned by the map; values live in the
// entry array, so a reference to one stays valid until the map changes size.
// The operations are those of NMapCore.

class NMapStringToNum : public NMapCore<NMapStringToNum, NMapText, NMapNum> {
public:
    NMapStringToNum();
    NMapStringToNum(const NMapStringToNum& other);
    NMapStringToNum& operator=(const NMapStringToNum& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapStringToNum();
    // -1, 0 or 1 as the key of entry `index` sorts before, equal to or after `key`.
    // Defined here so that the core's search can have it inlined.
    virtual int compareWith(int index, const NString& key) const { return compareKey(index, key); }
};

#endif
