#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "NPointList.h"

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
