#!/usr/bin/env python3
"""Writes pdf/NPdfCoreFonts.cpp: the glyph widths of the 14 standard PDF fonts.

The widths come from the AFM files of the URW base-35 fonts (Debian package
fonts-urw-base35), which are metric-compatible with the standard fonts.

Text fonts are indexed by the Windows-1252 byte (PDF's WinAnsiEncoding): each
code's glyph name is looked up in the AFM. Codes 0x00..0x1F have no glyph and
get width 0. The codes Windows-1252 leaves unused above 0x20 (0x7F, 0x81,
0x8D, 0x8F, 0x90, 0x9D) show the bullet in WinAnsiEncoding, so they get the
width of "bullet". Symbol and ZapfDingbats keep their built-in encoding (the
AFM's "C" codes); a code without a glyph there has width 0.

Usage: scripts/pdf-core-fonts.py [afm-folder]   (run from anywhere)
"""
import os
import sys

AFM_DIR = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/fonts/type1/urw-base35"
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pdf", "NPdfCoreFonts.cpp")

FONTS = [
    ("Courier", "NimbusMonoPS-Regular", False),
    ("Courier-Bold", "NimbusMonoPS-Bold", False),
    ("Courier-Oblique", "NimbusMonoPS-Italic", False),
    ("Courier-BoldOblique", "NimbusMonoPS-BoldItalic", False),
    ("Helvetica", "NimbusSans-Regular", False),
    ("Helvetica-Bold", "NimbusSans-Bold", False),
    ("Helvetica-Oblique", "NimbusSans-Italic", False),
    ("Helvetica-BoldOblique", "NimbusSans-BoldItalic", False),
    ("Times-Roman", "NimbusRoman-Regular", False),
    ("Times-Bold", "NimbusRoman-Bold", False),
    ("Times-Italic", "NimbusRoman-Italic", False),
    ("Times-BoldItalic", "NimbusRoman-BoldItalic", False),
    ("Symbol", "StandardSymbolsPS", True),
    ("ZapfDingbats", "D050000L", True),
]

# WinAnsiEncoding glyph names, 0x20..0xFF; None = unused code.
WIN_ANSI = """
space exclam quotedbl numbersign dollar percent ampersand quotesingle
parenleft parenright asterisk plus comma hyphen period slash
zero one two three four five six seven eight nine colon semicolon less equal greater question
at A B C D E F G H I J K L M N O P Q R S T U V W X Y Z
bracketleft backslash bracketright asciicircum underscore
grave a b c d e f g h i j k l m n o p q r s t u v w x y z braceleft bar braceright asciitilde -
Euro - quotesinglbase florin quotedblbase ellipsis dagger daggerdbl
circumflex perthousand Scaron guilsinglleft OE - Zcaron -
- quoteleft quoteright quotedblleft quotedblright bullet endash emdash
tilde trademark scaron guilsinglright oe - zcaron Ydieresis
space exclamdown cent sterling currency yen brokenbar section
dieresis copyright ordfeminine guillemotleft logicalnot hyphen registered macron
degree plusminus twosuperior threesuperior acute mu paragraph periodcentered
cedilla onesuperior ordmasculine guillemotright onequarter onehalf threequarters questiondown
Agrave Aacute Acircumflex Atilde Adieresis Aring AE Ccedilla
Egrave Eacute Ecircumflex Edieresis Igrave Iacute Icircumflex Idieresis
Eth Ntilde Ograve Oacute Ocircumflex Otilde Odieresis multiply
Oslash Ugrave Uacute Ucircumflex Udieresis Yacute Thorn germandbls
agrave aacute acircumflex atilde adieresis aring ae ccedilla
egrave eacute ecircumflex edieresis igrave iacute icircumflex idieresis
eth ntilde ograve oacute ocircumflex otilde odieresis divide
oslash ugrave uacute ucircumflex udieresis yacute thorn ydieresis
""".split()
assert len(WIN_ANSI) == 224, len(WIN_ANSI)
NAMES = [None] * 32 + [None if n == "-" else n for n in WIN_ANSI]


