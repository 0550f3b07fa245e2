// Shared map behaviour is tested on NMapStringToString; here the number
// values and a derived map as the colour map builds one.
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
};

}  // namespace

TEST(NMapStringToNum, ValuesSortAndDerivedMap)
{
    NMapStringToNum map;
    EXPECT_EQ(0, map.lookup("x"));
    EXPECT_EQ(0, map.getCount());
    EXPECT_TRUE(map.setAt("rot,red", 0x0000FF));
    EXPECT_TRUE(map.setAt("Rot", 1));
    EXPECT_FALSE(map.setAt("rot,red", 0x0000FE));
    map.lookup("neu", true) = 5;
    EXPECT_EQ("rot,red:254 Rot:1 neu:5 ", dump(map));
    EXPECT_EQ(0, map.getValueAt(3));
    map.setSorted(true);
    EXPECT_EQ("Rot:1 neu:5 rot,red:254 ", dump(map));
    map.removeKey("neu");
    EXPECT_EQ(~1, map.find("neu"));
    map.sort(-1);
    EXPECT_EQ("rot,red:254 Rot:1 ", dump(map));

    NamedMap named;
    EXPECT_STREQ("NamedMap", named.getName());
    named.setAt("schwarz,black", 0x000000);
    named.setAt("gr\xFCn,green", 0x008000);
    named.setAt("grau,gray", 0x808080);
    EXPECT_EQ(0x008000, named.firstValueWithin("gr\xFCn"));
    EXPECT_EQ(0x808080, named.firstValueWithin("gray"));
    EXPECT_EQ(-1, named.firstValueWithin("gr"));
    NamedMap copy;
    copy.addAll(named);
    EXPECT_EQ(dump(named), dump(copy));
}
