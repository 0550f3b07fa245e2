#include "NPdfFontFile.h"

#include "NPdfCoreFonts.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

// Font files beyond this size are not fonts we embed.
const size_t maxFontFile = 64u * 1024 * 1024;

} // namespace

// 0: read; 1: cannot open; 2: read error; 3: too large.
int NPdfFontFile::readFile(const NString& path, std::string& out)
{
    out.clear();
    std::FILE* f = std::fopen(path.getBuffer(), "rb");
    if (!f)
        return 1;
    char buffer[65536];
    size_t got;
    int result = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) {
        out.append(buffer, got);
        if (out.size() > maxFontFile) {
            result = 3;
            break;
        }
    }
    if (!result && std::ferror(f))
        result = 2;
    std::fclose(f);
    return result;
}

const char* NPdfFontFile::readProblem(int result)
{
    return result == 1 ? "konnte nicht ge\xF6""ffnet werden"
           : result == 2 ? "konnte nicht gelesen werden" : "ist zu gro\xDF f\xFCr eine Schriftdatei";
}

namespace {

bool isSpace(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f'; }
bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

} // namespace

NPdfFontFile::NPdfFontFile() { clear(); }
const char* NPdfFontFile::getName() const { return getClassName(); }
const char* NPdfFontFile::getClassName() const { return "NPdfFontFile"; }
NPdfFontFile::~NPdfFontFile() {}

void NPdfFontFile::clear()
{
    trueType = false;
    error = "";
    postScriptName = "";
    for (int& w : widths)
        w = 0;
    for (unsigned short& g : glyphs)
        g = 0;
    flags = 0;
    bbox[0] = bbox[1] = bbox[2] = bbox[3] = 0;
    italicAngle = 0;
    ascent = descent = capHeight = stemV = missingWidth = 0;
    file.clear();
    tables.clear();
    unitsPerEm = 1000;
    glyphCount = 0;
    locaFormat = 0;
    fsType = 0;
    clearText.clear();
    encrypted.clear();
    trailer.clear();
}

void NPdfFontFile::getBBox(int out[4]) const
{
    for (int i = 0; i < 4; ++i)
        out[i] = bbox[i];
}

bool NPdfFontFile::fail(const char* operationName, const NString& fileName, const NString& reason)
{
    NString name(fileName), why(reason);   // either may be a member that clear() empties
    clear();
    error.format("NPdfFontFile::%s(..): Die Datei \"%s\" %s.", operationName, name.getBuffer(),
                 why.getBuffer());
    return false;
}

bool NPdfFontFile::failFont(const char* reason) { return fail("loadTrueType", path, reason); }

bool NPdfFontFile::getProgram(const bool used[256], std::string& program, NString& fileKey,
                              NString& lengthEntries, bool& subset) const
{
    program.clear();
    subset = false;
    if (!trueType) {
        if (clearText.empty()) {
            error = "NPdfFontFile::getProgram(..): Es ist keine Schrift geladen.";
            return false;
        }
        program = clearText + encrypted + trailer;
        fileKey = "FontFile";
        lengthEntries.format("/Length1 %u /Length2 %u /Length3 %u", static_cast<unsigned>(clearText.size()),
                             static_cast<unsigned>(encrypted.size()), static_cast<unsigned>(trailer.size()));
        return true;
    }
    // fsType: 0x0002 restricted licence, 0x0200 bitmaps only; 0x0100 no subsetting.
    if ((fsType & 0x000F) == 0x0002 || (fsType & 0x0200)) {
        error.format("NPdfFontFile::getProgram(..): Die Schrift \"%s\" (Datei \"%s\") darf nach ihren "
                     "Lizenzangaben (fsType 0x%04X) nicht eingebettet werden.",
                     postScriptName.getBuffer(), path.getBuffer(), fsType);
        return false;
    }
    fileKey = "FontFile2";
    if (fsType & 0x0100) {
        program = file;
    } else {
        if (!buildSubset(used, program))
            return false;
        subset = true;
    }
    lengthEntries.format("/Length1 %u", static_cast<unsigned>(program.size()));
    return true;
}

// --- Type1 -------------------------------------------------------------------
bool NPdfFontFile::loadType1(const NString& fontPath, const NString& afmPath)
{
    clear();
    path = fontPath;
    std::string bytes, afm;
    int result = readFile(fontPath, bytes);
    if (result)
        return fail("loadType1", fontPath, readProblem(result));
    result = readFile(afmPath, afm);
    if (result)
        return fail("loadType1", afmPath, NString("(Metrikdatei) ") + readProblem(result));
    if (!splitType1(bytes))
        return false;
    if (!parseAfm(afm))
        return fail("loadType1", afmPath, "ist keine lesbare AFM-Metrikdatei (FontName oder Zeichenbreiten fehlen)");
    // The metrics must belong to this font: "/FontName /Name" in its clear text.
    size_t at = clearText.find("/FontName");
    if (at != std::string::npos)
        at = clearText.find_first_not_of(" \t\r\n", at + 9);
    std::string name = std::string("/") + postScriptName.getBuffer();
    if (at == std::string::npos || clearText.compare(at, name.size(), name) != 0 ||
        (at + name.size() < clearText.size() && !isSpace(clearText[at + name.size()]) &&
         !std::strchr("/[{(", clearText[at + name.size()]))) {
        NString reason;
        reason.format("passt nicht zur Schriftdatei \"%s\" (FontName %s fehlt dort)", fontPath.getBuffer(),
                      postScriptName.getBuffer());
        return fail("loadType1", afmPath, reason);
    }
    path = fontPath;
    return true;
}

bool NPdfFontFile::splitType1(const std::string& bytes)
{
    const char* damaged = "ist keine lesbare Type1-Schrift (besch\xE4""digt oder abgeschnitten)";
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x80) {
        // PFB: segments 0x80 type length(4, little endian); 1 text, 2 binary, 3 end.
        size_t pos = 0;
        bool ended = false;
        while (pos < bytes.size()) {
            if (bytes.size() - pos < 2 || static_cast<unsigned char>(bytes[pos]) != 0x80)
                return fail("loadType1", path, damaged);
            int type = static_cast<unsigned char>(bytes[pos + 1]);
            if (type == 3) {
                ended = true;
                break;
            }
            if (bytes.size() - pos < 6 || (type != 1 && type != 2))
                return fail("loadType1", path, damaged);
            const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + pos + 2;
            size_t length = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<size_t>(p[3]) << 24);
            pos += 6;
            if (length > bytes.size() - pos)
                return fail("loadType1", path, damaged);
            std::string part = bytes.substr(pos, length);
            pos += length;
            if (type == 2)
                encrypted += part;
            else if (encrypted.empty())
                clearText += part;
            else
                trailer += part;
        }
        if (!ended || clearText.empty() || encrypted.empty())
            return fail("loadType1", path, damaged);
    } else {
        // PFA / .t1: clear text up to "eexec" and its line end, then hex or
        // binary, then 512 zeros and cleartomark.
        if (bytes.compare(0, 2, "%!") != 0)
            return fail("loadType1", path, "ist keine Type1-Schrift (weder PFB noch PFA)");
        size_t at = bytes.find("eexec");
        if (at == std::string::npos)
            return fail("loadType1", path, damaged);
        size_t start = at + 5;
        if (start < bytes.size() && bytes[start] == '\r')
            ++start;
        if (start < bytes.size() && bytes[start] == '\n')
            ++start;
        if (start == at + 5 && start < bytes.size() && isSpace(bytes[start]))
            ++start;
        clearText = bytes.substr(0, start);
        size_t end = bytes.size();
        size_t mark = bytes.rfind("cleartomark");
        if (mark != std::string::npos && mark > start) {
            end = mark;
            int zeros = 0;
            while (end > start && zeros < 512 && (bytes[end - 1] == '0' || isSpace(bytes[end - 1]))) {
                if (bytes[end - 1] == '0')
                    ++zeros;
                --end;
            }
            while (end > start && isSpace(bytes[end - 1]))
                --end;
            trailer = bytes.substr(end);
        }
        bool hex = end - start >= 4 && isHex(bytes[start]) && isHex(bytes[start + 1]) && isHex(bytes[start + 2]) &&
                   isHex(bytes[start + 3]);
        if (hex) {
            int high = -1;
            for (size_t i = start; i < end; ++i) {
                char c = bytes[i];
                if (isSpace(c))
                    continue;
                if (!isHex(c))
                    return fail("loadType1", path, damaged);
                int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10);
                if (high < 0) {
                    high = v;
                } else {
                    encrypted += static_cast<char>(high * 16 + v);
                    high = -1;
                }
            }
        } else {
            encrypted = bytes.substr(start, end - start);
        }
        // The encrypted part starts with 4 random bytes and holds at least
        // the private dictionary: a few bytes are no font.
        if (encrypted.size() < 4)
            return fail("loadType1", path, damaged);
    }
    if (clearText.find("eexec") == std::string::npos)
        return fail("loadType1", path, damaged);
    return true;
}

