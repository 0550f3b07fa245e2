#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "NError.h"
#include "NSystem.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

}  // namespace

TEST(NSystem, ErrorTextsEnvironmentAndFolders)
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

    const NString appData = NSystem::getSpecialFolder(CSIDL_APPDATA);
    const DWORD attributes = GetFileAttributesA(appData);
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << str(appData);
    EXPECT_EQ(str(NSystem::getSpecialFolder(0x7F)), "");
}
