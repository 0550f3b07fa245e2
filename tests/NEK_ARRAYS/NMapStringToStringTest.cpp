// The behaviour all four map classes share is tested here once; the other
// map tests keep only what differs per class.
#include "NMapStringToString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class OpenMap : public NMapStringToString {
public:
    int slots() const { return allocatedBytes / static_cast<int>(sizeof(Entry)); }
    int compareWith(int index, const NString& key) const override
    {
        probes.push_back(index);
        return NMapStringToString::compareWith(index, key);
    }
    mutable std::vector<int> probes;
};

std::string dump(NMapStringToString& map)
{
    std::string text;
    for (int i = 0; i < map.getCount(); ++i)
        text += std::string("[") + map.getKeyAt(i).getBuffer() + "=" + map.getValueAt(i).getBuffer() + "]";
    return text;
}

NString key3(int i) { return NString::fromNumber(i, false, 10, 3); }

}  // namespace

TEST(NMapStringToString, OrderSortedInsertionAndOverwrite)
{
    NMapStringToString map;
    EXPECT_TRUE(map.setAt("c", "3"));
    EXPECT_TRUE(map.setAt("a", "1"));
    EXPECT_TRUE(map.setAt("b", "2"));
    EXPECT_FALSE(map.setAt("c", "C"));
    EXPECT_EQ("[c=C][a=1][b=2]", dump(map));

    NString value("old");
    EXPECT_FALSE(map.get("x", value));
    EXPECT_TRUE(map.get("a", value));
    EXPECT_STREQ("1", value.getBuffer());

    // Case-sensitive keys in byte order once sorted mode is on.
    map.setSorted(true);
    map.setAt("B", "4");
    map.setAt("\xFC", "5");
    map.setAt("", "6");
    map.setAt("ab", "7");
    EXPECT_EQ("[=6][B=4][a=1][ab=7][b=2][c=C][\xFC=5]", dump(map));
    EXPECT_FALSE(map.contains("AB"));

    // Off again: the order stays, new keys are appended.
    map.setSorted(false);
    map.setAt("0", "8");
    EXPECT_EQ("[=6][B=4][a=1][ab=7][b=2][c=C][\xFC=5][0=8]", dump(map));
}

TEST(NMapStringToString, LookupWithAndWithoutCreate)
{
    NMapStringToString map;
    EXPECT_STREQ("", map.lookup("w").getBuffer());
    EXPECT_EQ(0, map.getCount());
    map.lookup("w", true) = "10";
    EXPECT_STREQ("10", map.lookup("w", true).getBuffer());
    EXPECT_EQ(1, map.getCount());

    // Values are separate objects: growing the entry array leaves them in place.
    NString* before = &map.lookup("w");
    for (int i = 0; i < 300; ++i)
        map.setAt(key3(i), "x");
    EXPECT_EQ(before, &map.lookup("w"));

    // A value taken from the map itself can be stored under a new key.
    NMapStringToString self;
    self.setAt("w", "10");
    self.setAt(self.lookup("w"), self.lookup("w"));
    EXPECT_EQ("[w=10][10=10]", dump(self));

    NMapStringToString sorted;
    sorted.setSorted(true);
    sorted.setAt("a", "1");
    sorted.setAt("e", "5");
    sorted.lookup("c", true) = "3";
    EXPECT_EQ("[a=1][c=3][e=5]", dump(sorted));

    // Out of range: neutral results, nothing changed.
    NString key("k"), value("v");
    EXPECT_FALSE(sorted.getAt(3, key, value));
    EXPECT_FALSE(sorted.getAt(-1, key, value));
    EXPECT_STREQ("k", key.getBuffer());
    EXPECT_STREQ("v", value.getBuffer());
    EXPECT_TRUE(sorted.getKeyAt(3).isEmpty());
    EXPECT_TRUE(sorted.getValueAt(-1).isEmpty());
    sorted.removeAt(3);
    sorted.swap(0, 3);
    EXPECT_EQ("[a=1][c=3][e=5]", dump(sorted));
}

TEST(NMapStringToString, BinarySearchProbesAndComplement)
{
    OpenMap map;
    for (const char* k : {"40", "10", "30", "20"})
        map.setAt(k, "v");
    map.setSorted(true);

    map.probes.clear();
    EXPECT_EQ(0, map.find("10"));
    EXPECT_EQ((std::vector<int>{2, 1, 0}), map.probes);
    map.probes.clear();
    EXPECT_EQ(3, map.find("40"));
    EXPECT_EQ((std::vector<int>{2, 3}), map.probes);

    // Missing keys give the complement of their insertion position.
    EXPECT_EQ(~0, map.find("05"));
    EXPECT_EQ(~2, map.find("25"));
    EXPECT_EQ(~4, map.find("45"));
    OpenMap empty;
    empty.setSorted(true);
    EXPECT_EQ(~0, empty.find("1"));

    // Unsorted maps scan and would append.
    NMapStringToString unsorted;
    unsorted.setAt("40", "a");
    unsorted.setAt("10", "b");
    EXPECT_EQ(1, unsorted.find("10"));
    EXPECT_EQ(~2, unsorted.find("20"));

    // Many keys inserted in scrambled order: every hit and miss is right.
    NMapStringToString many;
    many.setSorted(true);
    for (int i = 0; i < 300; ++i)
        many.setAt(key3((i * 7) % 300 * 2 + 1), "v");  // odd keys 001..599
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(i % 2 ? i / 2 : ~(i / 2), many.find(key3(i))) << i;
}

