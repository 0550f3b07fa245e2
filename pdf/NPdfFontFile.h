#ifndef NEK_NPDFFONTFILE_H
#define NEK_NPDFFONTFILE_H

#include "NString.h"

#include <string>
#include <vector>

// NPdfFontFile: a TrueType or Type1 font file to embed in a PDF as a simple
// font with WinAnsiEncoding: its metrics per Windows-1252 code (1/1000 em),
// the values of its font descriptor and the font program.
//
// TrueType (.ttf with TrueType outlines): codes reach glyphs through their
// Unicode and the (3,1) cmap (a (3,0) symbol cmap through 0xF000 + code).
// The program is a subset that keeps the glyph ids and drops the outlines of
// unused glyphs; fsType "restricted" or "bitmap only" refuses embedding,
// "no subsetting" embeds the whole file. Collections (.ttc) and CFF-based
// OpenType fonts are refused.
// Type1: a .pfb (segments) or a PFA/.t1 file (clear text, "eexec", hex or
// binary encrypted part, zeros and cleartomark) with its .afm file for the
// metrics; the program is the whole font in the binary form PDF wants.
class NPdfFontFile {
public:
    NPdfFontFile();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPdfFontFile();

    bool loadTrueType(const NString& ttfPath);                       // false: getError() says why
    bool loadType1(const NString& fontPath /* .pfb or .t1 (PFB or PFA) */, const NString& afmPath);
    const NString& getError() const { return error; }
    bool isTrueType() const { return trueType; }
    const NString& getPostScriptName() const { return postScriptName; }   // BaseFont without subset tag
    int getWidth(unsigned char code) const { return widths[code]; }       // 1/1000 em
    // FontDescriptor values, in 1/1000 em
    int getFlags() const { return flags; }
    void getBBox(int bbox[4]) const;
    float getItalicAngle() const { return italicAngle; }
    int getAscent() const { return ascent; }
    int getDescent() const { return descent; }
    int getCapHeight() const { return capHeight; }
    int getStemV() const { return stemV; }
    int getMissingWidth() const { return missingWidth; }
    // The font program for the codes marked in used[256]: a TrueType subset
    // (only those glyphs, glyph ids kept) where the file's embedding rights
    // allow, else the whole file; Type1 whole. fileKey "FontFile2" or
    // "FontFile"; lengthEntries "/Length1 n" or "/Length1 a /Length2 b
    // /Length3 c" (uncompressed lengths). False with getError() when
    // embedding is not permitted.
    bool getProgram(const bool used[256], std::string& program, NString& fileKey,
                    NString& lengthEntries, bool& subset) const;

    // TrueType glyph id of a code (0: none), for checks of the subset.
    int getGlyph(unsigned char code) const { return glyphs[code]; }

private:
    struct Table {
        unsigned offset;
        unsigned length;
    };
    static int readFile(const NString& path, std::string& out);
    static const char* readProblem(int readFileResult);
    void clear();
    bool fail(const char* operationName, const NString& file, const NString& reason);
    bool failFont(const char* reason);   // TrueType: names the font file
    const Table* findTable(const char* tag) const;
    bool parseTrueType();
    bool parseCmap();
    bool glyphRange(unsigned glyph, unsigned& start, unsigned& end) const;
    bool buildSubset(const bool used[256], std::string& program) const;
    bool splitType1(const std::string& bytes);
    bool parseAfm(const std::string& text);

    bool trueType;
    mutable NString error;   // getProgram reports refusals too
    NString path;
    NString postScriptName;
    int widths[256];
    int flags;
    int bbox[4];
    float italicAngle;
    int ascent, descent, capHeight, stemV, missingWidth;
    // TrueType
    std::string file;
    std::vector<std::pair<std::string, Table>> tables;
    unsigned short glyphs[256];
    unsigned unitsPerEm;
    unsigned glyphCount;
    int locaFormat;
    unsigned fsType;
    // Type1: the three parts of the program
    std::string clearText, encrypted, trailer;
};

#endif
