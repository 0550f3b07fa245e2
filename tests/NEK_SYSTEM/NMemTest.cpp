#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "NMapStringToString.h"
#include "NMem.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

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

TEST(NMem, SizesAndZeroFill)
{
    NMem m;
    ASSERT_EQ(m.getSize(), 100);
    EXPECT_EQ(bytes(m), std::string(100, '\0'));
    EXPECT_STREQ(m.getName(), "NMem");

    NMem negative(-5);
    EXPECT_EQ(negative.getSize(), 0);
    EXPECT_TRUE(negative.append("ab", 2));
    EXPECT_EQ(bytes(negative), "ab");

    NMem small(3);
    small.setAt(0, 7);
    small.setAt(2, 9);
    ASSERT_TRUE(small.setSize(6));
    EXPECT_EQ(bytes(small), std::string("\x07\x00\x09\x00\x00\x00", 6));
    // Bytes cut off by a shrink come back as zeros when it grows again.
    ASSERT_TRUE(small.setSize(1));
    ASSERT_TRUE(small.setSize(3));
    EXPECT_EQ(bytes(small), std::string("\x07\x00\x00", 3));
    EXPECT_FALSE(small.setSize(-1));
    EXPECT_EQ(small.getSize(), 3);

    EXPECT_EQ(small.getAt(-1), 0);
    EXPECT_EQ(small.getAt(3), 0);
    EXPECT_FALSE(small.setAt(3, 1));
    EXPECT_FALSE(small.setAt(-1, 1));
    small.clear();
    EXPECT_EQ(bytes(small), std::string(3, '\0'));
}

TEST(NMem, AppendInsertRemove)
{
    NMem m(0);
    EXPECT_TRUE(m.append(static_cast<unsigned char>(0xAB)));
    EXPECT_TRUE(m.append(static_cast<unsigned short>(0x1234)));
    EXPECT_TRUE(m.append(0x01020304));
    EXPECT_TRUE(m.append(NString("xy")));
    EXPECT_EQ(bytes(m), std::string("\xAB\x34\x12\x04\x03\x02\x01xy", 9));

    // A count of 0 succeeds without a change; a negative one fails.
    EXPECT_TRUE(m.append(nullptr, 0));
    EXPECT_FALSE(m.append("z", -1));
    EXPECT_FALSE(m.append(nullptr, 1));
    // A size beyond 2^31 is refused and leaves the buffer as it was.
    EXPECT_FALSE(m.append("z", INT_MAX));
    EXPECT_FALSE(m.insert(0, "z", INT_MAX - 3));
    EXPECT_EQ(m.getSize(), 9);

    NMem t = memOf("hello");
    EXPECT_TRUE(t.insert(2, "XY", 2));
    EXPECT_EQ(bytes(t), "heXYllo");
    EXPECT_TRUE(t.insert(7, "!", 1));
    EXPECT_TRUE(t.insert(0, "<", 1));
    EXPECT_EQ(bytes(t), "<heXYllo!");
    EXPECT_FALSE(t.insert(10, "?", 1));
    EXPECT_FALSE(t.insert(-1, "?", 1));
    // Bytes from the buffer itself, which moves while it grows.
    EXPECT_TRUE(t.insert(1, t.getPointer() + 3, 2));
    EXPECT_EQ(bytes(t), "<XYheXYllo!");
    EXPECT_TRUE(t.append(t));
    EXPECT_EQ(bytes(t), "<XYheXYllo!<XYheXYllo!");

    NMem r = memOf("0123456789");
    EXPECT_TRUE(r.remove(2, 3));
    EXPECT_EQ(bytes(r), "0156789");
    EXPECT_TRUE(r.remove(5, 100));
    EXPECT_EQ(bytes(r), "01567");
    EXPECT_TRUE(r.remove(1, 0));
    EXPECT_FALSE(r.remove(6, 1));
    EXPECT_FALSE(r.remove(-1, 1));
    EXPECT_FALSE(r.remove(0, -1));
    EXPECT_EQ(bytes(r), "01567");
}

