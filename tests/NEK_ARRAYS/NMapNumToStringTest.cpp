#include "NMapNumToString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Opens the protected state that the sizing and search checks look at.
class OpenMap : public NMapNumToString {
public:
    int slots() const { return allocatedBytes / static_cast<int>(sizeof(Entry)); }
    int bytes() const { return allocatedBytes; }
    static int entrySize() { return static_cast<int>(sizeof(Entry)); }
    int compareWith(int index, int key) const override
    {
        probes.push_back(index);
        return NMapNumToString::compareWith(index, key);
    }
    mutable std::vector<int> probes;
};

std::vector<int> keysOf(const NMapNumToString& map)
{
    std::vector<int> keys;
    for (int i = 0; i < map.getCount(); ++i)
        keys.push_back(map.getKeyAt(i));
    return keys;
}

// "key=value" for every entry, in map order.
std::string dump(NMapNumToString& map)
{
    std::string text;
    for (int i = 0; i < map.getCount(); ++i)
        text += std::to_string(map.getKeyAt(i)) + "=" + map.getValueAt(i).getBuffer() + " ";
    return text;
}

}  // namespace

TEST(NMapNumToString, SetAtOverwritesExistingKeys)
{
    NMapNumToString map;
    EXPECT_STREQ("NMapNumToString", map.getName());
    EXPECT_TRUE(map.setAt(5, "a"));
    EXPECT_FALSE(map.setAt(5, "b"));
    EXPECT_EQ(1, map.getCount());
    EXPECT_STREQ("b", map.lookup(5).getBuffer());

    NString value("old");
    EXPECT_TRUE(map.get(5, value));
    EXPECT_STREQ("b", value.getBuffer());
    EXPECT_FALSE(map.get(6, value));
    EXPECT_STREQ("b", value.getBuffer());
    EXPECT_TRUE(map.contains(5));
    EXPECT_FALSE(map.contains(6));
}

TEST(NMapNumToString, InsertionOrderUntilSortedModeIsSwitchedOn)
{
    NMapNumToString map;
    map.setAt(3, "c");
    map.setAt(1, "a");
    map.setAt(2, "b");
    EXPECT_EQ((std::vector<int>{3, 1, 2}), keysOf(map));
    EXPECT_FALSE(map.isSorted());

    map.setSorted(true);
    EXPECT_EQ("1=a 2=b 3=c ", dump(map));
    map.setAt(0, "z");
    map.setAt(10, "y");
    map.setAt(-7, "x");
    map.setAt(2, "B");
    EXPECT_EQ("-7=x 0=z 1=a 2=B 3=c 10=y ", dump(map));

    // Switching sorted mode off keeps the order; new keys are appended again.
    map.setSorted(false);
    map.setAt(-100, "w");
    EXPECT_EQ((std::vector<int>{-7, 0, 1, 2, 3, 10, -100}), keysOf(map));
}

TEST(NMapNumToString, LookupCreatesOnlyWhenAsked)
{
    NMapNumToString map;
    EXPECT_STREQ("", map.lookup(9).getBuffer());
    EXPECT_EQ(0, map.getCount());

    NString& created = map.lookup(9, true);
    EXPECT_EQ(1, map.getCount());
    EXPECT_STREQ("", created.getBuffer());
    created = "filled";
    EXPECT_STREQ("filled", map.lookup(9).getBuffer());
    EXPECT_STREQ("filled", map.lookup(9, true).getBuffer());
    EXPECT_EQ(1, map.getCount());

    // Values are separate objects: growing the entry array leaves them in place.
    NString* before = &map.lookup(9);
    for (int i = 100; i < 400; ++i)
        map.setAt(i, "x");
    EXPECT_EQ(before, &map.lookup(9));

    NMapNumToString sorted;
    sorted.setSorted(true);
    sorted.setAt(1, "a");
    sorted.setAt(5, "e");
    sorted.lookup(3, true) = "c";
    EXPECT_EQ("1=a 3=c 5=e ", dump(sorted));
}

