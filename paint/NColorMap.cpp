#include "NColorMap.h"

#include "NGlobalOrder.h"

NColorMap globalColorMap NEK_INIT_ORDER(NEK_ORDER_COLORMAP);

namespace {

struct NamedColor {
    const char* names;
    int value;
};

// The order matters: lookups by name take the first key that fits.
const NamedColor standardColors[] = {
    {"schwarz,black", 0x000000}, {"maroon", 0x000080},
    {"gr\xFC" "n,green", 0x008000}, {"navy", 0x800000},
    {"olive", 0x008080},         {"violet,purple", 0x800080},
    {"teal", 0x808000},          {"grau,gray", 0x808080},
    {"silber,silver", 0xC0C0C0}, {"rot,red", 0x0000FF},
    {"lime", 0x00FF00},          {"blau,blue", 0xFF0000},
    {"gelb,yellow", 0x00FFFF},   {"fuchsia", 0xFF00FF},
    {"aqua,cyan", 0xFFFF00},     {"weis,white", 0xFFFFFF},
};

}  // namespace

NColorMap::NColorMap() {}
NColorMap::~NColorMap() {}

const char* NColorMap::getName() const { return getClassName(); }
const char* NColorMap::getClassName() const { return "NColorMap"; }

void NColorMap::fillWhenEmpty()
{
    if (count == 0)
        fillDefaults();
}

void NColorMap::fillDefaults()
{
    removeAll();
    for (const NamedColor& color : standardColors)
        setAt(color.names, color.value);
}

int NColorMap::getColor(const NString& text)
{
    fillWhenEmpty();
    const char first = text.getAt(0);
    if (first == '#')
        return parseHex(text);
    if (first >= '0' && first <= '9')
        return parseRGB(text, ",");
    return getColorByName(text);
}

int NColorMap::getColorByName(const NString& name)
{
    fillWhenEmpty();
    const NString wanted = NString(",") + name + NString(",");
    for (int i = 0; i < count; ++i) {
        const NString names = NString(",") + *entries[i].key + NString(",");
        if (names.find(wanted) >= 0)
            return entries[i].value;
    }
    return -1;
}

int NColorMap::parseRGB(const NString& text, const char* separator)
{
    fillWhenEmpty();
    NString rest(text);
    unsigned int parts[3];
    for (unsigned int& part : parts)
        part = static_cast<unsigned int>(rest.cutToken(separator).toInt()) & 0xFF;
    return static_cast<int>(parts[2] << 16 | parts[1] << 8 | parts[0]);
}

int NColorMap::parseHex(const NString& text)
{
    fillWhenEmpty();
    return text.toInt();
}

NString NColorMap::toText(int color)
{
    fillWhenEmpty();
    NString text;
    text.format("#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    return text;
}
