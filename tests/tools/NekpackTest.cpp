#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "ArchiveBytes.h"
#include "ProcessRunner.h"
#include "TestFiles.h"

namespace {

std::string q(const std::string& path) { return "\"" + path + "\""; }

ProcessResult nekpack(const std::string& arguments)
{
    return runProcess("\"" + programFolder() + "nekpack.exe\" " + arguments);
}

}  // namespace

// The reader's side of these bytes is tested with the resource manager.
TEST(Nekpack, PacksTheSameBytesAgainRefusesUnusableNamesAndListsWhatTheReaderSees)
{
    TestFolder folder;
    std::string program = fakeProgram(), bitmap;  // every byte value, three times
    for (int i = 0; i < 768; ++i)
        bitmap += char(i);
    const std::string ini = "[Standard-Styles]\r\n";
    writeBytes(folder.file("app.exe"), program);
    writeBytes(folder.file("controlpos.ini"), ini);
    writeBytes(folder.file("Nek.BMP"), bitmap);
    writeBytes(folder.file("empty.txt"), "");
    const std::string app = q(folder.file("app.exe")), out = q(folder.file("packed.exe")),
                      files = q(folder.file("controlpos.ini")) + " " + q(folder.file("Nek.BMP")) + " " + q(folder.file("empty.txt"));
    // The copy: the program with its switch on, the archive with lower-case names, the trailer last.
    // Packed again from its own output, it comes out byte for byte the same. Patterns are expanded
    // by the program, sorted by name.
    program[210] = '1';
    const std::string packed =
        withArchive(program, block("controlpos.ini", ini) + block("nek.bmp", bitmap) + block("empty.txt", ""));
    auto packs = [&](const std::string& arguments, const std::string& file, const std::string& bytes) {
        EXPECT_EQ(nekpack(arguments).exitCode, 0) << arguments;
        EXPECT_EQ(readBytes(folder.file(file)), bytes) << file;
    };
    packs(app + " " + out + " " + files, "packed.exe", packed);
    packs(out + " " + q(folder.file("again.exe")) + " " + files, "again.exe", packed);
    packs(app + " " + q(folder.file("star.exe")) + " " + q(folder.file("*.txt")) + " " + q(folder.file("c*.ini")), "star.exe",
          withArchive(program, block("empty.txt", "") + block("controlpos.ini", ini)));

    // Two names equal once lower-cased, and a name the ANSI code page cannot
    // hold, are refused; nothing is written then.
    CreateDirectoryA(folder.file("upper").c_str(), nullptr);
    writeBytes(folder.file("upper\\NEK.bmp"), "2");
    ProcessResult refused =
        nekpack(app + " " + q(folder.file("out.exe")) + " " + q(folder.file("Nek.BMP")) + " " + q(folder.file("upper\\NEK.bmp")));
    EXPECT_EQ(refused.exitCode, 6);
    EXPECT_NE(refused.err.find("Der Dateiname 'nek.bmp' kommt doppelt vor."), std::string::npos) << refused.err;
    const std::string ascii = programFolder();
    const std::wstring base(folder.path().begin(), folder.path().end()), programs(ascii.begin(), ascii.end());
    ASSERT_TRUE(CopyFileW((base + L"\\empty.txt").c_str(), (base + L"\\\x03B1.ini").c_str(), TRUE));
    refused = runProcess(L"\"" + programs + L"nekpack.exe\" \"" + base + L"\\app.exe\" \"" + base + L"\\out.exe\" \"" + base +
                         L"\\\x03B1.ini\"");
    EXPECT_EQ(refused.exitCode, 6) << refused.err;
    EXPECT_NE(refused.err.find("\xCE\xB1.ini' kann nicht ins Archiv"), std::string::npos) << refused.err;
    EXPECT_FALSE(fileExists(folder.file("out.exe")));

    // The reading code keeps the marker words out of its own image, or the
    // search for a lost trailer would stop on them.
    EXPECT_EQ(readBytes(programFolder() + "nekpack.exe").find("nek" "end"), std::string::npos);
    // Any program may still hold the word "nekend" somewhere.
    std::string plain = fakeProgram(3000);
    plain.replace(1500, 6, "nekend");
    const std::string archive = withArchive(plain, block("a.ini", "x") + block("b.bmp", "yy"));
    const std::string listed = "Archiv ab Offset 3000, Kopf 12 Byte (A=1, B=0)\r\nArchiv-Schalter: 0\r\n";
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {plain, 4, "", "ist kein Archiv angeh\xC3\xA4ngt.\r\n"},
        {archive, 0, listed + "a.ini\t1\r\nb.bmp\t2\r\n2 Datei(en), 3 Byte\r\n", ""},
        {archive + "appended", 0, listed + "Hinter dem Archiv liegen 8 Byte.\r\na.ini\t1\r\nb.bmp\t2\r\n2 Datei(en), 3 Byte\r\n", ""},
        {plain + header() + trailer(50), 5, "", "Der Startoffset 50 ist ung\xC3\xBCltig."},
        {withArchive(plain, block("a.ini", "x") + block("..\\evil.in", "e")), 5, listed + "a.ini\t1\r\n1 Datei(en), 1 Byte\r\n",
         "Ung\xC3\xBCltiger Dateiname im Archiv: ..\\\\evil.in"},
        // Control characters could fake further lines of the listing.
        {withArchive(plain, block("x\r\nfake.ini\t99", "e")), 5, "", "Dateiname im Archiv: x\\x0D\\x0Afake.ini\\x0999"},
        {withArchive(plain, block(std::string("evil\0.ini", 9), "e")), 5, "", "Dateiname im Archiv: evil\\x00.ini"},
        {withArchive(plain, block("caf\xE9\x7F.ini", "e")), 0, "caf\xC3\xA9\\x7F.ini\t1\r\n", ""},
        // The end identifier the reader accepts before the end marker.
        {plain + header() + block("a.ini", "x") + "s" + trailer(3000), 0, listed + "a.ini\t1\r\n1 Datei(en), 1 Byte\r\n", ""},
        // A cut-off trailer: head and blocks are there, the reader stops.
        {archive.substr(0, archive.size() - 3), 5, listed + "a.ini\t1\r\nb.bmp\t2\r\n2 Datei(en)",
         "Die Endekennung fehlt: das Archiv ist abgeschnitten."},
        {archive.substr(0, archive.size() - 11), 5, listed + "a.ini\t1\r\n1 Datei(en)", "Ein Block ist unvollst\xC3\xA4ndig."},
        // Lookups lower-case names: the program sees one file.
        {withArchive(plain, block("a.ini", "x") + block("A.ini", "y")), 6, "a.ini\t1\r\nA.ini\t1\r\n",
         "Der Dateiname 'a.ini' kommt (ohne Unterschied der Gro\xC3\x9F- und Kleinschreibung) mehrfach vor"},
    };
    for (const auto& [bytes, code, out, err] : cases) {
        writeBytes(folder.file("prog.exe"), bytes);
        const ProcessResult result = nekpack("--list " + q(folder.file("prog.exe")));
        EXPECT_EQ(result.exitCode, code) << result.err;
        EXPECT_NE(result.out.find(out), std::string::npos) << result.out;
        EXPECT_NE(result.err.find(err), std::string::npos) << result.err;
        EXPECT_EQ(result.err.empty(), err.empty()) << result.err;
    }
}

