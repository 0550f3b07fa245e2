#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "MessageBoxCatcher.h"
#include "NResources.h"
#include "ProcessRunner.h"
#include "TestFiles.h"

namespace {

typedef std::vector<std::pair<std::string, std::string>> FileList;

const std::string readFailure = "Fehler beim Lesen der Resourcen.\r\n";

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

std::string le32(unsigned int v)
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

std::string scrambled(const std::string& data)
{
    std::string out = data;
    for (char& c : out)
        c = static_cast<char>(c ^ NResources::archiveKeyDefault);
    return out;
}

std::string block(const std::string& name, const std::string& data)
{
    return std::string(1, '\0') + le32(static_cast<unsigned>(name.size())) + name +
           le32(static_cast<unsigned>(data.size())) + scrambled(data);
}

std::string header() { return "nekres" + le32(12) + le32(1) + le32(0); }

std::string trailer(size_t start) { return "nekend" + le32(static_cast<unsigned>(start)); }

// A stand-in for a program image: bytes that hold neither archive magic,
// with the archive switch (still off) at offset 200.
std::string fakeProgram(size_t size = 1000)
{
    std::string bytes = "MZ";
    unsigned int state = 7;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        bytes += static_cast<char>('A' + (state >> 16) % 26);
    }
    bytes.replace(200, 11, "qovantirel0");
    return bytes;
}

std::string withArchive(const std::string& program, const std::string& blocks)
{
    return program + header() + blocks + trailer(program.size());
}

void removeTree(const std::string& folder)
{
    for (const std::string& name : listFolder(folder)) {
        const std::string path = folder + "\\" + name;
        if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            removeTree(path);
        else
            DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

std::string tempPath()
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    return temp;
}

std::string nekpack() { return "\"" + programFolder() + "nekpack.exe\""; }

class ResourceArchive : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedSwitch = NResources::archiveMarker[NResources::archiveSwitchIndex];
        NResources::archiveMarker[NResources::archiveSwitchIndex] = '1';
    }
    void TearDown() override
    {
        NResources::archiveMarker[NResources::archiveSwitchIndex] = savedSwitch;
    }

    // Writes the program file and points a reader at it.
    std::string program(const std::string& bytes, NResources& resources)
    {
        const std::string path = folder.file("prog.exe");
        writeBytes(path, bytes);
        resources.setProgramPath(path.c_str());
        return path;
    }

    // The reader fails with one error box showing this reason.
    void expectFailure(const std::string& bytes, const std::string& reason)
    {
        NResources resources;
        program(bytes, resources);
        MessageBoxCatcher boxes;
        boxes.expect(IDOK);
        EXPECT_FALSE(resources.readArchive());
        EXPECT_FALSE(resources.isArchive());
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes[0].title, "Fehler !");
        EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONERROR));
        EXPECT_EQ(boxes[0].text, readFailure + reason + "\r\n\r\n") << "reason: " << reason;
        if (!resources.getExtractFolder().isEmpty())
            removeTree(str(resources.getExtractFolder()));
    }

    TestFolder folder;
    char savedSwitch = '0';
};

TEST_F(ResourceArchive, PackedProgramIsExtractedAndRemovedAgain)
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
    ProcessResult packed = runProcess(nekpack() + " \"" + folder.file("app.exe") + "\" \"" + out +
                                      "\" \"" + folder.file("controlpos.ini") + "\" \"" +
                                      folder.file("Nek.BMP") + "\" \"" + folder.file("empty.txt") +
                                      "\"");
    ASSERT_EQ(packed.exitCode, 0) << packed.err;

    // The copy: the program with its switch on, the archive, the trailer last.
    const std::string bytes = readBytes(out);
    std::string expectedProgram = programBytes;
    expectedProgram[210] = '1';
    EXPECT_EQ(bytes, withArchive(expectedProgram, block("controlpos.ini", "[Standard-Styles]\r\n") +
                                                      block("nek.bmp", bitmap) +
                                                      block("empty.txt", "")));

    ProcessResult listed = runProcess(nekpack() + " --list \"" + out + "\"");
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("controlpos.ini\t19"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("nek.bmp\t768"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("Archiv-Schalter: 1"), std::string::npos) << listed.out;

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
        EXPECT_TRUE(fileExists(str(files.lookup("empty.txt"))));
        EXPECT_EQ(readBytes(str(files.lookup("empty.txt"))), "");
        EXPECT_EQ(listFolder(extractFolder),
                  (std::vector<std::string>{"controlpos.ini", "empty.txt", "nek.bmp"}));

        resources.cleanUp();
        EXPECT_FALSE(fileExists(extractFolder));
        EXPECT_EQ(resources.getArchiveFiles().getCount(), 0);
    }

    // The destructor cleans up as well.
    {
        NResources resources;
        resources.setProgramPath(out.c_str());
        ASSERT_TRUE(resources.readArchive());
        extractFolder = str(resources.getExtractFolder());
        EXPECT_TRUE(fileExists(extractFolder + "\\nek.bmp"));
    }
    EXPECT_FALSE(fileExists(extractFolder));

    // Packing the packed program again replaces its archive.
    packed = runProcess(nekpack() + " \"" + out + "\" \"" + out + "\" \"" +
                        folder.file("empty.txt") + "\"");
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(readBytes(out), withArchive(expectedProgram, block("empty.txt", "")));
}

