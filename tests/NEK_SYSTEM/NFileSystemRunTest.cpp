#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "MessageBoxCatcher.h"
#include "NFileSystem.h"
#include "NSystem.h"
#include "TestFiles.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string sleeper() { return quoted(programFolder() + "nek_sleeper.exe"); }

// Waits until the child wrote its marker and returns its process id.
DWORD childId(const std::string& marker)
{
    for (int i = 0; i < 200; ++i) {
        if (fileExists(marker)) {
            DWORD id = strtoul(readBytes(marker).c_str(), nullptr, 10);
            if (id)
                return id;
        }
        Sleep(25);
    }
    return 0;
}

// True when the child was still running; it is stopped either way.
bool stopChild(DWORD id)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                 FALSE, id);
    if (!process)
        return false;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
    return running;
}

int timerTicks = 0;
void CALLBACK countTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

std::string withoutTrailingBreaks(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

}  // namespace

TEST(NFileSystemRun, ChildThatOutlivesItsTimeOutKeepsRunning)
{
    TestFolder folder;
    const std::string marker = folder.file("lang.txt");
    const std::string arguments = "20000 " + quoted(marker);
    const std::string commandLine = sleeper() + " " + arguments;

    // The caller's messages keep flowing while run waits.
    timerTicks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, countTick);
    NString error = "alt";
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(NFileSystem::run(sleeper().c_str(), arguments.c_str(), folder.path().c_str(),
                                  SW_HIDE, &error, 1));
    const ULONGLONG elapsed = GetTickCount64() - start;
    KillTimer(nullptr, timer);

    EXPECT_EQ(str(error), "TimeOut-Fehler bei der Ausf\xFChrung von \r\n" + commandLine);
    EXPECT_GE(elapsed, 950u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_GT(timerTicks, 5);

    const DWORD id = childId(marker);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(stopChild(id)) << "the child must not be ended by the time-out";
}

TEST(NFileSystemRun, TimeOutWithoutErrorTextShowsBox)
{
    TestFolder folder;
    const std::string marker = folder.file("box.txt");
    const std::string arguments = "20000 " + quoted(marker);
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::run(sleeper().c_str(), arguments.c_str(), "", SW_HIDE, nullptr, 0));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Fehler !");
    EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(withoutTrailingBreaks(boxes[0].text),
              "Fehler bei NFileSystem:run(..)\r\n" + str(NSystem::getErrorText(ERROR_TIMEOUT)) +
                  "\r\n" + sleeper() + " " + arguments);
    const DWORD id = childId(marker);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(stopChild(id));
}

TEST(NFileSystemRun, ChildThatEndsInTimeRunsInTheGivenFolder)
{
    TestFolder folder;
    MessageBoxCatcher boxes;
    NString error = "alt";
    // The marker is named relative: it lands in the working folder.
    EXPECT_TRUE(NFileSystem::run(sleeper().c_str(), "100 ende.txt", folder.path().c_str(), SW_HIDE,
                                 &error, 30));
    EXPECT_EQ(str(error), "");
    const std::string marker = readBytes(folder.file("ende.txt"));
    EXPECT_NE(marker.find(" done"), std::string::npos) << marker;
}

TEST(NFileSystemRun, ProgramThatCannotStart)
{
    TestFolder folder;
    const std::string missing = folder.file("fehlt.exe");
    HANDLE none = CreateFileA(missing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_EQ(none, INVALID_HANDLE_VALUE);
    const std::string systemText = str(NSystem::getErrorText(ERROR_FILE_NOT_FOUND));

    NString error = "alt";
    EXPECT_FALSE(NFileSystem::run(missing.c_str(), "1", "", SW_HIDE, &error, 5));
    EXPECT_EQ(str(error), systemText);

    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::run(missing.c_str(), "1", "", SW_HIDE, nullptr, 5));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Fehler !");
    EXPECT_EQ(withoutTrailingBreaks(boxes[0].text),
              "Fehler bei NFileSystem:run(..)\r\n" + systemText + "\r\n" + missing + " 1");
}

TEST(NFileSystemOpen, OpenStartsProgramsAndReportsMissingFiles)
{
    TestFolder folder;
    const std::string marker = folder.file("offen.txt");
    MessageBoxCatcher boxes;
    EXPECT_TRUE(NFileSystem::open((programFolder() + "nek_sleeper.exe").c_str(),
                                  ("10 " + quoted(marker)).c_str(), folder.path().c_str(), SW_HIDE));
    const DWORD id = childId(marker);
    ASSERT_NE(id, 0u);
    for (int i = 0; i < 200 && readBytes(marker).find(" done") == std::string::npos; ++i)
        Sleep(25);
    EXPECT_NE(readBytes(marker).find(" done"), std::string::npos);

    const std::string missing = folder.file("fehlt.txt");
    NString error;
    EXPECT_FALSE(NFileSystem::open(missing.c_str(), "", "", SW_SHOWNORMAL, &error));
    EXPECT_FALSE(error.isEmpty());
    const std::string firstText = str(error);
    // An error text already there is kept.
    error = "vorher";
    EXPECT_FALSE(NFileSystem::open(missing.c_str(), "", "", SW_SHOWNORMAL, &error));
    EXPECT_EQ(str(error), "vorher");

    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::open(missing.c_str(), "-x", "", SW_SHOWNORMAL));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Fehler !");
    EXPECT_EQ(withoutTrailingBreaks(boxes[0].text),
              "Fehler bei NFileSystem:run(..)\r\n" + firstText + "\r\n" + missing + " -x");
}
