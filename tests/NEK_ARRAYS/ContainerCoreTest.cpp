// The shared cores compare through the container's own compareWith, so a derived class that
// overrides it decides equality and order everywhere: search, sorted insertion, sort, find, unique add.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <vector>
#include "MessageBoxCatcher.h"
#include "NMapNumToNum.h"
#include "NMapStringToNum.h"
#include "NNumList.h"
#include "NPointerList.h"

namespace {

int sign(int n) { return (n > 0) - (n < 0); }

struct FoldedMap : NMapStringToNum {  // keys that differ only in case are one key
    int compareWith(int index, const NString& key) const override
    {
        return isIndex(index) ? sign(entries[index].key->compare(key, true)) : 0;
    }
};

struct ReversedMap : NMapNumToNum {  // keys in descending order
    int compareWith(int index, int key) const override { return -NMapNumToNum::compareWith(index, key); }
};

struct MagnitudeList : NNumList {  // numbers equal and ordered by their magnitude
    int compareWith(int i, int value) override { return sign(abs(getAt(i)) - abs(value)); }
};

std::vector<std::string> keys(NMapStringToNum& map)
{
    std::vector<std::string> result;
    for (int i = 0; i < map.getCount(); ++i)
        result.push_back(map.getKeyAt(i).getBuffer());
    return result;
}

}  // namespace

TEST(ContainerCore, DerivedMapsAndListsDecideEqualityAndOrder)
{
    FoldedMap folded;
    EXPECT_TRUE(folded.setAt("b", 1));
    EXPECT_FALSE(folded.setAt("B", 2));  // the same key
    folded.setAt("A", 3);
    folded.setAt("C", 4);
    folded.setSorted(true);  // byte order would be A, C, b
    EXPECT_EQ((std::vector<std::string>{"A", "b", "C"}), keys(folded));
    folded.setAt("aa", 5);  // sorted insertion
    EXPECT_EQ((std::vector<std::string>{"A", "aa", "b", "C"}), keys(folded));
    EXPECT_EQ(4, folded.lookup("c"));  // found in halves
    EXPECT_EQ(2, folded.lookup("B"));
    folded.removeKey("AA");
    folded.sort(-1);
    EXPECT_EQ((std::vector<std::string>{"C", "b", "A"}), keys(folded));

    ReversedMap reversed;
    reversed.setSorted(true);
    for (int key : {5, 9, 1, 7})
        reversed.setAt(key, key * 10);
    EXPECT_EQ(std::to_string(reversed.getKeyAt(0)) + std::to_string(reversed.getKeyAt(1)) +
              std::to_string(reversed.getKeyAt(2)) + std::to_string(reversed.getKeyAt(3)), "9751");
    EXPECT_EQ(70, reversed.lookup(7));
    EXPECT_FALSE(reversed.contains(3));

    MagnitudeList list;
    for (int n : {-4, 7, 2, -1})
        list.add(n);
    EXPECT_EQ(2, list.add(-2, true));
    EXPECT_EQ(1, list.find(-7));
    list.add(-2);
    EXPECT_EQ(2, list.removeValue(2));
    list.sort(1);
    EXPECT_EQ((std::vector<int>{list.getAt(0), list.getAt(1), list.getAt(2)}), (std::vector<int>{-1, -4, 7}));
}

TEST(ContainerCore, CompareAtReportsBadIndicesInTheirOrder)
{
    NNumList numbers;
    NPointerList pointers;
    MessageBoxCatcher boxes(4);
    numbers.compareAt(5, 8);
    pointers.compareAt(6, 9);
    ASSERT_EQ(4u, boxes.count());
    const int requested[] = {5, 8, 6, 9};  // both outside: i's box before j's
    for (size_t i = 0; i < boxes.count(); ++i)
        EXPECT_NE(boxes[i].text.find("Angefordert wurde: " + std::to_string(requested[i]) + "\r\n"), std::string::npos)
            << i << boxes[i].text;
}
