#ifndef NEK_NSTRINGLIST_H
#define NEK_NSTRINGLIST_H

#include "NString.h"

// NStringList: a growable array of strings, addressed from 0. The list owns
// its strings: it creates them on insertion and deletes them on removal.
// An index outside the list shows an error box and the operation goes on
// with a safe value.
class NStringList {
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

    int getCount() const { return count; }
    int getAllocatedBytes() const { return allocatedBytes; }

    // Opens a slot holding a new empty string at index (count appends);
    // -1 when index is outside.
    int insertAt(int index);
    // -1 when index is outside, -2 when the text could not be stored.
    int insertAt(int index, const NString& text);
    // With unique, the index of an equal element when there is one.
    int add(const NString& text, bool unique = false);
    // Outside the list: the index is clamped into it after the box.
    NString& getAt(int index);
    bool setAt(int index, const NString& text);
    int find(const NString& text, int start = 0);
    void removeAt(int index);
    int removeValue(const NString& text);
    void removeAll();
    void swap(int i, int j);
    // direction 1 ascending, -1 descending.
    void sort(int direction = 1);

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

protected:
    NString** data;
    int count;
    int allocatedBytes;

private:
    void sortRange(int low, int high, int direction);
};

#endif
