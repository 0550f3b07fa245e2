#ifndef COMMANDLINECONVERTER_H
#define COMMANDLINECONVERTER_H

#include <cstdio>

#include "NString.h"

// CommandLineConverter: the converter for scripts and build pipelines. It
// turns pictures into the same source text the window puts on the
// clipboard, written to standard output, to one file or into a folder.
// GDI+ must be started by the caller.
class CommandLineConverter {
public:
    enum ExitCode { ok = 0, missingFile = 1, unreadablePicture = 2, cannotWrite = 3 };

    CommandLineConverter(FILE* out, FILE* err);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~CommandLineConverter();

    // Runs with the arguments after the program name; returns the exit code.
    int run(int argc, const char* const* argv);

private:
    void printUsage(FILE* to);
    // Converts one picture into `text`; reports a failure and returns its code.
    int convertPicture(const NString& picture, NString& text);
    // Writes through a temporary file beside `path`, so a failed write
    // leaves neither a partial nor a damaged old file.
    int writeFile(const NString& path, const NString& text);

    FILE* out;
    FILE* err;
};

#endif
