// NPdfFontFile: reading TrueType files and writing their subsets.
#include "NPdfFontFile.h"

#include "NPdfCoreFonts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Big-endian reads; callers check the bounds first.
unsigned u16(const std::string& s, size_t at)
{
    return (static_cast<unsigned char>(s[at]) << 8) | static_cast<unsigned char>(s[at + 1]);
}
int s16(const std::string& s, size_t at) { return static_cast<short>(u16(s, at)); }
unsigned u32(const std::string& s, size_t at) { return (u16(s, at) << 16) | u16(s, at + 2); }

void put16(std::string& s, unsigned v)
{
    s += static_cast<char>((v >> 8) & 0xFF);
    s += static_cast<char>(v & 0xFF);
}
void put32(std::string& s, unsigned v)
{
    put16(s, v >> 16);
    put16(s, v & 0xFFFF);
}
void set32(std::string& s, size_t at, unsigned v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}

// Sum of the big-endian 32-bit words, the last one padded with zeros.
unsigned checksum(const std::string& s, size_t start, size_t length)
{
    unsigned sum = 0;
    for (size_t i = 0; i < length; i += 4) {
        unsigned word = 0;
        for (size_t k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < length ? static_cast<unsigned char>(s[start + i + k]) : 0u);
        sum += word;
    }
    return sum;
}

} // namespace

const NPdfFontFile::Table* NPdfFontFile::findTable(const char* tag) const
{
    for (const auto& entry : tables)
        if (entry.first == tag)
            return &entry.second;
    return nullptr;
}

bool NPdfFontFile::loadTrueType(const NString& ttfPath)
{
    clear();
    path = ttfPath;
    int result = readFile(ttfPath, file);
    if (result)
        return fail("loadTrueType", ttfPath, readProblem(result));
    if (!parseTrueType())
        return false;
    trueType = true;
    return true;
}

