#ifndef ONDRASOURCETEXT_H
#define ONDRASOURCETEXT_H

#include <cstddef>
#include <vector>

#include "NString.h"

// OndraSourceText: the run-length coded source text of one picture for the
// Ondra graphics library. It is written straight into a buffer of its exact
// size: a first pass over the pixels measures the text, a second writes it.
class OndraSourceText {
public:
    // The picture's 16-bit values, handed out one column at a time.
    class Columns {
    public:
        virtual ~Columns();
        // The values of column x, top to bottom; valid until the next call.
        virtual const unsigned short* column(int x) = 0;
    };

    // Told how far the text is written, every few megabytes, so that a
    // caller can pass the finished part on while the rest is made.
    class Progress {
    public:
        virtual ~Progress();
        virtual void written(const char* end) = 0;
    };

    // `name` is the symbol name; width and height are at least 1.
    OndraSourceText(const NString& name, int width, int height);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~OndraSourceText();

    // The length of the text in bytes.
    unsigned long long measure(Columns& columns) const;
    // Writes exactly measure() bytes to `out`; returns the end.
    char* write(Columns& columns, char* out, Progress* progress = nullptr) const;

    // An animation: one data array per frame, "_bmp_data_<name>_<k>", each
    // run-length coded on its own, a frame table listing them in order and
    // a comment after the guard with every frame's display time in ms.
    unsigned long long measureFrames(const std::vector<Columns*>& frames, const std::vector<unsigned>& delays) const;
    char* writeFrames(const std::vector<Columns*>& frames, const std::vector<unsigned>& delays, char* out,
                      Progress* progress = nullptr) const;

private:
    NString headText() const;
    NString tailText() const;
    NString framesHead(const std::vector<unsigned>& delays) const;
    NString frameOpening(size_t k) const;
    NString framesTail(size_t count) const;

    NString symbol;
    int width;
    int height;
};

#endif