TEST_F(ResourceArchive, PackingToolRefusesWhatTheReaderCouldNotUse)
{
    writeBytes(folder.file("app.exe"), fakeProgram());
    writeBytes(folder.file("small.exe"), "MZ");
    CreateDirectoryA(folder.file("upper").c_str(), nullptr);
    writeBytes(folder.file("a.ini"), "1");
    writeBytes(folder.file("upper\\A.INI"), "2");
    const std::string app = " \"" + folder.file("app.exe") + "\"";
    const std::string out = " \"" + folder.file("out.exe") + "\"";

    EXPECT_EQ(runProcess(nekpack()).exitCode, 1);
    EXPECT_EQ(runProcess(nekpack() + " --bogus").exitCode, 1);
    ProcessResult help = runProcess(nekpack() + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--list"), std::string::npos);

    // Two names that are equal once lower-cased.
    ProcessResult twice = runProcess(nekpack() + app + out + " \"" + folder.file("a.ini") +
                                     "\" \"" + folder.file("upper\\A.INI") + "\"");
    EXPECT_EQ(twice.exitCode, 6);
    EXPECT_NE(twice.err.find("doppelt"), std::string::npos) << twice.err;
    EXPECT_EQ(runProcess(nekpack() + app + out + " \"" + folder.file("missing.ini") + "\"").exitCode,
              2);
    EXPECT_EQ(runProcess(nekpack() + " \"" + folder.file("small.exe") + "\"" + out).exitCode, 2);
    // Nothing half-written was left behind by the refusals.
    EXPECT_FALSE(fileExists(folder.file("out.exe")));

    EXPECT_EQ(runProcess(nekpack() + " --list" + app).exitCode, 4);
    writeBytes(folder.file("broken.exe"), fakeProgram() + header() + block("a", "bc") + "\x07" +
                                              trailer(1000));
    EXPECT_EQ(runProcess(nekpack() + " --list \"" + folder.file("broken.exe") + "\"").exitCode, 5);
}

TEST_F(ResourceArchive, BytesBehindTheTrailerAreCountedInTheWarning)
{
    NResources resources;
    program(withArchive(fakeProgram(), block("nek.bmp", "bild")) + std::string(37, 'x'),
            resources);
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_TRUE(resources.readArchive());
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Fehler !");
    EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(boxes[0].text, readFailure + "Die Datei ist um 37 Byte zu gro\xDF, Ursache kann ein "
                                           "Virenbefall sein.");
    NMapStringToString files = resources.getArchiveFiles();
    EXPECT_EQ(readBytes(str(files.lookup("nek.bmp"))), "bild");
}

TEST_F(ResourceArchive, TrailerAndStartOffsetFailures)
{
    const std::string prog = fakeProgram();
    const std::string endReason = "Ressourcen-Endekennung nicht vorhanden.";
    expectFailure(prog, endReason);
    expectFailure("MZ", endReason);
    expectFailure("", endReason);

    // Start offsets below 100, beyond the file, or on bytes that are no header.
    const std::string blocks = block("a.ini", "x");
    const std::string archive = header() + blocks + "nekend";
    expectFailure(prog + archive + le32(99), "");
    expectFailure(prog + archive + le32(5000), "");
    expectFailure(prog + archive + le32(0x80000000u), "");
    expectFailure(prog + archive + le32(150), "");
    // After the fallback search the end-marker reason stays.
    expectFailure(prog + archive + le32(99) + "junk", endReason);
    // The marker found by the search lacks its offset bytes.
    expectFailure(prog + "nekend12", "Konnte Startoffset nicht lesen.");
    // A header length that points outside the file.
    expectFailure(prog + "nekres" + le32(0x7FFFFFF0u) + le32(1) + le32(0) + blocks + trailer(1000),
                  "");
    expectFailure(prog + "nekres" + le32(0xFFFFFF00u) + le32(1) + le32(0) + blocks + trailer(1000),
                  "");
}

TEST_F(ResourceArchive, MissingProgramFileShowsBothBoxes)
{
    NResources resources;
    resources.setProgramPath(folder.file("missing.exe").c_str());
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    boxes.expect(IDOK);
    EXPECT_FALSE(resources.readArchive());
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes[1].title, "Fehler !");
    EXPECT_EQ(boxes[1].text.rfind(readFailure + "\r\nFehler beim \xF6" "ffnen der Datei '", 0), 0u)
        << boxes[1].text;
    EXPECT_TRUE(resources.getExtractFolder().isEmpty());
}

