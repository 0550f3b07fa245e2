#ifndef COMMANDLINECONVERTER_H
#define COMMANDLINECONVERTER_H

#include <string>
#include <vector>

#include "NSize.h"
#include "NString.h"

class NConsole;

// CommandLineConverter: the converter for scripts and build pipelines. It
// turns pictures into the same source text the window puts on the
// clipboard, written to standard output, to one file or into a folder.
// Arguments are UTF-16, so any file name works; '*' and '?' in a picture's
// name are expanded here, as Windows shells leave that to the program.
// GDI+ must be started by the caller.
class CommandLineConverter {
public:
    enum ExitCode {
        ok = 0,
        missingFile = 1,
        unreadablePicture = 2,
        cannotWrite = 3,
        tooBig = 4,
        wouldOverwrite = 5,
        badName = 6,
        usageError = 64,
        interrupted = 130
    };

    CommandLineConverter(NConsole& out, NConsole& err);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~CommandLineConverter();

    // Runs with the arguments after the program name; returns the exit code.
    int run(const std::vector<std::wstring>& arguments);

    // Why `name` cannot stand in the text's C identifiers; empty when it can.
    static std::wstring symbolProblem(const std::wstring& name);

private:
    struct Picture {
        explicit Picture(const std::wstring& argument, int failure = ok, const std::wstring& message = {})
            : argument(argument), failure(failure), message(message)
        {
        }
        std::wstring argument;  // as given, or the name a pattern gave
        std::wstring output;    // empty for standard output
        NString symbol;
        int failure;            // found while planning, reported in turn
        std::wstring message;
    };

    // One option that takes a value: `apply` checks it and reports a bad
    // value itself; without `apply` the text goes into `text` as it is.
    struct ValueOption {
        const wchar_t* name;
        int (CommandLineConverter::*apply)(const std::wstring& value);
        std::wstring CommandLineConverter::*text;
    };
    static const ValueOption valueOptions[];

    int setSymbolName(const std::wstring& value);
    int setSize(const std::wstring& value);
    int setBackground(const std::wstring& value);
    int setDebugPort(const std::wstring& value);
    int setRotation(const std::wstring& value);
    int setFlip(const std::wstring& value);
    // --decode: the picture of a header file as PNG.
    int decodeHeader();
    // --stats and --preview for the text just written.
    int review(const Picture& picture, const char* text, unsigned long long length);
    int parseArguments(const std::vector<std::wstring>& arguments, std::vector<std::wstring>& pictures);
    bool parseSize(const std::wstring& text);
    bool parseBackground(const std::wstring& text);
    void plan(const std::vector<std::wstring>& arguments);
    void planPicture(Picture& picture);
    bool refuseOverwrites();
    int convert(Picture& picture);
    int refuseTooBig();
    void report(const std::wstring& text);
    void printUsage(NConsole& to);

    NConsole& out;
    NConsole& err;
    std::wstring outputFile;
    std::wstring outputFolder;
    std::wstring symbolName;
    NSize size;
    int background;
    bool everyFrame;
    bool showStats;
    int rotation;
    char flip;
    std::wstring previewFile;
    std::wstring decodeFile;
    std::vector<Picture> jobs;
};

#endif