TEST(NMapStringToString, RemoveKeySortAndSwap)
{
    NMapStringToString map;
    for (const char* k : {"d", "h", "a", "f"})
        map.setAt(k, NString(k) + k);
    map.removeKey("h");
    map.removeKey("zz");
    EXPECT_EQ("[d=dd][a=aa][f=ff]", dump(map));
    map.removeAt(0);
    map.setSorted(true);
    map.setAt("c", "cc");
    map.removeKey("a");
    EXPECT_EQ("[c=cc][f=ff]", dump(map));
    EXPECT_EQ(1, map.find("f"));

    NMapStringToString s;
    for (const char* k : {"b", "Z", "a", "", "\xFC", "B"})
        s.setAt(k, NString("v") + k);
    s.sort(1);
    EXPECT_EQ("[=v][B=vB][Z=vZ][a=va][b=vb][\xFC=v\xFC]", dump(s));
    EXPECT_FALSE(s.isSorted());
    // Descending cannot be searched in halves: sorted mode ends, keys stay findable.
    s.setSorted(true);
    s.sort(-1);
    EXPECT_EQ("[\xFC=v\xFC][b=vb][a=va][Z=vZ][B=vB][=v]", dump(s));
    EXPECT_FALSE(s.isSorted());
    EXPECT_EQ(5, s.find(""));
    EXPECT_FALSE(s.setAt("Z", "x"));
    EXPECT_EQ(6, s.getCount());

    // Larger input, reversed, through the quicksort.
    NMapStringToString big;
    for (int i = 999; i >= 0; --i)
        big.setAt(key3(i), "v");
    big.sort(1);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(key3(i), big.getKeyAt(i));

    // swap leaves sorted mode; lookups fall back to a scan.
    NMapStringToString w;
    w.setSorted(true);
    w.setAt("1", "a");
    w.setAt("2", "b");
    w.setAt("3", "c");
    w.swap(0, 2);
    EXPECT_EQ("[3=c][2=b][1=a]", dump(w));
    EXPECT_FALSE(w.isSorted());
    EXPECT_EQ(2, w.find("1"));
    EXPECT_FALSE(w.setAt("1", "A"));
}

TEST(NMapStringToString, AddAllAndDeepCopies)
{
    NMapStringToString a;
    a.setAt("1", "a");
    a.setAt("2", "b");
    NMapStringToString b;
    b.setAt("3", "c");
    b.setAt("2", "B");
    EXPECT_EQ(1, a.addAll(b));
    EXPECT_EQ("[1=a][2=B][3=c]", dump(a));
    EXPECT_EQ(0, a.addAll(a));
    EXPECT_EQ(3, a.getCount());
    NMapStringToString copy(a);
    copy.lookup("1") = "changed";
    copy.removeKey("3");
    EXPECT_EQ("[1=a][2=B][3=c]", dump(a));
    EXPECT_EQ("[1=changed][2=B]", dump(copy));
    copy = b;
    EXPECT_EQ("[3=c][2=B]", dump(copy));
    copy = copy;
    EXPECT_EQ("[3=c][2=B]", dump(copy));
}

TEST(NMapStringToString, EntryArrayGrowsAndShrinksInHundreds)
{
    OpenMap map;
    EXPECT_EQ(0, map.slots());
    for (int i = 0; i < 101; ++i)
        map.setAt(key3(i), "");
    EXPECT_EQ(102, map.slots());
    map.setAt(key3(101), "");
    EXPECT_EQ(203, map.slots());
    // Shrinks only when more than 150 slots would be spare.
    while (map.getCount() > 53)
        map.removeAt(map.getCount() - 1);
    EXPECT_EQ(203, map.slots());
    map.removeKey(key3(0));
    EXPECT_EQ(153, map.slots());
    map.removeAll();
    EXPECT_EQ(0, map.slots());
}

TEST(NMapStringToString, ReplaceVariablesFollowsMapOrder)
{
    NMapStringToString map;
    map.setAt("w", "10");
    map.setAt("h", "20");
    EXPECT_STREQ("10 10 {{W}} {{d}} {w}", map.replaceVariables("{{w}} {{w}} {{W}} {{d}} {w}").getBuffer());
    EXPECT_STREQ("10/20", map.replaceVariables("$(w)/$(h)", "$(", ")").getBuffer());

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

TEST(NMapStringToString, ToTextAndFromText)
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

    // Malformed items: empty ones are skipped, one without separator is a key
    // with an empty value, the value keeps further separators.
    EXPECT_EQ(4, map.fromText(";;a=1;;flag;=v;b==2;", ";", "="));
    EXPECT_EQ("[a=1][flag=][=v][b==2]", dump(map));
    EXPECT_EQ(2, map.fromText("a=1;b=2", ";", ""));
    EXPECT_EQ("[a=1=][b=2=]", dump(map));
    EXPECT_EQ(0, map.fromText(";;;", ";", "="));
    EXPECT_EQ(0, map.getCount());
}
