#ifndef NEK_NRESOURCEARCHIVE_H
#define NEK_NRESOURCEARCHIVE_H

#include "NString.h"

// NResourceArchive: the one reading of the resource archive appended to a
// program file (layout in NResources.h). The resource manager extracts
// what it finds, the packing tool lists it and finds where the program
// ends; both walk the blocks through this class, so they can never
// disagree about what an archive holds. The bytes come from a Source, so
// the caller decides how the file is opened.
class NResourceArchive {
public:
    class Source {
    public:
        virtual ~Source() {}
        virtual long long getSize() = 0;
        // Reads exactly `count` bytes at `offset`; false otherwise.
        virtual bool readAt(long long offset, void* buffer, int count) = 0;
    };

    // One file block: its stored name and where its scrambled data lie.
    struct Block {
        NString name;
        unsigned int dataLength = 0;
        long long dataOffset = 0;
    };

    enum Step { block, finished, failure };

    explicit NResourceArchive(Source& source);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NResourceArchive();

    // Finds the trailer (at the end, else the last end marker in the file),
    // the start offset, the start marker and the header, as the reader does.
    // False with getReason() set as the reader reports it.
    bool open();
    // For an archive whose trailer is lost: the last complete writer header
    // ("nekres", 12, 1, 0) at or behind the minimum start offset. True when
    // one is found; then its blocks can be walked up to the end of the file,
    // and the walk ends with a failure that names the missing end marker.
    bool openWithoutTrailer();
    // The next block; `finished` at the end marker or an end identifier 's'.
    Step next(Block& found);
    // The data of a block, unscrambled with `key`, into `buffer` (its size
    // is the block's data length).
    bool readData(const Block& found, unsigned char* buffer, unsigned char key);

    // The reader's reason for the last failure, in its words (may be empty
    // where the reader says nothing more).
    const NString& getReason() const { return reason; }
    // A reason for people, never empty after a failure.
    const NString& getExplanation() const { return explanation; }
    // The name of the block refused for its name, all its bytes.
    const NString& getBadName() const { return badName; }

    long long getStart() const { return start; }
    // Just behind the trailer.
    long long getEnd() const { return end; }
    long long getFileSize() const { return size; }
    // True when the trailer was found only by the search (bytes follow it).
    bool isTooLong() const { return tooLong; }
    // True when the file ends with the end marker and a start offset,
    // whether or not they lead to an archive.
    bool isTrailerAtEnd() const { return end == size && size > 0 && !tooLong && !withoutTrailer; }
    int getHeaderLength() const { return headerLength; }
    int getWordA() const { return wordA; }
    int getWordB() const { return wordB; }

    // The two marker words; kept out of the program image in plain form so
    // that the search never stops on the reader's own constants.
    static void startMagic(char bytes[6]);
    static void endMagic(char bytes[6]);

private:
    NResourceArchive(const NResourceArchive&) = delete;
    NResourceArchive& operator=(const NResourceArchive&) = delete;

    bool readInt(long long offset, int& value);
    bool fail(const NString& readerReason, const NString& text);
    // The last occurrence of `bytes` starting before `limit`, or -1.
    long long findLast(const char* bytes, int count, long long limit);

    Source& source;
    long long size;
    long long start;
    long long end;
    long long position;
    bool tooLong;
    bool withoutTrailer;
    int headerLength;
    int wordA;
    int wordB;
    NString reason;
    NString explanation;
    NString badName;
};

#endif
