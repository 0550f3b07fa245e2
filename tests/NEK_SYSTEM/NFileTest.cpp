

#include <algorithm>

#include "GuiTestSupport.h"
#include "NFile.h"
#include "NMem.h"

namespace {

std::string systemText(unsigned int code)
{
    NString text = NError::getSystemMessage(code);
    text.trim();
    return str(text);
}

std::string openFailure(const std::string& name, unsigned int code)
{
    return "Fehler beim \xF6" "ffnen der Datei '" + name + "'\r\n" + systemText(code);
}

std::string fullPathOf(const std::string& path)
{
    char buffer[4096] = {};
    GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return buffer;
}

typedef std::vector<std::string> Names;

}  // namespace

TEST(NFile, OpenModesAndFailures)
{
    TestFolder folder;
    const std::string path = folder.file("zeilen.txt"), missing = folder.file("fehlt.txt");
    writeBytes(path, "a\r\nb\r\n");
    NFile file;
    for (const auto& mode : {std::make_pair("r", "a\r\nb\r\n"), {"rt", "a\nb\n"}}) {
        ASSERT_TRUE(file.open(path.c_str(), mode.first));
        EXPECT_EQ(str(file.readString(-1)), mode.second);
    }
    // A relative name is stored in its absolute form.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    SetCurrentDirectoryA(folder.path().c_str());
    EXPECT_TRUE(file.open("zeilen.txt", "rb"));
    SetCurrentDirectoryA(current);
    EXPECT_EQ(str(file.getFileName()), fullPathOf(path));
    // Writing to a file opened for reading fails and says so.
    EXPECT_FALSE(file.write("x", 1));
    EXPECT_EQ(str(file.lastError).rfind("Fehler beim Schreiben: ", 0), 0u);
    file.close();
    EXPECT_TRUE(file.getFileName().isEmpty());
    // Modes the runtime does not know are refused, not handed on.
    for (const char* mode : {"rtb", "r++", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(file.open(path.c_str(), mode, true));
    EXPECT_TRUE(file.open(path.c_str(), "r+", true));

    // Silent failures only set the text; a failed open closes what was open
    // before; a name with an embedded zero must not open the shorter name.
    const std::string withZero = path + std::string(1, '\0') + "x";
    const struct { std::string name; const char* mode; std::string error; } failures[] = {
        {path, "q", openFailure(path, ERROR_INVALID_PARAMETER)},
        {"", "rb", "Fehler beim \xF6" "ffnen der Datei, es wurde kein Dateiname \xFC" "bergeben."},
        {missing, "rb", openFailure(missing, ERROR_FILE_NOT_FOUND)},
        {folder.file("nicht\\da.txt"), "rb", openFailure(folder.file("nicht\\da.txt"), ERROR_PATH_NOT_FOUND)},
        {folder.path(), "rb", openFailure(folder.path(), ERROR_ACCESS_DENIED)},
        {withZero, "rb", systemText(ERROR_INVALID_NAME)},
    };
    MessageBoxCatcher boxes(1);
    for (const auto& f : failures) {
        ASSERT_TRUE(file.open(path.c_str(), "rb", true));
        EXPECT_FALSE(file.open(NString(f.name.c_str(), int(f.name.size())), f.mode, true) || file.isOpen());
        const std::string error = str(file.lastError);
        EXPECT_EQ(error.substr(error.size() - std::min(error.size(), f.error.size())), f.error);
    }
    EXPECT_FALSE(file.open(missing.c_str()));
    expectBox(boxes[0], "Fehler NFile::open(..)", str(file.lastError), MB_ICONERROR);
}

TEST(NFile, ReadWriteSeekTellAndMisuseOfAClosedFile)
{
    TestFolder folder;
    const std::string path = folder.file("daten.bin");
    NFile file;
    ASSERT_TRUE(file.create(path.c_str()));
    EXPECT_TRUE(file.write(NString("0123456789")) && file.write("ABCDEFGHIJ", 10));
    EXPECT_EQ(file.getSize(), 20);
    EXPECT_EQ(file.tell(), 20);  // getSize goes back where it was
    NFile::flushAll();
    EXPECT_EQ(readBytes(path), "0123456789ABCDEFGHIJ");
    char buffer[32] = {};
    EXPECT_TRUE(file.seek(3, 0) && file.seek(5, 1));
    EXPECT_EQ(file.tell(), 8);
    EXPECT_TRUE(file.seek(-4, 2));
    EXPECT_EQ(file.tell(), 16);
    // Reading past the end gives what is there, then nothing, without error.
    ASSERT_TRUE(file.seek(15));
    EXPECT_EQ(file.read(buffer, 10), 5);
    EXPECT_EQ(std::string(buffer, 5), "FGHIJ");
    EXPECT_EQ(file.read(buffer, 10), 0);
    EXPECT_TRUE(file.lastError.isEmpty());
    ASSERT_TRUE(file.seek(5));
    EXPECT_EQ(str(file.readString(3)), "567");
    EXPECT_EQ(str(file.readString(-1)), "89ABCDEFGHIJ");
    // Switching from reading to writing needs no seek from the caller.
    ASSERT_TRUE(file.seek(2));
    EXPECT_EQ(file.read(buffer, 2), 2);
    EXPECT_TRUE(file.write("xy", 2));
    EXPECT_EQ(file.read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "67");
    // Invalid moves fail, keep the position and say why.
    ASSERT_TRUE(file.seek(7));
    EXPECT_FALSE(file.seek(1, 5));
    EXPECT_EQ(str(file.lastError), systemText(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(file.seek(-5, 0));
    EXPECT_EQ(file.tell(), 7);
    EXPECT_TRUE(file.setLength(8) && file.setLength(12));
    EXPECT_FALSE(file.setLength(-1));
    EXPECT_EQ(str(file.lastError), systemText(ERROR_NEGATIVE_SEEK));
    file.close();
    EXPECT_EQ(readBytes(path), std::string("0123xy67") + std::string(4, '\0'));

    // Reading and sizing the closed file show boxes; the rest fails quietly.
    const std::string readClosed = "Fehler beim lesen der Datei.\r\nDie Datei wurde noch nicht ge\xF6" "ffnet.";
    MessageBoxCatcher boxes(2);
    EXPECT_EQ(file.read(buffer, 8), 0);
    EXPECT_EQ(file.getSize(), 0);
    expectBox(boxes[0], "Fehler NFile::read(..)", readClosed, MB_ICONERROR);
    expectErrorBox(boxes[1], "Fehler, NFile::getSize()\r\nDiese Funktion kann nur auf auf eine "
                             "ge\xF6" "ffnete Datei angewendet werden.");
    EXPECT_TRUE(file.readString(-1).isEmpty());
    EXPECT_EQ(str(file.lastError), readClosed);
    EXPECT_FALSE(file.write("abc", 3));
    EXPECT_EQ(str(file.lastError), "Fehler beim Schreiben: " + systemText(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(file.seek(0) || file.setLength(0) || file.reopenEmpty());
}

TEST(NFile, WholeFilesAndTheirFailuresLeaveNoTemporaryFileCreateTempAndReopenEmpty)
{
    TestFolder folder;
    const std::string path = folder.file("text.txt"), bin = folder.file("daten.bin");
    NString error = "alt";
    EXPECT_TRUE(NFile::writeTextFile(path.c_str(), "Zeile 1\r\nZeile 2", &error) && error.isEmpty());
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(NFile::writeTextFile(path.c_str(), "kurz"));
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(str(NFile::readTextFile(path.c_str(), &error)), "kurz");
    NMem memory(0);
    ASSERT_TRUE(memory.append("\0\x01\xFF\0A", 5));
    EXPECT_TRUE(NFile::writeMem(bin.c_str(), memory));
    NMem back(3);
    EXPECT_TRUE(NFile::readMem(bin.c_str(), back));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back.getPointer()), back.getSize()), std::string("\0\x01\xFF\0A", 5));
    EXPECT_TRUE(NFile::writeMem(bin.c_str(), NMem(0)) && NFile::readMem(bin.c_str(), back));
    EXPECT_EQ(back.getSize(), 0);
    EXPECT_EQ(listFolder(folder.path()), (Names{"daten.bin", "text.txt"}));

    const std::string missing = folder.file("fehlt.txt"), noFolder = folder.file("kein\\ordner.txt");
    MessageBoxCatcher boxes(2);
    EXPECT_FALSE(NFile::readMem(missing.c_str(), memory, &error));
    EXPECT_EQ(str(error), openFailure(missing, ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(NFile::writeMem(noFolder.c_str(), memory, &error));
    EXPECT_EQ(str(error), openFailure(noFolder, ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(NFile::readTextFile(missing.c_str()).isEmpty());
    EXPECT_FALSE(NFile::writeTextFile(noFolder.c_str(), "x"));
    EXPECT_EQ(boxes[1].text, openFailure(noFolder, ERROR_PATH_NOT_FOUND));

    // A target that cannot be replaced (read-only, held open, a folder) stays
    // as it was, with nothing of the new text left beside it.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(NFile::writeTextFile(path.c_str(), "neu", &error));
    EXPECT_EQ(str(error), openFailure(path, ERROR_ACCESS_DENIED));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(NFile::writeTextFile(path.c_str(), "neu", &error));
    CloseHandle(held);
    EXPECT_EQ(readBytes(path), "kurz");
    CreateDirectoryA(folder.file("ordner").c_str(), nullptr);
    EXPECT_FALSE(NFile::writeMem(folder.file("ordner").c_str(), memory, &error));
    EXPECT_EQ(listFolder(folder.path()), (Names{"daten.bin", "ordner", "text.txt"}));
    // A temporary file of its own, emptied in place.
    TestFolder temps;
    NFile file;
    ASSERT_TRUE(file.createTemp("nkt", temps.path().c_str()));
    const std::string name = str(file.getFileName());
    EXPECT_EQ(name.rfind(fullPathOf(temps.path()) + "\\nkt", 0), 0u);
    EXPECT_TRUE(file.write("hallo", 5) && file.reopenEmpty());
    EXPECT_EQ(str(file.getFileName()), name);
    EXPECT_EQ(file.getSize(), 0);
    EXPECT_TRUE(file.write("x\n", 2));
    file.close();
    EXPECT_EQ(readBytes(name), "x\n");  // "w+" still means binary
    const std::string tooLong = temps.file(std::string(270, 'x'));
    EXPECT_FALSE(file.createTemp("tmp", tooLong.c_str()));
    EXPECT_EQ(str(file.lastError), "Fehler beim Anlegen einer tempor\xE4ren Datei in '" + tooLong + "'\r\n" +
                                       systemText(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(file.createTemp("nkt", temps.file("fehlt").c_str()) || file.isOpen());
    EXPECT_EQ(listFolder(temps.path()), Names{name.substr(name.rfind('\\') + 1)});
}
