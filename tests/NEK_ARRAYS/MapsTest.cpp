// What the four map classes share: the key search, tested once where it
// lives, and the common operations, tested on every class; then what the
// key types change and what only the text map has.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "NMapNumToNum.h"
#include "NMapNumToString.h"
#include "NMapSearch.h"
#include "NMapStringToNum.h"
#include "NMapStringToString.h"

TEST(NMapSearch, FindsEveryKeyAndTheInsertPositionOfEveryMissingOne)
{
    // Keys 1, 3, 5, ...: every odd number is found, every even one missed.
    for (int count = 0; count < 12; ++count) {
        const auto compare = [](int key) { return [key](int i) { return 2 * i + 1 < key ? -1 : 2 * i + 1 > key; }; };
        for (int key = 0; key <= 2 * count; ++key) {
            ASSERT_EQ(key % 2 ? key / 2 : ~(key / 2), NMapSearch::find(count, true, compare(key)))
                << count << " " << key;
            ASSERT_EQ(key % 2 ? key / 2 : ~count, NMapSearch::find(count, false, compare(key)))
                << count << " " << key;
        }
    }
    // Unsorted, the first equal entry counts.
    EXPECT_EQ(1, NMapSearch::find(3, false, [](int i) { return i == 0 ? 1 : 0; }));
}

namespace {

// Key and value i of each map type, and the number a key or value stands for.
int key(NMapNumToNum*, int i) { return i; }
int key(NMapNumToString*, int i) { return i; }
NString key(NMapStringToNum*, int i) { return NString::fromNumber(i, false, 10, 3); }
NString key(NMapStringToString*, int i) { return NString::fromNumber(i, false, 10, 3); }
int value(NMapNumToNum*, int i) { return i; }
NString value(NMapNumToString*, int i) { return NString::fromNumber(i); }
int value(NMapStringToNum*, int i) { return i; }
NString value(NMapStringToString*, int i) { return NString::fromNumber(i); }
int number(int n) { return n; }
int number(const NString& s) { return s.isEmpty() ? -1 : s.toInt(); }

template <class Map>
class Maps : public ::testing::Test {
protected:
    static auto K(int i) -> decltype(key(static_cast<Map*>(nullptr), i)) { return key(static_cast<Map*>(nullptr), i); }
    static auto V(int i) -> decltype(value(static_cast<Map*>(nullptr), i))
    {
        return value(static_cast<Map*>(nullptr), i);
    }
    static std::string dump(Map& map)
    {
        std::string text;
        for (int i = 0; i < map.getCount(); ++i)
            text += std::to_string(number(map.getKeyAt(i))) + ":" + std::to_string(number(map.getValueAt(i))) + " ";
        return text;
    }
};
typedef ::testing::Types<NMapNumToNum, NMapNumToString, NMapStringToNum, NMapStringToString> MapTypes;
TYPED_TEST_SUITE(Maps, MapTypes);

}  // namespace

