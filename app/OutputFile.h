#ifndef OUTPUTFILE_H
#define OUTPUTFILE_H

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "OndraSourceText.h"

// OutputFile: writes one text into a file without ever leaving a partial or
// damaged file behind: the text goes into a temporary file beside the
// target, which replaces the target only when everything was written, and
// is deleted otherwise. Parts reported as finished are written by a thread
// of its own while the caller makes the rest. A device (NUL, CON) is
// written directly: nothing can be renamed onto it. On an interruption
// (Ctrl+C, a closed console) discardUnfinished removes the temporary files.
class OutputFile : public OndraSourceText::Progress {
public:
    // `path` is the target as the user gave it; `text` is where the text starts.
    OutputFile(const std::wstring& path, const char* text);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    ~OutputFile() override;

    // Creates the temporary file; false on failure (see getError).
    bool open();
    void written(const char* end) override;
    // Writes the rest up to `end`, then puts the file in place of the target.
    bool finish(const char* end);
    // The Windows error code of the first failure.
    unsigned long getError() const { return error; }

    // Deletes the temporary file of every OutputFile not yet finished; none
    // of them is put in place then. Safe on any thread (a console control
    // handler runs on one of its own). With `forGood` the process is ending:
    // no output file is created or put in place any more.
    static void discardUnfinished(bool forGood);

private:
    void writeParts();
    void discard();
    void unregister();

    // The files being written, for discardUnfinished.
    static std::mutex unfinishedLock;
    static std::vector<OutputFile*> unfinished;

    std::wstring target;
    std::wstring temp;
    void* handle;
    const char* ready;
    const char* done;
    bool closing;
    unsigned long error;
    bool abandoned;
    std::mutex lock;
    std::condition_variable changed;
    std::thread writer;
};

#endif
