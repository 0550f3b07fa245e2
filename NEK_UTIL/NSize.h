#ifndef NEK_NSIZE_H
#define NEK_NSIZE_H

// NSize: a width and height in pixels. The fields are stored height first.
class NSize {
public:
    NSize() : cy(0), cx(0) {}
    NSize(int width, int height) : cy(height), cx(width) {}
    virtual const char* getName() const { return getClassName(); }
    virtual const char* getClassName() const { return "NSize"; }
    virtual ~NSize() {}

    void set(int width, int height) { cx = width; cy = height; }
    bool operator==(const NSize& other) const { return cx == other.cx && cy == other.cy; }
    bool operator!=(const NSize& other) const { return !(*this == other); }

    int cy;
    int cx;
};

#endif
