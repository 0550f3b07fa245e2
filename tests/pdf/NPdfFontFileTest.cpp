// NPdfFontFile on Debian's DejaVu (TrueType) and URW base-35 (Type1) files,
// seen through Wine's Z: drive, and on damaged copies of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include "NPdfFontFile.h"
#include "PdfTestData.h"

namespace {

const std::string dejavu = "Z:\\usr\\share\\fonts\\truetype\\dejavu\\";
const std::string urw = "Z:\\usr\\share\\fonts\\type1\\urw-base35\\";

unsigned get16(const std::string& s, size_t at)
{
    return (static_cast<unsigned char>(s.at(at)) << 8) | static_cast<unsigned char>(s.at(at + 1));
}
unsigned get32(const std::string& s, size_t at) { return (get16(s, at) << 16) | get16(s, at + 2); }

struct Entry {
    unsigned checksum, offset, length;
};
std::map<std::string, Entry> tableDirectory(const std::string& font)
{
    std::map<std::string, Entry> out;
    for (unsigned i = 0; i < get16(font, 4); ++i)
        out[font.substr(12 + 16 * i, 4)] = {get32(font, 12 + 16 * i + 4), get32(font, 12 + 16 * i + 8),
                                            get32(font, 12 + 16 * i + 12)};
    return out;
}

unsigned sum32(const std::string& s, size_t start, size_t length)
{
    unsigned sum = 0;
    for (size_t i = 0; i < length; i += 4) {
        std::string word = s.substr(start + i, std::min<size_t>(4, length - i));
        word.resize(4, '\0');
        sum += get32(word, 0);
    }
    return sum;
}

// Byte range of a glyph's outline in a font's glyf table.
std::pair<unsigned, unsigned> glyphData(const std::string& font, unsigned glyph)
{
    auto tables = tableDirectory(font);
    bool longLoca = get16(font, tables["head"].offset + 50) == 1;
    size_t loca = tables["loca"].offset;
    unsigned start = longLoca ? get32(font, loca + 4 * glyph) : 2 * get16(font, loca + 2 * glyph);
    unsigned end = longLoca ? get32(font, loca + 4 * glyph + 4) : 2 * get16(font, loca + 2 * glyph + 2);
    return {tables["glyf"].offset + start, end - start};
}

bool contains(const NString& text, const char* part) { return std::string(text.getBuffer()).find(part) != std::string::npos; }

} // namespace

TEST(NPdfFontFile, TrueTypeMetricsPerWindows1252Code)
{
    NPdfFontFile sans, mono, oblique, bold;
    ASSERT_TRUE(sans.loadTrueType((dejavu + "DejaVuSans.ttf").c_str())) << sans.getError().getBuffer();
    ASSERT_TRUE(mono.loadTrueType((dejavu + "DejaVuSansMono.ttf").c_str())) << mono.getError().getBuffer();
    ASSERT_TRUE(oblique.loadTrueType((dejavu + "DejaVuSans-Oblique.ttf").c_str()));
    ASSERT_TRUE(bold.loadTrueType((dejavu + "DejaVuSans-Bold.ttf").c_str()));
    EXPECT_TRUE(sans.isTrueType());
    EXPECT_STREQ(sans.getPostScriptName().getBuffer(), "DejaVuSans");
    EXPECT_STREQ(oblique.getPostScriptName().getBuffer(), "DejaVuSans-Oblique");
    // DejaVu Sans' advances (2048 units) scaled to 1/1000 em.
    const std::pair<int, int> known[] = {{'A', 684}, {' ', 318}, {'a', 613}, {0xE4, 613}, {'0', 636},
                                         {0x80, 636}, {'W', 989}, {0xA0, 318}};
    for (const auto& [code, width] : known)
        EXPECT_EQ(sans.getWidth(static_cast<unsigned char>(code)), width) << code;
    // Unused codes and control codes fall back to the missing width (.notdef).
    EXPECT_EQ(sans.getMissingWidth(), 600);
    EXPECT_EQ(sans.getWidth(0x81), 600);
    EXPECT_EQ(sans.getWidth(0x05), 600);
    EXPECT_NE(sans.getGlyph(0x95), 0);   // bullet U+2022 through the cmap
    EXPECT_NE(sans.getGlyph(0x80), sans.getGlyph('E'));
    for (int c = 32; c < 256; ++c)
        if (c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D) {
            ASSERT_EQ(mono.getWidth(static_cast<unsigned char>(c)), 602) << c;
        }

    EXPECT_EQ(sans.getFlags(), 32);
    EXPECT_EQ(mono.getFlags(), 32 | 1);
    EXPECT_EQ(oblique.getFlags(), 32 | 64);
    EXPECT_NEAR(oblique.getItalicAngle(), -11.0, 0.5);
    EXPECT_EQ(sans.getItalicAngle(), 0.0f);
    int box[4];
    sans.getBBox(box);
    EXPECT_LT(box[0], 0);
    EXPECT_GT(box[2], 1000);
    EXPECT_LT(box[1], sans.getDescent());
    EXPECT_GT(box[3], sans.getAscent());
    EXPECT_GT(sans.getAscent(), sans.getCapHeight());
    EXPECT_NEAR(sans.getCapHeight(), 729, 3);   // the top of "H": 1493 units
    EXPECT_LT(sans.getDescent(), -200);
    EXPECT_GT(bold.getStemV(), sans.getStemV());
}