TEST(NMem, Searching)
{
    const NMem m = memOf("abcabcab");
    EXPECT_EQ(m.findByte('c'), 2);
    EXPECT_EQ(m.findByte('c', 3), 5);
    EXPECT_EQ(m.findByte('c', 6), -1);
    EXPECT_EQ(m.findByte('a', -4), 0);
    EXPECT_EQ(m.findByte('a', 100), -1);

    EXPECT_EQ(m.find("ab", 2), 0);
    EXPECT_EQ(m.find("ab", 2, 1), 3);
    EXPECT_EQ(m.find("ab", 2, 4), 6);
    EXPECT_EQ(m.find("ab", 2, 7), -1);
    EXPECT_EQ(m.find("abd", 3), -1);
    EXPECT_EQ(m.find("ab", 0), -1);
    EXPECT_EQ(m.find("abcabcabc", 9), -1);

    EXPECT_EQ(m.findReverse("ab", 2), 6);
    EXPECT_EQ(m.findReverse("ab", 2, -1), 6);
    EXPECT_EQ(m.findReverse("ab", 2, 5), 3);
    EXPECT_EQ(m.findReverse("abc", 3, 2), 0);
    EXPECT_EQ(m.findReverse("bca", 3, 100), 4);
    EXPECT_EQ(m.findReverse("ab", 2, -2), -1);
    EXPECT_EQ(m.findReverse("x", 1), -1);
    EXPECT_EQ(m.findReverse("ab", 0), -1);
}

TEST(NMem, RangesAndCopies)
{
    const NMem m = memOf("0123456789");
    NMem target(0);
    EXPECT_TRUE(m.getRange(3, 4, target));
    EXPECT_EQ(bytes(target), "3456");
    // Existing bytes become 0 and the range goes behind them.
    EXPECT_TRUE(m.getRange(7, -1, target));
    EXPECT_EQ(bytes(target), std::string("\0\0\0\0" "789", 7));
    NMem cut(0);
    EXPECT_TRUE(m.getRange(8, 50, cut));
    EXPECT_EQ(bytes(cut), "89");
    EXPECT_FALSE(m.getRange(11, 1, cut));
    EXPECT_FALSE(m.getRange(-1, 1, cut));
    EXPECT_FALSE(m.getRange(0, -2, cut));
    EXPECT_EQ(bytes(cut), "89");

    NMem self = memOf("abcd");
    EXPECT_TRUE(self.getRange(1, 2, self));
    EXPECT_EQ(bytes(self), std::string("\0\0\0\0bc", 6));

    // Assignment copies exactly; fillFrom overlays and keeps the longer tail.
    NMem copy = memOf("zzzzzz");
    copy = m;
    EXPECT_EQ(bytes(copy), "0123456789");
    NMem filled = memOf("abcdefghijkl");
    EXPECT_TRUE(filled.fillFrom(memOf("XYZ")));
    EXPECT_EQ(bytes(filled), "XYZdefghijkl");
    NMem shortOne = memOf("ab");
    EXPECT_TRUE(shortOne.fillFrom(memOf("XYZ")));
    EXPECT_EQ(bytes(shortOne), "XYZ");
    NMem copied(m);
    EXPECT_EQ(bytes(copied), "0123456789");
}

