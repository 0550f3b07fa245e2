#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageBoxCatcher.h"
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

TEST(NStringList, SlotArraySizingAndOwnership)
{
    NStringList list;
    const int slot = static_cast<int>(sizeof(void*));
    EXPECT_EQ(list.getAllocatedBytes(), 10 * slot);
    for (int i = 0; i < 9; ++i)
        list.add(NString::fromNumber(i));
    EXPECT_EQ(list.getAllocatedBytes(), 10 * slot);
    list.add("nine");
    EXPECT_EQ(list.getAllocatedBytes(), 111 * slot);

    // Elements are copies owned by the list; references stay valid while
    // the slot array moves.
    NString source("quelle");
    list.setAt(0, source);
    source = "anders";
    NString& first = list.getAt(0);
    for (int i = 0; i < 500; ++i)
        list.add("x");
    EXPECT_EQ(first, "quelle");
    EXPECT_EQ(&first, &list.getAt(0));

    EXPECT_EQ(list.insertAt(1), 1);  // a new empty string
    EXPECT_EQ(list.getAt(1), "");
    EXPECT_TRUE(list.getAt(1).isEmpty());
    EXPECT_EQ(list.removeValue("x"), 500);
    EXPECT_EQ(list.getCount(), 11);
    // Shrunk on the way down, but never to fewer than 12 or more than 161 slots.
    EXPECT_GE(list.getAllocatedBytes(), (11 + 1) * slot);
    EXPECT_LE(list.getAllocatedBytes(), (11 + 150) * slot);

    NStringList copy(list);
    copy.getAt(0) = "kopie";
    EXPECT_EQ(list.getAt(0), "quelle");
    copy = copy;  // self-assignment keeps the elements
    EXPECT_EQ(copy.getCount(), 11);
}

TEST(NStringList, FindUniqueAndIgnoreCase)
{
    NStringList list;
    EXPECT_EQ(list.add("abc", true), 0);
    EXPECT_EQ(list.add("abc", true), 0);
    EXPECT_EQ(list.getCount(), 1);
    EXPECT_EQ(list.add("ABC", true), 1);  // case counts by default
    EXPECT_EQ(list.find("ABC"), 1);

    NStringList folded(true);
    folded.add("abc");
    EXPECT_EQ(folded.find("ABC"), 0);
    EXPECT_EQ(folded.add("aBc", true), 0);
    EXPECT_EQ(folded.getCount(), 1);
    folded.add("ABC");
    folded.add("x");
    EXPECT_EQ(folded.find("abc", 1), 1);
    EXPECT_EQ(folded.removeValue("ABC"), 2);
    EXPECT_EQ(texts(folded), (Texts{"x"}));
    folded.ignoreCase = false;
    EXPECT_EQ(folded.find("X"), -1);
}

TEST(NStringList, SortsWithCompareWith)
{
    NStringList list;
    for (const char* t : {"birne", "Apfel", "apfel", "Zitrone", "banane", "apfel"})
        list.add(t);
    list.sort(1);
    EXPECT_EQ(texts(list), (Texts{"Apfel", "Zitrone", "apfel", "apfel", "banane", "birne"}));
    list.sort(-1);
    EXPECT_EQ(texts(list), (Texts{"birne", "banane", "apfel", "apfel", "Zitrone", "Apfel"}));
    EXPECT_EQ(list.compareAt(0, 1), 1);
    EXPECT_EQ(list.compareAt(2, 3), 0);
    EXPECT_EQ(list.compareAt(5, 4), -1);

    // ignoreCase folds case in the sort, while compareAt stays case-sensitive.
    NStringList folded(true);
    for (const char* t : {"b", "C", "a", "B"})
        folded.add(t);
    folded.sort(1);
    const Texts got = texts(folded);
    EXPECT_EQ(got[0], "a");
    EXPECT_TRUE((got[1] == "b" && got[2] == "B") || (got[1] == "B" && got[2] == "b"));
    EXPECT_EQ(got[3], "C");
    EXPECT_EQ(folded.compareWith(1, "b"), 0);
    EXPECT_NE(folded.compareAt(1, 2), 0);

    NStringList one;
    one.add("nur");
    one.sort(1);
    EXPECT_EQ(texts(one), (Texts{"nur"}));
}

TEST(NStringList, IndexErrorsShowBoxes)
{
    NStringList list;
    list.add("a");
    list.add("b");
    list.add("c");
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_EQ(list.getAt(5), "c");
    boxes.expect(IDOK);
    EXPECT_EQ(list.insertAt(4, "d"), -1);
    boxes.expect(IDOK);
    list.removeAt(-1);
    ASSERT_EQ(boxes.count(), 3u);
    EXPECT_EQ(boxes[0].title, "Fehler !");
    EXPECT_EQ(boxes[0].icon, (unsigned)MB_ICONERROR);
    EXPECT_EQ(boxes[0].text,
              "Fehler in der Liste: NStringList.getAt(..)\r\nEs wurde ein Element au\xDF"
              "erhalb des Bereiches angefordert.\r\nAngefordert wurde: 5\r\nm\xF6glich ist: 0...2");
    EXPECT_EQ(boxes[1].text.substr(0, 42), "Fehler in der Liste: NStringList.insertAt(");
    EXPECT_NE(boxes[1].text.find("Angefordert wurde: 4\r\n"), std::string::npos);
    EXPECT_EQ(boxes[2].text.substr(0, 42), "Fehler in der Liste: NStringList.removeAt(");
    EXPECT_EQ(texts(list), (Texts{"a", "b", "c"}));

    NStringList empty;
    boxes.clear();
    boxes.expect(IDOK);
    EXPECT_TRUE(empty.getAt(0).isEmpty());
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_NE(boxes[0].text.find("m\xF6glich ist: 0...-1"), std::string::npos);
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
    list.removeAll();
    EXPECT_EQ(list.join(","), "");
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
    EXPECT_EQ(list.addTokens("ganz", "", false), 1);
    EXPECT_EQ(list.getAt(6), "ganz");
}
