#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "MessageBoxCatcher.h"
#include "NError.h"
#include "NFile.h"
#include "NMem.h"
#include "TestFiles.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

std::string systemText(unsigned int code)
{
    NString text = NError::getSystemMessage(code);
    text.trim();
    return str(text);
}

std::string openFailurePrefix(const std::string& name)
{
    return "Fehler beim \xF6" "ffnen der Datei '" + name + "'\r\n";
}

std::string openFailure(const std::string& name, unsigned int code)
{
    return openFailurePrefix(name) + systemText(code);
}

bool startsWith(const NString& text, const std::string& start)
{
    return str(text).rfind(start, 0) == 0;
}

std::string fullPathOf(const std::string& path)
{
    char buffer[4096] = {};
    GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return buffer;
}

const char* const noNameText =
    "Fehler beim \xF6" "ffnen der Datei, es wurde kein Dateiname \xFC" "bergeben.";
const char* const readClosedText =
    "Fehler beim lesen der Datei.\r\nDie Datei wurde noch nicht ge\xF6" "ffnet.";

}  // namespace

TEST(NFile, OpensBinaryUnlessTextIsAsked)
{
    TestFolder folder;
    const std::string path = folder.file("zeilen.txt");
    writeBytes(path, "a\r\nb\r\n");

    NFile file;
    EXPECT_EQ(std::string(file.getName()), "NFile");
    EXPECT_FALSE(file.isOpen());
    ASSERT_TRUE(file.open(path.c_str(), "r"));
    EXPECT_TRUE(file.isOpen());
    EXPECT_TRUE(file.lastError.isEmpty());
    EXPECT_EQ(str(file.getFileName()), fullPathOf(path));
    EXPECT_EQ(str(file.readString(-1)), "a\r\nb\r\n");

    ASSERT_TRUE(file.open(path.c_str()));
    EXPECT_EQ(str(file.readString()), "a\r\nb\r\n");

    ASSERT_TRUE(file.open(path.c_str(), "rt"));
    EXPECT_EQ(str(file.readString(-1)), "a\nb\n");

    // A relative name is stored in its absolute form.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    SetCurrentDirectoryA(folder.path().c_str());
    EXPECT_TRUE(file.open("zeilen.txt", "rb"));
    SetCurrentDirectoryA(current);
    EXPECT_EQ(str(file.getFileName()), fullPathOf(path));

    file.close();
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(file.getFileName().isEmpty());
}

