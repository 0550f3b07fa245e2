#ifndef PDFTESTDATA_H
#define PDFTESTDATA_H

// Shared helpers of the PDF tests: where the test pictures are, big-endian
// numbers, zlib, and a PNG writer for hand-made pictures.
#include <zlib.h>

#include <string>

#include "TestFiles.h"

// tests/pdf/data of the source tree, seen from build/<arch>/bin.
inline std::string pdfTestData(const std::string& name) { return programFolder() + "..\\..\\..\\tests\\pdf\\data\\" + name; }

inline unsigned get16(const std::string& s, size_t at) { return (s.at(at) & 0xFFu) << 8 | (s.at(at + 1) & 0xFFu); }
inline unsigned get32(const std::string& s, size_t at) { return (get16(s, at) << 16) | get16(s, at + 2); }
inline std::string be32(unsigned v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

inline std::string pngChunk(const std::string& type, const std::string& body)
{
    const std::string typed = type + body;
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    return be32(static_cast<unsigned>(body.size())) + typed + be32(static_cast<unsigned>(crc));
}

inline std::string deflated(const std::string& raw)
{
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    std::string out(length, '\0');
    compress(reinterpret_cast<Bytef*>(&out[0]), &length, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    return out.substr(0, length);
}

inline std::string inflated(const std::string& data, size_t expected)
{
    std::string out(expected + 16, '\0');
    uLongf length = static_cast<uLongf>(out.size());
    const int result = uncompress(reinterpret_cast<Bytef*>(&out[0]), &length,
                                  reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()));
    return result == Z_OK ? out.substr(0, length) : "<not a zlib stream>";
}

// A whole PNG: header of w x h with the given depth and colour type, extra
// chunks before the image data, and raw (filtered) rows.
inline std::string makePng(unsigned w, unsigned h, int depth, int colorType, const std::string& extra,
                           const std::string& rawRows)
{
    const std::string header = be32(w) + be32(h) + std::string{char(depth), char(colorType), 0, 0, 0};
    return std::string("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) + extra +
           pngChunk("IDAT", deflated(rawRows)) + pngChunk("IEND", "");
}

#endif