TYPED_TEST(Maps, UniqueKeysInInsertionOrder)
{
    TypeParam map;
    const int none = number(decltype(this->V(0))());
    EXPECT_TRUE(map.setAt(this->K(30), this->V(3)));
    EXPECT_TRUE(map.setAt(this->K(10), this->V(1)));
    EXPECT_TRUE(map.setAt(this->K(20), this->V(2)));
    EXPECT_FALSE(map.setAt(this->K(30), this->V(4)));
    EXPECT_EQ("30:4 10:1 20:2 ", this->dump(map));

    auto v = this->V(9);
    EXPECT_FALSE(map.get(this->K(40), v));
    EXPECT_EQ(9, number(v));
    EXPECT_TRUE(map.get(this->K(10), v) && map.contains(this->K(20)) && !map.contains(this->K(21)));
    EXPECT_EQ(1, number(v));
    EXPECT_EQ(none, number(map.lookup(this->K(40))));
    EXPECT_EQ(3, map.getCount());
    map.lookup(this->K(40), true) = this->V(5);
    map.lookup(this->K(10), true) = this->V(6);
    EXPECT_EQ("30:4 10:6 20:2 40:5 ", this->dump(map));
    EXPECT_EQ(1, map.find(this->K(10)));
    EXPECT_EQ(~4, map.find(this->K(50)));

    // Outside the map: neutral results, nothing changed.
    auto k = this->K(7);
    v = this->V(7);
    EXPECT_FALSE(map.getAt(4, k, v) || map.getAt(-1, k, v));
    EXPECT_EQ("7 7", std::to_string(number(k)) + " " + std::to_string(number(v)));
    EXPECT_TRUE(map.getAt(3, k, v));
    EXPECT_EQ("40 5", std::to_string(number(k)) + " " + std::to_string(number(v)));
    EXPECT_EQ(none, number(map.getValueAt(4)));
    EXPECT_EQ(number(decltype(this->K(0))()), number(map.getKeyAt(-1)));
    map.removeKey(this->K(10));
    map.removeKey(this->K(11));
    map.removeAt(0);
    map.removeAt(2);
    map.swap(0, 2);
    EXPECT_EQ("20:2 40:5 ", this->dump(map));

    // Copies are deep; addAll counts the keys it added.
    TypeParam copy(map);
    copy.lookup(this->K(20)) = this->V(8);
    TypeParam more;
    more.setAt(this->K(20), this->V(0));
    more.setAt(this->K(60), this->V(6));
    EXPECT_EQ(1, copy.addAll(more));
    EXPECT_EQ(0, copy.addAll(copy));
    EXPECT_EQ("20:2 40:5 ", this->dump(map));
    EXPECT_EQ("20:0 40:5 60:6 ", this->dump(copy));
    copy = map;
    copy = copy;
    EXPECT_EQ("20:2 40:5 ", this->dump(copy));
    map.removeAll();
    EXPECT_EQ(0, map.getCount());
}

TYPED_TEST(Maps, SortedModeKeepsKeysInOrder)
{
    TypeParam map;
    for (int k : {40, 10, 30, 20})
        map.setAt(this->K(k), this->V(k / 10));
    map.setSorted(true);
    map.setAt(this->K(25), this->V(0));
    map.lookup(this->K(5), true) = this->V(9);
    EXPECT_EQ("5:9 10:1 20:2 25:0 30:3 40:4 ", this->dump(map));
    EXPECT_EQ(~3, map.find(this->K(24)));
    EXPECT_EQ(~6, map.find(this->K(45)));
    map.removeKey(this->K(20));
    EXPECT_EQ(2, map.find(this->K(25)));

    // Descending cannot be searched in halves: sorted mode ends, keys stay findable.
    map.sort(-1);
    EXPECT_FALSE(map.isSorted());
    EXPECT_EQ("40:4 30:3 25:0 10:1 5:9 ", this->dump(map));
    EXPECT_EQ(4, map.find(this->K(5)));
    EXPECT_FALSE(map.setAt(this->K(30), this->V(7)));
    // So does a swap; an ascending sort alone does not switch it on.
    map.setSorted(true);
    map.swap(0, 4);
    EXPECT_FALSE(map.isSorted());
    EXPECT_EQ(0, map.find(this->K(40)));
    map.sort(1);
    map.setAt(this->K(1), this->V(1));
    EXPECT_EQ("5:9 10:1 25:0 30:7 40:4 1:1 ", this->dump(map));
    TypeParam copy(map);
    copy.setSorted(true);
    TypeParam sortedCopy(copy);
    sortedCopy.setAt(this->K(2), this->V(2));
    EXPECT_EQ(1, sortedCopy.find(this->K(2)));

    // Many keys inserted in scrambled order: every hit and miss is right.
    TypeParam many;
    many.setSorted(true);
    for (int i = 0; i < 300; ++i)
        many.setAt(this->K((i * 7) % 300 * 2 + 1), this->V(i));
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(i % 2 ? i / 2 : ~(i / 2), many.find(this->K(i))) << i;
}

TEST(NumberKeyedMaps, KeysAreSigned)
{
    NMapNumToNum counts;
    NMapNumToString names;
    for (int k : {5, -3, INT_MAX, 0, INT_MIN, -3}) {
        ++counts.lookup(k, true);
        names.setAt(k, "v");
    }
    counts.setSorted(true);
    names.setSorted(true);
    const std::vector<int> expected{INT_MIN, -3, 0, 5, INT_MAX};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(expected[i], counts.getKeyAt(i));
        EXPECT_EQ(expected[i], names.getKeyAt(i));
    }
    EXPECT_EQ(2, counts.lookup(-3));
    EXPECT_EQ(~2, names.find(-1));
}

