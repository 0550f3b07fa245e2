// The standard fonts against the URW base-35 AFM files they were made from.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "NPdfCoreFonts.h"

namespace {

// "C code ; WX width ; N name ; ..." lines: widths by glyph name and by code.
struct Afm { std::map<std::string, int> byName; std::map<int, int> byCode; };
Afm readAfm(const std::string& file)
{
    Afm afm;
    std::ifstream in("Z:\\usr\\share\\fonts\\type1\\urw-base35\\" + file + ".afm");
    std::string line, word, name;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        int code = -1, width = -1;
        while (fields >> word)
            if (word == "C") fields >> code;
            else if (word == "WX") fields >> width;
            else if (word == "N") fields >> name;
        if (width >= 0)
            afm.byName[name] = width;
        if (width >= 0 && code >= 0)
            afm.byCode[code] = width;
    }
    return afm;
}

} // namespace

TEST(NPdfCoreFonts, FindsTheFourteenBaseNamesExactly)
{
    for (const char* name : {"Courier", "Courier-BoldOblique", "Helvetica", "Helvetica-Oblique", "Times-Roman",
                             "Times-BoldItalic", "Symbol", "ZapfDingbats"}) {
        const NPdfCoreFont* font = NPdfCoreFonts::find(name);
        ASSERT_NE(font, nullptr) << name;
        EXPECT_TRUE(font->baseName == std::string(name) && font->symbolic == (name[0] == 'S' || name[0] == 'Z')) << name;
    }
    for (const char* name : {"helvetica", "Arial", "Times", "Helvetica ", ""})
        EXPECT_EQ(NPdfCoreFonts::find(name), nullptr) << name;
}

TEST(NPdfCoreFonts, WidthsAreTheAfmWidthsOfWindows1252Glyphs)
{
    // Byte -> glyph as Windows-1252 defines it; unused codes show the bullet.
    const std::pair<int, const char*> codes[] = {
        {'A', "A"}, {'\'', "quotesingle"}, {'`', "grave"}, {0xE4, "adieresis"}, {0xDF, "germandbls"},
        {0x80, "Euro"}, {0x95, "bullet"}, {0x8C, "OE"}, {0x9F, "Ydieresis"}, {0xA0, "space"}, {0xAD, "hyphen"},
        {0xB5, "mu"}, {0x7F, "bullet"}, {0x81, "bullet"}, {0x9D, "bullet"}, {0x97, "emdash"}};
    for (const auto& [base, file] : {std::pair("Helvetica", "NimbusSans-Regular"),
             std::pair("Helvetica-BoldOblique", "NimbusSans-BoldItalic"), std::pair("Times-Roman", "NimbusRoman-Regular"),
             std::pair("Times-Italic", "NimbusRoman-Italic"), std::pair("Courier-Oblique", "NimbusMonoPS-Italic")}) {
        const Afm afm = readAfm(file);
        const unsigned short* widths = NPdfCoreFonts::find(base)->widths;
        for (const auto& [code, glyph] : codes)
            EXPECT_EQ(widths[code], afm.byName.at(glyph)) << base << " code " << code;
        EXPECT_EQ(widths[0x1F], 0) << base;
    }
    // Symbol and ZapfDingbats keep their own codes; codes without glyph are 0.
    for (const auto& [base, file] : {std::pair("Symbol", "StandardSymbolsPS"), std::pair("ZapfDingbats", "D050000L")}) {
        Afm afm = readAfm(file);
        ASSERT_GT(afm.byCode.size(), 150u) << file;
        for (int code = 0; code < 256; ++code)
            EXPECT_EQ(NPdfCoreFonts::find(base)->widths[code], afm.byCode.count(code) ? afm.byCode[code] : 0) << base << code;
    }
}