TEST(NMapNumToString, BinarySearchProbesTheUpperMiddle)
{
    OpenMap map;
    for (int key : {40, 10, 30, 20})
        map.setAt(key, "v");
    map.setSorted(true);

    map.probes.clear();
    EXPECT_EQ(0, map.find(10));
    EXPECT_EQ((std::vector<int>{2, 1, 0}), map.probes);
    map.probes.clear();
    EXPECT_EQ(3, map.find(40));
    EXPECT_EQ((std::vector<int>{2, 3}), map.probes);
    EXPECT_EQ(1, map.find(20));
    EXPECT_EQ(2, map.find(30));

    // Missing keys give the complement of their insertion position.
    EXPECT_EQ(~0, map.find(5));
    EXPECT_EQ(~1, map.find(15));
    EXPECT_EQ(~2, map.find(25));
    EXPECT_EQ(~3, map.find(35));
    EXPECT_EQ(~4, map.find(45));
    EXPECT_LT(map.find(45), 0);

    OpenMap empty;
    empty.setSorted(true);
    EXPECT_EQ(-1, empty.find(1));

    // Unsorted maps scan and would append.
    NMapNumToString unsorted;
    unsorted.setAt(40, "a");
    unsorted.setAt(10, "b");
    EXPECT_EQ(1, unsorted.find(10));
    EXPECT_EQ(~2, unsorted.find(20));
}

