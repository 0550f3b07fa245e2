#ifndef NEK_NPOINTF_H
#define NEK_NPOINTF_H

class NPoint;

// NPointF: a position in floating-point units (PDF pages use them).
class NPointF {
public:
    NPointF() : x(0), y(0) {}
    NPointF(float x, float y) : x(x), y(y) {}
    NPointF(const NPoint& point);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPointF() {}

    bool operator==(const NPointF& other) const { return x == other.x && y == other.y; }
    bool operator!=(const NPointF& other) const { return !(*this == other); }

    float x;
    float y;
};

#endif
