// NPdfFontFile on Debian's DejaVu (TrueType) and URW base-35 (Type1) files
// through Wine's Z: drive, and on damaged copies of them.
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

struct Entry { unsigned checksum, offset, length; };
std::map<std::string, Entry> tableDirectory(const std::string& font)
{
    std::map<std::string, Entry> out;
    for (unsigned i = 0, at = 12; i < get16(font, 4); ++i, at += 16)
        out[font.substr(at, 4)] = {get32(font, at + 4), get32(font, at + 8), get32(font, at + 12)};
    return out;
}

unsigned sum32(std::string s)
{
    s.resize((s.size() + 3) / 4 * 4, '\0');
    unsigned sum = 0;
    for (size_t i = 0; i < s.size(); i += 4)
        sum += get32(s, i);
    return sum;
}

// Start and length of a glyph's outline in a font file.
std::pair<unsigned, unsigned> glyphData(const std::string& font, unsigned glyph)
{
    auto tables = tableDirectory(font);
    const bool longLoca = get16(font, tables["head"].offset + 50) == 1;
    const size_t loca = tables["loca"].offset;
    auto at = [&](unsigned g) { return longLoca ? get32(font, loca + 4 * g) : 2 * get16(font, loca + 2 * g); };
    return {tables["glyf"].offset + at(glyph), at(glyph + 1) - at(glyph)};
}

// The font program for the codes of `text`; `subset` starts as given so
// that a flag left unset shows.
struct Program { bool ok, subset; std::string bytes, lengths; };
Program program(const NPdfFontFile& font, const std::string& text, const char* key, bool subsetBefore = false)
{
    bool used[256] = {};
    for (unsigned char c : text)
        used[c] = true;
    NString fileKey, lengths;
    Program p{false, subsetBefore, "", ""};
    p.ok = font.getProgram(used, p.bytes, fileKey, lengths, p.subset);
    EXPECT_TRUE(!p.ok || fileKey == key) << fileKey.getBuffer();
    p.lengths = lengths.getBuffer();
    return p;
}

} // namespace