bool NPdfFontFile::parseTrueType()
{
    const char* truncated = "ist keine lesbare TrueType-Schrift (abgeschnitten)";
    if (file.size() < 12)
        return failFont(truncated);
    unsigned version = u32(file, 0);
    if (version == 0x74746366)   // 'ttcf'
        return failFont("ist eine TrueType-Sammlung (.ttc); bitte eine einzelne Schrift (.ttf) angeben");
    if (version == 0x4F54544F)   // 'OTTO'
        return failFont("ist eine OpenType-Schrift mit CFF-Umrissen; eingebettet werden nur TrueType-Umrisse");
    if (version != 0x00010000 && version != 0x74727565)   // 'true'
        return failFont("ist keine TrueType-Schrift");
    unsigned count = u16(file, 4);
    if (12 + 16 * static_cast<size_t>(count) > file.size())
        return failFont(truncated);
    for (unsigned i = 0; i < count; ++i) {
        size_t at = 12 + 16 * static_cast<size_t>(i);
        std::string tag = file.substr(at, 4);
        Table table = {u32(file, at + 8), u32(file, at + 12)};
        if (table.offset > file.size() || table.length > file.size() - table.offset) {
            NString reason;
            reason.format("ist keine lesbare TrueType-Schrift (Tabelle \"%s\" liegt au\xDF""erhalb der Datei)",
                          tag.c_str());
            return failFont(reason);
        }
        tables.emplace_back(tag, table);
    }
    const std::pair<const char*, unsigned> required[] = {{"head", 54}, {"hhea", 36}, {"maxp", 6}, {"hmtx", 4},
                                                         {"cmap", 4},  {"loca", 2},  {"glyf", 0}};
    for (const auto& [tag, minimum] : required) {
        const Table* table = findTable(tag);
        if (!table || table->length < minimum) {
            NString reason;
            reason.format("ist keine lesbare TrueType-Schrift (Tabelle \"%s\" fehlt oder ist zu kurz)", tag);
            return failFont(reason);
        }
    }
    const Table& head = *findTable("head");
    unitsPerEm = u16(file, head.offset + 18);
    locaFormat = s16(file, head.offset + 50);
    glyphCount = u16(file, findTable("maxp")->offset + 4);
    if (unitsPerEm < 16 || unitsPerEm > 16384 || (locaFormat != 0 && locaFormat != 1) || glyphCount == 0)
        return failFont("ist keine lesbare TrueType-Schrift (Kopf head/maxp ung\xFCltig)");
    if (findTable("loca")->length < (glyphCount + 1) * (locaFormat ? 4u : 2u))
        return failFont("ist keine lesbare TrueType-Schrift (Tabelle \"loca\" zu kurz)");
    const Table& hhea = *findTable("hhea");
    const Table& hmtx = *findTable("hmtx");
    unsigned metrics = std::min(u16(file, hhea.offset + 34), glyphCount);
    if (metrics == 0 || hmtx.length < 4 * metrics)
        return failFont("ist keine lesbare TrueType-Schrift (Tabelle \"hmtx\" zu kurz)");
    auto advance = [&](unsigned glyph) { return u16(file, hmtx.offset + 4 * std::min(glyph, metrics - 1)); };
    auto scale = [&](double v) { return static_cast<int>(std::lround(v * 1000.0 / unitsPerEm)); };

    if (!parseCmap())
        return false;
    missingWidth = scale(advance(0));
    for (int c = 0; c < 256; ++c)
        widths[c] = glyphs[c] ? scale(advance(glyphs[c])) : missingWidth;

    bbox[0] = scale(s16(file, head.offset + 36));
    bbox[1] = scale(s16(file, head.offset + 38));
    bbox[2] = scale(s16(file, head.offset + 40));
    bbox[3] = scale(s16(file, head.offset + 42));
    unsigned macStyle = u16(file, head.offset + 44);
    ascent = scale(s16(file, hhea.offset + 4));
    descent = scale(s16(file, hhea.offset + 6));
    unsigned weight = macStyle & 1 ? 700 : 400;
    capHeight = 0;
    if (const Table* os2 = findTable("OS/2")) {
        if (os2->length >= 10) {
            weight = u16(file, os2->offset + 4);
            fsType = u16(file, os2->offset + 8);
        }
        if (os2->length >= 72) {
            int typoAscender = s16(file, os2->offset + 68), typoDescender = s16(file, os2->offset + 70);
            if (typoAscender > 0) {
                ascent = scale(typoAscender);
                descent = scale(typoDescender);
            }
        }
        if (os2->length >= 90 && u16(file, os2->offset) >= 2)
            capHeight = scale(s16(file, os2->offset + 88));
    }
    if (capHeight <= 0) {
        // The top of the "H" outline, else the ascent.
        unsigned start, end;
        if (glyphs['H'] && glyphRange(glyphs['H'], start, end) && end - start >= 10)
            capHeight = scale(s16(file, findTable("glyf")->offset + start + 8));
        if (capHeight <= 0)
            capHeight = ascent;
    }
    if (weight < 100 || weight > 1000)
        weight = 400;
    // Thicker strokes for heavier weights; the figure only guides viewers
    // that substitute the font.
    stemV = static_cast<int>(std::lround(50 + (weight / 65.0) * (weight / 65.0)));
    bool fixedPitch = false;
    if (const Table* post = findTable("post"); post && post->length >= 16) {
        italicAngle = static_cast<float>(static_cast<int>(u32(file, post->offset + 4)) / 65536.0);
        fixedPitch = u32(file, post->offset + 12) != 0;
    }
    bool symbolic = (flags & 4) != 0;   // set by parseCmap for a (3,0) cmap
    flags = (fixedPitch ? 1 : 0) | (symbolic ? 4 : 32) | (italicAngle != 0 || (macStyle & 2) ? 64 : 0);

    // PostScript name (name id 6): Windows (UTF-16BE) or Macintosh (Roman).
    if (const Table* name = findTable("name"); name && name->length >= 6) {
        unsigned records = u16(file, name->offset + 2), strings = u16(file, name->offset + 4);
        for (unsigned i = 0; i < records && 6 + 12 * (i + 1) <= name->length; ++i) {
            size_t at = name->offset + 6 + 12 * static_cast<size_t>(i);
            unsigned platform = u16(file, at), nameId = u16(file, at + 6);
            unsigned length = u16(file, at + 8), offset = u16(file, at + 10);
            if (nameId != 6 || (platform != 3 && platform != 1) ||
                static_cast<size_t>(strings) + offset + length > name->length)
                continue;
            NString text;
            size_t from = name->offset + strings + offset;
            for (unsigned k = platform == 3 ? 1 : 0; k < length; k += platform == 3 ? 2 : 1) {
                char c = file[from + k];
                // PostScript names are printable ASCII without delimiters.
                if (c > 32 && c < 127 && !std::strchr("[](){}<>/%", c))
                    text += c;
            }
            if (!text.isEmpty()) {
                postScriptName = text;
                if (platform == 3)
                    break;
            }
        }
    }
    if (postScriptName.isEmpty())
        return failFont("ist keine lesbare TrueType-Schrift (PostScript-Name fehlt in Tabelle \"name\")");
    return true;
}

