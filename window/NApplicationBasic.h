#ifndef NEK_NAPPLICATIONBASIC_H
#define NEK_NAPPLICATIONBASIC_H

#include "NFileIni.h"
#include "NString.h"
#include "NStringList.h"

// NApplicationBasic: what every program knows about itself: its command
// line split into arguments, its path and folder, and its user and
// computer configuration files (<program title>.cfg in the application-data
// folders), opened on first use. One global instance.
class NApplicationBasic {
public:
    NApplicationBasic();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NApplicationBasic();

    // Splits the process command line again (the list is emptied first) and
    // derives program path and folder from argument 0.
    void readCommandLine();
    // Splits at characters up to 32 outside double quotes; quotes around an
    // argument are dropped, empty pieces too.
    static void splitCommandLine(const char* commandLine, NStringList& arguments);

    // Open once; later calls return true at once. False with a box when the
    // program has no file title yet.
    bool openUserConfigFile();
    bool openComputerConfigFile();

    // Runs the thread's messages until ms have passed; false at once when
    // *keepGoing drops to 0.
    bool wait(unsigned int milliseconds, volatile int* keepGoing = nullptr);

    const NString& getProgramPath() const { return programPath; }
    const NString& getProgramFolder() const { return programFolder; }
    const NStringList& getArguments() const { return arguments; }

    NFileIni computerConfig;
    NFileIni userConfig;
    NString programPath;
    NStringList arguments;
    NString programFolder;
    int reserved;

private:
    bool openConfigFile(NFileIni& file, int folderId, const char* operation);
};

extern NApplicationBasic globalApplicationBasic;

#endif
