#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "MessageBoxCatcher.h"
#include "NResources.h"
#include "ProcessRunner.h"
#include "TestFiles.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

std::string tempPath()
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    return temp;
}

ProcessResult nekpack(const std::string& arguments)
{
    return runProcess("\"" + programFolder() + "nekpack.exe\" " + arguments);
}

std::string inQuotes(const std::string& path) { return "\"" + path + "\""; }

// The reader in this process reads archives only with the switch on.
class Nekpack : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedSwitch = NResources::archiveMarker[NResources::archiveSwitchIndex];
        NResources::archiveMarker[NResources::archiveSwitchIndex] = '1';
    }
    void TearDown() override { NResources::archiveMarker[NResources::archiveSwitchIndex] = savedSwitch; }

    TestFolder folder;
    char savedSwitch = '0';
};

}  // namespace

TEST_F(Nekpack, PackedProgramIsExtractedAndRemovedAgain)
{
    const std::string programBytes = fakeProgram();
    writeBytes(folder.file("app.exe"), programBytes);
    std::string bitmap;
    for (int i = 0; i < 768; ++i)
        bitmap += static_cast<char>(i & 0xFF);
    writeBytes(folder.file("controlpos.ini"), "[Standard-Styles]\r\n");
    writeBytes(folder.file("Nek.BMP"), bitmap);
    writeBytes(folder.file("empty.txt"), "");

    const std::string out = folder.file("packed.exe");
    const std::string files =
        inQuotes(folder.file("controlpos.ini")) + " " + inQuotes(folder.file("Nek.BMP")) + " " + inQuotes(folder.file("empty.txt"));
    ProcessResult packed = nekpack(inQuotes(folder.file("app.exe")) + " " + inQuotes(out) + " " + files);
    ASSERT_EQ(packed.exitCode, 0) << packed.err;

    // The copy: the program with its switch on, the archive, the trailer last.
    const std::string bytes = readBytes(out);
    std::string expectedProgram = programBytes;
    expectedProgram[210] = '1';
    EXPECT_EQ(bytes, withArchive(expectedProgram, block("controlpos.ini", "[Standard-Styles]\r\n") +
                                                      block("nek.bmp", bitmap) + block("empty.txt", "")));

    // Packed again from its own output, the program comes out byte for byte the same.
    packed = nekpack(inQuotes(out) + " " + inQuotes(folder.file("again.exe")) + " " + files);
    EXPECT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(readBytes(folder.file("again.exe")), bytes);

    std::string extractFolder;
    {
        NResources resources;
        resources.setProgramPath(out.c_str());
        MessageBoxCatcher boxes;
        ASSERT_TRUE(resources.readArchive());
        EXPECT_TRUE(resources.isArchive());
        EXPECT_EQ(boxes.count(), 0u);

        extractFolder = str(resources.getExtractFolder());
        EXPECT_EQ(extractFolder.rfind(tempPath() + "_tmpNekRes", 0), 0u) << extractFolder;
        ASSERT_EQ(resources.getFolders().getCount(), 1);
        EXPECT_EQ(str(const_cast<NStringList&>(resources.getFolders()).getAt(0)), extractFolder);

        NMapStringToString files = resources.getArchiveFiles();
        ASSERT_EQ(files.getCount(), 3);
        EXPECT_EQ(str(files.lookup("controlpos.ini")), extractFolder + "\\controlpos.ini");
        EXPECT_EQ(readBytes(str(files.lookup("controlpos.ini"))), "[Standard-Styles]\r\n");
        EXPECT_EQ(readBytes(str(files.lookup("nek.bmp"))), bitmap);
        EXPECT_EQ(readBytes(str(files.lookup("empty.txt"))), "");

        resources.cleanUp();
        EXPECT_FALSE(fileExists(extractFolder));
        EXPECT_EQ(resources.getArchiveFiles().getCount(), 0);
    }

    // The packer refuses two names equal once lower-cased, and a name the
    // ANSI code page cannot hold; it writes nothing then.
    CreateDirectoryA(folder.file("upper").c_str(), nullptr);
    writeBytes(folder.file("upper\\NEK.bmp"), "2");
    ProcessResult twice = nekpack(inQuotes(folder.file("app.exe")) + " " + inQuotes(folder.file("out.exe")) + " " +
                                  inQuotes(folder.file("Nek.BMP")) + " " + inQuotes(folder.file("upper\\NEK.bmp")));
    EXPECT_EQ(twice.exitCode, 6);
    EXPECT_NE(twice.err.find("doppelt"), std::string::npos) << twice.err;
    const std::wstring greek = L"\\\x03B1.ini";
    const std::string programs = programFolder();
    const std::wstring base(folder.path().begin(), folder.path().end());
    ASSERT_TRUE(CopyFileW((base + L"\\empty.txt").c_str(), (base + greek).c_str(), TRUE));
    twice = runProcess(L"\"" + std::wstring(programs.begin(), programs.end()) + L"nekpack.exe\" \"" + base +
                       L"\\app.exe\" \"" + base + L"\\out.exe\" \"" + base + greek + L"\"");
    EXPECT_EQ(twice.exitCode, 6) << twice.err;
    EXPECT_NE(twice.err.find("\xCE\xB1.ini' kann nicht ins Archiv"), std::string::npos) << twice.err;
    EXPECT_FALSE(fileExists(folder.file("out.exe")));

    // Patterns are expanded by the program, sorted by name.
    packed = nekpack(inQuotes(folder.file("app.exe")) + " " + inQuotes(folder.file("star.exe")) + " " +
                     inQuotes(folder.file("*.txt")) + " " + inQuotes(folder.file("c*.ini")));
    EXPECT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(readBytes(folder.file("star.exe")),
              withArchive(expectedProgram, block("empty.txt", "") + block("controlpos.ini", "[Standard-Styles]\r\n")));
}