bool NPdfFontFile::parseCmap()
{
    const Table& cmap = *findTable("cmap");
    unsigned count = u16(file, cmap.offset + 2);
    size_t chosen = 0;
    int rank = 0;   // 3: (3,1), 2: (0,x), 1: (3,0)
    for (unsigned i = 0; i < count && 4 + 8 * (i + 1) <= cmap.length; ++i) {
        size_t at = cmap.offset + 4 + 8 * static_cast<size_t>(i);
        unsigned platform = u16(file, at), encoding = u16(file, at + 2), offset = u32(file, at + 4);
        if (offset > cmap.length || cmap.length - offset < 14 || u16(file, cmap.offset + offset) != 4)
            continue;
        int r = platform == 3 && encoding == 1 ? 3 : platform == 0 ? 2 : platform == 3 && encoding == 0 ? 1 : 0;
        if (r > rank) {
            rank = r;
            chosen = cmap.offset + offset;
        }
    }
    if (!rank)
        return failFont("ist keine verwendbare TrueType-Schrift (keine Unicode-Zeichentabelle cmap im Format 4)");
    size_t length = std::min<size_t>(u16(file, chosen + 2), cmap.offset + cmap.length - chosen);
    size_t segments = u16(file, chosen + 6) / 2;
    if (16 + 8 * segments > length)
        return failFont("ist keine lesbare TrueType-Schrift (Tabelle \"cmap\" zu kurz)");
    size_t ends = chosen + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
           rangeOffsets = deltas + 2 * segments;
    auto lookup = [&](unsigned u) -> unsigned {
        for (size_t i = 0; i < segments; ++i) {
            if (u > u16(file, ends + 2 * i))
                continue;
            unsigned start = u16(file, starts + 2 * i);
            if (u < start)
                return 0;
            unsigned delta = u16(file, deltas + 2 * i), rangeOffset = u16(file, rangeOffsets + 2 * i);
            unsigned glyph;
            if (rangeOffset == 0) {
                glyph = (u + delta) & 0xFFFF;
            } else {
                size_t at = rangeOffsets + 2 * i + rangeOffset + 2 * static_cast<size_t>(u - start);
                if (at + 2 > chosen + length)
                    return 0;
                glyph = u16(file, at);
                if (glyph)
                    glyph = (glyph + delta) & 0xFFFF;
            }
            return glyph < glyphCount ? glyph : 0;
        }
        return 0;
    };
    for (int c = 0; c < 256; ++c) {
        unsigned glyph;
        if (rank == 1) {
            glyph = lookup(0xF000 + c);
            if (!glyph)
                glyph = lookup(c);
        } else {
            unsigned u = NPdfCoreFonts::getWinAnsiUnicode(static_cast<unsigned char>(c));
            glyph = u ? lookup(u) : 0;
            if (!glyph && c == 0xA0)   // no-break space and soft hyphen: their plain twins
                glyph = lookup(0x20);
            if (!glyph && c == 0xAD)
                glyph = lookup(0x2D);
        }
        glyphs[c] = static_cast<unsigned short>(glyph);
    }
    if (rank == 1)
        flags |= 4;
    return true;
}

bool NPdfFontFile::glyphRange(unsigned glyph, unsigned& start, unsigned& end) const
{
    const Table* loca = findTable("loca");
    const Table* glyf = findTable("glyf");
    if (!loca || !glyf || glyph >= glyphCount)
        return false;
    if (locaFormat == 0) {
        start = 2 * u16(file, loca->offset + 2 * glyph);
        end = 2 * u16(file, loca->offset + 2 * glyph + 2);
    } else {
        start = u32(file, loca->offset + 4 * glyph);
        end = u32(file, loca->offset + 4 * glyph + 4);
    }
    return start <= end && end <= glyf->length;
}

