#ifndef NEK_NLANGUAGE_H
#define NEK_NLANGUAGE_H

// NLanguage: the table that translates marked texts (marker 0xB3 0xB3) when
// they are stored in an NString. Unmarked texts pass unchanged.
class NLanguage {
public:
    NLanguage();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NLanguage();

    // Returns the text to store in place of `text`; `length` is an in/out
    // byte count, -1 meaning "measure it".
    const char* translate(const char* text, int& length);

private:
    // Zero before construction too (static storage), so strings built by
    // earlier global constructors pass through untranslated.
    int enabled;
};

extern NLanguage globalLanguage;

#endif
