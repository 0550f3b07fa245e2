#ifndef NEK_NRANGE_H
#define NEK_NRANGE_H

// NRange: a start and an end value, e.g. a selection or a column span.
// The fields are stored end first.
class NRange {
public:
    NRange() : end(0), start(0) {}
    NRange(int start, int end) : end(end), start(start) {}
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NRange() {}

    bool operator==(const NRange& other) const { return start == other.start && end == other.end; }
    bool operator!=(const NRange& other) const { return !(*this == other); }

    // start is the text before the first separator, end the text after it.
    // Returns false when the separator is missing (end is then 0).
    bool fromText(const char* text, const char* separator);

    int end;
    int start;
};

#endif
