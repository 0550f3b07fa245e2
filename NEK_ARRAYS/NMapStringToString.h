#ifndef NEK_NMAPSTRINGTOSTRING_H
#define NEK_NMAPSTRINGTOSTRING_H

#include "NMapCore.h"
#include "NString.h"

// NMapStringToString: unique text keys (case-sensitive) with text values,
// kept in insertion order or, once setSorted(true), in ascending byte order
// of the keys (binary search). Keys and values are owned by the map; a
// reference to a value stays valid until its entry is removed. The common
// operations are those of NMapCore; the text operations are its own.

class NMapStringToString : public NMapCore<NMapStringToString, NMapText, NMapText> {
public:
    NMapStringToString();
    NMapStringToString(const NMapStringToString& other);
    NMapStringToString& operator=(const NMapStringToString& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMapStringToString();
    // -1, 0 or 1 as the key of entry `index` sorts before, equal to or after `key`.
    // Defined here so that the core's search can have it inlined.
    virtual int compareWith(int index, const NString& key) const { return compareKey(index, key); }

    // --- text ---------------------------------------------------------------
    // `text` with every prefix + key + suffix replaced by the key's value,
    // the entries taken in map order.
    NString replaceVariables(const NString& text, const char* prefix = "{{",
                             const char* suffix = "}}") const;
    NString toText(const char* pairSeparator, const char* itemSeparator) const;
    // Reads items "key<pairSeparator>value" separated by itemSeparator;
    // returns how many pairs were stored.
    int fromText(const NString& text, const char* itemSeparator, const char* pairSeparator,
                 bool clearFirst = true);
};

#endif