TEST(NPdfFontFile, TrueTypeSubsetIsAValidSmallerFont)
{
    NPdfFontFile font;
    std::string fontPath = dejavu + "DejaVuSans.ttf";
    ASSERT_TRUE(font.loadTrueType(fontPath.c_str()));
    bool used[256] = {};
    for (unsigned char c : std::string("Hallo Welt \xE4\x80"))
        used[c] = true;
    std::string program;
    NString key, lengths;
    bool subset = false;
    ASSERT_TRUE(font.getProgram(used, program, key, lengths, subset)) << font.getError().getBuffer();
    EXPECT_TRUE(subset);
    EXPECT_STREQ(key.getBuffer(), "FontFile2");
    EXPECT_EQ(std::string(lengths.getBuffer()), "/Length1 " + std::to_string(program.size()));
    std::string original = readBytes(fontPath);
    EXPECT_LT(program.size(), original.size() / 5);

    // The sfnt: sorted tags, aligned tables with right checksums, the file's
    // checksum adjustment, and the tables a viewer needs.
    auto tables = tableDirectory(program);
    for (const char* tag : {"cmap", "cvt ", "fpgm", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "prep"})
        EXPECT_EQ(tables.count(tag), 1u) << tag;
    std::string previous;
    for (unsigned i = 0; i < get16(program, 4); ++i) {
        std::string tag = program.substr(12 + 16 * i, 4);
        EXPECT_LT(previous, tag);
        previous = tag;
        const Entry& e = tables[tag];
        EXPECT_EQ(e.offset % 4, 0u) << tag;
        ASSERT_LE(e.offset + e.length, program.size()) << tag;
        if (tag != "head") {
            EXPECT_EQ(sum32(program, e.offset, e.length), e.checksum) << tag;
        }
    }
    std::string head = program.substr(tables["head"].offset, tables["head"].length);
    unsigned adjustment = get32(head, 8);
    head.replace(8, 4, std::string(4, '\0'));
    EXPECT_EQ(sum32(head, 0, head.size()), tables["head"].checksum);
    EXPECT_EQ(sum32(program, 0, program.size()), 0xB1B0AFBAu);
    EXPECT_NE(adjustment, 0u);
    EXPECT_EQ(program.size() % 4, 0u);

    // Used glyphs keep their outlines (byte for byte), others lose them;
    // the a-dieresis is made of components, which come along.
    for (unsigned char c : std::string("HaloWt\xE4\x80")) {
        auto kept = glyphData(program, font.getGlyph(c)), was = glyphData(original, font.getGlyph(c));
        ASSERT_GT(kept.second, 0u) << c;
        EXPECT_EQ(program.substr(kept.first, was.second), original.substr(was.first, was.second)) << c;
    }
    EXPECT_GT(glyphData(program, 0).second, 0u);
    for (unsigned char c : std::string("zZ0"))
        EXPECT_EQ(glyphData(program, font.getGlyph(c)).second, 0u) << c;
    auto adieresis = glyphData(original, font.getGlyph(0xE4));
    ASSERT_LT(static_cast<short>(get16(original, adieresis.first)), 0) << "a-dieresis is no composite";
    EXPECT_GT(glyphData(program, font.getGlyph('a')).second, 0u);

    // Our own reader takes the subset back with the same metrics.
    TestFolder folder;
    writeBytes(folder.file("subset.ttf"), program);
    NPdfFontFile again;
    ASSERT_TRUE(again.loadTrueType(folder.file("subset.ttf").c_str())) << again.getError().getBuffer();
    EXPECT_STREQ(again.getPostScriptName().getBuffer(), "DejaVuSans");
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(again.getWidth(static_cast<unsigned char>(c)), font.getWidth(static_cast<unsigned char>(c))) << c;
        EXPECT_EQ(again.getGlyph(static_cast<unsigned char>(c)), font.getGlyph(static_cast<unsigned char>(c))) << c;
    }
}