// Whatever an old archive looks like, packing again gives the bytes of
// packing the bare program, or refuses when the program's end is unclear.
TEST(Nekpack, RepackingReplacesEveryOldArchive)
{
    TestFolder folder;
    const std::string program = fakeProgram(2000), data = q(folder.file("a.ini"));
    writeBytes(folder.file("a.ini"), "neu");
    writeBytes(folder.file("bare.exe"), program);
    ASSERT_EQ(nekpack(q(folder.file("bare.exe")) + " " + q(folder.file("fresh.exe")) + " " + data).exitCode, 0);
    const std::string fresh = readBytes(folder.file("fresh.exe"));
    const std::string old = withArchive(program, block("x.ini", "alt") + block("y.bmp", "1234"));
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {"signed", old + std::string(300, 'S'), 0, "Byte dahinter"},
        {"trailer cut", old.substr(0, old.size() - 4), 0, "keine vollst\xC3\xA4ndige Endekennung"},
        {"packed twice by an old tool", old + "xx" + header() + block("z.ini", "z") + trailer(old.size() + 2), 0, ""},
        {"damaged trailer", program + header() + trailer(50), 5, "wo das Programm endet, ist nicht zu erkennen"},
    };
    for (const auto& [what, bytes, code, note] : cases) {
        writeBytes(folder.file("old.exe"), bytes);
        const ProcessResult result = nekpack(q(folder.file("old.exe")) + " " + q(folder.file("new.exe")) + " " + data);
        EXPECT_EQ(result.exitCode, code) << what << "\n" << result.err;
        EXPECT_NE(result.err.find(note), std::string::npos) << what << "\n" << result.err;
        EXPECT_EQ(fileExists(folder.file("new.exe")) ? readBytes(folder.file("new.exe")) : "", code ? "" : fresh) << what;
        DeleteFileA(folder.file("new.exe").c_str());
    }
}

