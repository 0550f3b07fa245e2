#include "NMapNumToNum.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string dump(NMapNumToNum& map)
{
    std::string text;
    for (int i = 0; i < map.getCount(); ++i)
        text += std::to_string(map.getKeyAt(i)) + ":" + std::to_string(map.getValueAt(i)) + " ";
    return text;
}

class OpenMap : public NMapNumToNum {
public:
    int slots() const { return allocatedBytes / static_cast<int>(sizeof(Entry)); }
    static int entrySize() { return static_cast<int>(sizeof(Entry)); }
};

}  // namespace

TEST(NMapNumToNum, LookupCountsAndDefaultsToZero)
{
    NMapNumToNum map;
    EXPECT_STREQ("NMapNumToNum", map.getName());
    EXPECT_EQ(0, map.lookup(3));
    EXPECT_EQ(0, map.getCount());
    for (int key : {3, 1, 3, 3, 2, 1})
        ++map.lookup(key, true);
    EXPECT_EQ("3:3 1:2 2:1 ", dump(map));

    int value = -9;
    EXPECT_FALSE(map.get(7, value));
    EXPECT_EQ(-9, value);
    EXPECT_TRUE(map.get(1, value));
    EXPECT_EQ(2, value);
    int key = 0;
    EXPECT_FALSE(map.getAt(3, key, value));
    EXPECT_EQ(0, map.getValueAt(-1));
    EXPECT_EQ(0, map.getKeyAt(5));
    EXPECT_FALSE(map.setAt(3, -1));
    EXPECT_TRUE(map.setAt(-3, 4));
    EXPECT_EQ("3:-1 1:2 2:1 -3:4 ", dump(map));
}

TEST(NMapNumToNum, SortedModeSearchRemoveAndSizing)
{
    EXPECT_EQ(8, OpenMap::entrySize());
    OpenMap map;
    for (int key : {9, -4, 7, 0})
        map.setAt(key, key * 2);
    map.setSorted(true);
    EXPECT_EQ("-4:-8 0:0 7:14 9:18 ", dump(map));
    EXPECT_EQ(~2, map.find(5));
    EXPECT_EQ(~0, map.find(-5));
    EXPECT_EQ(3, map.find(9));
    map.removeKey(0);
    map.removeKey(1);
    EXPECT_EQ("-4:-8 7:14 9:18 ", dump(map));

    NMapNumToNum other;
    other.setAt(8, 1);
    other.setAt(7, 1);
    EXPECT_EQ(1, map.addAll(other));
    EXPECT_EQ("-4:-8 7:1 8:1 9:18 ", dump(map));
    map.sort(-1);
    EXPECT_EQ("9:18 8:1 7:1 -4:-8 ", dump(map));

    NMapNumToNum copy(map);
    copy.lookup(9) = 0;
    EXPECT_EQ(18, map.lookup(9));
    EXPECT_EQ(0, copy.lookup(9));

    EXPECT_EQ(102, map.slots());
    map.removeAll();
    EXPECT_EQ(0, map.slots());
    EXPECT_EQ(0, map.getCount());
}
