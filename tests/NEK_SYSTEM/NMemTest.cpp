
#include <climits>

#include "GuiTestSupport.h"
#include "NMapStringToString.h"
#include "NMem.h"

namespace {

std::string bytes(const NMem& m)
{
    return std::string(reinterpret_cast<const char*>(m.getPointer()), m.getSize());
}

NMem memOf(const std::string& s)
{
    NMem m(0);
    m.append(s.data(), static_cast<int>(s.size()));
    return m;
}

}  // namespace

TEST(NMem, SizesEditsBoundsSearchingRangesAndHexDump)
{
    EXPECT_EQ(bytes(NMem()), std::string(100, '\0'));
    EXPECT_EQ(NMem(-5).getSize(), 0);

    NMem small(3);
    EXPECT_TRUE(small.setAt(0, 7) && small.setAt(2, 9));
    // Bytes cut off by a shrink come back as zeros when it grows again.
    ASSERT_TRUE(small.setSize(1));
    ASSERT_TRUE(small.setSize(3));
    EXPECT_EQ(bytes(small), std::string("\x07\x00\x00", 3));
    EXPECT_FALSE(small.setSize(-1) || small.setAt(3, 1) || small.setAt(-1, 1));
    EXPECT_EQ(small.getAt(3), 0);

    NMem a(0);
    EXPECT_TRUE(a.append(static_cast<unsigned short>(0x1234)) && a.append(0x01020304));
    EXPECT_EQ(bytes(a), std::string("\x34\x12\x04\x03\x02\x01", 6));
    EXPECT_FALSE(a.append("z", -1));
    // A size beyond 2^31 is refused and leaves the buffer as it was.
    EXPECT_FALSE(a.append("z", INT_MAX) || a.insert(0, "z", INT_MAX - 3));
    EXPECT_EQ(a.getSize(), 6);

    NMem t = memOf("hello");
    EXPECT_TRUE(t.insert(5, "!", 1));
    EXPECT_FALSE(t.insert(7, "?", 1));
    // Bytes from the buffer itself, which moves while it grows.
    EXPECT_TRUE(t.insert(1, t.getPointer() + 2, 2));
    EXPECT_EQ(bytes(t), "hllello!");
    EXPECT_TRUE(t.append(t));
    EXPECT_EQ(bytes(t), "hllello!hllello!");

    NMem r = memOf("0123456789");
    EXPECT_TRUE(r.remove(2, 3) && r.remove(5, 100));
    EXPECT_EQ(bytes(r), "01567");
    EXPECT_FALSE(r.remove(6, 1) || r.remove(0, -1));

    const NMem m = memOf("abcabcab");
    const int finds[][2] = {
        {m.findByte('c', 3), 5}, {m.findByte('a', -4), 0}, {m.find("ab", 2, 4), 6}, {m.find("ab", 2, 7), -1},
        {m.find("abcabcabc", 9), -1}, {m.findReverse("ab", 2), 6}, {m.findReverse("ab", 2, 5), 3},
        {m.findReverse("bca", 3, 100), 4}, {m.findReverse("ab", 2, -2), -1}, {memOf("abxx").findReverse("ab", 2), 0},
        {memOf("ab").findReverse("ab", 2, 0), 0},
    };
    for (size_t i = 0; i < sizeof finds / sizeof finds[0]; ++i) EXPECT_EQ(finds[i][0], finds[i][1]) << i;
    const NMem digits = memOf("0123456789");
    NMem target(0);
    // Existing bytes become 0 and the range goes behind them.
    EXPECT_TRUE(digits.getRange(3, 4, target) && digits.getRange(7, -1, target));
    EXPECT_EQ(bytes(target), std::string("\0\0\0\0" "789", 7));
    EXPECT_FALSE(digits.getRange(11, 1, target));
    NMem self = memOf("abcd");
    EXPECT_TRUE(self.getRange(1, 2, self));
    EXPECT_EQ(bytes(self), std::string("\0\0\0\0bc", 6));

    NMem filled = memOf("abcdef");
    EXPECT_TRUE(filled.fillFrom(memOf("XYZ")));
    EXPECT_EQ(bytes(filled), "XYZdef");

    NMem h = memOf(std::string("ABCDEFGHIJKLMNOP", 16) + std::string("\x00\x20\x21\xFF", 4));
    const std::string first = "00 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP\r\n";
    const std::string second = "10 00 20 21 FF " + std::string(36, ' ') + " ..!\xFF\r\n";
    EXPECT_EQ(str(h.toHexDump(16)), first + second);

    NMem wide(256);
    wide.setAt(255, 'z');
    const std::string dump = str(wide.toHexDump(8)), last = "0F8 00 00 00 00 00 00 00 7A  .......z\r\n";
    EXPECT_EQ(dump.substr(0, 4) + std::to_string(dump.size()), "000 " + std::to_string(32 * last.size()));
    EXPECT_EQ(dump.substr(dump.size() - last.size()), last);

    EXPECT_EQ(str(h.toHexDump(0)) + str(h.toHexDump(INT_MAX)) + str(NMem(0).toHexDump(16)), "");
}