TEST(NMapNumToString, SortedSearchAgreesWithAScanOnManyKeys)
{
    NMapNumToString map;
    map.setSorted(true);
    std::vector<int> keys;
    unsigned seed = 12345;
    for (int i = 0; i < 500; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int key = static_cast<int>(seed >> 8) % 2000 - 1000;
        if (map.setAt(key, NString::fromNumber(key)))
            keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    ASSERT_EQ(keys, keysOf(map));
    for (int probe = -1002; probe <= 1002; ++probe) {
        const auto at = std::lower_bound(keys.begin(), keys.end(), probe);
        const int position = static_cast<int>(at - keys.begin());
        if (at != keys.end() && *at == probe)
            ASSERT_EQ(position, map.find(probe)) << probe;
        else
            ASSERT_EQ(~position, map.find(probe)) << probe;
    }
}

TEST(NMapNumToString, OutOfRangeIndicesGiveNeutralValues)
{
    NMapNumToString map;
    map.setAt(1, "a");
    map.setAt(2, "b");
    map.setAt(3, "c");
    int key = 77;
    NString value("kept");
    EXPECT_FALSE(map.getAt(7, key, value));
    EXPECT_FALSE(map.getAt(-1, key, value));
    EXPECT_EQ(77, key);
    EXPECT_STREQ("kept", value.getBuffer());
    EXPECT_TRUE(map.getAt(2, key, value));
    EXPECT_EQ(3, key);
    EXPECT_STREQ("c", value.getBuffer());

    EXPECT_STREQ("", map.getValueAt(-1).getBuffer());
    EXPECT_STREQ("", map.getValueAt(3).getBuffer());
    EXPECT_EQ(0, map.getKeyAt(3));
    EXPECT_EQ(0, map.getKeyAt(-1));

    map.removeAt(3);
    map.removeAt(-1);
    map.swap(0, 3);
    EXPECT_EQ("1=a 2=b 3=c ", dump(map));
}

TEST(NMapNumToString, RemovingKeepsTheOrderOfTheRest)
{
    NMapNumToString map;
    for (int key : {4, 8, 1, 6})
        map.setAt(key, NString::fromNumber(key * 10));
    map.removeKey(8);
    map.removeKey(99);
    EXPECT_EQ("4=40 1=10 6=60 ", dump(map));
    map.removeAt(0);
    EXPECT_EQ("1=10 6=60 ", dump(map));

    map.setSorted(true);
    map.setAt(3, "30");
    map.removeKey(1);
    EXPECT_EQ("3=30 6=60 ", dump(map));
    EXPECT_EQ(1, map.find(6));
    map.removeAll();
    EXPECT_EQ(0, map.getCount());
    EXPECT_FALSE(map.contains(6));
    EXPECT_TRUE(map.setAt(6, "again"));
}

TEST(NMapNumToString, SortsBothDirectionsWithValuesFollowingKeys)
{
    NMapNumToString map;
    for (int key : {5, -3, 12, 0, 7, -2147483647 - 1, 2147483647})
        map.setAt(key, NString::fromNumber(key));
    map.sort(1);
    EXPECT_EQ((std::vector<int>{-2147483647 - 1, -3, 0, 5, 7, 12, 2147483647}), keysOf(map));
    EXPECT_FALSE(map.isSorted());
    map.sort(-1);
    EXPECT_EQ((std::vector<int>{2147483647, 12, 7, 5, 0, -3, -2147483647 - 1}), keysOf(map));
    for (int i = 0; i < map.getCount(); ++i)
        EXPECT_EQ(NString::fromNumber(map.getKeyAt(i)), map.getValueAt(i));

    // A descending order cannot be searched in halves: sorted mode ends, and
    // every key stays findable.
    map.setSorted(true);
    map.sort(-1);
    EXPECT_FALSE(map.isSorted());
    EXPECT_EQ(6, map.find(-2147483647 - 1));
    EXPECT_TRUE(map.contains(12));
    EXPECT_FALSE(map.setAt(12, "x"));
    EXPECT_EQ(7, map.getCount());

    // Larger inputs, including ones already in order and reversed.
    for (int shape = 0; shape < 3; ++shape) {
        NMapNumToString big;
        std::vector<int> expected;
        for (int i = 0; i < 3000; ++i) {
            const int key = shape == 0 ? i : shape == 1 ? 3000 - i : (i * 7919) % 3001;
            big.setAt(key, "v");
            expected.push_back(key);
        }
        std::sort(expected.begin(), expected.end());
        big.sort(1);
        ASSERT_EQ(expected, keysOf(big)) << shape;
        big.sort(-1);
        std::reverse(expected.begin(), expected.end());
        ASSERT_EQ(expected, keysOf(big)) << shape;
    }

    NMapNumToString single;
    single.setAt(1, "a");
    single.sort(1);
    EXPECT_EQ("1=a ", dump(single));
}

TEST(NMapNumToString, SwapLeavesSortedMode)
{
    NMapNumToString map;
    map.setSorted(true);
    map.setAt(1, "a");
    map.setAt(2, "b");
    map.setAt(3, "c");
    map.swap(0, 2);
    EXPECT_EQ("3=c 2=b 1=a ", dump(map));
    EXPECT_FALSE(map.isSorted());
    EXPECT_EQ(2, map.find(1));
    EXPECT_FALSE(map.setAt(1, "A"));
    EXPECT_EQ(3, map.getCount());
}

TEST(NMapNumToString, AddAllAndCopiesAreDeep)
{
    NMapNumToString a;
    a.setAt(1, "a");
    a.setAt(2, "b");
    NMapNumToString b;
    b.setAt(3, "c");
    b.setAt(2, "B");
    b.setAt(4, "d");
    EXPECT_EQ(2, a.addAll(b));
    EXPECT_EQ("1=a 2=B 3=c 4=d ", dump(a));
    EXPECT_EQ(0, a.addAll(a));
    EXPECT_EQ(4, a.getCount());

    NMapNumToString copy(a);
    copy.lookup(1) = "changed";
    copy.removeKey(4);
    EXPECT_EQ("1=a 2=B 3=c 4=d ", dump(a));
    EXPECT_EQ("1=changed 2=B 3=c ", dump(copy));
    copy = b;
    EXPECT_EQ("3=c 2=B 4=d ", dump(copy));
    copy = copy;
    EXPECT_EQ(3, copy.getCount());
}

TEST(NMapNumToString, EntryArrayGrowsAndShrinksInHundreds)
{
    EXPECT_EQ(static_cast<int>(2 * sizeof(void*)), OpenMap::entrySize());
    OpenMap map;
    EXPECT_EQ(0, map.slots());
    map.setAt(0, "");
    EXPECT_EQ(102, map.slots());
    for (int key = 1; key < 101; ++key)
        map.setAt(key, "");
    EXPECT_EQ(101, map.getCount());
    EXPECT_EQ(102, map.slots());
    map.setAt(101, "");
    EXPECT_EQ(203, map.slots());
    EXPECT_EQ(203 * OpenMap::entrySize(), map.bytes());

    // Shrinks only when more than 150 slots would be spare.
    while (map.getCount() > 53)
        map.removeAt(map.getCount() - 1);
    EXPECT_EQ(203, map.slots());
    map.removeAt(0);
    EXPECT_EQ(52, map.getCount());
    EXPECT_EQ(153, map.slots());
    map.removeKey(map.getKeyAt(10));
    EXPECT_EQ(153, map.slots());
    EXPECT_EQ(51, map.getCount());

    map.removeAll();
    EXPECT_EQ(0, map.slots());
}
