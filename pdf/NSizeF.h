#ifndef NEK_NSIZEF_H
#define NEK_NSIZEF_H

class NSize;

// NSizeF: a width (cx) and height (cy) in floating-point units.
class NSizeF {
public:
    NSizeF() : cx(0), cy(0) {}
    NSizeF(float cx, float cy) : cx(cx), cy(cy) {}
    NSizeF(const NSize& size);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NSizeF() {}

    bool operator==(const NSizeF& other) const { return cx == other.cx && cy == other.cy; }
    bool operator!=(const NSizeF& other) const { return !(*this == other); }

    float cx;
    float cy;
};

#endif