def read_afm(path):
    """Returns ({glyph name: width}, {code: width}) of the AFM's char metrics."""
    by_name, by_code = {}, {}
    with open(path, encoding="latin-1") as f:
        inside = False
        for line in f:
            if line.startswith("StartCharMetrics"):
                inside = True
                continue
            if line.startswith("EndCharMetrics"):
                break
            if not inside:
                continue
            fields = {}
            for part in line.split(";"):
                words = part.split()
                if len(words) >= 2:
                    fields[words[0]] = words[1]
            if "WX" not in fields:
                continue
            width = int(round(float(fields["WX"])))
            if "N" in fields:
                by_name[fields["N"]] = width
            code = int(fields.get("C", "-1"))
            if 0 <= code < 256:
                by_code[code] = width
    return by_name, by_code


def widths_of(afm, symbolic):
    by_name, by_code = read_afm(afm)
    if symbolic:
        return [by_code.get(c, 0) for c in range(256)]
    bullet = by_name["bullet"]
    out = []
    for code, name in enumerate(NAMES):
        if code < 32:
            out.append(0)
        elif name is None:
            out.append(bullet)
        elif name in by_name:
            out.append(by_name[name])
        else:
            sys.exit("pdf-core-fonts: %s has no glyph %s" % (afm, name))
    return out


def c_ident(base):
    return "widths" + base.replace("-", "")


def main():
    lines = [
        "// Generated by scripts/pdf-core-fonts.py from the AFM files of fonts-urw-base35.",
        "// Do not edit: run the script again.",
        '#include "NPdfCoreFonts.h"',
        "",
        "#include <cstring>",
        "",
        "namespace {",
        "",
    ]
    for base, afm_name, symbolic in FONTS:
        widths = widths_of(os.path.join(AFM_DIR, afm_name + ".afm"), symbolic)
        lines.append("const unsigned short %s[256] = {" % c_ident(base))
        for row in range(0, 256, 16):
            lines.append("    " + ", ".join(str(w) for w in widths[row:row + 16]) + ",")
        lines.append("};")
        lines.append("")
    lines.append("const NPdfCoreFont fonts[] = {")
    for base, _, symbolic in FONTS:
        lines.append('    {"%s", %s, %s},' % (base, c_ident(base), "true" if symbolic else "false"))
    lines.append("};")
    lines.append("")
    lines.append("// Glyph names of WinAnsiEncoding; nullptr where the code is unused.")
    lines.append("const char* const winAnsiNames[256] = {")
    for row in range(0, 256, 8):
        lines.append("    " + " ".join(('"%s",' % n) if n else "nullptr," for n in NAMES[row:row + 8]))
    lines.append("};")
    lines.append("")
    lines.append("// Unicode of each Windows-1252 byte; 0 where the code is unused.")
    lines.append("const unsigned short winAnsiUnicode[256] = {")
    uni = []
    for code in range(256):
        try:
            uni.append(ord(bytes([code]).decode("cp1252")))
        except UnicodeDecodeError:
            uni.append(0)
    for row in range(0, 256, 8):
        lines.append("    " + " ".join("0x%04X," % u for u in uni[row:row + 8]))
    lines.append("};")
    lines.append("")
    lines.append("} // namespace")
    lines.append("")
    lines.append("""const char* NPdfCoreFonts::getName() const { return getClassName(); }
const char* NPdfCoreFonts::getClassName() const { return "NPdfCoreFonts"; }
NPdfCoreFonts::~NPdfCoreFonts() {}

const NPdfCoreFont* NPdfCoreFonts::find(const NString& baseName)
{
    for (const NPdfCoreFont& font : fonts)
        if (std::strcmp(font.baseName, baseName.getBuffer()) == 0)
            return &font;
    return nullptr;
}

int NPdfCoreFonts::getCount() { return static_cast<int>(sizeof(fonts) / sizeof(fonts[0])); }

const NPdfCoreFont* NPdfCoreFonts::getAt(int index)
{
    return index >= 0 && index < getCount() ? &fonts[index] : nullptr;
}

const char* NPdfCoreFonts::getWinAnsiGlyphName(unsigned char code) { return winAnsiNames[code]; }

unsigned short NPdfCoreFonts::getWinAnsiUnicode(unsigned char code) { return winAnsiUnicode[code]; }
""")
    with open(OUT, "w", newline="\n") as f:
        f.write("\n".join(lines))


main()
