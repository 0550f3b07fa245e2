#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "NNumList.h"

namespace {

std::vector<int> values(NNumList& list)
{
    std::vector<int> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.push_back(list.getAt(i));
    return result;
}

}  // namespace

TEST(NNumList, SortsSignedNumbersAndGivesReferences)
{
    NNumList list;
    for (int v : {3, -1, INT_MAX, 2, INT_MIN, -1})
        list.add(v);
    list.getAt(1) = 0;
    list.sort(1);
    EXPECT_EQ(values(list), (std::vector<int>{INT_MIN, -1, 0, 2, 3, INT_MAX}));
    list.sort(-1);
    EXPECT_EQ(values(list), (std::vector<int>{INT_MAX, 3, 2, 0, -1, INT_MIN}));
    EXPECT_EQ(list.getData()[5], INT_MIN);
    EXPECT_EQ(list.compareAt(0, 5), 1);
    EXPECT_EQ(list.compareWith(5, INT_MIN), 0);
}

TEST(NNumList, FromTextAndToText)
{
    NNumList list;
    EXPECT_EQ(list.fromText("1;-2;;0x10;", ";"), 4);
    EXPECT_EQ(values(list), (std::vector<int>{1, -2, 0, 16}));
    EXPECT_EQ(list.toText(", "), "1, -2, 0, 16");
    EXPECT_EQ(list.fromText("", ","), 0);
    // A separator of several bytes, and the rest after the last one.
    EXPECT_EQ(list.fromText("4<>5<>6", "<>"), 3);
    EXPECT_EQ(list.toText("|"), "4|5|6");
    EXPECT_EQ(list.fromText("8,9", ""), 1);  // no separator: the whole text
    EXPECT_EQ(list.getCount(), 1);
}

TEST(NNumList, SplitSizes)
{
    NNumList list;
    list.splitSizes(400, "100,*,25%");
    EXPECT_EQ(values(list), (std::vector<int>{100, 200, 100}));
    // Percentages round half up; without a star nothing fills the rest.
    list.splitSizes(3, "50%,50%");
    EXPECT_EQ(values(list), (std::vector<int>{2, 2}));
    // The last star gets the rest, an earlier one stays 0.
    list.splitSizes(100, "*,10,*");
    EXPECT_EQ(values(list), (std::vector<int>{0, 10, 90}));
    // No room left: the star stays 0.
    list.splitSizes(100, "80,*,30");
    EXPECT_EQ(values(list), (std::vector<int>{80, 0, 30}));
    // Blanks around pieces are tolerated; absurd percentages are clamped.
    list.splitSizes(1000, " 10 , * , 1e30%");
    EXPECT_EQ(values(list), (std::vector<int>{10, 0, INT_MAX}));
}
