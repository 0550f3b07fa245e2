#ifndef NEK_NCOLOR_H
#define NEK_NCOLOR_H

// NColor: one Windows colour value 0x00BBGGRR (red in the low byte).
class NColor {
public:
    NColor();
    NColor(unsigned int value);
    NColor(unsigned char red, unsigned char green, unsigned char blue);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NColor();

    NColor& operator=(unsigned int value);

    unsigned int getValue() const { return value; }
    int getRed() const { return static_cast<int>(value & 0xFF); }
    int getGreen() const { return static_cast<int>((value >> 8) & 0xFF); }
    int getBlue() const { return static_cast<int>((value >> 16) & 0xFF); }
    int getHighByte() const { return static_cast<int>((value >> 24) & 0xFF); }

private:
    unsigned int value;
};

#endif
