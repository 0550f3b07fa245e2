#ifndef NEK_NPDFWRITER_H
#define NEK_NPDFWRITER_H

#include "NString.h"

#include <string>
#include <vector>

// NPdfWriter: assembles the bytes of a PDF file: numbered objects with their
// byte offsets, streams, the cross-reference table and the trailer.
// Object numbers may be reserved before the object is written, so that
// objects can refer to each other in any order.
class NPdfWriter {
public:
    NPdfWriter();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPdfWriter() {}

    // A new object number, not yet written.
    int reserve();
    // Starts object number (reserved, or 0 for a new one); returns it.
    int begin(int number = 0);
    void end();
    void put(const char* text);
    void put(const NString& text) { put(text.getBuffer()); }
    void putBytes(const std::string& bytes) { data += bytes; }
    // A whole stream object: "<< extra /Length n >> stream ... endstream".
    // With compress the bytes are deflated and /Filter /FlateDecode added;
    // if deflating fails the bytes are written as they are.
    int stream(const NString& extraEntries, const std::string& bytes, bool compress, int number = 0);
    // Cross-reference table, trailer and end of file. False when a reserved
    // object was never written.
    bool finish(int root, int info);

    const std::string& getData() const { return data; }
    size_t getOffset(int number) const;

    // (text) with ( ) \ and line ends escaped; bytes pass unchanged.
    static NString literal(const NString& text);
    // Text from Windows-1252 for a text string outside content streams:
    // pure ASCII as a literal, anything else as UTF-16BE with byte order mark.
    static NString textString(const NString& text);
    // /Name with bytes outside the regular characters written as #xx.
    static NString name(const NString& text);
    // Shortest decimal form with up to two decimals ("12", "12.5", "-0.25").
    static NString number(float value);
    static bool deflate(const std::string& in, std::string& out);

private:
    std::string data;
    std::vector<size_t> offsets;   // index = object number; 0 = not written
    int open;
};

#endif
