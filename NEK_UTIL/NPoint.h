#ifndef NEK_NPOINT_H
#define NEK_NPOINT_H

// NPoint: a pixel position.
class NPoint {
public:
    NPoint() : x(0), y(0) {}
    NPoint(int x, int y) : x(x), y(y) {}
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPoint() {}

    bool operator==(const NPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const NPoint& other) const { return !(*this == other); }
    NPoint operator+(const NPoint& other) const;
    NPoint operator-(const NPoint& other) const;

    // Reads x, then y. Missing or non-numeric parts become 0; the result
    // tells whether both parts were present.
    bool fromText(const char* text, const char* separator);

    int x;
    int y;
};

#endif
