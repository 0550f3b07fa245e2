#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "MessageBoxCatcher.h"
#include "NError.h"
#include "NFileSystem.h"
#include "NSystem.h"
#include "TestFiles.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

std::string withoutTrailingBreaks(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// What NError::messageBox shows for a text with an error number.
std::string withErrorNumber(const std::string& text, unsigned int code)
{
    return text + "\r\n Fehlernummer: " + std::to_string(code) + "\r\n" +
           str(NError::getSystemMessage(code));
}

void expectErrorBox(const MessageBoxCatcher::Box& box, const std::string& title,
                    const std::string& text)
{
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(withoutTrailingBreaks(box.text), withoutTrailingBreaks(text));
    EXPECT_EQ(box.icon, static_cast<unsigned>(MB_ICONERROR));
}

bool isFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(NFileSystem, MakeDirCreatesMissingParents)
{
    TestFolder folder;
    const std::string nested = folder.file("eins\\zwei\\drei");
    EXPECT_TRUE(NFileSystem::makeDir(nested.c_str()));
    EXPECT_TRUE(isFolder(folder.file("eins\\zwei")));
    EXPECT_TRUE(isFolder(nested));

    // A trailing separator and forward slashes are fine too.
    EXPECT_TRUE(NFileSystem::makeDir(folder.file("a/b\\c\\").c_str()));
    EXPECT_TRUE(isFolder(folder.file("a\\b\\c")));

    // An existing folder is a failure; silent means no box.
    EXPECT_FALSE(NFileSystem::makeDir(nested.c_str(), true));

    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::makeDir(nested.c_str()));
    ASSERT_EQ(boxes.count(), 1u);
    expectErrorBox(boxes[0], "Fehler",
                   "Fehler beim Anlegen des Verzeichnisses:\r\n" + nested + "\r\n" +
                       str(NSystem::getErrorText(ERROR_ALREADY_EXISTS)));
}

TEST(NFileSystem, MakeDirOfOverlongPathCreatesNothing)
{
    TestFolder folder;
    const std::string longPath =
        folder.file(std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\" + std::string(40, 'c'));
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::makeDir(longPath.c_str()));
    ASSERT_EQ(boxes.count(), 1u);
    // The whole path is named, not a cut one.
    expectErrorBox(boxes[0], "Fehler",
                   "Fehler beim Anlegen des Verzeichnisses:\r\n" + longPath + "\r\n" +
                       str(NSystem::getErrorText(ERROR_FILENAME_EXCED_RANGE)));
    EXPECT_TRUE(listFolder(folder.path()).empty());
}

TEST(NFileSystem, CopyRenameDeleteWithTheirBoxes)
{
    TestFolder folder;
    const std::string source = folder.file("quelle.txt");
    const std::string target = folder.file("ziel.txt");
    writeBytes(source, "neu");
    writeBytes(target, "alt");

    MessageBoxCatcher boxes;
    // Without overwrite an existing target stays as it is.
    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::copyFile(source.c_str(), target.c_str()));
    ASSERT_EQ(boxes.count(), 1u);
    expectErrorBox(boxes[0], "Fehler !",
                   withErrorNumber("Fehler beim Kopieren der Datei:\r\n" + source + "\r\nnach\r\n" +
                                       target,
                                   ERROR_FILE_EXISTS));
    EXPECT_EQ(readBytes(target), "alt");
    EXPECT_FALSE(NFileSystem::copyFile(source.c_str(), target.c_str(), false, true));
    EXPECT_TRUE(NFileSystem::copyFile(source.c_str(), target.c_str(), true));
    EXPECT_EQ(readBytes(target), "neu");

    const std::string renamed = folder.file("umbenannt.txt");
    EXPECT_TRUE(NFileSystem::renameFile(target.c_str(), renamed.c_str()));
    EXPECT_FALSE(fileExists(target));
    EXPECT_EQ(readBytes(renamed), "neu");

    // The file that was renamed away is gone: renaming it again fails.
    boxes.clear();
    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::renameFile(target.c_str(), renamed.c_str()));
    ASSERT_EQ(boxes.count(), 1u);
    expectErrorBox(boxes[0], "Fehler !",
                   withErrorNumber("Fehler beim Umbenennen der Datei:\r\n" + target + "\r\nnach\r\n" +
                                       renamed,
                                   ERROR_FILE_NOT_FOUND));

    EXPECT_TRUE(NFileSystem::deleteFile(renamed.c_str()));
    EXPECT_FALSE(fileExists(renamed));
    boxes.clear();
    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::deleteFile(renamed.c_str()));
    ASSERT_EQ(boxes.count(), 1u);
    expectErrorBox(boxes[0], "Fehler !",
                   withErrorNumber("Fehler beim L\xF6schen der Datei:\r\n" + renamed,
                                   ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(NFileSystem::deleteFile(renamed.c_str(), true));

    // Copying a source that vanished names both paths.
    boxes.clear();
    boxes.expect(IDOK);
    EXPECT_FALSE(NFileSystem::copyFile(renamed.c_str(), target.c_str()));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("Fehler beim Kopieren der Datei:\r\n" + renamed + "\r\nnach\r\n" +
                                      target + "\r\n Fehlernummer: ",
                                  0),
              0u);
    EXPECT_FALSE(fileExists(target));
}