TEST(NMem, ByteListsBase64AndParsedFields)
{
    EXPECT_EQ(str(memOf("\x01\xFF").toByteList(", ")), "0x01, 0xFF");
    // Binary, hexadecimal, decimal numbers and quoted texts with escapes.
    NMem mixed;
    EXPECT_TRUE(mixed.fromByteList("0b101,12;\t'A\\x42\\n' \"q\\\"'\"\r\n0x7f, 0x0000FE, 255,"));
    EXPECT_EQ(bytes(mixed), std::string("\x05\x0C" "AB\nq\"'\x7F\xFE\xFF"));

    // Bytes read before a refused item stay.
    NMem bad;
    EXPECT_FALSE(bad.fromByteList("1, 2, 256, 3"));
    EXPECT_EQ(bytes(bad), "\x01\x02");
    for (const char* text : {"0x100", "4 -1", "0b111111111", "abc", "0x", "1,,2", ", 1", "'open",
                             "'ab'c", "99999999999999999999"})
        EXPECT_FALSE(bad.fromByteList(text)) << text;

    const char* const encodings[][2] = {{"A", "QQ=="}, {"AB", "QUI="}, {"ABC", "QUJD"}, {"", ""}};
    NMem m;
    for (const auto& e : encodings) {
        EXPECT_EQ(str(memOf(e[0]).toBase64()), e[1]);
        EXPECT_TRUE(m.fromBase64(e[1]));
        EXPECT_EQ(bytes(m), e[0]);
    }

    NMem all(256);
    for (int i = 0; i < 256; ++i) all.setAt(i, static_cast<unsigned char>(i));
    EXPECT_TRUE(m.fromBase64(all.toBase64()));
    EXPECT_EQ(bytes(m), bytes(all));

    // Malformed input is refused and leaves the buffer as it was.
    NMem kept = memOf("keep");
    for (const char* text : {"QQ=", "QUJDR", "Q===", "QQ=A", "Q!==", "QU I", "====", "QUJD\r\n"}) {
        EXPECT_FALSE(kept.fromBase64(text)) << text;
        EXPECT_EQ(bytes(kept), "keep") << text;
    }

    // Zero-terminated key=value strings ended by an empty one; what follows the end is not read.
    NMem block = memOf(std::string("a=1\0b=x=y\0flag\0\0c=3\0", 21));
    NMapStringToString map;
    EXPECT_EQ(block.parseFields(map, 0, '=', 0), 3);
    EXPECT_EQ(str(map.lookup("b")), "x=y");
    EXPECT_TRUE(map.contains("flag") && !map.contains("c"));

    // A last field without its separator counts; a repeated key keeps its
    // last value; the stop character ends the parse.
    NMapStringToString items;
    EXPECT_EQ(memOf("k:1;k:2;m:;n:5").parseFields(items, ';', ':', '#'), 4);
    EXPECT_EQ(items.getCount(), 3);
    EXPECT_EQ(str(items.lookup("k")) + str(items.lookup("n")), "25");
    EXPECT_EQ(memOf("x:1;#y:2;").parseFields(items, ';', ':', '#'), 1);
}