TEST(NPdfFontFile, TrueTypeMetricsPerWindows1252CodeAndSubset)
{
    NPdfFontFile sans, mono, oblique, bold;
    for (auto [font, file] : {std::pair(&sans, "DejaVuSans"), std::pair(&mono, "DejaVuSansMono"),
                              std::pair(&oblique, "DejaVuSans-Oblique"), std::pair(&bold, "DejaVuSans-Bold")})
        ASSERT_TRUE(font->loadTrueType((dejavu + file + ".ttf").c_str())) << font->getError().getBuffer();
    EXPECT_TRUE(sans.isTrueType() && oblique.getPostScriptName() == NString("DejaVuSans-Oblique"));
    // DejaVu Sans' advances (2048 units) in 1/1000 em; code 0x80 through U+20AC,
    // no-break space through its own glyph; unused and control codes: .notdef.
    const std::tuple<NPdfFontFile*, int, int> known[] = {{&sans, 'A', 684}, {&sans, ' ', 318}, {&sans, 0xE4, 613},
        {&sans, 0x80, 636}, {&sans, 'W', 989}, {&sans, 0xA0, 318}, {&sans, 0x81, 600}, {&sans, 0x05, 600},
        {&mono, 0x20, 602}, {&mono, 0x69, 602}, {&mono, 0x57, 602}, {&mono, 0xFF, 602}};
    for (const auto& [font, code, width] : known)
        EXPECT_EQ(font->getWidth(static_cast<unsigned char>(code)), width) << code;
    EXPECT_TRUE(sans.getMissingWidth() == 600 && sans.getGlyph(0x95) != 0);
    for (const auto& [font, flags] : {std::pair(&sans, 32), std::pair(&mono, 32 | 1), std::pair(&oblique, 32 | 64)})
        EXPECT_EQ(font->getFlags(), flags);
    EXPECT_NEAR(oblique.getItalicAngle(), -11.0, 0.5);
    EXPECT_NEAR(sans.getCapHeight(), 729, 3);   // the top of "H": 1493 units
    EXPECT_GT(bold.getStemV(), sans.getStemV());

    // The subset is a valid, smaller font.
    const NPdfFontFile& font = sans;
    const std::string original = readBytes(dejavu + "DejaVuSans.ttf");
    Program p = program(font, "Hallo Welt \xE4\x80", "FontFile2");
    ASSERT_TRUE(p.ok) << font.getError().getBuffer();
    const std::string& subset = p.bytes;
    EXPECT_TRUE(p.subset);
    EXPECT_EQ(p.lengths, "/Length1 " + std::to_string(subset.size()));
    EXPECT_LT(subset.size(), original.size() / 5);

    // Sorted tags, aligned tables with right checksums, the file's checksum
    // adjustment in head; the hinting programs come along.
    auto tables = tableDirectory(subset);
    EXPECT_EQ(tables.count("fpgm") + tables.count("prep") + tables.count("cvt "), 3u);
    for (unsigned i = 1; i < tables.size(); ++i)
        EXPECT_LT(subset.substr(12 + 16 * (i - 1), 4), subset.substr(12 + 16 * i, 4));
    for (auto& [tag, e] : tables) {
        std::string body = subset.substr(e.offset, e.length);
        if (tag == "head")
            body.replace(8, 4, std::string(4, '\0'));
        EXPECT_TRUE(sum32(body) == e.checksum && e.offset % 4 == 0) << tag;
    }
    EXPECT_EQ(sum32(subset), 0xB1B0AFBAu);

    // Used glyphs keep their outlines byte for byte, others lose them; the
    // a-dieresis is made of components ("a" among them), which come along.
    for (unsigned char c : std::string("HaloWt\xE4\x80")) {
        auto kept = glyphData(subset, font.getGlyph(c)), was = glyphData(original, font.getGlyph(c));
        ASSERT_GT(kept.second, 0u) << c;
        EXPECT_EQ(subset.substr(kept.first, was.second), original.substr(was.first, was.second)) << c;
    }
    for (unsigned char c : std::string("zZ0"))
        EXPECT_EQ(glyphData(subset, font.getGlyph(c)).second, 0u) << c;
    p = program(font, "Hllo Wet \xE4\x80", "FontFile2");
    ASSERT_TRUE(p.ok);
    ASSERT_LT(static_cast<short>(get16(original, glyphData(original, font.getGlyph(0xE4)).first)), 0);
    EXPECT_GT(glyphData(p.bytes, font.getGlyph('a')).second, 0u);
    EXPECT_GT(glyphData(p.bytes, 0).second, 0u);

    // Our own reader takes the subset back with the same metrics.
    TestFolder folder;
    writeBytes(folder.file("subset.ttf"), p.bytes);
    NPdfFontFile again;
    ASSERT_TRUE(again.loadTrueType(folder.file("subset.ttf").c_str())) << again.getError().getBuffer();
    EXPECT_STREQ(again.getPostScriptName().getBuffer(), "DejaVuSans");
    for (int c = 0; c < 256; ++c)
        ASSERT_TRUE(again.getWidth(c) == font.getWidth(c) && again.getGlyph(c) == font.getGlyph(c)) << c;
}