TEST_F(ResourceArchive, BlockFailuresKeepWhatWasExtracted)
{
    NResources resources;
    program(withArchive(fakeProgram(), block("first.ini", "eins") + "\x07" + block("b", "c")),
            resources);
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(resources.readArchive());
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].text, readFailure + "unbekannte Blockkennung: 7\r\n\r\n");

    // The file extracted before the failure stays, and so it does after cleanUp.
    const std::string extractFolder = str(resources.getExtractFolder());
    NMapStringToString files = resources.getArchiveFiles();
    ASSERT_EQ(files.getCount(), 1);
    EXPECT_EQ(readBytes(str(files.lookup("first.ini"))), "eins");
    resources.cleanUp();
    EXPECT_TRUE(fileExists(extractFolder + "\\first.ini"));
    removeTree(extractFolder);

    const std::string prog = fakeProgram();
    // Lengths larger than what is there are refused before any allocation.
    expectFailure(withArchive(prog, std::string(1, '\0') + le32(7) + "big.bin" + le32(0xFFFFFFF0u)),
                  "Fehler beim Lesen der Daten: big.bin 4294967280");
    expectFailure(withArchive(prog, std::string(1, '\0') + le32(5) + "a.bin" + le32(1000) + "abc"),
                  "Fehler beim Lesen der Daten: a.bin 1000");
    expectFailure(withArchive(prog, std::string(1, '\0') + le32(0x7FFFFFFF) + "abc"),
                  "Ung\xFCltige Namens-L\xE4nge: 2147483647");
    expectFailure(withArchive(prog, std::string(1, '\0') + le32(0xFFFFFFFFu)),
                  "Ung\xFCltige Namens-L\xE4nge: -1");
    expectFailure(withArchive(prog, std::string(1, '\0') + le32(0)),
                  "Ung\xFCltige Namens-L\xE4nge: 0");
    // A header length that skips the trailer lets the loop run into the
    // bytes behind it, which end before a block is complete.
    auto behindTrailer = [&](const std::string& tail) {
        return prog + "nekres" + le32(22) + le32(1) + le32(0) + trailer(prog.size()) + tail;
    };
    expectFailure(behindTrailer(""), "Fehler beim Lesen der Kennung");
    expectFailure(behindTrailer(std::string(1, '\0') + "\x01"),
                  "Fehler beim Lesen der Namens-L\xE4nge");
    expectFailure(behindTrailer(std::string(1, '\0') + le32(5) + "ab"),
                  "Fehler beim Lesen des Namens");
    expectFailure(behindTrailer(std::string(1, '\0') + le32(1) + "a" + "\x01\x02"),
                  "Fehler beim Lesen der Daten-L\xE4nge");
    expectFailure(behindTrailer(std::string(1, '\0') + le32(1) + "a" + le32(0)),
                  "Fehler beim Lesen der Daten: a 0");
    // A block list that runs into the trailer instead of ending before it.
    expectFailure(prog + header() + std::string(1, '\0') + trailer(prog.size()),
                  "Ung\xFCltige Namens-L\xE4nge: 1701537134");
}

TEST_F(ResourceArchive, EmptyArchiveGivesAnEmptyFolderThatIsRemoved)
{
    writeBytes(folder.file("app.exe"), fakeProgram());
    const std::string out = folder.file("packed.exe");
    ProcessResult packed =
        runProcess(nekpack() + " \"" + folder.file("app.exe") + "\" \"" + out + "\"");
    ASSERT_EQ(packed.exitCode, 0) << packed.err;

    NResources resources;
    resources.setProgramPath(out.c_str());
    EXPECT_TRUE(resources.readArchive());
    EXPECT_EQ(resources.getArchiveFiles().getCount(), 0);
    const std::string extractFolder = str(resources.getExtractFolder());
    ASSERT_TRUE(fileExists(extractFolder));
    EXPECT_TRUE(listFolder(extractFolder).empty());
    resources.cleanUp();
    EXPECT_FALSE(fileExists(extractFolder));
}