TEST(NFileSystem, DeleteFilesThroughTheShellWithoutWindows)
{
    TestFolder folder;
    writeBytes(folder.file("a.tmp"), "1");
    writeBytes(folder.file("b.tmp"), "2");
    writeBytes(folder.file("c.txt"), "3");
    NFileSystem::makeDir(folder.file("sub\\tiefer").c_str());
    writeBytes(folder.file("sub\\tiefer\\d.txt"), "4");

    MessageBoxCatcher boxes;  // any window the shell opened would fail here
    EXPECT_TRUE(NFileSystem::deleteFiles(folder.file("*.tmp").c_str()));
    EXPECT_TRUE(NFileSystem::deleteFiles(folder.file("sub").c_str()));
    EXPECT_EQ(listFolder(folder.path()), std::vector<std::string>{"c.txt"});

    EXPECT_FALSE(NFileSystem::deleteFiles(folder.file("fehlt.txt").c_str()));
    EXPECT_FALSE(NFileSystem::deleteFiles(""));
    EXPECT_TRUE(fileExists(folder.file("c.txt")));
}

TEST(NFileSystem, PathSplitters)
{
    const NString photo = "C:\\Bilder\\Urlaub\\Foto.PNG";
    EXPECT_EQ(str(NFileSystem::getPath(photo)), "C:\\Bilder\\Urlaub");
    EXPECT_EQ(str(NFileSystem::getFileName(photo)), "Foto.PNG");
    EXPECT_EQ(str(NFileSystem::getFileTitle(photo)), "Foto");
    EXPECT_EQ(str(NFileSystem::getExtension(photo)), "png");

    // Only one trailing separator is dropped.
    EXPECT_EQ(str(NFileSystem::getPath("C:\\Bilder\\Urlaub\\")), "C:\\Bilder\\Urlaub");
    EXPECT_EQ(str(NFileSystem::getPath("d:/daten/x.txt")), "d:/daten");
    EXPECT_EQ(str(NFileSystem::getPath("x.txt")), "");
    EXPECT_EQ(str(NFileSystem::getFileName("C:\\Bilder\\")), "");

    EXPECT_EQ(str(NFileSystem::getFileTitle("archiv.tar.GZ")), "archiv.tar");
    EXPECT_EQ(str(NFileSystem::getExtension("archiv.tar.GZ")), "gz");
    EXPECT_EQ(str(NFileSystem::getExtension("C:\\ver.zeichnis\\liesmich")), "");
    EXPECT_EQ(str(NFileSystem::getFileTitle("C:\\ver.zeichnis\\liesmich")), "liesmich");

    // Names longer than the usual 260-character buffers come back whole.
    const std::string longName = std::string(300, 'n');
    const std::string longFolder = "C:\\" + std::string(280, 'f');
    const NString longPath = (longFolder + "\\" + longName + ".Jpeg").c_str();
    EXPECT_EQ(str(NFileSystem::getPath(longPath)), longFolder);
    EXPECT_EQ(str(NFileSystem::getFileTitle(longPath)), longName);
    EXPECT_EQ(str(NFileSystem::getExtension(longPath)), "jpeg");
}

TEST(NFileSystem, RelativePaths)
{
    EXPECT_EQ(str(NFileSystem::getRelativePath("C:\\Daten\\Bilder\\a.PNG", "c:/daten")),
              "Bilder\\a.PNG");
    EXPECT_EQ(str(NFileSystem::getRelativePath("c:/daten/Bilder/a.png", "C:\\DATEN\\")),
              "Bilder/a.png");
    // A folder whose name only begins like the base is not below it.
    EXPECT_EQ(str(NFileSystem::getRelativePath("C:\\DatenAlt\\a.png", "C:\\Daten")),
              "C:\\DatenAlt\\a.png");
    EXPECT_EQ(str(NFileSystem::getRelativePath("C:\\Daten", "C:\\Daten")), "C:\\Daten");
    EXPECT_EQ(str(NFileSystem::getRelativePath("D:\\Daten\\a.png", "C:\\Daten")),
              "D:\\Daten\\a.png");
}

