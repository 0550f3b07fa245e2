#ifndef NEK_NERROR_H
#define NEK_NERROR_H

#include "NString.h"

// NError: the library's way to report errors. messageBox shows one at once;
// addError collects it silently in a log that the program shows in one box
// when its main window goes (showLog).
class NError {
public:
    NError();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NError();

    // errorCode is a GetLastError value, 0 for none.
    void addError(const NString& text, unsigned int errorCode = 0);
    // style is a set of MessageBoxA flags; the pressed button is not reported.
    void messageBox(const NString& text, unsigned int errorCode, const NString& title,
                    unsigned int style);
    void showLog();
    // The system's text for a Windows error code, or an empty string.
    static NString getSystemMessage(unsigned int errorCode);

    NString log;
};

extern NError globalError;

#endif
