#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "NError.h"
#include "NSystem.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

}  // namespace

TEST(NSystem, ErrorTexts)
{
    NString known = NError::getSystemMessage(ERROR_FILE_NOT_FOUND);
    known.trim();
    ASSERT_FALSE(known.isEmpty());
    EXPECT_EQ(str(NSystem::getErrorText(ERROR_FILE_NOT_FOUND)), str(known));

    // A code the system has no text for.
    const unsigned int unknown = 987654;
    ASSERT_TRUE(NError::getSystemMessage(unknown).isEmpty());
    EXPECT_EQ(str(NSystem::getErrorText(unknown)), "Unbekannter Fehler 987654.");

    // A text that expects inserts is still found, with its placeholders.
    NString withInserts = NSystem::getErrorText(ERROR_WRONG_DISK);
    EXPECT_FALSE(withInserts.startsWith("Unbekannter Fehler"));
}

TEST(NSystem, EnvironmentVariables)
{
    ASSERT_TRUE(SetEnvironmentVariableA("NEK_TEST_WERT", "Gr\xFC\xDF" "e aus Ondra"));
    EXPECT_EQ(str(NSystem::getEnvironmentVariable("NEK_TEST_WERT")), "Gr\xFC\xDF" "e aus Ondra");

    // Longer than the 2000-character buffer: read whole, not cut.
    const std::string longValue(5000, 'x');
    ASSERT_TRUE(SetEnvironmentVariableA("NEK_TEST_WERT", longValue.c_str()));
    EXPECT_EQ(str(NSystem::getEnvironmentVariable("NEK_TEST_WERT")), longValue);

    SetEnvironmentVariableA("NEK_TEST_WERT", nullptr);
    EXPECT_EQ(str(NSystem::getEnvironmentVariable("NEK_TEST_WERT")), "");
    EXPECT_EQ(str(NSystem::getEnvironmentVariable("")), "");
}

TEST(NSystem, SpecialFolders)
{
    const NString appData = NSystem::getSpecialFolder(CSIDL_APPDATA);
    ASSERT_FALSE(appData.isEmpty());
    DWORD attributes = GetFileAttributesA(appData);
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << str(appData);
    EXPECT_EQ(str(NSystem::getSpecialFolder(0x7F)), "");
}
