#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "NPointerList.h"

namespace {

void* ptr(intptr_t v) { return reinterpret_cast<void*>(v); }

struct Counted {
    static int alive;
    Counted() { ++alive; }
    ~Counted() { --alive; }
};
int Counted::alive = 0;

}  // namespace

TEST(NPointerList, SortsAddressesUnsignedAndOwnsNothing)
{
    NPointerList list;
    for (intptr_t v : {3, -1, 2})
        list.add(ptr(v));
    list.sort(1);
    EXPECT_EQ(list.getData()[0], ptr(2));
    EXPECT_EQ(list.getData()[2], ptr(-1));  // -1 is the largest address
    list.sort(-1);
    EXPECT_EQ(list.getAt(0), ptr(-1));
    EXPECT_EQ(list.getAt(2), ptr(2));
    EXPECT_EQ(list.compareWith(0, ptr(1)), 1);
    EXPECT_EQ(list.compareAt(2, 1), -1);

    Counted* a = new Counted;
    {
        NPointerList owners;
        owners.add(a);
        owners.add(a);
        owners.removeAt(0);
    }
    EXPECT_EQ(Counted::alive, 1);
    delete a;
}
