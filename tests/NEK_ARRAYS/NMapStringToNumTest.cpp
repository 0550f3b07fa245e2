#include "NMapStringToNum.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string dump(NMapStringToNum& map)
{
    std::string text;
    for (int i = 0; i < map.getCount(); ++i)
        text += std::string(map.getKeyAt(i).getBuffer()) + ":" + std::to_string(map.getValueAt(i)) + " ";
    return text;
}

// A derived map as the colour map builds one: its own name, the same storage.
class NamedMap : public NMapStringToNum {
public:
    const char* getClassName() const override { return "NamedMap"; }
    int firstValueWithin(const char* name) const
    {
        for (int i = 0; i < count; ++i)
            if ((NString(",") + *entries[i].key + ",").find(NString(",") + name + ",") >= 0)
                return entries[i].value;
        return -1;
    }
    int slots() const { return allocatedBytes / static_cast<int>(sizeof(Entry)); }
};

}  // namespace

TEST(NMapStringToNum, ValuesAndDefaults)
{
    NMapStringToNum map;
    EXPECT_STREQ("NMapStringToNum", map.getName());
    EXPECT_EQ(0, map.lookup("x"));
    EXPECT_EQ(0, map.getCount());
    EXPECT_TRUE(map.setAt("rot,red", 0x0000FF));
    EXPECT_TRUE(map.setAt("Rot", 1));
    EXPECT_FALSE(map.setAt("rot,red", 0x0000FE));
    EXPECT_EQ("rot,red:254 Rot:1 ", dump(map));
    map.lookup("neu", true) = 5;
    EXPECT_EQ(5, map.lookup("neu"));
    NString key;
    int value = 0;
    EXPECT_TRUE(map.getAt(1, key, value));
    EXPECT_STREQ("Rot", key.getBuffer());
    EXPECT_EQ(1, value);
    EXPECT_FALSE(map.getAt(3, key, value));
    EXPECT_EQ(0, map.getValueAt(3));

    map.setSorted(true);
    EXPECT_EQ("Rot:1 neu:5 rot,red:254 ", dump(map));
    map.removeKey("neu");
    EXPECT_EQ(~1, map.find("neu"));
    map.sort(-1);
    EXPECT_EQ("rot,red:254 Rot:1 ", dump(map));
}

TEST(NMapStringToNum, DerivedMapKeepsOrderAndReachesTheEntries)
{
    NamedMap map;
    EXPECT_STREQ("NamedMap", map.getName());
    map.setAt("schwarz,black", 0x000000);
    map.setAt("gr\xFCn,green", 0x008000);
    map.setAt("grau,gray", 0x808080);
    EXPECT_EQ(0x008000, map.firstValueWithin("gr\xFCn"));
    EXPECT_EQ(0x808080, map.firstValueWithin("gray"));
    EXPECT_EQ(-1, map.firstValueWithin("gr"));
    EXPECT_EQ(102, map.slots());

    NMapStringToNum* base = &map;
    EXPECT_STREQ("NamedMap", base->getClassName());
    NamedMap copy;
    copy.addAll(map);
    EXPECT_EQ(dump(map), dump(copy));
}