TEST(NPdfFontFile, EmbeddingRightsDecideTheProgram)
{
    std::string original = readBytes(dejavu + "DejaVuSansMono.ttf");
    size_t fsTypeAt = tableDirectory(original)["OS/2"].offset + 8;
    TestFolder folder;
    bool used[256] = {};
    used['x'] = true;
    struct Case {
        unsigned fsType;
        bool allowed, subset;
    };
    const Case cases[] = {{0x0000, true, true}, {0x0004, true, true}, {0x0008, true, true},
                          {0x0100, true, false}, {0x0002, false, false}, {0x0200, false, false}};
    for (const Case& c : cases) {
        std::string copy = original;
        copy[fsTypeAt] = static_cast<char>(c.fsType >> 8);
        copy[fsTypeAt + 1] = static_cast<char>(c.fsType & 0xFF);
        writeBytes(folder.file("f.ttf"), copy);
        NPdfFontFile font;
        ASSERT_TRUE(font.loadTrueType(folder.file("f.ttf").c_str()));
        std::string program;
        NString key, lengths;
        bool subset = !c.subset;
        EXPECT_EQ(font.getProgram(used, program, key, lengths, subset), c.allowed) << c.fsType;
        if (c.allowed) {
            EXPECT_EQ(subset, c.subset) << c.fsType;
            EXPECT_EQ(program.size() == copy.size(), !c.subset) << c.fsType;
        } else {
            EXPECT_TRUE(program.empty());
            EXPECT_TRUE(contains(font.getError(), "NPdfFontFile::getProgram(..): Die Schrift \x84"
                                                  "DejaVuSansMono\x93 (Datei \x84")) << font.getError().getBuffer();
            EXPECT_TRUE(contains(font.getError(), "nicht eingebettet werden."));
        }
    }
}

