// Shared map behaviour is tested in MapsTest.cpp; here what only the text map has.
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
    EXPECT_EQ("[w=10][10=10]", dump(self));
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
