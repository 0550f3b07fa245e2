#ifndef NEK_NLANGUAGE_H
#define NEK_NLANGUAGE_H

#include "NString.h"

// NLanguage: the table that translates marked texts when they are stored in
// an NString. A marked text is marker + key + marker + default text, the
// marker being the two bytes 0xB3 0xB3; unmarked texts pass unchanged.
//
// A language file is a row of entries "key=text", each ended by the marker
// (the last one may end with the file); white space before an entry is
// skipped, and an entry starting with ';' or '#' is a comment up to the line
// end. The table is three heap blocks linked by 32-bit offsets, so each can
// grow on its own: the keys (each followed by the marker), the pair records
// and the zero-terminated texts.
class NLanguage {
public:
    NLanguage();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NLanguage();

    // Appends the entries of one language file's text to the table. Empty
    // keys are reported in getErrorText; the rest is still loaded.
    bool load(const NString& text);

    // Returns the text to store in place of `text`; `length` is an in/out
    // byte count, -1 meaning "measure it". The result stays valid until the
    // next load or clear.
    const char* translate(const char* text, int& length);

    // Empties a table that was ever filled and resets name, errors and log.
    void clear();

    const NString& getLanguageName() const { return languageName; }
    void setLanguageName(const NString& name) { languageName = name; }
    const NString& getErrorText() const { return errorText; }
    void setErrorText(const NString& text) { errorText = text; }
    // One line "key" + marker + "default" per lookup that found no entry.
    const NString& getMissingKeys() const { return missingKeys; }
    void setMissingKeys(const NString& text) { missingKeys = text; }
    bool isEnabled() const { return enabled != 0; }
    void setEnabled(bool on) { enabled = on ? 1 : 0; }

private:
    NLanguage(const NLanguage&) = delete;
    NLanguage& operator=(const NLanguage&) = delete;

    struct Pair {
        unsigned int keyOffset;
        unsigned int textOffset;
    };

    bool grow(char*& block, unsigned int& capacity, unsigned int fill, unsigned int need,
              unsigned int step);
    void trim(char*& block, unsigned int size);

    NString languageName;
    NString errorText;
    // Zero before construction too (static storage), so strings built by
    // earlier global constructors pass through untranslated.
    int enabled;
    NString missingKeys;
    char* keys;
    unsigned int keysSize;
    void* heap;
    char* pairs;
    unsigned int pairsSize;
    char* texts;
    unsigned int textsSize;
    NString separator;
};

extern NLanguage globalLanguage;

#endif
