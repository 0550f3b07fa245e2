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

TEST(NPointerList, PointerSlotsUnsignedSortAndNoOwnership)
{
    NPointerList list;
    const int slot = static_cast<int>(sizeof(void*));
    EXPECT_EQ(list.getAllocatedBytes(), 10 * slot);
    list.add(ptr(3));
    list.add(ptr(-1));
    list.add(ptr(2));
    list.sort(1);
    EXPECT_EQ(values(list), (std::vector<intptr_t>{2, 3, -1}));  // -1 is the largest address
    list.sort(-1);
    EXPECT_EQ(values(list), (std::vector<intptr_t>{-1, 3, 2}));
    EXPECT_EQ(list.compareWith(0, ptr(1)), 1);
    for (int i = 4; i <= 10; ++i)
        list.add(ptr(i));
    EXPECT_EQ(list.getAllocatedBytes(), 111 * slot);
    EXPECT_EQ(list.getData()[9], ptr(10));

    Counted* a = new Counted;
    {
        NPointerList owners;
        owners.add(a);
        EXPECT_EQ(owners.add(a, true), 0);
        owners.add(nullptr);
        EXPECT_EQ(owners.removeValue(a), 1);
        owners.add(a);
    }
    EXPECT_EQ(Counted::alive, 1);
    delete a;
}

TEST(NPointerList, IndexErrorNamesTheClass)
{
    NPointerList list;
    list.add(ptr(1));
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_EQ(list.getAt(5), ptr(1));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Fehler !");
    EXPECT_EQ(boxes[0].text,
              "Fehler in der Liste: NPointerList.getAt(..)\r\nEs wurde ein Element au\xDF"
              "erhalb des Bereiches angefordert.\r\nAngefordert wurde: 5\r\nm\xF6glich ist: 0...0");
}