TEST_F(ResourceArchive, SecondInstanceInTheSameSecondTakesTheNextCounter)
{
    const std::string bytes = withArchive(fakeProgram(), block("a.ini", "1"));
    // Retried when the clock ticks between the two reads.
    for (int attempt = 0; attempt < 5; ++attempt) {
        NResources first;
        NResources second;
        program(bytes, first);
        program(bytes, second);
        ASSERT_TRUE(first.readArchive());
        ASSERT_TRUE(second.readArchive());
        const std::string a = str(first.getExtractFolder());
        const std::string b = str(second.getExtractFolder());
        ASSERT_NE(a, b);
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

TEST_F(ResourceArchive, SwitchOffReadsNothing)
{
    NResources::archiveMarker[NResources::archiveSwitchIndex] = '0';
    NResources resources;
    program(withArchive(fakeProgram(), block("a.ini", "1")), resources);
    MessageBoxCatcher boxes;
    EXPECT_FALSE(resources.readArchive());
    EXPECT_TRUE(resources.getExtractFolder().isEmpty());
    EXPECT_EQ(resources.getArchiveFiles().getCount(), 0);
}

TEST_F(ResourceArchive, NamesThatLeaveTheFolderAreRefused)
{
    const std::vector<std::string> names = {
        "..\\evil.txt", "../evil.txt", "..",         "sub\\evil.txt", "c:evil.txt",
        "\\evil.txt",   "evil.txt:s",  "C:\\evil.txt", "con",         "NUL.txt",
        "com1",         "evil.txt.",   "evil ",       "ev?l",         "a\x01"
                                                                        "b",
        "evil..txt"};
    const std::vector<std::string> tempBefore = listFolder(tempPath());
    const std::string parent = tempPath().substr(0, tempPath().size() - 1);
    const std::vector<std::string> parentBefore = listFolder(parent.substr(0, parent.rfind('\\')));

    for (const std::string& name : names) {
        expectFailure(withArchive(fakeProgram(), block("good.ini", "g") + block(name, "evil")),
                      "Ung\xFCltiger Dateiname im Archiv: " + name);
        EXPECT_FALSE(fileExists("C:\\evil.txt"));
    }
    // A zero byte inside the name.
    expectFailure(withArchive(fakeProgram(), block(std::string("evil\0.txt", 9), "evil")),
                  "Ung\xFCltiger Dateiname im Archiv: evil");

    EXPECT_EQ(listFolder(tempPath()), tempBefore);
    EXPECT_EQ(listFolder(parent.substr(0, parent.rfind('\\'))), parentBefore);
    EXPECT_EQ(listFolder(folder.path()), std::vector<std::string>{"prog.exe"});
}

TEST_F(ResourceArchive, AThousandTinyBlocks)
{
    std::string blocks;
    for (int i = 0; i < 1000; ++i)
        blocks += block("f" + std::to_string(i), i % 2 ? "x" : "");
    NResources resources;
    program(withArchive(fakeProgram(), blocks), resources);
    ASSERT_TRUE(resources.readArchive());
    EXPECT_EQ(resources.getArchiveFiles().getCount(), 1000);
    const std::string extractFolder = str(resources.getExtractFolder());
    EXPECT_EQ(listFolder(extractFolder).size(), 1000u);
    EXPECT_EQ(readBytes(extractFolder + "\\f999"), "x");
    resources.cleanUp();
    EXPECT_FALSE(fileExists(extractFolder));

    // The same name again and again: one file, the last block's data.
    blocks.clear();
    for (int i = 0; i < 300; ++i)
        blocks += block("same.ini", std::to_string(i));
    NResources again;
    program(withArchive(fakeProgram(), blocks), again);
    ASSERT_TRUE(again.readArchive());
    NMapStringToString files = again.getArchiveFiles();
    ASSERT_EQ(files.getCount(), 1);
    EXPECT_EQ(readBytes(str(files.lookup("same.ini"))), "299");
}

// Damaged archives of every kind: each read ends in a result and at most one
// box, and nothing is written outside the extraction folder. The round count
// is bounded by the error box each refused archive shows (some 30 ms each).
TEST_F(ResourceArchive, MutatedArchivesNeverEscapeOrCrash)
{
    const std::string prog = fakeProgram(300);
    const std::string valid =
        withArchive(prog, block("controlpos.ini", "[a]\r\nb=c\r\n") + block("nek.bmp", "BM1234"));
    // Other test programs use the shared temporary folder at the same time:
    // this test gets a private one, and its parent, to watch.
    TestFolder privateRoot;
    CreateDirectoryA(privateRoot.file("temp").c_str(), nullptr);
    struct TempFolderSwitch {
        std::string oldTmp, oldTemp;
        explicit TempFolderSwitch(const std::string& folder)
        {
            oldTmp = variable("TMP");
            oldTemp = variable("TEMP");
            SetEnvironmentVariableA("TMP", folder.c_str());
            SetEnvironmentVariableA("TEMP", folder.c_str());
        }
        ~TempFolderSwitch()
        {
            SetEnvironmentVariableA("TMP", oldTmp.empty() ? nullptr : oldTmp.c_str());
            SetEnvironmentVariableA("TEMP", oldTemp.empty() ? nullptr : oldTemp.c_str());
        }
        static std::string variable(const char* name)
        {
            char value[1024] = "";
            return GetEnvironmentVariableA(name, value, sizeof value) < sizeof value ? value : "";
        }
    } tempSwitch(privateRoot.file("temp"));
    const std::string temp = tempPath();
    ASSERT_EQ(temp, privateRoot.file("temp") + "\\");
    const std::string parent = temp.substr(0, temp.size() - 1);
    const std::string parentFolder = parent.substr(0, parent.rfind('\\'));
    const std::vector<std::string> tempBefore = listFolder(temp);
    const std::vector<std::string> parentBefore = listFolder(parentFolder);
    const unsigned int interesting[] = {0,    1,    4,   7,          10,         99,        100,
                                        300,  301,  310, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                        0xFFFFFFF6, 255, 256,       1000};

    std::mt19937 random(20240611u);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    MessageBoxCatcher boxes;
    int readOk = 0;
    int readFailed = 0;
    for (int round = 0; round < 400; ++round) {
        std::string bytes = valid;
        const int mutations = 1 + static_cast<int>(pick(3));
        for (int m = 0; m < mutations && bytes.size() > prog.size(); ++m) {
            const size_t at = prog.size() + pick(bytes.size() - prog.size());
            switch (pick(6)) {
            case 0:
                bytes[at] = static_cast<char>(random());
                break;
            case 1:
                if (at + 4 <= bytes.size())
                    bytes.replace(at, 4, le32(interesting[pick(sizeof interesting /
                                                               sizeof interesting[0])]));
                break;
            case 2:
                bytes.resize(at);
                break;
            case 3:
                bytes.insert(at, std::string(1 + pick(8), static_cast<char>(random())));
                break;
            case 4:
                bytes.erase(at, 1 + pick(8));
                break;
            default:
                bytes[at] = "./\\:s\0"[pick(6)];
                break;
            }
        }

        NResources resources;
        const std::string path = program(bytes, resources);
        const size_t before = boxes.count();
        boxes.expect(IDOK);
        const bool ok = resources.readArchive();
        const size_t shown = boxes.count() - before;
        if (shown == 0)
            MessageBoxA(nullptr, "unused", "unused answer", MB_OK);
        if (ok) {
            ++readOk;
        } else {
            ++readFailed;
            ASSERT_EQ(shown, 1u) << "round " << round;
        }
        if (shown) {
            ASSERT_EQ(boxes[before].text.rfind(readFailure, 0), 0u) << boxes[before].text;
        }

        const std::string extractFolder = str(resources.getExtractFolder());
        if (!extractFolder.empty()) {
            ASSERT_EQ(extractFolder.rfind(temp + "_tmpNekRes", 0), 0u) << extractFolder;
            NMapStringToString files = resources.getArchiveFiles();
            for (int i = 0; i < files.getCount(); ++i)
                ASSERT_EQ(str(files.getValueAt(i)),
                          extractFolder + "\\" + str(files.getKeyAt(i)));
            for (const std::string& name : listFolder(extractFolder)) {
                const std::string file = extractFolder + "\\" + name;
                ASSERT_FALSE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
                ASSERT_TRUE(NResources::isPlainFileName(name.c_str())) << name;
            }
        }
        if (ok) {
            resources.cleanUp();
            ASSERT_FALSE(fileExists(extractFolder)) << "round " << round;
        } else if (!extractFolder.empty()) {
            removeTree(extractFolder);
        }
        DeleteFileA(path.c_str());
    }
    printf("%d archives read, %d refused\n", readOk, readFailed);
    // The mutations reached both outcomes.
    EXPECT_GT(readOk, 10);
    EXPECT_GT(readFailed, 200);
    EXPECT_EQ(listFolder(temp), tempBefore);
    EXPECT_EQ(listFolder(parentFolder), parentBefore);
    EXPECT_TRUE(listFolder(folder.path()).empty());
}

}  // namespace
