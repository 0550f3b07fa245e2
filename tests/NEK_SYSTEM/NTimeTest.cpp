#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "NTime.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

time_t localSeconds(int year, int month, int day, int hour, int minute, int second)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return mktime(&t);
}

}  // namespace

TEST(NTime, GermanDateAndTime)
{
    const time_t seconds = localSeconds(2014, 6, 6, 9, 5, 3);
    NTime t(seconds);
    EXPECT_EQ(t.getSeconds(), seconds);
    EXPECT_EQ(str(t.getDate()), "06.06.2014");
    EXPECT_EQ(str(t.getTime()), "09:05:03");
    EXPECT_EQ(str(t.format("%Y-%m-%d %H.%M")), "2014-06-06 09.05");

    NTime copy(t);
    EXPECT_EQ(str(copy.getDate()), "06.06.2014");
    copy.set(localSeconds(1999, 12, 31, 23, 59, 58));
    EXPECT_EQ(str(copy.getDate()) + " " + str(copy.getTime()), "31.12.1999 23:59:58");
    EXPECT_EQ(str(t.getDate()), "06.06.2014");

    // Unknown conversions are written as they stand.
    EXPECT_EQ(str(t.format("%Q %d %")), "%Q 06 %");
    EXPECT_EQ(str(t.format("")), "");
    EXPECT_EQ(str(t.format(nullptr)), "");
}

TEST(NTime, NowAndTicks)
{
    const time_t before = time(nullptr);
    NTime now;
    const time_t after = time(nullptr);
    EXPECT_GE(now.getSeconds(), before);
    EXPECT_LE(now.getSeconds(), after);
    EXPECT_EQ(now.getDate().getLength(), 10);

    const unsigned int start = NTime::getTickCount();
    Sleep(30);
    const unsigned int elapsed = NTime::getTickCount() - start;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(NTime, TimeWithoutLocalFormIsEmpty)
{
    NTime t(static_cast<time_t>(-100000));
    EXPECT_EQ(str(t.getDate()), "");
    EXPECT_EQ(str(t.getTime()), "");
}
