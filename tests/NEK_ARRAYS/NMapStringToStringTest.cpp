#include "NMapStringToString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string dump(NMapStringToString& map)
{
    std::string text;
    for (int i = 0; i < map.getCount(); ++i)
        text += std::string("[") + map.getKeyAt(i).getBuffer() + "=" + map.getValueAt(i).getBuffer() + "]";
    return text;
}

class OpenMap : public NMapStringToString {
public:
    int slots() const { return allocatedBytes / static_cast<int>(sizeof(Entry)); }
    static int entrySize() { return static_cast<int>(sizeof(Entry)); }
};

}  // namespace

TEST(NMapStringToString, KeysAreCaseSensitiveAndSortInByteOrder)
{
    NMapStringToString map;
    EXPECT_STREQ("NMapStringToString", map.getClassName());
    EXPECT_TRUE(map.setAt("abc", "1"));
    EXPECT_TRUE(map.setAt("Abc", "2"));
    EXPECT_EQ(2, map.getCount());
    EXPECT_STREQ("1", map.lookup("abc").getBuffer());
    EXPECT_STREQ("2", map.lookup("Abc").getBuffer());
    EXPECT_FALSE(map.contains("ABC"));

    map.setAt("b", "3");
    map.setAt("\xFC", "4");
    map.setAt("ab", "5");
    map.setAt("", "6");
    map.setSorted(true);
    EXPECT_EQ("[=6][Abc=2][ab=5][abc=1][b=3][\xFC=4]", dump(map));
    EXPECT_EQ(~3, map.find("abb"));
    EXPECT_EQ(~6, map.find("\xFF"));
    EXPECT_EQ(0, map.find(""));
    map.setAt("B", "7");
    EXPECT_EQ(2, map.find("B"));

    map.sort(-1);
    EXPECT_EQ("[\xFC=4][b=3][abc=1][ab=5][B=7][Abc=2][=6]", dump(map));
    EXPECT_EQ(5, map.find("Abc"));
}

TEST(NMapStringToString, LookupAndOutOfRangeAccess)
{
    NMapStringToString map;
    EXPECT_STREQ("", map.lookup("w").getBuffer());
    EXPECT_EQ(0, map.getCount());
    map.lookup("w", true) = "10";
    EXPECT_EQ("[w=10]", dump(map));

    NString key("k"), value("v");
    EXPECT_FALSE(map.getAt(1, key, value));
    EXPECT_STREQ("k", key.getBuffer());
    EXPECT_TRUE(map.getAt(0, key, value));
    EXPECT_STREQ("w", key.getBuffer());
    EXPECT_STREQ("10", value.getBuffer());
    EXPECT_TRUE(map.getKeyAt(1).isEmpty());
    EXPECT_TRUE(map.getValueAt(-1).isEmpty());

    // A value taken from the map itself can be stored under a new key.
    map.setAt(map.lookup("w"), map.lookup("w"));
    EXPECT_EQ("[w=10][10=10]", dump(map));
    map.removeKey("w");
    EXPECT_EQ("[10=10]", dump(map));
}

TEST(NMapStringToString, ReplaceVariablesFollowsMapOrder)
{
    NMapStringToString map;
    map.setAt("w", "10");
    map.setAt("h", "20");
    EXPECT_STREQ("10x20", map.replaceVariables("{{w}}x{{h}}", "{{", "}}").getBuffer());
    EXPECT_STREQ("10 10 {{W}} {{d}} {w}", map.replaceVariables("{{w}} {{w}} {{W}} {{d}} {w}").getBuffer());
    EXPECT_STREQ("10/20", map.replaceVariables("$(w)/$(h)", "$(", ")").getBuffer());
    EXPECT_STREQ("", map.replaceVariables("").getBuffer());

    // One pass per entry in map order: a value may name a later entry, not an earlier one.
    NMapStringToString chain;
    chain.setAt("a", "{{b}}");
    chain.setAt("b", "B");
    EXPECT_STREQ("B", chain.replaceVariables("{{a}}").getBuffer());
    NMapStringToString reversed;
    reversed.setAt("b", "B");
    reversed.setAt("a", "{{b}}");
    EXPECT_STREQ("{{b}}", reversed.replaceVariables("{{a}}").getBuffer());
    // A value that contains its own placeholder is not expanded again.
    NMapStringToString self;
    self.setAt("x", "<{{x}}>");
    EXPECT_STREQ("<{{x}}><{{x}}>", self.replaceVariables("{{x}}{{x}}").getBuffer());
}

