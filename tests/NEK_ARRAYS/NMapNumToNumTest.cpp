// Shared map behaviour is tested on NMapStringToString; here only what the
// plain number values change.
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
};

}  // namespace

TEST(NMapNumToNum, CountsDefaultsAndSizing)
{
    OpenMap map;
    EXPECT_EQ(0, map.lookup(3));
    EXPECT_EQ(0, map.getCount());
    for (int key : {3, 1, 3, 3, 2, 1})
        ++map.lookup(key, true);
    EXPECT_EQ("3:3 1:2 2:1 ", dump(map));

    int value = -9;
    EXPECT_FALSE(map.get(7, value));
    EXPECT_EQ(-9, value);
    EXPECT_EQ(0, map.getValueAt(-1));
    EXPECT_FALSE(map.setAt(3, -1));

    map.setSorted(true);
    EXPECT_EQ("1:2 2:1 3:-1 ", dump(map));
    EXPECT_EQ(1, map.find(2));
    EXPECT_EQ(~3, map.find(4));
    map.sort(-1);
    EXPECT_EQ("3:-1 2:1 1:2 ", dump(map));

    NMapNumToNum copy(map);
    copy.lookup(3) = 0;
    EXPECT_EQ(-1, map.lookup(3));
    EXPECT_EQ(102, map.slots());
    map.removeAll();
    EXPECT_EQ(0, map.slots());
}
