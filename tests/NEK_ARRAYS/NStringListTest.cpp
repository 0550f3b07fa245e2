#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NStringList.h"

namespace {

std::vector<std::string> texts(NStringList& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.emplace_back(list.getAt(i).getBuffer(), list.getAt(i).getLength());
    return result;
}

typedef std::vector<std::string> Texts;

}  // namespace

TEST(NStringList, IgnoreCaseAndStableElements)
{
    // Elements are separate objects: a reference stays valid while the slot array moves.
    NStringList list;
    list.add("quelle");
    NString& first = list.getAt(0);
    for (int i = 0; i < 500; ++i)
        list.add("x");
    EXPECT_EQ(&first, &list.getAt(0));
    EXPECT_EQ(list.add("QUELLE", true), 501);  // case counts by default

    NStringList folded(true);
    folded.add("abc");
    EXPECT_EQ(folded.add("aBc", true), 0);
    folded.add("ABC");
    folded.add("x");
    EXPECT_EQ(folded.find("abc", 1), 1);
    EXPECT_EQ(folded.removeValue("ABC"), 2);
    EXPECT_EQ(texts(folded), (Texts{"x"}));
    NStringList copy(folded);
    EXPECT_EQ(copy.find("X"), 0);  // the copy folds case too
}

TEST(NStringList, SortsByteWiseOrFolded)
{
    NStringList list;
    for (const char* t : {"birne", "Apfel", "apfel", "Zitrone", "\xE4pfel", "apfel"})
        list.add(t);
    list.sort(1);
    EXPECT_EQ(texts(list), (Texts{"Apfel", "Zitrone", "apfel", "apfel", "birne", "\xE4pfel"}));
    list.sort(-1);
    EXPECT_EQ(texts(list), (Texts{"\xE4pfel", "birne", "apfel", "apfel", "Zitrone", "Apfel"}));
    EXPECT_EQ(list.compareAt(0, 1), 1);
    EXPECT_EQ(list.compareAt(2, 3), 0);

    // ignoreCase folds case in the sort, while compareAt stays case-sensitive.
    NStringList folded(true);
    for (const char* t : {"b", "C", "a", "B"})
        folded.add(t);
    folded.sort(1);
    const Texts got = texts(folded);
    EXPECT_EQ(got[0], "a");
    EXPECT_EQ(got[3], "C");
    EXPECT_EQ(folded.compareWith(1, "b"), 0);
    EXPECT_NE(folded.compareAt(1, 2), 0);
}

TEST(NStringList, SplitAndJoin)
{
    NStringList list;
    EXPECT_EQ(list.split("a,,b", ","), 3);
    EXPECT_EQ(texts(list), (Texts{"a", "", "b"}));
    EXPECT_EQ(list.join(";"), "a;;b");
    EXPECT_EQ(list.split("", ","), 1);
    EXPECT_EQ(texts(list), (Texts{""}));
    EXPECT_EQ(list.split(",x,", ","), 3);
    EXPECT_EQ(texts(list), (Texts{"", "x", ""}));
    // Case-sensitive, separators of several bytes.
    EXPECT_EQ(list.split("1AND2and3AND", "AND"), 3);
    EXPECT_EQ(texts(list), (Texts{"1", "2and3", ""}));
    EXPECT_EQ(list.join("\r\n"), "1\r\n2and3\r\n");
    EXPECT_EQ(list.split("a,b", ""), 1);
    EXPECT_EQ(texts(list), (Texts{"a,b"}));
}

TEST(NStringList, SplitWords)
{
    NStringList list;
    EXPECT_EQ(list.splitWords("copy \"a b\" c"), 3);
    EXPECT_EQ(texts(list), (Texts{"copy", "a b", "c"}));
    // Tabs and line breaks are blanks; quoted blanks are trimmed; empty words go.
    EXPECT_EQ(list.splitWords("\t one\r\n\"  two  \"  \"\"   x\"y z\"w "), 3);
    EXPECT_EQ(texts(list), (Texts{"one", "two", "x\"y z\"w"}));
    EXPECT_EQ(list.splitWords("   "), 0);
    EXPECT_EQ(list.getCount(), 0);
    // An unclosed quote keeps the rest together.
    EXPECT_EQ(list.splitWords("a \"b c"), 2);
    EXPECT_EQ(texts(list), (Texts{"a", "\"b c"}));
}

TEST(NStringList, AddTokens)
{
    NStringList list;
    list.add("vorher");
    EXPECT_EQ(list.addTokens("x;y;;x", ";", false), 4);
    EXPECT_EQ(texts(list), (Texts{"vorher", "x", "y", "", "x"}));
    EXPECT_EQ(list.addTokens("y;z;vorher;z", ";", true), 1);
    EXPECT_EQ(texts(list), (Texts{"vorher", "x", "y", "", "x", "z"}));
    EXPECT_EQ(list.addTokens("", ";", false), 0);
}
