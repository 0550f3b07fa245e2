// What the four list classes share: the slot array and the quicksort, tested
// once where they live, and the common operations, tested on every class;
// then what each class adds.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
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
std::vector<int> numbers(List& list)
{
    std::vector<int> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.push_back(number(list.getAt(i)));
    return result;
}

typedef std::vector<std::string> Texts;
Texts texts(NStringList& list)
{
    Texts result;
    for (int i = 0; i < list.getCount(); ++i)
        result.emplace_back(list.getAt(i).getBuffer(), list.getAt(i).getLength());
    return result;
}

template <class List>
class Lists : public ::testing::Test {
protected:
    static auto at(int i) -> decltype(element(static_cast<List*>(nullptr), i))
    {
        return element(static_cast<List*>(nullptr), i);
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
    EXPECT_EQ((std::vector<int>{3, 5, 7, 7, 9}), numbers(list));
    EXPECT_EQ(2, list.find(this->at(7)));
    EXPECT_EQ(3, list.find(this->at(7), 3));
    EXPECT_EQ(-1, list.find(this->at(7), 4));
    list.add(this->at(7));
    EXPECT_EQ(3, list.removeValue(this->at(7)));
    list.removeAt(0);
    EXPECT_EQ((std::vector<int>{5, 9}), numbers(list));
    list.swap(0, 1);
    list.swap(0, 2);  // outside: nothing happens, no box
    EXPECT_EQ((std::vector<int>{9, 5}), numbers(list));

    TypeParam copy(list);
    copy.setAt(0, this->at(1));
    list = list;
    EXPECT_EQ((std::vector<int>{9, 5}), numbers(list));
    EXPECT_EQ((std::vector<int>{1, 5}), numbers(copy));
    copy = list;
    EXPECT_EQ((std::vector<int>{9, 5}), numbers(copy));
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
    EXPECT_EQ((std::vector<int>{10, 20, 30}), numbers(list));
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

TEST(NNumList, SortsSignedAndTextForms)
{
    NNumList list;
    for (int v : {3, -1, INT_MAX, 2, INT_MIN, -1})
        list.add(v);
    list.getAt(1) = 0;  // a reference into the list
    list.sort(1);
    EXPECT_EQ(numbers(list), (std::vector<int>{INT_MIN, -1, 0, 2, 3, INT_MAX}));
    list.sort(-1);
    EXPECT_EQ(numbers(list), (std::vector<int>{INT_MAX, 3, 2, 0, -1, INT_MIN}));
    EXPECT_EQ(list.compareAt(0, 5), 1);
    EXPECT_EQ(list.compareWith(5, INT_MIN), 0);

    EXPECT_EQ(list.fromText("1;-2;;0x10;", ";"), 4);
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
    const struct { int total; const char* spec; std::vector<int> sizes; } cases[] = {
        {400, "100,*,25%", {100, 200, 100}},
        // Percentages round half up; without a star nothing fills the rest.
        {3, "50%,50%", {2, 2}},
        // The last star gets the rest, an earlier one stays 0; no room left: 0.
        {100, "*,10,*", {0, 10, 90}}, {100, "80,*,30", {80, 0, 30}},
        // Blanks around pieces are tolerated; absurd percentages are clamped.
        {1000, " 10 , * , 1e30%", {10, 0, INT_MAX}},
    };
    NNumList list;
    for (const auto& c : cases) {
        list.splitSizes(c.total, c.spec);
        EXPECT_EQ(numbers(list), c.sizes) << c.spec;
    }
}

TEST(NPointerList, SortsAddressesUnsigned)
{
    NPointerList list;
    for (intptr_t v : {3, -1, 2})
        list.add(reinterpret_cast<void*>(v));
    list.sort(1);
    EXPECT_EQ(numbers(list), (std::vector<int>{2, 3, -1}));  // -1 is the largest address
    list.sort(-1);
    EXPECT_EQ(numbers(list), (std::vector<int>{-1, 3, 2}));
    EXPECT_EQ(list.compareWith(0, reinterpret_cast<void*>(1)), 1);
    EXPECT_EQ(list.compareAt(2, 1), -1);
}

namespace {

// Records what each insertion left in the list when the hook ran.
class RecordingList : public NPointList {
public:
    void onInsert(int index) override { seen.emplace_back(index, getAt(index).x); }
    std::vector<std::pair<int, int>> seen;
};

}  // namespace

TEST(NPointList, StartsWithoutArrayOwnsItsPointsAndCallsTheHook)
{
    RecordingList list;
    EXPECT_EQ(list.getAllocatedBytes(), 0);
    NPoint p(10, 0);
    list.add(p);
    p.x = 99;  // the list holds its own copy
    list.insertAt(0, NPoint(20, 0));
    list.insertAt(1);
    EXPECT_EQ(list.seen, (std::vector<std::pair<int, int>>{{0, 10}, {0, 20}, {1, 0}}));
    list.getAt(2).y = 7;
    EXPECT_EQ(list.getAt(2), NPoint(10, 7));
    NPointList copy(list);
    copy.getAt(2).x = -1;
    EXPECT_EQ(list.getAt(2), NPoint(10, 7));
}

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

TEST(NStringList, SplitJoinWordsAndTokens)
{
    // The count each call gives, then the list afterwards.
    const struct { int (*call)(NStringList&); int count; Texts result; } cases[] = {
        {[](NStringList& l) { return l.split("a,,b", ","); }, 3, {"a", "", "b"}},
        {[](NStringList& l) { return l.split("", ","); }, 1, {""}},
        {[](NStringList& l) { return l.split(",x,", ","); }, 3, {"", "x", ""}},
        // Case-sensitive, separators of several bytes; none: the whole text.
        {[](NStringList& l) { return l.split("1AND2and3AND", "AND"); }, 3, {"1", "2and3", ""}},
        {[](NStringList& l) { return l.split("a,b", ""); }, 1, {"a,b"}},
        {[](NStringList& l) { return l.splitWords("copy \"a b\" c"); }, 3, {"copy", "a b", "c"}},
        // Tabs and line breaks are blanks; quoted blanks are trimmed; empty words go.
        {[](NStringList& l) { return l.splitWords("\t one\r\n\"  two  \"  \"\"   x\"y z\"w "); }, 3,
         {"one", "two", "x\"y z\"w"}},
        {[](NStringList& l) { return l.splitWords("   "); }, 0, {}},
        // An unclosed quote keeps the rest together.
        {[](NStringList& l) { return l.splitWords("a \"b c"); }, 2, {"a", "\"b c"}},
    };
    NStringList list;
    for (const auto& c : cases) {
        list.add("stale");
        EXPECT_EQ(c.call(list), c.count) << c.count;
        EXPECT_EQ(texts(list), c.result) << c.count;
    }
    list.split("a,,b", ",");
    EXPECT_EQ(list.join(";"), "a;;b");
    list.split("1AND2and3AND", "AND");
    EXPECT_EQ(list.join("\r\n"), "1\r\n2and3\r\n");

    // Tokens are added behind what is there; unique ones only once.
    list.split("vorher", ",");
    EXPECT_EQ(list.addTokens("x;y;;x", ";", false), 4);
    EXPECT_EQ(list.addTokens("y;z;vorher;z", ";", true), 1);
    EXPECT_EQ(texts(list), (Texts{"vorher", "x", "y", "", "x", "z"}));
    EXPECT_EQ(list.addTokens("", ";", false), 0);
}