// Mistakes on the command line: nothing is overwritten, and every refusal
// says why.
TEST(Nekpack, RefusesOutputsThatAreInputsAndSaysWhyAFileIsRefused)
{
    TestFolder folder;
    writeBytes(folder.file("app.exe"), fakeProgram());
    writeBytes(folder.file("conf.ini"), "[a]");
    writeBytes(folder.file("blob.bin"), "b");
    CreateDirectoryA(folder.file("sub").c_str(), nullptr);
    // A sparse file: no disk space for its 3 GB.
    HANDLE big = CreateFileA(folder.file("big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    LARGE_INTEGER size = {};
    size.QuadPart = 3LL << 30;
    EXPECT_TRUE(SetFilePointerEx(big, size, nullptr, FILE_BEGIN) && SetEndOfFile(big));
    CloseHandle(big);
    const std::string app = q(folder.file("app.exe")) + " ", conf = q(folder.file("conf.ini")), to = app + q(folder.file("out.exe")) + " ";
    const std::tuple<std::string, int, std::string> cases[] = {
        {app + conf + " " + q(folder.file("blob.bin")), 7, "conf.ini' ist vorhanden und kein Programm"},
        {app + conf + " " + conf, 7, "conf.ini', die ins Archiv soll"},
        {app + q(folder.file("CONF.INI")) + " " + conf, 7, "die ins Archiv soll"},
        {to + q(folder.file("sub")), 2, "es ist ein Ordner"},
        {to + q(folder.file("big.bin")), 2, "3221225472 Byte zu gro\xC3\x9F"},
        {to + q(folder.file("x..y.txt")), 6, "'x..y.txt' kann nicht ins Archiv aufgenommen werden: er enth\xC3\xA4lt .."},
        {to + q(folder.file("trail.")), 6, "er endet mit einem Punkt"},
        {to + q(folder.file("con.txt")), 6, "er ist ein Ger\xC3\xA4tename"},
        // Control characters never reach the terminal raw.
        {to + q(folder.file("a\x1B[2J.txt")), 6, "'a\\x1B[2J.txt'"},
        {to + q(folder.file("d\x07ir\\gone.txt")), 2, "d\\x07ir\\gone.txt' kann nicht gelesen werden"},
    };
    for (const auto& [arguments, code, message] : cases) {
        const ProcessResult result = nekpack(arguments);
        EXPECT_EQ(result.exitCode, code) << arguments << "\n" << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << arguments << "\n" << result.err;
        EXPECT_EQ(result.err.find_first_of("\x1B\x07"), std::string::npos) << result.err;
    }
    EXPECT_EQ(readBytes(folder.file("conf.ini")), "[a]");
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"app.exe", "big.bin", "blob.bin", "conf.ini", "sub"}));
    // The program itself may be the output.
    EXPECT_EQ(nekpack(app + app + conf).exitCode, 0);
    EXPECT_EQ(readBytes(folder.file("app.exe")).substr(1000, 6), "nekres");
}