bool NPdfFontFile::buildSubset(const bool used[256], std::string& program) const
{
    const Table& glyf = *findTable("glyf");
    std::vector<bool> keep(glyphCount, false);
    std::vector<unsigned> work;
    keep[0] = true;
    work.push_back(0);
    for (int c = 0; c < 256; ++c)
        if (used[c] && !keep[glyphs[c]]) {
            keep[glyphs[c]] = true;
            work.push_back(glyphs[c]);
        }
    // Composite glyphs bring their components along.
    while (!work.empty()) {
        unsigned glyph = work.back();
        work.pop_back();
        unsigned start, end;
        if (!glyphRange(glyph, start, end) || end - start < 10 || s16(file, glyf.offset + start) >= 0)
            continue;
        size_t p = glyf.offset + start + 10, limit = glyf.offset + end;
        for (;;) {
            if (p + 4 > limit)
                break;
            unsigned componentFlags = u16(file, p), component = u16(file, p + 2);
            p += 4 + (componentFlags & 1 ? 4 : 2);
            p += componentFlags & 8 ? 2 : componentFlags & 0x40 ? 4 : componentFlags & 0x80 ? 8 : 0;
            if (component < glyphCount && !keep[component]) {
                keep[component] = true;
                work.push_back(component);
            }
            if (!(componentFlags & 0x20))
                break;
        }
    }
    std::string newGlyf;
    std::vector<size_t> offsets(glyphCount + 1, 0);
    for (unsigned g = 0; g < glyphCount; ++g) {
        offsets[g] = newGlyf.size();
        unsigned start, end;
        if (!glyphRange(g, start, end)) {
            error.format("NPdfFontFile::getProgram(..): Die Datei \"%s\" ist keine lesbare TrueType-Schrift "
                         "(Glyphe %u liegt au\xDF""erhalb der Tabelle \"glyf\").", path.getBuffer(), g);
            return false;
        }
        if (keep[g]) {
            newGlyf.append(file, glyf.offset + start, end - start);
            newGlyf.append((4 - newGlyf.size() % 4) % 4, '\0');
        }
    }
    offsets[glyphCount] = newGlyf.size();
    bool longLoca = locaFormat == 1 || newGlyf.size() / 2 > 0xFFFF;
    std::string newLoca;
    for (size_t offset : offsets) {
        if (longLoca)
            put32(newLoca, static_cast<unsigned>(offset));
        else
            put16(newLoca, static_cast<unsigned>(offset / 2));
    }
    const Table& headTable = *findTable("head");
    std::string newHead = file.substr(headTable.offset, headTable.length);
    set32(newHead, 8, 0);   // checkSumAdjustment, filled in below
    newHead[50] = 0;
    newHead[51] = longLoca ? 1 : 0;

    // Tables a viewer needs to draw the glyphs, plus the names and metrics
    // (OS/2, name) that font loaders of some systems insist on; sorted by tag.
    std::vector<std::pair<std::string, std::string>> out;
    const char* const copied[] = {"OS/2", "cmap", "cvt ", "fpgm", "hhea", "hmtx", "maxp", "name", "post", "prep"};
    for (const char* tag : copied)
        if (const Table* table = findTable(tag))
            out.emplace_back(tag, file.substr(table->offset, table->length));
    out.emplace_back("glyf", newGlyf);
    out.emplace_back("head", newHead);
    out.emplace_back("loca", newLoca);
    std::sort(out.begin(), out.end(),
              [](const std::pair<std::string, std::string>& a, const std::pair<std::string, std::string>& b) {
                  return a.first < b.first;
              });

    unsigned count = static_cast<unsigned>(out.size());
    unsigned power = 1, log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    program.clear();
    put32(program, 0x00010000);
    put16(program, count);
    put16(program, power * 16);
    put16(program, log2);
    put16(program, count * 16 - power * 16);
    size_t offset = 12 + 16 * static_cast<size_t>(count);
    size_t headOffset = 0;
    for (const auto& [tag, body] : out) {
        program += tag;
        put32(program, checksum(body, 0, body.size()));
        put32(program, static_cast<unsigned>(offset));
        put32(program, static_cast<unsigned>(body.size()));
        if (tag == "head")
            headOffset = offset;
        offset += (body.size() + 3) & ~static_cast<size_t>(3);
    }
    for (const auto& entry : out) {
        program += entry.second;
        program.append((4 - entry.second.size() % 4) % 4, '\0');
    }
    set32(program, headOffset + 8, 0xB1B0AFBAu - checksum(program, 0, program.size()));
    return true;
}
