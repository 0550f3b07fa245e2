#ifndef ONDRAHEADERREADER_H
#define ONDRAHEADERREADER_H

#include <string>
#include <vector>

// OndraHeaderReader: reads the source text of a picture back into pixels,
// as generated or reformatted by hand (any white space and line breaks,
// comments, preprocessor lines). It finds the BitmapHeader record, its frame
// table and the data arrays the table names, and expands every frame's runs.
// Damage (a run beyond the picture, too few pixels, a missing record, table
// or array, a value out of range) is refused with a German text naming the line.
class OndraHeaderReader {
public:
    OndraHeaderReader();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~OndraHeaderReader();

    // False when the text is damaged; getError() then says where and why.
    // Without `pixels` the runs are checked and counted but not expanded.
    bool read(const char* text, size_t length, bool pixels = true);
    const std::wstring& getError() const { return error; }

    // The picture's symbol: the record's name without its "_bmp_".
    const std::string& getSymbol() const { return symbol; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getFrameCount() const { return static_cast<int>(frames.size()); }
    // The 16-bit values of frame k, one per pixel, row by row.
    const std::vector<unsigned short>& frame(int k) const { return frames[static_cast<size_t>(k)]; }
    // The 16-bit values in the data arrays the frame table names, markers included.
    unsigned long long getValueCount() const { return valueCount; }

private:
    // A token points into the text. The values of data arrays are not kept:
    // they are read again from the text when the frame is expanded, so that a
    // big picture costs no more memory than its pixels.
    struct Token {
        enum Kind : unsigned char { name, number, character, symbol, end } kind;
        int line;
        size_t start;
        size_t length;
        unsigned value;
    };
    struct Cursor {
        size_t at;
        int line;
        bool lineStart;
    };
    struct Initializer {
        std::string name;
        bool array;
        int line;
        int closingLine;
        Cursor items;               // just after the opening brace
        size_t count;               // items
        std::vector<Token> stored;  // the items, except in an array of numbers
    };

    std::string textOf(const Token& token) const { return std::string(source + token.start, token.length); }
    bool is(const Token& token, char c) const { return token.kind == Token::symbol && source[token.start] == c; }
    // The next token from `cursor`, past white space, comments and
    // preprocessor lines; false (with the error set) on a malformed one.
    bool next(Cursor& cursor, Token& token);
    bool parse(std::vector<Initializer>& found);
    bool interpret(const std::vector<Initializer>& found, bool pixels);
    bool expand(const Initializer& data, std::vector<unsigned short>* pixels);
    bool fail(int line, const std::wstring& text);

    const char* source;
    size_t sourceLength;
    int lastLine;
    std::wstring error;
    std::string symbol;
    int width;
    int height;
    std::vector<std::vector<unsigned short>> frames;
    unsigned long long valueCount;
};

#endif
