#include <windows.h>
#include <shlobj.h>


#include <ctime>

#include "GuiTestSupport.h"
#include "NSystem.h"
#include "NTime.h"

namespace {

time_t localSeconds(int year, int month, int day, int hour, int minute, int second)
{
    struct tm t = {second, minute, hour, day, month - 1, year - 1900, 0, 0, -1};
    return mktime(&t);
}

}  // namespace

TEST(NSystem, ErrorTextsEnvironmentAndFoldersAndTheFormatsOfNTime)
{
    NString known = NError::getSystemMessage(ERROR_FILE_NOT_FOUND);
    known.trim();
    EXPECT_EQ(str(NSystem::getErrorText(ERROR_FILE_NOT_FOUND)), str(known));
    ASSERT_TRUE(NError::getSystemMessage(987654).isEmpty());
    EXPECT_EQ(str(NSystem::getErrorText(987654)), "Unbekannter Fehler 987654.");
    // A text that expects inserts is still found.
    EXPECT_FALSE(NSystem::getErrorText(ERROR_WRONG_DISK).startsWith("Unbekannter Fehler"));

    // Longer than the 2000-character buffer: read whole, not cut.
    const std::string longValue = "Gr\xFC\xDF" "e" + std::string(5000, 'x');
    ASSERT_TRUE(SetEnvironmentVariableA("NEK_TEST_WERT", longValue.c_str()));
    EXPECT_EQ(str(NSystem::getEnvironmentVariable("NEK_TEST_WERT")), longValue);
    SetEnvironmentVariableA("NEK_TEST_WERT", nullptr);
    EXPECT_EQ(str(NSystem::getEnvironmentVariable("NEK_TEST_WERT")), "");

    const DWORD attributes = GetFileAttributesA(NSystem::getSpecialFolder(CSIDL_APPDATA));
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(str(NSystem::getSpecialFolder(0x7F)), "");

    NTime t(localSeconds(2014, 6, 6, 9, 5, 3));
    EXPECT_EQ(str(t.getDate()) + " " + str(t.getTime()), "06.06.2014 09:05:03");
    // Unknown conversions are written as they stand.
    EXPECT_EQ(str(t.format("%Y-%m-%d %H.%M %Q %")) + str(t.format(nullptr)), "2014-06-06 09.05 %Q %");

    NTime copy(t);  // set on the copy leaves the original
    copy.set(localSeconds(1999, 12, 31, 23, 59, 58));
    EXPECT_EQ(str(copy.getDate()) + " " + str(copy.getTime()) + " " + str(t.getDate()), "31.12.1999 23:59:58 06.06.2014");
    // A time without a local form gives empty texts.
    NTime early(static_cast<time_t>(-100000));
    EXPECT_EQ(str(early.getDate()) + str(early.getTime()), "");
}