TEST(NFileSystem, TempNamesFullPathsAndCurrentFolder)
{
    const NString temp = NFileSystem::getTempPath();
    ASSERT_FALSE(temp.isEmpty());
    EXPECT_TRUE(temp.endsWith("\\"));
    EXPECT_TRUE(isFolder(str(temp)));

    // With number 0 the system makes the name unique and creates the file.
    const NString created = NFileSystem::getTempFileName("nek");
    ASSERT_FALSE(created.isEmpty());
    EXPECT_TRUE(created.startsWith(temp));
    EXPECT_TRUE(fileExists(str(created)));
    const NString second = NFileSystem::getTempFileName("nek");
    EXPECT_NE(str(created), str(second)) << "a second call must give another name";
    DeleteFileA(created);
    DeleteFileA(second);
    // With a number of its own it only makes the name.
    const NString named = NFileSystem::getTempFileName("nek", 0xBEEF);
    EXPECT_TRUE(named.startsWith(temp));
    // The number is written in hexadecimal (Wine writes it in lower case).
    EXPECT_GE(named.find("nekBEEF", 0, true), 0) << str(named);
    EXPECT_FALSE(fileExists(str(named)));

    TestFolder folder;
    const NString before = NFileSystem::getCurrentDirectory();
    ASSERT_FALSE(before.isEmpty());
    ASSERT_TRUE(NFileSystem::setCurrentDirectory(folder.path().c_str()));
    EXPECT_EQ(str(NFileSystem::getCurrentDirectory()), folder.path());
    EXPECT_EQ(str(NFileSystem::getFullPath("sub\\..\\x.txt")), folder.file("x.txt"));
    EXPECT_FALSE(NFileSystem::setCurrentDirectory(folder.file("fehlt").c_str()));
    EXPECT_EQ(str(NFileSystem::getCurrentDirectory()), folder.path());
    ASSERT_TRUE(NFileSystem::setCurrentDirectory(before));
    EXPECT_EQ(str(NFileSystem::getFullPath("")), "");
}

TEST(NFileSystem, FileVersion)
{
    const std::string program = programFolder() + "bmp2ondra.exe";
    ASSERT_TRUE(fileExists(program));
    MessageBoxCatcher boxes;
    EXPECT_EQ(str(NFileSystem::getFileVersion(program.c_str())), "1.0.0.0");
    EXPECT_EQ(str(NFileSystem::getFileVersion("")), "");

    TestFolder folder;
    const std::string plain = folder.file("ohne-version.txt");
    writeBytes(plain, "kein Programm");
    DWORD handle = 0;
    ASSERT_EQ(GetFileVersionInfoSizeA(plain.c_str(), &handle), 0u);
    const std::string expected = "[[MEMBBER]]: Fehler bei GetFileVersionInfoSize\r\n" +
                                 str(NSystem::getErrorText(GetLastError()));

    NString error = "vorher";
    EXPECT_EQ(str(NFileSystem::getFileVersion(plain.c_str(), &error)), "");
    EXPECT_EQ(str(error), expected);

    boxes.expect(IDOK);
    EXPECT_EQ(str(NFileSystem::getFileVersion(plain.c_str())), "");
    ASSERT_EQ(boxes.count(), 1u);
    expectErrorBox(boxes[0], "Fehler !", expected);

    // A file that is not there fails the same first step.
    error = "";
    EXPECT_EQ(str(NFileSystem::getFileVersion(folder.file("fehlt.exe").c_str(), &error)), "");
    EXPECT_EQ(str(error).rfind("[[MEMBBER]]: Fehler bei GetFileVersionInfoSize\r\n", 0), 0u);
}

TEST(NFileSystem, CreateShortcut)
{
    TestFolder folder;
    const std::string link = folder.file("Konverter.lnk");
    const std::string target = programFolder() + "bmp2ondra.exe";
    ASSERT_TRUE(NFileSystem::createShortcut(link.c_str(), target.c_str(), "Ondra Bitmap-Konverter",
                                            folder.path().c_str(), target.c_str(), 0));
    ASSERT_TRUE(fileExists(link));

    // Read it back through the shell.
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkA* shellLink = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, reinterpret_cast<void**>(&shellLink))));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    std::wstring widePath(link.begin(), link.end());
    EXPECT_TRUE(SUCCEEDED(file->Load(widePath.c_str(), STGM_READ)));
    char text[MAX_PATH] = {};
    shellLink->GetPath(text, MAX_PATH, nullptr, 0);
    EXPECT_EQ(lstrcmpiA(text, target.c_str()), 0) << text;
    shellLink->GetDescription(text, MAX_PATH);
    EXPECT_STREQ(text, "Ondra Bitmap-Konverter");
    shellLink->GetWorkingDirectory(text, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(text, folder.path().c_str()), 0) << text;
    file->Release();
    shellLink->Release();
    CoUninitialize();
}
