#ifndef HEADERREVIEW_H
#define HEADERREVIEW_H

#include <string>
#include <vector>

#include "OndraHeaderReader.h"

class NConsole;

// HeaderReview: reads a picture's source text back (just generated, or a
// header file) and tells what it holds: the figures for the firmware's flash
// on standard error, and the picture as PNG, decoded from the text's values.
class HeaderReview {
public:
    // Pointers in the firmware's frame table and record: 32-bit controllers.
    static const int pointerBytes = 4;
    // The record { 'b', frames, width, height, table }: four 16-bit fields
    // (the record is declared as uint16_t[]) and the table's pointer.
    static const int recordBytes = 4 * 2 + pointerBytes;

    explicit HeaderReview(NConsole& err);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~HeaderReview();

    // Reads the text; `pixels` false skips expanding the runs (figures only).
    // False when damaged; getError() says where and why.
    bool read(const char* text, size_t length, bool pixels);
    // The text just generated for `symbol`; a symbol that is no C name
    // (spaces, umlauts) is read under a plain one.
    bool readGenerated(const char* text, size_t length, const std::string& symbol, bool pixels);
    // A header file (UTF-16 path, "\\?\" form allowed), pixels and all.
    bool readFile(const std::wstring& path);
    const std::wstring& getError() const { return problem.empty() ? reader.getError() : problem; }
    const OndraHeaderReader& getReader() const { return reader; }

    // The line --stats prints for `label`, without "bmp2ondra: " and line end.
    std::wstring statsLine(const std::wstring& label) const;
    // Writes the frames side by side as PNG; false with the reason reported.
    bool savePreview(const std::wstring& path);

private:
    NConsole& err;
    OndraHeaderReader reader;
    std::wstring problem;  // found before the reader: memory, the file
    std::vector<unsigned char> fileText;
};

#endif
