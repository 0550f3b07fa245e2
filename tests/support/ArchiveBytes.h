#ifndef ARCHIVEBYTES_H
#define ARCHIVEBYTES_H

// The bytes of resource archives, built by hand for the reader's and the packing tool's tests.
#include <string>

#include "NResources.h"

inline std::string le32(unsigned int v)
{
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

// A file block: its data scrambled with the archive key.
inline std::string block(const std::string& name, std::string data)
{
    const std::string head =
        std::string(1, '\0') + le32(static_cast<unsigned>(name.size())) + name + le32(static_cast<unsigned>(data.size()));
    for (char& c : data) c = static_cast<char>(c ^ NResources::archiveKeyDefault);
    return head + data;
}

inline std::string header() { return "nekres" + le32(12) + le32(1) + le32(0); }

inline std::string trailer(size_t start) { return "nekend" + le32(static_cast<unsigned>(start)); }

// Bytes without archive magic; the archive switch (off) at offset 200.
inline std::string fakeProgram(size_t size = 1000)
{
    std::string bytes = "MZ";
    unsigned int state = 7;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        bytes += static_cast<char>('A' + (state >> 16) % 26);
    }
    bytes.replace(200, 11, "qovantirel0");
    return bytes;
}

inline std::string withArchive(const std::string& program, const std::string& blocks)
{
    return program + header() + blocks + trailer(program.size());
}

#endif