TEST(NFile, OpenFailuresSilentAndShown)
{
    TestFolder folder;
    const std::string missing = folder.file("fehlt.txt");
    NFile file;
    {
        MessageBoxCatcher boxes;
        EXPECT_FALSE(file.open("", "rb", true));
        EXPECT_EQ(str(file.lastError), noNameText);
        EXPECT_FALSE(file.open(missing.c_str(), "rb", true));
        EXPECT_EQ(str(file.lastError), openFailure(missing, ERROR_FILE_NOT_FOUND));
        EXPECT_FALSE(file.isOpen());
        EXPECT_TRUE(file.getFileName().isEmpty());
        EXPECT_EQ(boxes.count(), 0u);
    }
    {
        MessageBoxCatcher boxes;
        boxes.expect(IDOK);
        boxes.expect(IDOK);
        EXPECT_FALSE(file.open(""));
        EXPECT_FALSE(file.open(missing.c_str()));
        ASSERT_EQ(boxes.count(), 2u);
        EXPECT_EQ(boxes[0].title, "Fehler NFile::open(..)");
        EXPECT_EQ(boxes[0].text, noNameText);
        EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONERROR));
        EXPECT_EQ(boxes[1].title, "Fehler NFile::open(..)");
        EXPECT_EQ(boxes[1].text, openFailure(missing, ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(boxes[1].icon, static_cast<unsigned>(MB_ICONERROR));
    }

    // A failed open closes what was open before and clears an old error.
    const std::string present = folder.file("da.txt");
    writeBytes(present, "x");
    ASSERT_TRUE(file.open(present.c_str(), "rb", true));
    EXPECT_FALSE(file.open(folder.file("nicht\\da.txt").c_str(), "rb", true));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(str(file.lastError), openFailure(folder.file("nicht\\da.txt"), ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(file.open(present.c_str(), "rb", true));
    EXPECT_TRUE(file.lastError.isEmpty());

    // Modes the runtime does not know are refused, not handed on.
    EXPECT_FALSE(file.open(present.c_str(), "q", true));
    EXPECT_EQ(str(file.lastError), openFailure(present, ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(file.open(present.c_str(), "rtb", true));
    EXPECT_FALSE(file.open(present.c_str(), "r++", true));
    EXPECT_FALSE(file.open(present.c_str(), nullptr, true));
    EXPECT_TRUE(file.open(present.c_str(), "r+", true));

    // A name with an embedded zero must not open the shorter name.
    EXPECT_FALSE(file.open(NString((present + std::string(1, '\0') + "x").c_str(),
                                   static_cast<int>(present.size()) + 2),
                           "rb", true));
    EXPECT_FALSE(file.isOpen());
    const std::string invalidName = systemText(ERROR_INVALID_NAME);
    EXPECT_EQ(str(file.lastError).substr(file.lastError.getLength() - invalidName.size()), invalidName);

    // A file another program holds without sharing.
    HANDLE held = CreateFileA(present.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file.open(present.c_str(), "rb", true));
    EXPECT_EQ(str(file.lastError), openFailure(present, ERROR_SHARING_VIOLATION));
    CloseHandle(held);

    // A folder is no file.
    EXPECT_FALSE(file.open(folder.path().c_str(), "rb", true));
    EXPECT_EQ(str(file.lastError), openFailure(folder.path(), ERROR_ACCESS_DENIED));
}

TEST(NFile, ClosedFileMisuse)
{
    NFile file;
    char buffer[8];
    {
        MessageBoxCatcher boxes;
        boxes.expect(IDOK);
        boxes.expect(IDOK);
        EXPECT_EQ(file.read(buffer, 8), 0);
        EXPECT_EQ(str(file.lastError), readClosedText);
        EXPECT_EQ(file.getSize(), 0);
        ASSERT_EQ(boxes.count(), 2u);
        EXPECT_EQ(boxes[0].title, "Fehler NFile::read(..)");
        EXPECT_EQ(boxes[0].text, readClosedText);
        EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONERROR));
        EXPECT_EQ(boxes[1].title, "Fehler !");
        EXPECT_EQ(boxes[1].text, "Fehler, NFile::getSize()\r\nDiese Funktion kann nur auf auf eine "
                                 "ge\xF6" "ffnete Datei angewendet werden.");
        EXPECT_EQ(boxes[1].icon, static_cast<unsigned>(MB_ICONERROR));
    }
    // The rest fails quietly.
    MessageBoxCatcher boxes;
    file.lastError = "";
    EXPECT_TRUE(file.readString(-1).isEmpty());
    EXPECT_EQ(str(file.lastError), readClosedText);
    EXPECT_FALSE(file.write("abc", 3));
    EXPECT_EQ(str(file.lastError), "Fehler beim Schreiben: " + systemText(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(file.seek(0));
    EXPECT_EQ(file.tell(), 0);
    EXPECT_FALSE(file.setLength(0));
    EXPECT_FALSE(file.reopenEmpty());
    EXPECT_EQ(str(file.lastError), systemText(ERROR_INVALID_HANDLE));
    EXPECT_EQ(boxes.count(), 0u);
}

TEST(NFile, ReadWriteSeekTell)
{
    TestFolder folder;
    const std::string path = folder.file("daten.bin");
    NFile file;
    ASSERT_TRUE(file.create(path.c_str()));
    EXPECT_TRUE(file.write(NString("0123456789")));
    EXPECT_TRUE(file.write("ABCDEFGHIJ", 10));
    EXPECT_TRUE(file.write("", 0));
    EXPECT_EQ(file.tell(), 20);
    EXPECT_EQ(file.getSize(), 20);
    EXPECT_EQ(file.tell(), 20);  // getSize goes back where it was

    char buffer[32] = {};
    ASSERT_TRUE(file.seek(0));
    EXPECT_EQ(file.read(buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 5), "01234");
    EXPECT_TRUE(file.seek(3, 1));
    EXPECT_EQ(file.tell(), 8);
    EXPECT_TRUE(file.seek(10, 2));
    EXPECT_EQ(file.tell(), 10);
    EXPECT_TRUE(file.seek(-4, 2));
    EXPECT_EQ(file.tell(), 16);
    EXPECT_TRUE(file.seek(0, 2));
    EXPECT_EQ(file.tell(), 20);

    // Reading past the end gives what is there, then nothing, without error.
    ASSERT_TRUE(file.seek(15));
    EXPECT_EQ(file.read(buffer, 10), 5);
    EXPECT_EQ(std::string(buffer, 5), "FGHIJ");
    EXPECT_EQ(file.read(buffer, 10), 0);
    EXPECT_EQ(file.read(buffer, -1), 0);
    EXPECT_TRUE(file.lastError.isEmpty());

    ASSERT_TRUE(file.seek(18));
    EXPECT_EQ(str(file.readString(100)), "IJ");
    ASSERT_TRUE(file.seek(5));
    EXPECT_EQ(str(file.readString(3)), "567");
    EXPECT_EQ(str(file.readString(-1)), "89ABCDEFGHIJ");
    EXPECT_TRUE(file.readString(-1).isEmpty());

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
    file.lastError = "";
    EXPECT_FALSE(file.seek(-5, 0));
    EXPECT_FALSE(file.lastError.isEmpty());
    EXPECT_EQ(file.tell(), 7);

    EXPECT_TRUE(file.setLength(8));
    EXPECT_EQ(file.tell(), 8);
    EXPECT_EQ(file.getSize(), 8);
    EXPECT_TRUE(file.setLength(12));
    EXPECT_FALSE(file.setLength(-1));
    EXPECT_EQ(str(file.lastError), systemText(ERROR_NEGATIVE_SEEK));
    file.close();
    EXPECT_EQ(readBytes(path), std::string("0123xy67") + std::string(4, '\0'));
}

TEST(NFile, BytesStayExact)
{
    TestFolder folder;
    const std::string path = folder.file("roh.bin");
    // Zero bytes, line ends, an end-of-file character and the language
    // marker inside the text (only a text that starts with it is translated).
    const std::string bytes("\0\r\n\x1A\xB3\xB3\xFFz", 8);
    NFile file;
    ASSERT_TRUE(file.create(path.c_str()));
    ASSERT_TRUE(file.write(bytes.data(), static_cast<int>(bytes.size())));
    ASSERT_TRUE(file.seek(0));
    EXPECT_EQ(str(file.readString(-1)), bytes);
    file.close();
    EXPECT_EQ(readBytes(path), bytes);
}

TEST(NFile, WrongDirectionReportsError)
{
    TestFolder folder;
    const std::string path = folder.file("nurlesen.txt");
    writeBytes(path, "inhalt");
    NFile file;
    ASSERT_TRUE(file.open(path.c_str(), "rb"));
    EXPECT_FALSE(file.write("x", 1));
    EXPECT_TRUE(startsWith(file.lastError, "Fehler beim Schreiben: "));
    EXPECT_GT(file.lastError.getLength(), 23);
    // The stream is usable afterwards.
    char buffer[8] = {};
    ASSERT_TRUE(file.seek(0));
    EXPECT_EQ(file.read(buffer, 8), 6);

    ASSERT_TRUE(file.open(path.c_str(), "wb"));
    EXPECT_EQ(file.read(buffer, 8), 0);
    EXPECT_FALSE(file.lastError.isEmpty());
    file.close();
    EXPECT_EQ(readBytes(path), "");
}

TEST(NFile, WholeFileRoundTrips)
{
    TestFolder folder;
    const std::string path = folder.file("text.txt");
    NString error = "alt";
    EXPECT_TRUE(NFile::writeTextFile(path.c_str(), "Zeile 1\r\nZeile 2", &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(readBytes(path), "Zeile 1\r\nZeile 2");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(NFile::writeTextFile(path.c_str(), "kurz"));
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(str(NFile::readTextFile(path.c_str(), &error)), "kurz");
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(str(NFile::readTextFile(path.c_str())), "kurz");

    EXPECT_TRUE(NFile::writeTextFile(path.c_str(), ""));
    EXPECT_EQ(readBytes(path), "");
    EXPECT_TRUE(NFile::readTextFile(path.c_str(), &error).isEmpty());
    EXPECT_TRUE(error.isEmpty());

    NMem memory(0);
    const char raw[] = {'\0', '\x01', '\xFF', '\0', 'A'};
    ASSERT_TRUE(memory.append(raw, 5));
    const std::string bin = folder.file("daten.bin");
    EXPECT_TRUE(NFile::writeMem(bin.c_str(), memory));
    EXPECT_EQ(readBytes(bin), std::string(raw, 5));
    NMem back(3);
    EXPECT_TRUE(NFile::readMem(bin.c_str(), back));
    ASSERT_EQ(back.getSize(), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back.getPointer()), 5), std::string(raw, 5));
    EXPECT_TRUE(NFile::writeMem(bin.c_str(), NMem(0)));
    EXPECT_TRUE(NFile::readMem(bin.c_str(), back));
    EXPECT_EQ(back.getSize(), 0);

    // Nothing of the replacement's temporary files remains.
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"daten.bin", "text.txt"}));
}

TEST(NFile, WholeFileFailures)
{
    TestFolder folder;
    const std::string missing = folder.file("fehlt.txt");
    const std::string noFolder = folder.file("kein\\ordner.txt");
    NString error;
    {
        MessageBoxCatcher boxes;
        EXPECT_TRUE(NFile::readTextFile(missing.c_str(), &error).isEmpty());
        EXPECT_EQ(str(error), openFailure(missing, ERROR_FILE_NOT_FOUND));
        EXPECT_FALSE(NFile::writeTextFile(noFolder.c_str(), "x", &error));
        EXPECT_EQ(str(error), openFailure(noFolder, ERROR_PATH_NOT_FOUND));
        NMem memory(4);
        EXPECT_FALSE(NFile::readMem(missing.c_str(), memory, &error));
        EXPECT_EQ(str(error), openFailure(missing, ERROR_FILE_NOT_FOUND));
        EXPECT_FALSE(NFile::writeMem(noFolder.c_str(), memory, &error));
        EXPECT_EQ(str(error), openFailure(noFolder, ERROR_PATH_NOT_FOUND));
        EXPECT_EQ(boxes.count(), 0u);
    }
    {
        MessageBoxCatcher boxes;
        boxes.expect(IDOK);
        boxes.expect(IDOK);
        EXPECT_TRUE(NFile::readTextFile(missing.c_str()).isEmpty());
        EXPECT_FALSE(NFile::writeTextFile(noFolder.c_str(), "x"));
        ASSERT_EQ(boxes.count(), 2u);
        EXPECT_EQ(boxes[0].title, "Fehler NFile::open(..)");
        EXPECT_EQ(boxes[0].text, openFailure(missing, ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(boxes[1].text, openFailure(noFolder, ERROR_PATH_NOT_FOUND));
        EXPECT_EQ(boxes[1].icon, static_cast<unsigned>(MB_ICONERROR));
    }

    // A target that cannot be replaced stays as it was, and no temporary
    // file is left beside it.
    const std::string sub = folder.file("ordner");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    writeBytes(folder.file("ordner\\drin.txt"), "bleibt");
    EXPECT_FALSE(NFile::writeTextFile(sub.c_str(), "neu", &error));
    EXPECT_TRUE(startsWith(error, openFailurePrefix(sub)));
    EXPECT_GT(error.getLength(), static_cast<int>(openFailurePrefix(sub).size()));
    EXPECT_EQ(listFolder(folder.path()), std::vector<std::string>{"ordner"});
    EXPECT_EQ(readBytes(folder.file("ordner\\drin.txt")), "bleibt");

    const std::string locked = folder.file("schreibgeschuetzt.txt");
    writeBytes(locked, "alt");
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(NFile::writeTextFile(locked.c_str(), "neu", &error));
    EXPECT_EQ(str(error), openFailure(locked, ERROR_ACCESS_DENIED));
    EXPECT_EQ(readBytes(locked), "alt");
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"ordner", "schreibgeschuetzt.txt"}));
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(NFile, FlushAllWritesPendingOutput)
{
    TestFolder folder;
    const std::string path = folder.file("gepuffert.txt");
    NFile file;
    ASSERT_TRUE(file.create(path.c_str()));
    ASSERT_TRUE(file.write("abc", 3));
    NFile::flushAll();
    EXPECT_EQ(readBytes(path), "abc");
}

TEST(NFile, LongPathsAreNeverCut)
{
    TestFolder folder;
    const std::string longFolder = folder.file(std::string(200, 'l'));
    ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr));
    const std::string path = longFolder + "\\" + std::string(120, 'n') + ".txt";
    NFile file;
    NString error;
    // Either the whole name works or its failure names the whole name.
    if (file.create(path.c_str(), true)) {
        EXPECT_EQ(str(file.getFileName()), fullPathOf(path));
        file.close();
        EXPECT_TRUE(NFile::writeTextFile(path.c_str(), "lang", &error));
        EXPECT_EQ(str(NFile::readTextFile(path.c_str(), &error)), "lang");
    } else {
        EXPECT_TRUE(startsWith(file.lastError, openFailurePrefix(path)));
        EXPECT_GT(file.lastError.getLength(), static_cast<int>(openFailurePrefix(path).size()));
        EXPECT_FALSE(NFile::writeTextFile(path.c_str(), "x", &error));
        EXPECT_TRUE(startsWith(error, openFailurePrefix(path)));
    }
    EXPECT_FALSE(file.createTemp("tmp", folder.file(std::string(270, 'x')).c_str()));
    EXPECT_EQ(str(file.lastError),
              "Fehler beim Anlegen einer tempor\xE4ren Datei in '" + folder.file(std::string(270, 'x')) +
                  "'\r\n" + systemText(ERROR_FILENAME_EXCED_RANGE));
}

