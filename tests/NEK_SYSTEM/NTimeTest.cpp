#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "GuiTestSupport.h"
#include "NTime.h"

namespace {

time_t localSeconds(int year, int month, int day, int hour, int minute, int second)
{
    struct tm t = {second, minute, hour, day, month - 1, year - 1900, 0, 0, -1};
    return mktime(&t);
}

}  // namespace

TEST(NTime, Formats)
{
    NTime t(localSeconds(2014, 6, 6, 9, 5, 3));
    EXPECT_EQ(str(t.getDate()), "06.06.2014");
    EXPECT_EQ(str(t.getTime()), "09:05:03");
    EXPECT_EQ(str(t.format("%Y-%m-%d %H.%M")), "2014-06-06 09.05");
    // Unknown conversions are written as they stand.
    EXPECT_EQ(str(t.format("%Q %d %")), "%Q 06 %");
    EXPECT_EQ(str(t.format(nullptr)), "");

    NTime copy(t);
    copy.set(localSeconds(1999, 12, 31, 23, 59, 58));
    EXPECT_EQ(str(copy.getDate()) + " " + str(copy.getTime()) + " " + str(t.getDate()), "31.12.1999 23:59:58 06.06.2014");
    // A time without a local form gives empty texts.
    NTime early(static_cast<time_t>(-100000));
    EXPECT_EQ(str(early.getDate()) + str(early.getTime()), "");
}