bool NPdfFontFile::parseAfm(const std::string& text)
{
    std::map<std::string, int> byName;
    bool fixedPitch = false, symbolic = false;
    bool haveBBox = false, haveCapHeight = false, haveStemV = false;
    int ascender = 0, descender = 0;
    NString weight;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find_first_of("\r\n", pos);
        if (eol == std::string::npos)
            eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        size_t space = line.find(' ');
        std::string keyword = line.substr(0, space);
        std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        const char* v = value.c_str();
        if (keyword == "FontName") {
            size_t end = value.find_first_of(" \t");
            postScriptName = NString(value.substr(0, end).c_str());
        } else if (keyword == "FontBBox") {
            haveBBox = std::sscanf(v, "%d %d %d %d", &bbox[0], &bbox[1], &bbox[2], &bbox[3]) == 4;
        } else if (keyword == "ItalicAngle") {
            italicAngle = static_cast<float>(std::atof(v));
        } else if (keyword == "Ascender") {
            ascender = static_cast<int>(std::lround(std::atof(v)));
        } else if (keyword == "Descender") {
            descender = static_cast<int>(std::lround(std::atof(v)));
        } else if (keyword == "CapHeight") {
            capHeight = static_cast<int>(std::lround(std::atof(v)));
            haveCapHeight = true;
        } else if (keyword == "StdVW") {
            stemV = static_cast<int>(std::lround(std::atof(v)));
            haveStemV = true;
        } else if (keyword == "IsFixedPitch") {
            fixedPitch = value.compare(0, 4, "true") == 0;
        } else if (keyword == "EncodingScheme") {
            symbolic = value.compare(0, 12, "FontSpecific") == 0;
        } else if (keyword == "Weight") {
            weight = NString(value.c_str());
        } else if (keyword == "C" || keyword == "CH") {
            // C code ; WX width ; N name ; B ... ;
            int width = -1;
            std::string name;
            size_t at = 0;
            while (at < line.size()) {
                size_t semi = line.find(';', at);
                if (semi == std::string::npos)
                    semi = line.size();
                std::string field = line.substr(at, semi - at);
                at = semi + 1;
                size_t b = field.find_first_not_of(" \t");
                if (b == std::string::npos)
                    continue;
                field = field.substr(b);
                if (field.compare(0, 3, "WX ") == 0)
                    width = static_cast<int>(std::lround(std::atof(field.c_str() + 3)));
                else if (field.compare(0, 2, "N ") == 0)
                    name = field.substr(2, field.find_first_of(" \t", 2) - 2);
            }
            if (width >= 0 && !name.empty())
                byName[name] = width;
        }
    }
    if (postScriptName.isEmpty() || byName.empty())
        return false;
    auto notdef = byName.find(".notdef");
    missingWidth = notdef != byName.end() ? notdef->second : 0;
    for (int c = 0; c < 256; ++c) {
        const char* name = NPdfCoreFonts::getWinAnsiGlyphName(static_cast<unsigned char>(c));
        auto it = name ? byName.find(name) : byName.end();
        widths[c] = it != byName.end() ? it->second : missingWidth;
    }
    if (!haveBBox) {
        bbox[0] = bbox[1] = 0;
        bbox[2] = bbox[3] = 1000;
    }
    // Some AFM files give 0 for both; the bounding box is the next best.
    ascent = ascender > 0 ? ascender : bbox[3];
    descent = descender < 0 ? descender : bbox[1];
    if (!haveCapHeight || capHeight <= 0)
        capHeight = ascent;
    if (!haveStemV) {
        bool bold = weight.getLength() > 0 && (std::strstr(weight.getBuffer(), "Bold") ||
                                               std::strstr(weight.getBuffer(), "Black") ||
                                               std::strstr(weight.getBuffer(), "Heavy"));
        stemV = bold ? 120 : 70;
    }
    flags = (fixedPitch ? 1 : 0) | (symbolic ? 4 : 32) | (italicAngle != 0 ? 64 : 0);
    trueType = false;
    return true;
}