TEST(NFile, CreateTempAndReopenEmpty)
{
    TestFolder folder;
    NFile file;
    ASSERT_TRUE(file.createTemp("nkt", folder.path().c_str()));
    const std::string name = str(file.getFileName());
    EXPECT_EQ(name.rfind(fullPathOf(folder.path()) + "\\nkt", 0), 0u);
    EXPECT_TRUE(fileExists(name));
    EXPECT_TRUE(file.write("hallo", 5));
    EXPECT_EQ(file.getSize(), 5);

    EXPECT_TRUE(file.reopenEmpty());
    EXPECT_EQ(str(file.getFileName()), name);
    EXPECT_EQ(file.getSize(), 0);
    EXPECT_EQ(readBytes(name), "");
    EXPECT_TRUE(file.write("x\n", 2));
    file.close();
    EXPECT_EQ(readBytes(name), "x\n");  // "w+" still means binary

    // Without a folder the system's temporary folder is used; each call
    // gives a new file.
    NFile other;
    ASSERT_TRUE(file.createTemp("nkt"));
    ASSERT_TRUE(other.createTemp("nkt"));
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    EXPECT_EQ(str(file.getFileName()).rfind(fullPathOf(temp), 0), 0u);
    EXPECT_NE(str(file.getFileName()), str(other.getFileName()));
    const std::string first = str(file.getFileName());
    const std::string second = str(other.getFileName());
    file.close();
    other.close();
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());

    MessageBoxCatcher boxes;
    const std::string missing = folder.file("fehlt");
    EXPECT_FALSE(file.createTemp("nkt", missing.c_str()));
    EXPECT_EQ(str(file.lastError).rfind("Fehler beim Anlegen einer tempor\xE4ren Datei in '" + missing +
                                            "'\r\n",
                                        0),
              0u);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(listFolder(folder.path()), std::vector<std::string>{name.substr(name.rfind('\\') + 1)});
}