TEST(NPdfFontFile, EmbeddingRightsAndDamagedTrueTypeFiles)
{
    TestFolder folder;
    const std::string path = folder.file("f.ttf"), original = readBytes(dejavu + "DejaVuSansMono.ttf");
    auto tables = tableDirectory(original);
    const size_t fsTypeAt = tables["OS/2"].offset + 8;
    // fsType -> allowed, subset
    const std::tuple<unsigned, bool, bool> rights[] = {{0x0000, true, true}, {0x0004, true, true}, {0x0008, true, true},
                                                       {0x0100, true, false}, {0x0002, false, false}, {0x0200, false, false}};
    for (const auto& [fsType, allowed, wantSubset] : rights) {
        std::string copy = original;
        copy.replace(fsTypeAt, 2, {char(fsType >> 8), char(fsType)});
        writeBytes(path, copy);
        NPdfFontFile font;
        ASSERT_TRUE(font.loadTrueType(path.c_str()));
        const Program p = program(font, "x", "FontFile2", !wantSubset);
        char hex[8];
        std::snprintf(hex, sizeof(hex), "%04X", fsType);
        ASSERT_EQ(p.ok, allowed) << hex;
        if (allowed)
            EXPECT_TRUE(p.subset == wantSubset && (p.bytes == copy) == !wantSubset) << hex;
        else
            EXPECT_EQ(std::string(font.getError().getBuffer()), "NPdfFontFile::getProgram(..): Die Schrift "
                      "\"DejaVuSansMono\" (Datei \"" + path + "\") darf nach ihren Lizenzangaben (fsType 0x" + hex +
                      ") nicht eingebettet werden.");
    }

    // Damaged files: a message naming the file and what is wrong.
    std::string beyond = original, noCmap = original;
    beyond[original.find("glyf", 12) + 8] = '\x7F';   // the table's offset far past the end
    noCmap[original.find("cmap", 12) + 3] = 'q';
    const std::pair<std::string, const char*> cases[] = {
        {"ttcf" + original.substr(4), "ist eine TrueType-Sammlung (.ttc); bitte eine einzelne Schrift (.ttf) angeben"},
        {"OTTO" + original.substr(4), "ist eine OpenType-Schrift mit CFF-Umrissen; eingebettet werden nur TrueType-Umrisse"},
        {"%!PS-AdobeFont", "ist keine TrueType-Schrift"},
        {original.substr(0, 100), "ist keine lesbare TrueType-Schrift (abgeschnitten)"},
        {beyond, "ist keine lesbare TrueType-Schrift (Tabelle \"glyf\" liegt au\xDF""erhalb der Datei)"},
        {noCmap, "ist keine lesbare TrueType-Schrift (Tabelle \"cmap\" fehlt oder ist zu kurz)"}};
    NPdfFontFile font;
    for (const auto& [bytes, reason] : cases) {
        writeBytes(path, bytes);
        EXPECT_FALSE(font.loadTrueType(path.c_str()));
        EXPECT_EQ(std::string(font.getError().getBuffer()),
                  "NPdfFontFile::loadTrueType(..): Die Datei \"" + path + "\" " + reason + ".");
        EXPECT_TRUE(font.getPostScriptName().isEmpty());
    }
    EXPECT_FALSE(font.loadTrueType("Z:\\no\\such.ttf"));
    EXPECT_STREQ(font.getError().getBuffer(),
                 "NPdfFontFile::loadTrueType(..): Die Datei \"Z:\\no\\such.ttf\" konnte nicht ge\xF6""ffnet werden.");

    // Cuts inside every table and random bytes over the directory and the
    // small tables: a message, or a font that still makes its program.
    std::vector<std::string> damaged;
    for (const auto& entry : tables)
        damaged.push_back(original.substr(0, entry.second.offset + entry.second.length / 2));
    std::mt19937 random(77);
    for (int round = 0; round < 60; ++round) {
        damaged.push_back(original);
        for (int i = 0; i < 6; ++i)
            damaged.back()[random() % 2 ? random() % 400 : random() % tables["glyf"].offset] = static_cast<char>(random());
    }
    for (const std::string& bytes : damaged) {
        writeBytes(path, bytes);
        const bool loaded = font.loadTrueType(path.c_str());
        if (!loaded || !program(font, "A\xE4", "FontFile2").ok) {
            EXPECT_EQ(std::string(font.getError().getBuffer()).rfind(loaded ? "NPdfFontFile::getProgram" :
                                                                     "NPdfFontFile::loadTrueType(..): Die Datei", 0), 0u);
        }
    }
}

