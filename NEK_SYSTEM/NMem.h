#ifndef NEK_NMEM_H
#define NEK_NMEM_H

#include "NString.h"

class NMapStringToString;

// NMem: a byte block on the process heap that is always exactly as large as
// its size (no spare capacity); new bytes are 0. Operations that cannot be
// done (indices outside, negative counts, no memory) leave the buffer as it
// was and report it by their result.
class NMem {
public:
    NMem();
    explicit NMem(int size);
    NMem(const NMem& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NMem();

    // An exact copy: afterwards both have the same size and bytes.
    NMem& operator=(const NMem& other);
    // Overlays the source's bytes from index 0; the buffer grows to the larger
    // of both sizes and keeps its own bytes beyond the source's end.
    bool fillFrom(const NMem& source);

    unsigned char* getPointer() const { return data; }
    int getSize() const { return size; }
    bool setSize(int newSize);
    unsigned char getAt(int index) const;
    bool setAt(int index, unsigned char value);
    void clear();

    bool append(const void* bytes, int count);
    bool append(const NMem& other);
    bool append(const NString& text);
    // Values are stored in the machine's byte order (little endian).
    bool append(char value);
    bool append(unsigned char value);
    bool append(short value);
    bool append(unsigned short value);
    bool append(int value);
    bool append(unsigned int value);
    bool insert(int position, const void* bytes, int count);
    bool remove(int position, int count);

    int findByte(unsigned char value, int start = 0) const;
    int find(const void* bytes, int count, int start = 0) const;
    // start -1 searches from the last possible position.
    int findReverse(const void* bytes, int count, int start = -1) const;
    bool getRange(int start, int count, NMem& target) const;

    int parseFields(NMapStringToString& map, char fieldSeparator = 0, char keySeparator = '=',
                    char end = 0) const;

    NString toHexDump(int bytesPerLine = 16) const;
    NString toByteList(const char* separator = ", ") const;
    bool fromByteList(const NString& text);
    NString toBase64() const;
    bool fromBase64(const NString& text);

private:
    // Resizes the block; on failure nothing changes.
    bool resize(int newSize);
    // Makes room for count bytes at position (tail moved up), new bytes 0.
    bool openGap(int position, int count);
    // Takes over a block of exactly newSize bytes from the heap.
    void adopt(unsigned char* block, int newSize);

    unsigned char* data;
    int size;
};

#endif
