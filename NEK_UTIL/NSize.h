#ifndef NEK_NSIZE_H
#define NEK_NSIZE_H

// NSize: a width and height in pixels. The fields are stored height first.
class NSize {
public:
    NSize() : cy(0), cx(0) {}
    NSize(int cx, int cy) : cy(cy), cx(cx) {}
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NSize() {}

    void set(int width, int height) { cx = width; cy = height; }
    bool operator==(const NSize& other) const { return cx == other.cx && cy == other.cy; }
    bool operator!=(const NSize& other) const { return !(*this == other); }

    // Reads cx, then cy. Missing or non-numeric parts become 0; the result
    // tells whether both parts were present.
    bool fromText(const char* text, const char* separator);

    int cy;
    int cx;
};

#endif