TEST(TextKeyedMaps, KeysCompareByteWiseAndCaseSensitive)
{
    NMapStringToNum numbers;
    NMapStringToString texts;
    for (const char* k : {"b", "Z", "a", "", "\xFC", "B", "ab"}) {
        numbers.setAt(k, 1);
        texts.setAt(k, k);
    }
    numbers.setSorted(true);
    texts.sort(1);
    const char* const expected[] = {"", "B", "Z", "a", "ab", "b", "\xFC"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(expected[i], numbers.getKeyAt(i).getBuffer());
        EXPECT_STREQ(expected[i], texts.getKeyAt(i).getBuffer());
        EXPECT_STREQ(expected[i], texts.getValueAt(i).getBuffer());
    }
    EXPECT_FALSE(numbers.contains("AB"));
    EXPECT_FALSE(texts.isSorted());
}

namespace {

std::string pairs(NMapStringToString& map)
{
    std::string text;
    for (int i = 0; i < map.getCount(); ++i)
        text += std::string("[") + map.getKeyAt(i).getBuffer() + "=" + map.getValueAt(i).getBuffer() + "]";
    return text;
}

}  // namespace

TEST(NMapStringToString, ValuesStayInPlaceAndMayBeStoredAgain)
{
    // Values are separate objects: growing the entry array leaves them in place.
    NMapStringToString map;
    NString* before = &map.lookup("w", true);
    for (int i = 0; i < 300; ++i)
        map.setAt(NString::fromNumber(i), "x");
    EXPECT_EQ(before, &map.lookup("w"));

    // A value taken from the map itself can be stored under a new key.
    NMapStringToString self;
    self.setAt("w", "10");
    self.setAt(self.lookup("w"), self.lookup("w"));
    EXPECT_EQ("[w=10][10=10]", pairs(self));
}

TEST(NMapStringToString, ReplaceVariablesFollowsMapOrder)
{
    NMapStringToString map;
    map.setAt("w", "10");
    map.setAt("h", "20");
    EXPECT_STREQ("10 10 {{W}} {{d}} {w}", map.replaceVariables("{{w}} {{w}} {{W}} {{d}} {w}").getBuffer());
    EXPECT_STREQ("10/20", map.replaceVariables("$(w)/$(h)", "$(", ")").getBuffer());

    // One pass per entry in map order: a value may name a later entry, not an
    // earlier one; a value that contains its own placeholder is not expanded again.
    map.fromText("a={{b}};b=B", ";", "=");
    EXPECT_STREQ("B", map.replaceVariables("{{a}}").getBuffer());
    map.fromText("b=B;a={{b}}", ";", "=");
    EXPECT_STREQ("{{b}}", map.replaceVariables("{{a}}").getBuffer());
    map.fromText("x=<{{x}}>", ";", "=");
    EXPECT_STREQ("<{{x}}><{{x}}>", map.replaceVariables("{{x}}{{x}}").getBuffer());
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
    EXPECT_EQ(pairs(map), pairs(back));

    // Merging keeps what is there and overwrites equal keys.
    NMapStringToString merged;
    merged.setAt("a", "1");
    merged.setAt("b", "2");
    EXPECT_EQ(2, merged.fromText("b: 20, c: 30", ", ", ": ", false));
    EXPECT_EQ("[a=1][b=20][c=30]", pairs(merged));

    // The text may be one of the map's own values, even when the map is cleared first.
    NMapStringToString nested;
    nested.setAt("inner", "x=1;y=2");
    EXPECT_EQ(2, nested.fromText(nested.lookup("inner"), ";", "="));
    EXPECT_EQ("[x=1][y=2]", pairs(nested));

    // Malformed items: empty ones are skipped, one without separator is a key
    // with an empty value, the value keeps further separators.
    EXPECT_EQ(4, map.fromText(";;a=1;;flag;=v;b==2;", ";", "="));
    EXPECT_EQ("[a=1][flag=][=v][b==2]", pairs(map));
    EXPECT_EQ(2, map.fromText("a=1;b=2", ";", ""));
    EXPECT_EQ("[a=1=][b=2=]", pairs(map));
    EXPECT_EQ(0, map.fromText(";;;", ";", "="));
    EXPECT_EQ(0, map.getCount());
}
