#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "MessageBoxCatcher.h"
#include "NPointerList.h"

namespace {

void* ptr(intptr_t v) { return reinterpret_cast<void*>(v); }

std::vector<intptr_t> values(NPointerList& list)
{
    std::vector<intptr_t> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.push_back(reinterpret_cast<intptr_t>(list.getAt(i)));
    return result;
}

struct Counted {
    static int alive;
    Counted() { ++alive; }
    ~Counted() { --alive; }
};
int Counted::alive = 0;

}  // namespace

TEST(NPointerList, SlotsArePointerSized)
{
    NPointerList list;
    const int slot = static_cast<int>(sizeof(void*));
    EXPECT_EQ(list.getAllocatedBytes(), 10 * slot);
    for (int i = 1; i <= 9; ++i)
        list.add(ptr(i));
    EXPECT_EQ(list.getAllocatedBytes(), 10 * slot);
    const void* const* before = list.getData();
    EXPECT_EQ(before[8], ptr(9));
    list.add(ptr(10));
    EXPECT_EQ(list.getAllocatedBytes(), 111 * slot);
    EXPECT_EQ(list.getData()[9], ptr(10));
}

TEST(NPointerList, SortsAsUnsignedAndNeverOwns)
{
    NPointerList list;
    list.add(ptr(3));
    list.add(ptr(-1));
    list.add(ptr(2));
    list.sort(1);
    EXPECT_EQ(values(list), (std::vector<intptr_t>{2, 3, -1}));
    list.sort(-1);
    EXPECT_EQ(values(list), (std::vector<intptr_t>{-1, 3, 2}));
    EXPECT_EQ(list.compareWith(0, ptr(1)), 1);
    EXPECT_EQ(list.compareAt(2, 1), -1);

    {
        NPointerList owners;
        Counted* a = new Counted;
        owners.add(a);
        EXPECT_EQ(owners.add(a, true), 0);
        owners.add(nullptr);
        owners.removeAt(0);
        owners.insertAt(0, a);
        EXPECT_EQ(owners.removeValue(a), 1);
        owners.add(a);
        EXPECT_EQ(Counted::alive, 1);
        delete a;
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(NPointerList, IndexErrorNamesClassAndClamps)
{
    NPointerList list;
    list.add(ptr(1));
    list.add(ptr(2));
    list.add(ptr(3));
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_EQ(list.getAt(5), ptr(3));
    boxes.expect(IDOK);
    EXPECT_EQ(list.insertAt(-1), -1);
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes[0].title, "Fehler !");
    EXPECT_EQ(boxes[0].icon, (unsigned)MB_ICONERROR);
    EXPECT_EQ(boxes[0].text,
              "Fehler in der Liste: NPointerList.getAt(..)\r\nEs wurde ein Element au\xDF"
              "erhalb des Bereiches angefordert.\r\nAngefordert wurde: 5\r\nm\xF6glich ist: 0...2");
    EXPECT_EQ(boxes[1].text,
              "Fehler in der Liste: NPointerList.insertAt(..)\r\nEs wurde ein Element au\xDF"
              "erhalb des Bereiches angefordert.\r\nAngefordert wurde: -1\r\nm\xF6glich ist: 0...2");
    EXPECT_EQ(list.getCount(), 3);
}