// Every program with the archive reader holds the word "nekend" in its code.
TEST_F(Nekpack, ListTellsArchivesFromProgramsAndShowsWhatTheReaderRefuses)
{
    std::string plain = fakeProgram(3000);
    plain.replace(1500, 6, "nekend");
    const std::string archive = withArchive(plain, block("a.ini", "x") + block("b.bmp", "yy"));
    const std::string listed = "Archiv ab Offset 3000, Kopf 12 Byte (A=1, B=0)\r\nArchiv-Schalter: 0\r\n";
    const struct {
        std::string bytes;
        int code;
        std::string out;
        std::string err;
    } cases[] = {
        {plain, 4, "", "ist kein Archiv angeh\xC3\xA4ngt.\r\n"},
        {archive, 0, listed + "a.ini\t1\r\nb.bmp\t2\r\n2 Datei(en), 3 Byte\r\n", ""},
        {archive + "appended", 0, listed + "Hinter dem Archiv liegen 8 Byte.\r\na.ini\t1\r\nb.bmp\t2\r\n2 Datei(en), 3 Byte\r\n", ""},
        {plain + header() + trailer(50), 5, "", "Der Startoffset 50 ist ung\xC3\xBCltig."},
        {withArchive(plain, block("a.ini", "x") + block("..\\evil.in", "e")), 5, listed + "a.ini\t1\r\n1 Datei(en), 1 Byte\r\n",
         "Ung\xC3\xBCltiger Dateiname im Archiv: ..\\\\evil.in"},
        {withArchive(plain, block("C:\\x.ini", "e")), 5, "", "Dateiname im Archiv: C:\\\\x.ini"},
        // Control characters could fake further lines of the listing.
        {withArchive(plain, block("x\r\nfake.ini\t99", "e")), 5, "", "Dateiname im Archiv: x\\x0D\\x0Afake.ini\\x0999"},
        {withArchive(plain, block(std::string("evil\0.ini", 9), "e")), 5, "", "Dateiname im Archiv: evil\\x00.ini"},
        {withArchive(plain, block("caf\xE9\x7F.ini", "e")), 0, "caf\xC3\xA9\\x7F.ini\t1\r\n", ""},
    };
    for (const auto& c : cases) {
        writeBytes(folder.file("prog.exe"), c.bytes);
        const ProcessResult result = nekpack("--list " + inQuotes(folder.file("prog.exe")));
        EXPECT_EQ(result.exitCode, c.code) << result.err;
        EXPECT_NE(result.out.find(c.out), std::string::npos) << result.out;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(result.err.empty(), c.err.empty()) << result.err;
    }
}
