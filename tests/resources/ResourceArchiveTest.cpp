#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "GuiTestSupport.h"

namespace {

const std::string readFailure = "Fehler beim Lesen der Resourcen.\r\n";

std::string tempPath()
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    return temp;
}

// Other test programs use the shared temporary folder at the same time: a
// test that checks what appears there gets a folder of its own (TMP and TEMP
// point into a fresh test folder while the object lives).
struct PrivateTempFolder {
    PrivateTempFolder()
    {
        CreateDirectoryA(path.c_str(), nullptr);
        for (int i = 0; i < 2; ++i) {
            GetEnvironmentVariableA(names[i], old[i], sizeof old[i]);
            SetEnvironmentVariableA(names[i], path.c_str());
        }
        EXPECT_EQ(tempPath(), path + "\\");
    }
    ~PrivateTempFolder()
    {
        for (int i = 0; i < 2; ++i)
            SetEnvironmentVariableA(names[i], *old[i] ? old[i] : nullptr);
    }
    // Nothing may be left beside the private folder, nor in it.
    void expectEmpty() const
    {
        EXPECT_TRUE(listFolder(path).empty());
        EXPECT_EQ(listFolder(root.path()), std::vector<std::string>{"temp"});
    }

    TestFolder root;
    const std::string path = root.file("temp");
    const char* const names[2] = {"TMP", "TEMP"};
    char old[2][1024] = {};
};

class ResourceArchive : public ::testing::Test {
protected:
    void SetUp() override { std::swap(switchByte(), savedSwitch); }
    void TearDown() override { std::swap(switchByte(), savedSwitch); }
    static char& switchByte() { return NResources::archiveMarker[NResources::archiveSwitchIndex]; }

    // Writes the program file and points a reader at it.
    void program(const std::string& bytes, NResources& resources)
    {
        writeBytes(folder.file("prog.exe"), bytes);
        resources.setProgramPath(folder.file("prog.exe").c_str());
    }

    // The reader fails with one error box showing this reason.
    void expectFailure(const std::string& bytes, const std::string& reason)
    {
        NResources resources;
        program(bytes, resources);
        MessageBoxCatcher boxes(1);
        EXPECT_FALSE(resources.readArchive());
        EXPECT_FALSE(resources.isArchive());
        ASSERT_EQ(boxes.count(), 1u);
        expectErrorBox(boxes[0], readFailure + reason + "\r\n\r\n");
        if (!resources.getExtractFolder().isEmpty())
            removeTree(str(resources.getExtractFolder()));
    }

    TestFolder folder;
    char savedSwitch = '1';
};

TEST_F(ResourceArchive, TrailerAndStartOffsetFailures)
{
    const std::string prog = fakeProgram(), endReason = "Ressourcen-Endekennung nicht vorhanden.";
    expectFailure(prog, endReason);
    expectFailure("", endReason);
    // Start offsets below 100 or beyond the file.
    const std::string archive = header() + block("a.ini", "x") + "nekend";
    for (unsigned start : {99u, 5000u, 0x80000000u})
        expectFailure(prog + archive + le32(start), "");
    // After the fallback search the end-marker reason stays.
    expectFailure(prog + archive + le32(99) + "junk", endReason);
    // The marker found by the search lacks its offset bytes.
    expectFailure(prog + "nekend12", "Konnte Startoffset nicht lesen.");
    // No archive magic at the offset; a header shorter than its three words.
    expectFailure(prog + trailer(500), "");
    expectFailure(prog + "nekres" + le32(11) + le32(1) + le32(0) + trailer(1000), "");

    // Bytes behind the trailer are counted in a warning; the files are read.
    NResources behind;
    program(withArchive(prog, block("nek.bmp", "bild")) + std::string(37, 'x'), behind);
    {
        MessageBoxCatcher boxes(1);
        EXPECT_TRUE(behind.readArchive());
        ASSERT_EQ(boxes.count(), 1u);
        expectErrorBox(boxes[0], readFailure + "Die Datei ist um 37 Byte zu gro\xDF, Ursache kann ein Virenbefall sein.");
    }
    NMapStringToString files = behind.getArchiveFiles();
    EXPECT_EQ(readBytes(str(files.lookup("nek.bmp"))), "bild");

    NResources missing;
    missing.setProgramPath(folder.file("missing.exe").c_str());
    MessageBoxCatcher boxes(2);
    EXPECT_FALSE(missing.readArchive());
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes[1].text.rfind(readFailure + "\r\nFehler beim \xF6" "ffnen der Datei '", 0), 0u) << boxes[1].text;
    EXPECT_TRUE(missing.getExtractFolder().isEmpty());
}

