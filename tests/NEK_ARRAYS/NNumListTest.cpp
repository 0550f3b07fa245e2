#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "MessageBoxCatcher.h"
#include "NNumList.h"

namespace {

std::vector<int> values(NNumList& list)
{
    std::vector<int> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.push_back(list.getAt(i));
    return result;
}

int slots(const NNumList& list) { return list.getAllocatedBytes() / static_cast<int>(sizeof(int)); }

std::string rangeText(const char* operation, int requested, int highest)
{
    return std::string("Fehler in der Liste: NNumList.") + operation +
           "(..)\r\nEs wurde ein Element au\xDF" "erhalb des Bereiches angefordert.\r\n"
           "Angefordert wurde: " + std::to_string(requested) +
           "\r\nm\xF6glich ist: 0..." + std::to_string(highest);
}

}  // namespace

TEST(NNumList, SlotArrayGrowsInHundredsAndShrinksLate)
{
    NNumList list;
    EXPECT_EQ(list.getAllocatedBytes(), 40);
    for (int i = 0; i < 9; ++i)
        list.add(i);
    EXPECT_EQ(slots(list), 10);
    list.add(9);
    EXPECT_EQ(slots(list), 111);
    for (int i = 10; i < 110; ++i)
        list.add(i);
    EXPECT_EQ(slots(list), 111);
    list.add(110);  // 111 elements need a 112th slot
    EXPECT_EQ(slots(list), 212);
    for (int i = 111; i < 300; ++i)
        list.add(i);
    EXPECT_EQ(slots(list), 313);  // the 212th element grew it again
    // Down to 163 elements exactly 150 slots are spare: no shrink yet.
    while (list.getCount() > 163)
        list.removeAt(list.getCount() - 1);
    EXPECT_EQ(slots(list), 313);
    list.removeAt(0);
    EXPECT_EQ(slots(list), 162 + 101);
    EXPECT_EQ(list.getAt(161), 162);
    list.removeAll();
    EXPECT_EQ(list.getCount(), 0);
    EXPECT_EQ(slots(list), 113);  // last shrink at 12 elements; 113 spare is no excess
}

TEST(NNumList, InsertRemoveFindAndUnique)
{
    NNumList list;
    EXPECT_EQ(list.add(5), 0);
    EXPECT_EQ(list.add(7), 1);
    EXPECT_EQ(list.insertAt(0, 3), 0);
    EXPECT_EQ(list.insertAt(3, 9), 3);  // count appends
    EXPECT_EQ(list.insertAt(2), 2);     // empty slot holds 0
    EXPECT_EQ(values(list), (std::vector<int>{3, 5, 0, 7, 9}));
    EXPECT_EQ(list.add(7, true), 3);
    EXPECT_EQ(list.getCount(), 5);
    EXPECT_EQ(list.find(7), 3);
    EXPECT_EQ(list.find(7, 4), -1);
    list.getAt(1) = 7;  // getAt is a reference into the list
    list.add(7);
    EXPECT_EQ(list.removeValue(7), 3);
    EXPECT_EQ(values(list), (std::vector<int>{3, 0, 9}));
    list.swap(0, 2);
    list.swap(0, 3);  // outside: nothing happens, no box
    EXPECT_EQ(values(list), (std::vector<int>{9, 0, 3}));

    NNumList copy(list);
    copy.setAt(0, 1);
    EXPECT_EQ(list.getAt(0), 9);
    EXPECT_EQ(values(copy), (std::vector<int>{1, 0, 3}));
}

TEST(NNumList, SortsSignedInBothDirections)
{
    // Duplicates and extremes, against a reference sort.
    NNumList big;
    std::vector<int> expected;
    for (int i = 0; i < 500; ++i) {
        const int v = i % 97 == 0 ? (i % 2 ? INT_MIN : INT_MAX) : (i * 7919) % 50 - 25;
        big.add(v);
        expected.push_back(v);
    }
    big.sort(1);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(values(big), expected);
    big.sort(-1);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(values(big), expected);
}

TEST(NNumList, IndexErrorsShowBoxesAndGoOnSafely)
{
    NNumList list;
    list.add(10);
    list.add(20);
    list.add(30);
    MessageBoxCatcher boxes;

    boxes.expect(IDOK);
    EXPECT_EQ(list.getAt(5), 30);
    boxes.expect(IDOK);
    EXPECT_FALSE(list.setAt(-4, 99));
    boxes.expect(IDOK);
    EXPECT_EQ(list.insertAt(4, 99), -1);
    boxes.expect(IDOK);
    list.removeAt(3);
    ASSERT_EQ(boxes.count(), 4u);
    for (size_t i = 0; i < boxes.count(); ++i) {
        EXPECT_EQ(boxes[i].title, "Fehler !");
        EXPECT_EQ(boxes[i].icon, (unsigned)MB_ICONERROR);
    }
    EXPECT_EQ(boxes[0].text, rangeText("getAt", 5, 2));
    EXPECT_EQ(boxes[1].text, rangeText("getAt", -4, 2));
    EXPECT_EQ(boxes[2].text, rangeText("insertAt", 4, 2));
    EXPECT_EQ(boxes[3].text, rangeText("removeAt", 3, 2));
    EXPECT_EQ(values(list), (std::vector<int>{10, 20, 30}));

    // On an empty list the highest index is -1 and getAt yields 0.
    NNumList empty;
    boxes.clear();
    boxes.expect(IDOK);
    EXPECT_EQ(empty.getAt(0), 0);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].text, rangeText("getAt", 0, -1));
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