TEST(NPdfFontFile, DamagedTrueTypeFailsWithAMessage)
{
    TestFolder folder;
    std::string path = folder.file("bad.ttf");
    NPdfFontFile font;
    EXPECT_FALSE(font.loadTrueType("Z:\\no\\such.ttf"));
    EXPECT_STREQ(font.getError().getBuffer(),
                 "NPdfFontFile::loadTrueType(..): Die Datei \x84Z:\\no\\such.ttf\x93 konnte nicht ge\xF6""ffnet werden.");

    std::string original = readBytes(dejavu + "DejaVuSansMono.ttf");
    auto tables = tableDirectory(original);
    std::string beyond = original;
    for (unsigned i = 0; i < get16(original, 4); ++i)
        if (original.compare(12 + 16 * i, 4, "glyf") == 0)
            beyond[12 + 16 * i + 8] = '\x7F';   // offset far past the end
    std::string noCmap = original;
    for (unsigned i = 0; i < get16(original, 4); ++i)
        if (original.compare(12 + 16 * i, 4, "cmap") == 0)
            noCmap.replace(12 + 16 * i, 4, "cmaq");
    const std::pair<std::string, const char*> cases[] = {
        {std::string("ttcf\0\1\0\0", 8) + original.substr(8),
         "ist eine TrueType-Sammlung (.ttc); bitte eine einzelne Schrift (.ttf) angeben"},
        {"OTTO" + original.substr(4), "ist eine OpenType-Schrift mit CFF-Umrissen; eingebettet werden nur TrueType-Umrisse"},
        {"%!PS-AdobeFont", "ist keine TrueType-Schrift"},
        {original.substr(0, 11), "ist keine lesbare TrueType-Schrift (abgeschnitten)"},
        {original.substr(0, 100), "ist keine lesbare TrueType-Schrift (abgeschnitten)"},
        {beyond, "ist keine lesbare TrueType-Schrift (Tabelle \x84glyf\x93 liegt au\xDF""erhalb der Datei)"},
        {noCmap, "ist keine lesbare TrueType-Schrift (Tabelle \x84""cmap\x93 fehlt oder ist zu kurz)"},
    };
    for (const auto& [bytes, reason] : cases) {
        writeBytes(path, bytes);
        EXPECT_FALSE(font.loadTrueType(path.c_str()));
        EXPECT_EQ(std::string(font.getError().getBuffer()),
                  "NPdfFontFile::loadTrueType(..): Die Datei \x84" + path + "\x93 " + reason + ".");
        EXPECT_TRUE(font.getPostScriptName().isEmpty());
    }

    // Cut at every table's start and end: refused with a message, or (cuts
    // after the needed tables) loaded and still able to make its subset.
    bool used[256] = {};
    used['A'] = used[0xE4] = true;
    std::vector<size_t> cuts;
    for (const auto& entry : tables) {
        cuts.push_back(entry.second.offset);
        cuts.push_back(entry.second.offset + entry.second.length / 2);
    }
    for (size_t cut : cuts) {
        writeBytes(path, original.substr(0, cut));
        if (!font.loadTrueType(path.c_str())) {
            EXPECT_TRUE(contains(font.getError(), "bad.ttf")) << cut;
            continue;
        }
        std::string program;
        NString key, lengths;
        bool subset;
        font.getProgram(used, program, key, lengths, subset);
    }

    // Random bytes over the directory and the small tables never crash.
    std::mt19937 random(77);
    std::string small = original.substr(0, std::min<size_t>(original.size(), tables["glyf"].offset));
    for (int round = 0; round < 60; ++round) {
        std::string bytes = original;
        for (int i = 0; i < 6; ++i) {
            size_t at = random() % 2 ? random() % 400 : random() % small.size();
            bytes[at] = static_cast<char>(random());
        }
        writeBytes(path, bytes);
        if (font.loadTrueType(path.c_str())) {
            std::string program;
            NString key, lengths;
            bool subset;
            if (font.getProgram(used, program, key, lengths, subset)) {
                EXPECT_FALSE(program.empty());
            }
        } else {
            EXPECT_EQ(std::string(font.getError().getBuffer()).rfind("NPdfFontFile::loadTrueType(..): ", 0), 0u);
        }
    }
}