TEST(NMapStringToString, ToTextAndFromTextRoundTrip)
{
    NMapStringToString map;
    map.setAt("zeta", "1");
    map.setAt("alpha", "a=b");
    map.setAt("empty", "");
    map.setAt("", "no key");
    map.setAt("gr\xFCn", "#00FF00");
    const NString text = map.toText("=", "\r\n");
    EXPECT_STREQ("zeta=1\r\nalpha=a=b\r\nempty=\r\n=no key\r\ngr\xFCn=#00FF00", text.getBuffer());

    NMapStringToString back;
    back.setAt("stale", "x");
    EXPECT_EQ(5, back.fromText(text, "\r\n", "="));
    EXPECT_EQ(dump(map), dump(back));
    EXPECT_STREQ(text.getBuffer(), back.toText("=", "\r\n").getBuffer());

    NMapStringToString empty;
    EXPECT_STREQ("", empty.toText("=", ";").getBuffer());
    EXPECT_EQ(0, back.fromText(empty.toText("=", ";"), ";", "="));
    EXPECT_EQ(0, back.getCount());

    // Merging keeps what is there and overwrites equal keys.
    NMapStringToString merged;
    merged.setAt("a", "1");
    merged.setAt("b", "2");
    EXPECT_EQ(2, merged.fromText("b: 20, c: 30", ", ", ": ", false));
    EXPECT_EQ("[a=1][b=20][c=30]", dump(merged));

    // The text may be one of the map's own values, even when the map is cleared first.
    NMapStringToString nested;
    nested.setAt("inner", "x=1;y=2");
    EXPECT_EQ(2, nested.fromText(nested.lookup("inner"), ";", "="));
    EXPECT_EQ("[x=1][y=2]", dump(nested));
}

TEST(NMapStringToString, FromTextToleratesMalformedItems)
{
    NMapStringToString map;
    // Empty items are skipped, an item without separator is a key with an
    // empty value, the value keeps further separators.
    EXPECT_EQ(4, map.fromText(";;a=1;;flag;=v;b==2;", ";", "="));
    EXPECT_EQ("[a=1][flag=][=v][b==2]", dump(map));

    EXPECT_EQ(1, map.fromText("a=1;b=2", "", "="));
    EXPECT_EQ("[a=1;b=2]", dump(map));
    EXPECT_EQ(2, map.fromText("a=1;b=2", ";", ""));
    EXPECT_EQ("[a=1=][b=2=]", dump(map));
    EXPECT_EQ(2, map.fromText("k=1;k=2", ";", "="));
    EXPECT_EQ("[k=2]", dump(map));
    EXPECT_EQ(0, map.fromText(";;;", ";", "="));
    EXPECT_EQ(0, map.getCount());
}

TEST(NMapStringToString, SortedModeAndSizing)
{
    OpenMap map;
    EXPECT_EQ(static_cast<int>(2 * sizeof(void*)), OpenMap::entrySize());
    map.setSorted(true);
    for (int i = 299; i >= 0; --i)
        map.setAt(NString::fromNumber(i, false, 10, 3), NString::fromNumber(i));
    EXPECT_EQ(300, map.getCount());
    EXPECT_EQ(304, map.slots());
    for (int i = 0; i < 300; ++i) {
        const NString key = NString::fromNumber(i, false, 10, 3);
        ASSERT_EQ(key, map.getKeyAt(i));
        ASSERT_EQ(i, map.find(key));
    }
    for (int i = 0; i < 300; i += 2)
        map.removeKey(NString::fromNumber(i, false, 10, 3));
    EXPECT_EQ(150, map.getCount());
    EXPECT_EQ(254, map.slots());
    EXPECT_EQ(~75, map.find("150"));
    EXPECT_EQ(75, map.find("151"));
}
