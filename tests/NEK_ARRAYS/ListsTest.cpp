// What the four list classes share: the slot array and the quicksort, tested
// once where they live, and the common operations, tested on every class.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "MessageBoxCatcher.h"
#include "NListSlots.h"
#include "NNumList.h"
#include "NPointList.h"
#include "NPointerList.h"
#include "NQuickSort.h"
#include "NStringList.h"

TEST(NListSlots, GrowsToHundredSpareSlotsAndShrinksOnlyPast150)
{
    int* data = nullptr;
    int bytes = 0;
    NListSlots::start(data, bytes);
    EXPECT_EQ(40, bytes);
    // Elements to make room for -> slots afterwards, one step after the other.
    const int steps[][2] = {{9, 10},  {10, 111}, {110, 111}, {111, 212}, {62, 212},
                            {61, 162}, {12, 162}, {11, 112},  {0, 112}};
    for (const auto& step : steps) {
        ASSERT_TRUE(NListSlots::fit(data, bytes, step[0]));
        EXPECT_EQ(step[1] * 4, bytes) << step[0];
    }
    data[111] = 7;
    ASSERT_TRUE(NListSlots::fit(data, bytes, 200));  // grown slots are zero
    for (int i = 112; i < 301; ++i)
        ASSERT_EQ(0, data[i]) << i;
    EXPECT_FALSE(NListSlots::fit(data, bytes, -1));
    EXPECT_FALSE(NListSlots::fit(data, bytes, INT_MAX / 4));
    EXPECT_EQ(301 * 4, bytes);
    std::free(data);
}

TEST(NQuickSort, SortsEveryShapeBothWays)
{
    for (int n : {2, 3, 7, 64, 1000}) {
        for (int shape = 0; shape < 4; ++shape) {
            std::vector<int> values;
            for (int i = 0; i < n; ++i)
                values.push_back(shape == 0 ? i : shape == 1 ? n - i : shape == 2 ? 5 : (i * 7919) % 37);
            for (int direction : {1, -1}) {
                std::vector<int> sorted = values;
                NQuickSort::sort(0, n - 1, direction, [&](int i) { return sorted[i]; },
                                 [&](int i, int pivot) { return sorted[i] < pivot ? -1 : sorted[i] > pivot; },
                                 [&](int i, int j) { std::swap(sorted[i], sorted[j]); });
                std::vector<int> expected = values;
                std::sort(expected.begin(), expected.end());
                if (direction < 0)
                    std::reverse(expected.begin(), expected.end());
                ASSERT_EQ(expected, sorted) << n << " " << shape << " " << direction;
            }
        }
    }
}

namespace {

// Element i of each list type, and the number an element stands for.
void* element(NPointerList*, int i) { return reinterpret_cast<void*>(static_cast<intptr_t>(i)); }
int element(NNumList*, int i) { return i; }
NString element(NStringList*, int i) { return NString::fromNumber(i); }
NPoint element(NPointList*, int i) { return NPoint(i, -i); }
int number(void* p) { return static_cast<int>(reinterpret_cast<intptr_t>(p)); }
int number(int n) { return n; }
int number(const NString& s) { return s.isEmpty() ? -1 : s.toInt(); }
int number(const NPoint& p) { return p.x == -p.y ? p.x : -1000; }

template <class List>
class Lists : public ::testing::Test {
protected:
    static auto at(int i) -> decltype(element(static_cast<List*>(nullptr), i))
    {
        return element(static_cast<List*>(nullptr), i);
    }
    static std::vector<int> numbers(List& list)
    {
        std::vector<int> result;
        for (int i = 0; i < list.getCount(); ++i)
            result.push_back(number(list.getAt(i)));
        return result;
    }
};
typedef ::testing::Types<NNumList, NPointerList, NStringList, NPointList> ListTypes;
TYPED_TEST_SUITE(Lists, ListTypes);

}  // namespace

TYPED_TEST(Lists, InsertFindRemoveSwapAndCopy)
{
    TypeParam list;
    EXPECT_EQ(0, list.add(this->at(5)));
    EXPECT_EQ(1, list.add(this->at(7)));
    EXPECT_EQ(0, list.insertAt(0, this->at(3)));
    EXPECT_EQ(3, list.insertAt(3, this->at(9)));  // count appends
    EXPECT_EQ(2, list.insertAt(2));                // an empty element
    EXPECT_EQ(1, list.add(this->at(5), true));
    EXPECT_TRUE(list.setAt(2, this->at(7)));
    EXPECT_EQ((std::vector<int>{3, 5, 7, 7, 9}), this->numbers(list));
    EXPECT_EQ(2, list.find(this->at(7)));
    EXPECT_EQ(3, list.find(this->at(7), 3));
    EXPECT_EQ(-1, list.find(this->at(7), 4));
    list.add(this->at(7));
    EXPECT_EQ(3, list.removeValue(this->at(7)));
    list.removeAt(0);
    EXPECT_EQ((std::vector<int>{5, 9}), this->numbers(list));
    list.swap(0, 1);
    list.swap(0, 2);  // outside: nothing happens, no box
    EXPECT_EQ((std::vector<int>{9, 5}), this->numbers(list));

    TypeParam copy(list);
    copy.setAt(0, this->at(1));
    list = list;
    EXPECT_EQ((std::vector<int>{9, 5}), this->numbers(list));
    EXPECT_EQ((std::vector<int>{1, 5}), this->numbers(copy));
    copy = list;
    EXPECT_EQ((std::vector<int>{9, 5}), this->numbers(copy));
    for (int i = 0; i < 300; ++i)
        list.insertAt(1, this->at(i));
    EXPECT_EQ(299, number(list.getAt(1)));
    EXPECT_EQ(5, number(list.getAt(301)));
    list.removeAll();
    EXPECT_EQ(0, list.getCount());
}

TYPED_TEST(Lists, IndexErrorsShowABoxAndGoOnSafely)
{
    TypeParam list;
    for (int i : {10, 20, 30})
        list.add(this->at(i));
    const std::string name = list.getClassName();
    MessageBoxCatcher boxes;
    for (int i = 0; i < 6; ++i)
        boxes.expect(IDOK);
    EXPECT_EQ(30, number(list.getAt(5)));
    EXPECT_EQ(10, number(list.getAt(-4)));
    EXPECT_FALSE(list.setAt(3, this->at(99)));
    EXPECT_EQ(-1, list.insertAt(4, this->at(99)));
    list.removeAt(3);
    EXPECT_EQ((std::vector<int>{10, 20, 30}), this->numbers(list));
    TypeParam empty;
    EXPECT_EQ((std::is_same<TypeParam, NStringList>::value ? -1 : 0), number(empty.getAt(0)));
    ASSERT_EQ(6u, boxes.count());
    EXPECT_EQ("Fehler !", boxes[0].title);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONERROR), boxes[0].icon);
    const char* const operations[] = {"getAt", "getAt", "getAt", "insertAt", "removeAt", "getAt"};
    const int requested[] = {5, -4, 3, 4, 3, 0};
    for (size_t i = 0; i < boxes.count(); ++i)
        EXPECT_EQ("Fehler in der Liste: " + name + "." + operations[i] + "(..)\r\nEs wurde ein "
                  "Element au\xDF" "erhalb des Bereiches angefordert.\r\nAngefordert wurde: " +
                      std::to_string(requested[i]) + "\r\nm\xF6glich ist: 0..." + (i < 5 ? "2" : "-1"),
                  boxes[i].text) << i;
}