TEST_F(ResourceArchive, BlockFailuresKeepWhatWasExtracted)
{
    NResources resources;
    program(withArchive(fakeProgram(), block("first.ini", "eins") + "\x07" + block("b", "c")), resources);
    {
        MessageBoxCatcher boxes(1);
        EXPECT_FALSE(resources.readArchive());
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes[0].text, readFailure + "unbekannte Blockkennung: 7\r\n\r\n");
    }
    // The file extracted before the failure stays, and so it does after cleanUp.
    const std::string extractFolder = str(resources.getExtractFolder());
    NMapStringToString files = resources.getArchiveFiles();
    ASSERT_EQ(files.getCount(), 1);
    EXPECT_EQ(readBytes(str(files.lookup("first.ini"))), "eins");
    resources.cleanUp();
    EXPECT_TRUE(fileExists(extractFolder + "\\first.ini"));
    removeTree(extractFolder);

    // An empty archive gives an empty folder, which cleanUp removes.
    NResources empty;
    program(withArchive(fakeProgram(), ""), empty);
    EXPECT_TRUE(empty.readArchive());
    const std::string emptyFolder = str(empty.getExtractFolder());
    EXPECT_TRUE(fileExists(emptyFolder) && listFolder(emptyFolder).empty());
    empty.cleanUp();
    EXPECT_FALSE(fileExists(emptyFolder));

    // A name or data longer than what is there; data lengths are refused before any allocation.
    const std::string prog = fakeProgram(), zero(1, '\0');
    expectFailure(withArchive(prog, zero + le32(200) + "ab"), "Fehler beim Lesen des Namens");
    expectFailure(withArchive(prog, zero + le32(7) + "big.bin" + le32(0xFFFFFFF0u)), "Fehler beim Lesen der Daten: big.bin 4294967280");
    expectFailure(withArchive(prog, zero + le32(0xFFFFFFFFu)), "Ung\xFCltige Namens-L\xE4nge: -1");
    expectFailure(withArchive(prog, zero + le32(0)), "Ung\xFCltige Namens-L\xE4nge: 0");
}

TEST_F(ResourceArchive, SecondInstanceInTheSameSecondTakesTheNextCounter)
{
    const std::string bytes = withArchive(fakeProgram(), block("a.ini", "1"));
    // Retried when the clock ticks between the two reads.
    for (int attempt = 0; attempt < 5; ++attempt) {
        NResources first, second;
        program(bytes, first);
        program(bytes, second);
        ASSERT_TRUE(first.readArchive() && second.readArchive());
        const std::string a = str(first.getExtractFolder()), b = str(second.getExtractFolder());
        unsigned counterA = 0, counterB = 0, secondsA = 0, secondsB = 0;
        const std::string pattern = tempPath() + "_tmpNekRes%u_%u";
        ASSERT_EQ(sscanf(a.c_str(), pattern.c_str(), &counterA, &secondsA), 2) << a;
        ASSERT_EQ(sscanf(b.c_str(), pattern.c_str(), &counterB, &secondsB), 2) << b;
        if (secondsA != secondsB)
            continue;
        EXPECT_EQ(counterB, counterA + 1);
        EXPECT_EQ(readBytes(b + "\\a.ini"), "1");
        return;
    }
    FAIL() << "the two reads never fell into the same second";
}

TEST(ResourceArchiveNames, DeviceNamesAreNoFileNamesInAnyCaseOrWithAnyExtension)
{
    for (const std::string device : {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$", "COM0", "COM9", "LPT1",
                                      "COM\xB9", "LPT\xB2", "lpt\xB3", "com5", "Nul", "cLoCk$"})
        for (const std::string& name : {device, device + ".txt", device + ".tar.gz", device + " .ini", device + "  .x"})
            EXPECT_FALSE(NResources::isPlainFileName(name.c_str())) << name;
    for (const char* name : {"CONx", "COM10", "LPT", "COM", "NULL.txt", "xcon", "auxi.ini", "c.on", "nul_.txt", "a.con",
                             "com1x.txt"})
        EXPECT_TRUE(NResources::isPlainFileName(name)) << name;
}

TEST_F(ResourceArchive, NamesThatLeaveTheFolderAreRefused)
{
    PrivateTempFolder privateTemp;
    for (const std::string name : {"..\\evil.txt", "../evil.txt", "..", "c:evil.txt", "Com1.log", "evil ", "a..b"})
        expectFailure(withArchive(fakeProgram(), block("good.ini", "g") + block(name, "evil")),
                      "Ung\xFCltiger Dateiname im Archiv: " + name);
    // A zero byte inside the name.
    expectFailure(withArchive(fakeProgram(), block(std::string("evil\0.txt", 9), "evil")),
                  "Ung\xFCltiger Dateiname im Archiv: evil");
    EXPECT_FALSE(fileExists("C:\\evil.txt"));
    privateTemp.expectEmpty();
    EXPECT_EQ(listFolder(folder.path()), std::vector<std::string>{"prog.exe"});

    // The same name again and again: one file, the last block's data.
    std::string blocks;
    for (int i = 0; i < 30; ++i)
        blocks += block("same.ini", std::to_string(i));
    NResources again;
    program(withArchive(fakeProgram(), blocks), again);
    ASSERT_TRUE(again.readArchive());
    NMapStringToString files = again.getArchiveFiles();
    ASSERT_EQ(files.getCount(), 1);
    EXPECT_EQ(readBytes(str(files.lookup("same.ini"))), "29");
}

}  // namespace
