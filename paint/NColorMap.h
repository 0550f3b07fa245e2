#ifndef NEK_NCOLORMAP_H
#define NEK_NCOLORMAP_H

#include "NMapStringToNum.h"
#include "NString.h"

// NColorMap: colour texts to colour values (0x00BBGGRR) and back. A colour
// text is "#rrggbb" or "#rgb", a decimal triple "r,g,b", or a colour name.
// Each key is a comma-separated list of names of one colour, so a program
// can add its own names with setAt. The sixteen standard colours are entered
// on first use.
class NColorMap : public NMapStringToNum {
public:
    NColorMap();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NColorMap() override;

    // -1 for a name that is in no key.
    int getColor(const NString& text);
    // Whole names only, case-sensitive; the first matching key wins; -1 without one.
    int getColorByName(const NString& name);
    // Parts beyond the third are ignored, missing ones count as 0, each is
    // cut to its low 8 bits.
    int parseRGB(const NString& text, const char* separator = ",");
    // Hex digits after the "#"; what follows them is ignored.
    int parseHex(const NString& text);
    // "#RRGGBB", upper-case, red first.
    NString toText(int color);
    void fillDefaults();

private:
    void fillWhenEmpty();
};

extern NColorMap globalColorMap;

#endif
