#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "MessageBoxCatcher.h"
#include "NPointList.h"

namespace {

std::vector<std::pair<int, int>> points(NPointList& list)
{
    std::vector<std::pair<int, int>> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.emplace_back(list.getAt(i).x, list.getAt(i).y);
    return result;
}

typedef std::vector<std::pair<int, int>> Points;

// Records what each insertion left in the list when the hook ran.
class RecordingList : public NPointList {
public:
    void onInsert(int index) override { seen.emplace_back(index, getAt(index).x); }
    std::vector<std::pair<int, int>> seen;
};

}  // namespace

TEST(NPointList, StartsEmptyAndOwnsCopies)
{
    NPointList list;
    const int slot = static_cast<int>(sizeof(void*));
    EXPECT_EQ(list.getAllocatedBytes(), 0);
    NPoint p(3, 4);
    EXPECT_EQ(list.add(p), 0);
    EXPECT_EQ(list.getAllocatedBytes(), 102 * slot);
    p.x = 99;  // the list holds its own copy
    EXPECT_EQ(list.add(NPoint(3, 4), true), 0);
    EXPECT_EQ(list.insertAt(0), 0);  // a new point (0, 0)
    list.add(NPoint(3, 4));
    EXPECT_EQ(points(list), (Points{{0, 0}, {3, 4}, {3, 4}}));
    EXPECT_EQ(list.find(NPoint(3, 4), 2), 2);
    EXPECT_EQ(list.find(NPoint(4, 3)), -1);
    list.getAt(0).y = 7;
    EXPECT_EQ(list.removeValue(NPoint(3, 4)), 2);
    EXPECT_EQ(points(list), (Points{{0, 7}}));

    NPointList copy(list);
    copy.getAt(0).x = -1;
    EXPECT_EQ(list.getAt(0), NPoint(0, 7));
    for (int i = 1; i < 102; ++i)
        list.add(NPoint(i, i));
    EXPECT_EQ(list.getAllocatedBytes(), 203 * slot);
}

TEST(NPointList, HookAndIndexErrors)
{
    RecordingList list;
    list.add(NPoint(10, 0));
    list.insertAt(0, NPoint(20, 0));
    list.insertAt(1);
    EXPECT_EQ(list.seen, (std::vector<std::pair<int, int>>{{0, 10}, {0, 20}, {1, 0}}));

    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_EQ(list.insertAt(9, NPoint(30, 0)), -1);  // refused: no hook
    boxes.expect(IDOK);
    EXPECT_EQ(list.getAt(5), NPoint(10, 0));
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(list.seen.size(), 3u);
    EXPECT_EQ(boxes[1].title, "Fehler !");
    EXPECT_EQ(boxes[1].icon, (unsigned)MB_ICONERROR);
    EXPECT_EQ(boxes[1].text,
              "Fehler in der Liste: NPointList.getAt(..)\r\nEs wurde ein Element au\xDF"
              "erhalb des Bereiches angefordert.\r\nAngefordert wurde: 5\r\nm\xF6glich ist: 0...2");

    // An empty list yields a default point, also after it was changed.
    NPointList empty;
    boxes.clear();
    boxes.expect(IDOK);
    empty.getAt(0).x = 5;
    boxes.expect(IDOK);
    EXPECT_EQ(empty.getAt(0), NPoint(0, 0));
    EXPECT_EQ(boxes.count(), 2u);
}
