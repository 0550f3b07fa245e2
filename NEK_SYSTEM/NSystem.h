#ifndef NEK_NSYSTEM_H
#define NEK_NSYSTEM_H

#include "NString.h"

// NSystem: system information without state: the text of a Windows error
// code, environment variables and the shell's special folders.
class NSystem {
public:
    NSystem();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NSystem();

    // The system's text for a GetLastError code, trimmed; for a code the
    // system has no text for: "Unbekannter Fehler <code>.".
    static NString getErrorText(unsigned int errorCode);
    // Empty when the variable does not exist.
    static NString getEnvironmentVariable(const NString& name);
    // folderId is a CSIDL value; empty when the shell does not know it.
    static NString getSpecialFolder(int folderId);
};

#endif