TEST(NPdfFontFile, Type1FromT1PfbAndHexPfa)
{
    std::string t1 = urw + "NimbusSans-Regular.t1", afm = urw + "NimbusSans-Regular.afm";
    NPdfFontFile font;
    ASSERT_TRUE(font.loadType1(t1.c_str(), afm.c_str())) << font.getError().getBuffer();
    EXPECT_FALSE(font.isTrueType());
    EXPECT_STREQ(font.getPostScriptName().getBuffer(), "NimbusSans-Regular");
    EXPECT_EQ(font.getWidth('A'), 667);
    EXPECT_EQ(font.getWidth(0xE4), 556);
    EXPECT_EQ(font.getWidth(0x80), 556);
    EXPECT_EQ(font.getFlags(), 32);
    EXPECT_EQ(font.getCapHeight(), 729);
    int box[4];
    font.getBBox(box);
    EXPECT_EQ(box[0], -210);
    EXPECT_EQ(box[3], 1075);
    // This AFM gives 0 for ascender and descender: the box stands in.
    EXPECT_EQ(font.getAscent(), 1075);
    EXPECT_EQ(font.getDescent(), -299);

    bool used[256] = {};
    std::string program;
    NString key, lengths;
    bool subset = true;
    ASSERT_TRUE(font.getProgram(used, program, key, lengths, subset));
    EXPECT_FALSE(subset);
    EXPECT_STREQ(key.getBuffer(), "FontFile");
    std::string file = readBytes(t1);
    EXPECT_EQ(program, file);
    unsigned length1 = 0, length2 = 0, length3 = 0;
    ASSERT_EQ(std::sscanf(lengths.getBuffer(), "/Length1 %u /Length2 %u /Length3 %u", &length1, &length2, &length3),
              3) << lengths.getBuffer();
    EXPECT_EQ(length1, file.find("eexec") + 6);   // "eexec\r" in these files
    EXPECT_EQ(length1 + length2 + length3, file.size());
    std::string tail = file.substr(length1 + length2);
    size_t mark = tail.find("cleartomark");
    ASSERT_NE(mark, std::string::npos);
    EXPECT_EQ(std::count(tail.begin(), tail.begin() + mark, '0'), 512);
    EXPECT_EQ(tail.find_first_not_of("0\r\n"), mark);

    // The same font as PFB segments and as hex PFA gives the same program.
    std::string clear = file.substr(0, length1), binary = file.substr(length1, length2);
    ASSERT_NE(std::string("\r\n0").find(tail[0]), std::string::npos);
    auto segment = [](int type, const std::string& body) {
        std::string s = std::string("\x80", 1) + static_cast<char>(type);
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((body.size() >> (8 * i)) & 0xFF);
        return s + body;
    };
    std::string pfb = segment(1, clear) + segment(2, binary) + segment(1, tail) + std::string("\x80\x03", 2);
    std::string hex = clear;
    const char* digits = "0123456789abcdef";
    for (size_t i = 0; i < binary.size(); ++i) {
        hex += digits[static_cast<unsigned char>(binary[i]) >> 4];
        hex += digits[binary[i] & 15];
        if (i % 32 == 31 && i + 1 < binary.size())
            hex += "\n";
    }
    hex += tail;
    TestFolder folder;
    writeBytes(folder.file("f.pfb"), pfb);
    writeBytes(folder.file("f.pfa"), hex);
    for (const char* name : {"f.pfb", "f.pfa"}) {
        NPdfFontFile other;
        ASSERT_TRUE(other.loadType1(folder.file(name).c_str(), afm.c_str())) << other.getError().getBuffer();
        std::string otherProgram;
        NString otherLengths;
        ASSERT_TRUE(other.getProgram(used, otherProgram, key, otherLengths, subset));
        EXPECT_EQ(otherProgram, program) << name;
        EXPECT_STREQ(otherLengths.getBuffer(), lengths.getBuffer()) << name;
    }

    // Courier: fixed pitch; an italic font: flag 64 and its angle.
    NPdfFontFile mono, italic;
    ASSERT_TRUE(mono.loadType1((urw + "NimbusMonoPS-Regular.t1").c_str(), (urw + "NimbusMonoPS-Regular.afm").c_str()));
    EXPECT_EQ(mono.getFlags(), 33);
    ASSERT_TRUE(italic.loadType1((urw + "NimbusRoman-Italic.t1").c_str(), (urw + "NimbusRoman-Italic.afm").c_str()));
    EXPECT_EQ(italic.getFlags(), 96);
    EXPECT_LT(italic.getItalicAngle(), -10.0f);
}

