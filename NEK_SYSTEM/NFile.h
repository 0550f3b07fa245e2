#ifndef NEK_NFILE_H
#define NEK_NFILE_H

#include <cstdio>

#include "NString.h"

class NMem;

// NFile: a runtime-library stream with the file's full path and the text of
// its last failure. Failures are reported by results and lastError; only an
// empty name, a failed open (unless silent), a read or getSize on a closed
// file show a message box. The static whole-file operations read or write a
// file in one call.
class NFile {
public:
    NFile();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NFile();
    NFile(const NFile&) = delete;
    NFile& operator=(const NFile&) = delete;

    // Files are binary unless mode asks for text ("t").
    bool open(const NString& name, const char* mode = "rb", bool silent = false);
    // A new, empty file ("w+b").
    bool create(const NString& name, bool silent = false);
    // A new file with a system-chosen name in folder (empty: the temporary
    // folder). Reports only through the result and lastError.
    bool createTemp(const NString& prefix, const NString& folder = NString());
    // Empties the open file by opening its path again with "w+".
    bool reopenEmpty();
    void close();
    bool isOpen() const { return stream != nullptr; }
    NString getFileName() const { return fullPath; }

    // Number of bytes read; 0 at the end or on failure.
    int read(void* buffer, int count);
    // count -1 reads up to the end.
    NString readString(int count = -1);
    bool write(const void* buffer, int count);
    bool write(const NString& text);
    // origin 0 start, 1 current, 2 end (a positive position counts back).
    bool seek(int position, int origin = 0);
    int tell();
    int getSize();
    // Moves to position and ends the file there.
    bool setLength(int position);

    static void flushAll();

    // With an error out-parameter nothing is shown; it receives lastError.
    static NString readTextFile(const NString& path, NString* error = nullptr);
    static bool writeTextFile(const NString& path, const NString& text, NString* error = nullptr);
    static bool readMem(const NString& path, NMem& memory, NString* error = nullptr);
    static bool writeMem(const NString& path, const NMem& memory, NString* error = nullptr);

    NString lastError;

private:
    // The runtime needs a seek or flush between reading and writing.
    enum Direction { none, reading, writing };

    // Sets lastError to the open failure text for name and shows it unless silent.
    void failOpen(const NString& name, unsigned int errorCode, bool silent);
    // Closes and reports a failed final flush in lastError.
    bool closeStream();
    void switchTo(Direction wanted);
    void setSystemError(const char* prefix);
    bool requireOpen(const char* prefix);
    static bool writeWhole(const NString& path, const void* bytes, int count, NString* error);

    FILE* stream;
    NString fullPath;
    Direction direction;
};

#endif
