#ifndef NEK_NSOUND_H
#define NEK_NSOUND_H

#include "NString.h"
#include "NStringList.h"

// NSound: WAV files (one looping in the background, others queued and
// played one after another) and MIDI files. The application drives the
// queue from its 10 ms tick through next(); names are resolved through the
// resource manager.
class NSound {
public:
    enum Kind { none = 0, wav = 1, midi = 2 };

    NSound();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NSound();

    // Starts the file (a WAV loops) and returns its kind.
    int open(const NString& name, int param = 0x4000);
    // Plays at once over a running loop, otherwise waits in the queue.
    void queue(const NString& name);
    // One tick: the next queued file, or the loop again when the queue is empty.
    void next();
    void stop();
    // Plays a file once; a failure is recorded in the error log.
    static bool play(const NString& name, bool wait = false);

    int getKind() const { return kind; }
    const NString& getFileName() const { return fileName; }
    const NStringList& getQueue() const { return queued; }
    bool isLoopPlaying() const { return loopPlaying != 0; }

private:
    void start();
    void closeMidi();

    int kind;
    int openParam;
    NString fileName;
    int loopPlaying;
    NStringList queued;
    unsigned int midiDevice;
};

#endif
