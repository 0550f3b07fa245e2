#include "NPdfWriter.h"

#include <cmath>
#include <cstdio>
#include <zlib.h>

NPdfWriter::NPdfWriter() : offsets(1, 0), open(0)
{
    // The binary comment tells transfer programs that the file is not text.
    data = "%PDF-1.3\n%\xE2\xE3\xCF\xD3\n";
}

const char* NPdfWriter::getName() const { return getClassName(); }
const char* NPdfWriter::getClassName() const { return "NPdfWriter"; }

int NPdfWriter::reserve()
{
    offsets.push_back(0);
    return static_cast<int>(offsets.size()) - 1;
}

int NPdfWriter::begin(int number)
{
    if (number <= 0 || number >= static_cast<int>(offsets.size()))
        number = reserve();
    offsets[number] = data.size();
    open = number;
    char head[32];
    std::snprintf(head, sizeof head, "%d 0 obj\n", number);
    data += head;
    return number;
}

void NPdfWriter::end()
{
    data += "\nendobj\n";
    open = 0;
}

void NPdfWriter::put(const char* text)
{
    data += text;
}

int NPdfWriter::stream(const NString& extraEntries, const std::string& bytes, bool compress, int number)
{
    std::string packed;
    const bool packedOk = compress && deflate(bytes, packed);
    const std::string& body = packedOk ? packed : bytes;
    number = begin(number);
    NString dict("<<");
    if (!extraEntries.isEmpty()) {
        dict += " ";
        dict += extraEntries;
    }
    if (packedOk)
        dict += " /Filter /FlateDecode";
    dict.appendFormat(" /Length %u >>\nstream\n", static_cast<unsigned>(body.size()));
    put(dict);
    data += body;
    data += "\nendstream";
    end();
    return number;
}

bool NPdfWriter::finish(int root, int info)
{
    bool complete = true;
    const size_t xref = data.size();
    char line[64];
    std::snprintf(line, sizeof line, "xref\n0 %u\n", static_cast<unsigned>(offsets.size()));
    data += line;
    // Every entry is exactly 20 bytes, the end of line included.
    data += "0000000000 65535 f \n";
    for (size_t i = 1; i < offsets.size(); ++i) {
        if (offsets[i] == 0)
            complete = false;
        std::snprintf(line, sizeof line, "%010u 00000 n \n", static_cast<unsigned>(offsets[i]));
        data += line;
    }
    std::snprintf(line, sizeof line, "trailer\n<< /Size %u /Root %d 0 R",
                  static_cast<unsigned>(offsets.size()), root);
    data += line;
    if (info > 0) {
        std::snprintf(line, sizeof line, " /Info %d 0 R", info);
        data += line;
    }
    std::snprintf(line, sizeof line, " >>\nstartxref\n%u\n%%%%EOF\n", static_cast<unsigned>(xref));
    data += line;
    return complete;
}

size_t NPdfWriter::getOffset(int number) const
{
    return number > 0 && number < static_cast<int>(offsets.size()) ? offsets[number] : 0;
}

NString NPdfWriter::literal(const NString& text)
{
    NString result("(");
    for (int i = 0; i < text.getLength(); ++i) {
        const char c = text.getAt(i);
        switch (c) {
        case '(': case ')': case '\\': result += '\\'; result += c; break;
        case '\r': result += "\\r"; break;
        case '\n': result += "\\n"; break;
        default: result += c;
        }
    }
    result += ')';
    return result;
}

NString NPdfWriter::textString(const NString& text)
{
    bool ascii = true;
    for (int i = 0; i < text.getLength() && ascii; ++i)
        ascii = static_cast<unsigned char>(text.getAt(i)) < 0x80;
    if (ascii)
        return literal(text);
    // Windows-1252 0x80..0x9F; the rest of the upper half is Latin-1.
    static const unsigned short upper[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    NString result("<FEFF");
    for (int i = 0; i < text.getLength(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text.getAt(i));
        const unsigned code = c >= 0x80 && c < 0xA0 ? upper[c - 0x80] : c;
        result.appendFormat("%04X", code);
    }
    result += '>';
    return result;
}

NString NPdfWriter::name(const NString& text)
{
    NString result("/");
    for (int i = 0; i < text.getLength(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text.getAt(i));
        if (c <= 0x20 || c >= 0x7F || c == '#' || NString("()<>[]{}/%").findChar(static_cast<char>(c)) >= 0)
            result.appendFormat("#%02X", c);
        else
            result += static_cast<char>(c);
    }
    return result;
}

NString NPdfWriter::number(float value)
{
    // Nothing but digits may reach a content stream: NaN and infinities become 0.
    if (!std::isfinite(value))
        value = 0;
    const double rounded = std::round(static_cast<double>(value) * 100.0) / 100.0;
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", rounded == 0 ? 0.0 : rounded);
    NString result(text);
    while (result.endsWith("0"))
        result.remove(result.getLength() - 1);
    if (result.endsWith("."))
        result.remove(result.getLength() - 1);
    return result;
}

bool NPdfWriter::deflate(const std::string& in, std::string& out)
{
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    out.resize(size);
    if (compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                  reinterpret_cast<const Bytef*>(in.data()), static_cast<uLong>(in.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        out.clear();
        return false;
    }
    out.resize(size);
    return true;
}