TEST(NMem, HexDumpLayout)
{
    NMem m = memOf(std::string("ABCDEFGHIJKLMNOP", 16) + std::string("\x00\x20\x21\xFF", 4));
    const std::string first = "00 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP\r\n";
    const std::string second = "10 00 20 21 FF " + std::string(36, ' ') + " ..!\xFF\r\n";
    EXPECT_EQ(str(m.toHexDump(16)), first + second);
    // The character columns of both lines start at the same place.
    EXPECT_EQ(first.substr(52, 16), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(second.substr(52, 4), "..!\xFF");

    NMem wide(256);
    wide.setAt(255, 'z');
    const std::string dump = str(wide.toHexDump(8));
    EXPECT_EQ(dump.substr(0, 4), "000 ");
    const std::string last = "0F8 00 00 00 00 00 00 00 7A  .......z\r\n";
    ASSERT_GE(dump.size(), last.size());
    EXPECT_EQ(dump.substr(dump.size() - last.size()), last);
    EXPECT_EQ(dump.size(), 32 * last.size());

    EXPECT_EQ(str(memOf("ab").toHexDump(4)), "0 61 62 " + std::string(6, ' ') + " ab\r\n");
    EXPECT_EQ(str(NMem(0).toHexDump(16)), "");
    EXPECT_EQ(str(m.toHexDump(0)), "");
    // A line width whose padding could not be held gives no text.
    EXPECT_EQ(str(m.toHexDump(INT_MAX)), "");
}

TEST(NMem, ByteLists)
{
    NMem m = memOf("\x01\xFF");
    const NString list = m.toByteList(", ");
    EXPECT_EQ(str(list), "0x01, 0xFF");
    NMem back;
    EXPECT_TRUE(back.fromByteList(list));
    EXPECT_EQ(bytes(back), "\x01\xFF");
    EXPECT_EQ(str(NMem(0).toByteList(",")), "");
    EXPECT_EQ(str(memOf("\x0A\x0B\x0C").toByteList("")), "0x0A0x0B0x0C");

    // Binary, hexadecimal, decimal numbers and quoted texts with escapes.
    NMem mixed;
    EXPECT_TRUE(mixed.fromByteList("0b101,12;\t'A\\x42\\n' \"q\\\"'\"\r\n0x7f, 0x0000FE, 255,"));
    EXPECT_EQ(bytes(mixed), std::string("\x05\x0C" "AB\nq\"'\x7F\xFE\xFF"));
    EXPECT_TRUE(mixed.fromByteList(""));
    EXPECT_EQ(mixed.getSize(), 0);

    // Bytes read before a refused item stay.
    NMem bad;
    EXPECT_FALSE(bad.fromByteList("1, 2, 256, 3"));
    EXPECT_EQ(bytes(bad), "\x01\x02");
    EXPECT_FALSE(bad.fromByteList("0x100"));
    EXPECT_EQ(bad.getSize(), 0);
    EXPECT_FALSE(bad.fromByteList("4 -1"));
    EXPECT_EQ(bytes(bad), "\x04");
    EXPECT_FALSE(bad.fromByteList("0b111111111"));
    EXPECT_FALSE(bad.fromByteList("abc"));
    EXPECT_FALSE(bad.fromByteList("0x"));
    EXPECT_FALSE(bad.fromByteList("1,,2"));
    EXPECT_EQ(bytes(bad), "\x01");
    EXPECT_FALSE(bad.fromByteList(", 1"));
    EXPECT_FALSE(bad.fromByteList("'open"));
    EXPECT_FALSE(bad.fromByteList("'ab'c"));
    EXPECT_FALSE(bad.fromByteList("99999999999999999999"));
}

TEST(NMem, Base64)
{
    EXPECT_EQ(str(memOf("A").toBase64()), "QQ==");
    EXPECT_EQ(str(memOf("AB").toBase64()), "QUI=");
    EXPECT_EQ(str(memOf("ABC").toBase64()), "QUJD");
    EXPECT_EQ(str(memOf("foobar").toBase64()), "Zm9vYmFy");
    EXPECT_EQ(str(NMem(0).toBase64()), "");

    NMem m;
    EXPECT_TRUE(m.fromBase64("QQ=="));
    EXPECT_EQ(bytes(m), "A");
    EXPECT_TRUE(m.fromBase64("QUI="));
    EXPECT_EQ(bytes(m), "AB");
    EXPECT_TRUE(m.fromBase64("Zm9vYg=="));
    EXPECT_EQ(bytes(m), "foob");
    EXPECT_TRUE(m.fromBase64(""));
    EXPECT_EQ(m.getSize(), 0);

    NMem all(256);
    for (int i = 0; i < 256; ++i)
        all.setAt(i, static_cast<unsigned char>(i));
    const NString text = all.toBase64();
    EXPECT_EQ(text.getLength(), 344);
    NMem back(0);
    EXPECT_TRUE(back.fromBase64(text));
    EXPECT_EQ(bytes(back), bytes(all));

    // Malformed input is refused and leaves the buffer as it was.
    NMem kept = memOf("keep");
    for (const char* bad : {"QQ=", "QUJDR", "Q===", "QQ=A", "Q!==", "QU I", "====", "QUJD\r\n"}) {
        EXPECT_FALSE(kept.fromBase64(bad)) << bad;
        EXPECT_EQ(bytes(kept), "keep") << bad;
    }
}

TEST(NMem, ParseFields)
{
    // Zero-terminated key=value strings, ended by an empty one; what follows
    // the end is not read.
    NMem block = memOf(std::string("a=1\0b=x=y\0flag\0\0c=3\0", 21));
    NMapStringToString map;
    EXPECT_EQ(block.parseFields(map, 0, '=', 0), 3);
    ASSERT_EQ(map.getCount(), 3);
    EXPECT_EQ(str(map.lookup("a")), "1");
    EXPECT_EQ(str(map.lookup("b")), "x=y");
    EXPECT_TRUE(map.contains("flag"));
    EXPECT_EQ(str(map.lookup("flag")), "");
    EXPECT_FALSE(map.contains("c"));

    // Other separators; a last field without its separator counts; a key
    // given twice keeps its last value.
    NMapStringToString items;
    EXPECT_EQ(memOf("k:1;k:2;m:;n:5").parseFields(items, ';', ':', '#'), 4);
    ASSERT_EQ(items.getCount(), 3);
    EXPECT_EQ(str(items.lookup("k")), "2");
    EXPECT_EQ(str(items.lookup("n")), "5");
    NMapStringToString stopped;
    EXPECT_EQ(memOf("x:1;#y:2;").parseFields(stopped, ';', ':', '#'), 1);
    EXPECT_FALSE(stopped.contains("y"));

    NMapStringToString none;
    EXPECT_EQ(NMem().parseFields(none, 0, '=', 0), 0);
    EXPECT_EQ(NMem(0).parseFields(none, 0, '=', 0), 0);
    EXPECT_EQ(none.getCount(), 0);
}
