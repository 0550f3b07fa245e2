// Shared map behaviour is tested on NMapStringToString; here only what the
// signed integer keys change.
#include "NMapNumToString.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

std::vector<int> keysOf(const NMapNumToString& map)
{
    std::vector<int> keys;
    for (int i = 0; i < map.getCount(); ++i)
        keys.push_back(map.getKeyAt(i));
    return keys;
}

}  // namespace

TEST(NMapNumToString, SignedKeysSortAndSearch)
{
    NMapNumToString map;
    for (int key : {5, -3, 12, 0, INT_MIN, INT_MAX})
        map.setAt(key, NString::fromNumber(key));
    map.sort(1);
    EXPECT_EQ((std::vector<int>{INT_MIN, -3, 0, 5, 12, INT_MAX}), keysOf(map));
    map.sort(-1);
    EXPECT_EQ((std::vector<int>{INT_MAX, 12, 5, 0, -3, INT_MIN}), keysOf(map));
    for (int i = 0; i < map.getCount(); ++i)
        EXPECT_EQ(NString::fromNumber(map.getKeyAt(i)), map.getValueAt(i));

    map.setSorted(true);
    map.setAt(-7, "x");
    EXPECT_EQ((std::vector<int>{INT_MIN, -7, -3, 0, 5, 12, INT_MAX}), keysOf(map));
    EXPECT_EQ(~2, map.find(-5));
    EXPECT_EQ(~6, map.find(13));
    EXPECT_EQ(6, map.find(INT_MAX));
    EXPECT_STREQ("", map.lookup(1).getBuffer());
    map.lookup(1, true) = "one";
    map.removeKey(-3);
    EXPECT_EQ((std::vector<int>{INT_MIN, -7, 0, 1, 5, 12, INT_MAX}), keysOf(map));
    EXPECT_EQ(0, map.getKeyAt(7));
}
