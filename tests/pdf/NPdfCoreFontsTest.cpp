// The standard fonts' widths against the AFM files they were made from, read
// here by the test itself (the URW base-35 files, seen through Wine's Z:).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "NPdfCoreFonts.h"

namespace {

const char* const afmFolder = "Z:\\usr\\share\\fonts\\type1\\urw-base35\\";

struct AfmWidths {
    std::map<std::string, int> byName;
    std::map<int, int> byCode;
};

AfmWidths readAfm(const std::string& file)
{
    AfmWidths out;
    std::ifstream in(afmFolder + file + ".afm");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 2, "C ") != 0)
            continue;
        int code = -999, width = -1;
        std::string name;
        std::istringstream fields(line);
        std::string word;
        while (fields >> word) {
            if (word == "C") fields >> code;
            else if (word == "WX") fields >> width;
            else if (word == "N") fields >> name;
        }
        out.byName[name] = width;
        if (code >= 0 && code < 256)
            out.byCode[code] = width;
    }
    return out;
}

} // namespace

TEST(NPdfCoreFonts, FindsExactlyTheFourteenBaseNames)
{
    const char* names[] = {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique",
                           "Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
                           "Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic",
                           "Symbol", "ZapfDingbats"};
    for (const char* name : names) {
        const NPdfCoreFont* font = NPdfCoreFonts::find(name);
        ASSERT_NE(font, nullptr) << name;
        EXPECT_STREQ(font->baseName, name);
        EXPECT_EQ(font->symbolic, std::string(name) == "Symbol" || std::string(name) == "ZapfDingbats");
    }
    EXPECT_EQ(NPdfCoreFonts::getCount(), 14);
    for (const char* name : {"helvetica", "Arial", "Times", "Helvetica ", ""})
        EXPECT_EQ(NPdfCoreFonts::find(name), nullptr) << name;
    EXPECT_EQ(NPdfCoreFonts::getAt(14), nullptr);
    EXPECT_EQ(NPdfCoreFonts::getAt(-1), nullptr);
}

TEST(NPdfCoreFonts, TextFontWidthsFollowWindows1252ThroughGlyphNames)
{
    // Byte -> glyph name as Windows-1252 and WinAnsiEncoding define them;
    // the unused codes show the bullet.
    const std::pair<int, const char*> codes[] = {
        {'A', "A"}, {'a', "a"}, {' ', "space"}, {'\'', "quotesingle"}, {'`', "grave"},
        {0xE4, "adieresis"}, {0xDF, "germandbls"}, {0xD6, "Odieresis"}, {0x80, "Euro"},
        {0x95, "bullet"}, {0x8C, "OE"}, {0x9F, "Ydieresis"}, {0x84, "quotedblbase"},
        {0xA0, "space"}, {0xAD, "hyphen"}, {0xB5, "mu"}, {0x7F, "bullet"}, {0x81, "bullet"},
        {0x9D, "bullet"}, {0x96, "endash"}, {0x97, "emdash"}, {0xFF, "ydieresis"}};
    const std::pair<const char*, const char*> fonts[] = {
        {"Helvetica", "NimbusSans-Regular"}, {"Helvetica-BoldOblique", "NimbusSans-BoldItalic"},
        {"Times-Roman", "NimbusRoman-Regular"}, {"Times-Bold", "NimbusRoman-Bold"},
        {"Times-Italic", "NimbusRoman-Italic"}, {"Courier-Oblique", "NimbusMonoPS-Italic"}};
    for (const auto& [base, file] : fonts) {
        AfmWidths afm = readAfm(file);
        ASSERT_GT(afm.byName.size(), 200u) << file;
        const NPdfCoreFont* font = NPdfCoreFonts::find(base);
        ASSERT_NE(font, nullptr);
        for (const auto& [code, glyph] : codes)
            EXPECT_EQ(font->widths[code], afm.byName.at(glyph)) << base << " code " << code;
        for (int code = 0; code < 32; ++code)
            EXPECT_EQ(font->widths[code], 0) << base << " code " << code;
    }
    // The well-known figures, so a wrong folder of AFM files shows too.
    EXPECT_EQ(NPdfCoreFonts::find("Helvetica")->widths['A'], 667);
    EXPECT_EQ(NPdfCoreFonts::find("Times-Roman")->widths[0xE4], 444);
    for (int c = 32; c < 256; ++c)
        ASSERT_EQ(NPdfCoreFonts::find("Courier-Bold")->widths[c], 600) << c;
}

TEST(NPdfCoreFonts, SymbolicFontsUseTheirBuiltInCodes)
{
    const std::pair<const char*, const char*> fonts[] = {{"Symbol", "StandardSymbolsPS"},
                                                          {"ZapfDingbats", "D050000L"}};
    for (const auto& [base, file] : fonts) {
        AfmWidths afm = readAfm(file);
        ASSERT_GT(afm.byCode.size(), 150u) << file;
        const NPdfCoreFont* font = NPdfCoreFonts::find(base);
        for (int code = 0; code < 256; ++code) {
            auto it = afm.byCode.find(code);
            EXPECT_EQ(font->widths[code], it == afm.byCode.end() ? 0 : it->second) << base << " " << code;
        }
    }
    // alpha sits on 'a' in Symbol, so its width differs from Helvetica's 'a'.
    EXPECT_EQ(NPdfCoreFonts::find("Symbol")->widths['a'], readAfm("StandardSymbolsPS").byName.at("alpha"));
}

TEST(NPdfCoreFonts, Windows1252UnicodeAndGlyphNames)
{
    const std::pair<int, unsigned short> unicode[] = {
        {'A', 0x41}, {0x80, 0x20AC}, {0x8A, 0x160}, {0x95, 0x2022}, {0x9F, 0x178},
        {0xA0, 0xA0}, {0xE4, 0xE4}, {0xFF, 0xFF}, {0x81, 0}, {0x8D, 0}, {0x8F, 0}, {0x90, 0}, {0x9D, 0}};
    for (const auto& [code, value] : unicode)
        EXPECT_EQ(NPdfCoreFonts::getWinAnsiUnicode(static_cast<unsigned char>(code)), value) << code;
    EXPECT_STREQ(NPdfCoreFonts::getWinAnsiGlyphName(0xE4), "adieresis");
    EXPECT_STREQ(NPdfCoreFonts::getWinAnsiGlyphName(0x99), "trademark");
    EXPECT_EQ(NPdfCoreFonts::getWinAnsiGlyphName(0x81), nullptr);
    EXPECT_EQ(NPdfCoreFonts::getWinAnsiGlyphName(0x1F), nullptr);
}