TEST(NPdfFontFile, Type1FromT1PfbAndHexPfaOrAMessage)
{
    const std::string t1 = urw + "NimbusSans-Regular.t1", afm = urw + "NimbusSans-Regular.afm", file = readBytes(t1);
    NPdfFontFile font;
    ASSERT_TRUE(font.loadType1(t1.c_str(), afm.c_str())) << font.getError().getBuffer();
    EXPECT_TRUE(!font.isTrueType() && font.getPostScriptName() == NString("NimbusSans-Regular"));
    EXPECT_TRUE(font.getWidth('A') == 667 && font.getWidth(0xE4) == 556 && font.getWidth(0x80) == 556);
    EXPECT_TRUE(font.getFlags() == 32 && font.getCapHeight() == 729);
    // This AFM gives 0 for ascender and descender: the bounding box stands in.
    int box[4];
    font.getBBox(box);
    EXPECT_TRUE(box[0] == -210 && box[1] == -299 && box[2] == 1032 && box[3] == 1075);
    EXPECT_TRUE(font.getAscent() == 1075 && font.getDescent() == -299);

    const Program whole = program(font, "", "FontFile", true);
    ASSERT_TRUE(whole.ok);
    EXPECT_FALSE(whole.subset);
    EXPECT_EQ(whole.bytes, file);
    unsigned length1 = 0, length2 = 0, length3 = 0;
    ASSERT_EQ(std::sscanf(whole.lengths.c_str(), "/Length1 %u /Length2 %u /Length3 %u", &length1, &length2, &length3), 3);
    EXPECT_EQ(length1, file.find("eexec") + 6);   // "eexec\r" in these files
    EXPECT_EQ(length1 + length2 + length3, file.size());
    const std::string tail = file.substr(length1 + length2);
    EXPECT_EQ(std::count(tail.begin(), tail.end(), '0'), 512);
    EXPECT_EQ(tail.find_first_not_of("0\r\n"), tail.find("cleartomark"));

    // The same font as PFB segments and as hex PFA gives the same program.
    const std::string clear = file.substr(0, length1), binary = file.substr(length1, length2);
    auto segment = [](char type, const std::string& body) {
        const size_t n = body.size();
        return std::string{'\x80', type, char(n), char(n >> 8), char(n >> 16), char(n >> 24)} + body;
    };
    std::string hex = clear;
    for (size_t i = 0; i < binary.size(); ++i)
        hex += std::string{"0123456789abcdef"[(binary[i] >> 4) & 15], "0123456789abcdef"[binary[i] & 15]} +
               (i % 32 == 31 && i + 1 < binary.size() ? "\n" : "");
    TestFolder folder;
    writeBytes(folder.file("f.pfb"), segment(1, clear) + segment(2, binary) + segment(1, tail) + "\x80\x03");
    writeBytes(folder.file("f.pfa"), hex + tail);
    for (const char* name : {"f.pfb", "f.pfa"}) {
        NPdfFontFile other;
        ASSERT_TRUE(other.loadType1(folder.file(name).c_str(), afm.c_str())) << other.getError().getBuffer();
        const Program p = program(other, "", "FontFile", true);
        EXPECT_TRUE(p.ok && p.bytes == whole.bytes && p.lengths == whole.lengths) << name << p.lengths;
    }

    // Missing, mismatched and damaged files.
    const std::string path = folder.file("bad.pfb"), badAfm = folder.file("x.afm");
    EXPECT_FALSE(font.loadType1(t1.c_str(), "Z:\\no\\such.afm"));
    EXPECT_STREQ(font.getError().getBuffer(), "NPdfFontFile::loadType1(..): Die Datei \"Z:\\no\\such.afm\" "
                                              "(Metrikdatei) konnte nicht ge\xF6""ffnet werden.");
    EXPECT_FALSE(font.loadType1(t1.c_str(), (urw + "NimbusSans-Bold.afm").c_str()));
    EXPECT_EQ(std::string(font.getError().getBuffer()),
              "NPdfFontFile::loadType1(..): Die Datei \"" + urw + "NimbusSans-Bold.afm\" passt nicht zur "
              "Schriftdatei \"" + t1 + "\" (FontName NimbusSans-Bold fehlt dort).");
    writeBytes(badAfm, "StartFontMetrics 3.0\nFontName X\nEndFontMetrics\n");
    EXPECT_FALSE(font.loadType1(t1.c_str(), badAfm.c_str()));
    EXPECT_NE(std::string(font.getError().getBuffer()).find("ist keine lesbare AFM-Metrikdatei"), std::string::npos);

    // Every cut of a small PFB, a cut PFA and a file of neither kind.
    const char* damaged = "ist keine lesbare Type1-Schrift (besch\xE4""digt oder abgeschnitten)";
    const char* neither = "ist keine Type1-Schrift (weder PFB noch PFA)";
    const std::string pfb("\x80\x01\x0B\0\0\0%!PS eexec\n\x80\x02\x04\0\0\0abcd\x80\x03", 29);
    std::vector<std::pair<std::string, const char*>> cases = {{readBytes(t1).substr(0, 500), damaged},
                                                              {"\x01\x01 not a font", neither}};
    for (size_t cut = 0; cut < pfb.size(); ++cut)
        cases.push_back({pfb.substr(0, cut), cut < 2 ? neither : damaged});
    for (const auto& [bytes, reason] : cases) {
        writeBytes(path, bytes);
        EXPECT_FALSE(font.loadType1(path.c_str(), afm.c_str()));
        EXPECT_EQ(std::string(font.getError().getBuffer()),
                  "NPdfFontFile::loadType1(..): Die Datei \"" + path + "\" " + reason + ".");
    }
}