TEST(NPdfFontFile, DamagedType1FailsWithAMessage)
{
    std::string t1 = urw + "NimbusSans-Regular.t1", afm = urw + "NimbusSans-Regular.afm";
    TestFolder folder;
    std::string path = folder.file("bad.pfb");
    NPdfFontFile font;
    EXPECT_FALSE(font.loadType1(t1.c_str(), "Z:\\no\\such.afm"));
    EXPECT_STREQ(font.getError().getBuffer(), "NPdfFontFile::loadType1(..): Die Datei \x84Z:\\no\\such.afm\x93 "
                                              "(Metrikdatei) konnte nicht ge\xF6""ffnet werden.");
    EXPECT_FALSE(font.loadType1(t1.c_str(), (urw + "NimbusSans-Bold.afm").c_str()));
    EXPECT_EQ(std::string(font.getError().getBuffer()),
              "NPdfFontFile::loadType1(..): Die Datei \x84" + urw + "NimbusSans-Bold.afm\x93 passt nicht zur "
              "Schriftdatei \x84" + t1 + "\x93 (FontName NimbusSans-Bold fehlt dort).");

    std::string file = readBytes(t1);
    const std::pair<std::string, const char*> cases[] = {
        {std::string("\x80\x01\x10\x00\x00\x00%!PS", 10), "ist keine lesbare Type1-Schrift (besch\xE4""digt oder abgeschnitten)"},
        {std::string("\x80\x01\x04\x00\x00\x00%!PS\x80\x03", 12),
         "ist keine lesbare Type1-Schrift (besch\xE4""digt oder abgeschnitten)"},
        {file.substr(0, 500), "ist keine lesbare Type1-Schrift (besch\xE4""digt oder abgeschnitten)"},
        {"\x00\x01\x00\x00 not a font", "ist keine Type1-Schrift (weder PFB noch PFA)"},
    };
    for (const auto& [bytes, reason] : cases) {
        writeBytes(path, bytes);
        EXPECT_FALSE(font.loadType1(path.c_str(), afm.c_str()));
        EXPECT_EQ(std::string(font.getError().getBuffer()),
                  "NPdfFontFile::loadType1(..): Die Datei \x84" + path + "\x93 " + reason + ".");
    }
    writeBytes(path, file);
    writeBytes(folder.file("x.afm"), "StartFontMetrics 3.0\nFontName X\nEndFontMetrics\n");
    EXPECT_FALSE(font.loadType1(path.c_str(), folder.file("x.afm").c_str()));
    EXPECT_TRUE(contains(font.getError(), "ist keine lesbare AFM-Metrikdatei"));

    // Random damage to the AFM text and the PFB headers never crashes.
    std::string metrics = readBytes(afm);
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        std::string bytes = metrics;
        for (int i = 0; i < 20; ++i)
            bytes[random() % bytes.size()] = static_cast<char>(random());
        writeBytes(folder.file("x.afm"), bytes);
        if (font.loadType1(t1.c_str(), folder.file("x.afm").c_str()))
            EXPECT_FALSE(font.getPostScriptName().isEmpty());
        else
            EXPECT_FALSE(font.getError().isEmpty());
    }
    std::string pfb = std::string("\x80\x01\x06\x00\x00\x00%!PS e\x80\x02\x04\x00\x00\x00" "abcd\x80\x03", 24);
    for (size_t cut = 0; cut < pfb.size(); ++cut) {
        writeBytes(path, pfb.substr(0, cut));
        EXPECT_FALSE(font.loadType1(path.c_str(), afm.c_str())) << cut;
    }
}
