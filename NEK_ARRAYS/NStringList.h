#ifndef NEK_NSTRINGLIST_H
#define NEK_NSTRINGLIST_H

#include "NListCore.h"
#include "NString.h"

// NStringList: a growable array of strings, addressed from 0. The list owns
// its strings: it creates them on insertion and deletes them on removal.
// An index outside the list shows an error box and the operation goes on
// with a safe value. The common operations are those of NListCore; the text
// operations are its own.
class NStringList : public NListCore<NStringList, NListOwned<NString>> {
public:
    explicit NStringList(bool ignoreCase = false);
    NStringList(const NStringList& other);
    NStringList& operator=(const NStringList& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NStringList();
    // Compares element i with text, ignoring case when ignoreCase is set.
    virtual int compareWith(int i, const NString& text);
    // Always case-sensitive.
    virtual int compareAt(int i, int j);

    using NListCore::sort;

    // The pieces of text between separators, empty ones included; returns
    // their number.
    int split(const NString& text, const NString& separator);
    NString join(const NString& separator) const;
    // The words of text separated by blanks outside double quotes; a quoted
    // word loses its quotes. Returns the new count.
    int splitWords(const NString& text);
    // Adds the tokens of text cut at separator; returns how many were added.
    int addTokens(const NString& text, const NString& separator, bool unique = false);

    // Governs compareWith and so find, add with unique and sort.
    bool ignoreCase;
};

#endif
