#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>


#include <algorithm>
#include <cstdlib>

#include "GuiTestSupport.h"
#include "NFileFind.h"
#include "NFileSystem.h"
#include "NStringList.h"
#include "NSystem.h"

namespace {

// An error box, with the text NError::messageBox makes of an error number; the box may drop
// trailing line breaks of its text.
void expectErrorBox(const MessageBoxCatcher::Box& box, const std::string& title, std::string text, unsigned code = 0)
{
    if (code) text += "\r\n Fehlernummer: " + std::to_string(code) + "\r\n" + str(NError::getSystemMessage(code));
    text.erase(text.find_last_not_of("\r\n") + 1);
    EXPECT_EQ(box.title + "|" + box.text.substr(0, box.text.find_last_not_of("\r\n") + 1), title + "|" + text);
    EXPECT_EQ(box.icon, static_cast<unsigned>(MB_ICONERROR));
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string sleeper() { return quoted(programFolder() + "nek_sleeper.exe"); }

// Waits until the child wrote its marker and returns its process id.
DWORD childId(const std::string& marker)
{
    DWORD id = 0;
    for (int i = 0; i < 200 && !id; ++i, Sleep(id ? 0 : 25))
        id = fileExists(marker) ? strtoul(readBytes(marker).c_str(), nullptr, 10) : 0;
    return id;
}

// True when the child was still running; it is stopped either way.
bool stopChild(DWORD id)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    const bool running = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
    return running;
}

int timerTicks = 0;
void CALLBACK countTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

typedef std::vector<std::string> Names;

std::vector<std::string> sorted(NStringList& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.getCount(); ++i) result.push_back(str(list.getAt(i)));
    std::sort(result.begin(), result.end());
    list.removeAll();
    return result;
}

// root: a.txt b.dat sub1\c.txt sub1\deep\d.txt sub1\deep\x.dat sub2\e.txt
struct Tree {
    TestFolder folder;
    std::string root;
    Tree()
    {
        char buffer[4096] = {};
        GetFullPathNameA(folder.path().c_str(), sizeof buffer, buffer, nullptr);
        root = buffer;
        for (const char* sub : {"\\sub1", "\\sub1\\deep", "\\sub2"})
            CreateDirectoryA((root + sub).c_str(), nullptr);
        for (const char* name : {"a.txt", "b.dat", "sub1\\c.txt", "sub1\\deep\\d.txt",
                                 "sub1\\deep\\x.dat", "sub2\\e.txt"})
            writeBytes(at(name), name);
    }
    std::string at(const std::string& name) const { return root + "\\" + name; }
};

}  // namespace

TEST(NFileSystem, MakeDirCopyRenameDeleteAndShellDelete)
{
    TestFolder folder;
    const std::string nested = folder.file("eins\\zwei\\drei");
    EXPECT_TRUE(NFileSystem::makeDir(nested.c_str()) && NFileSystem::makeDir(folder.file("a/b\\c\\").c_str()));
    EXPECT_EQ(listFolder(folder.file("a\\b")), Names{"c"});
    EXPECT_FALSE(NFileSystem::makeDir(nested.c_str(), true));
    MessageBoxCatcher boxes(5);
    EXPECT_FALSE(NFileSystem::makeDir(nested.c_str()));
    // An overlong path creates nothing and is named whole.
    const std::string longPath =
        folder.file(std::string(120, 'x') + "\\" + std::string(120, 'y') + "\\" + std::string(40, 'z'));
    EXPECT_FALSE(NFileSystem::makeDir(longPath.c_str()));
    EXPECT_EQ(listFolder(folder.path()), (Names{"a", "eins"}));

    const std::string source = folder.file("quelle.txt"), target = folder.file("ziel.txt");
    const std::string renamed = folder.file("umbenannt.txt");
    writeBytes(source, "neu");
    writeBytes(target, "alt");
    EXPECT_FALSE(NFileSystem::copyFile(source.c_str(), target.c_str()));
    EXPECT_EQ(readBytes(target), "alt");
    EXPECT_FALSE(NFileSystem::copyFile(source.c_str(), target.c_str(), false, true));
    EXPECT_TRUE(NFileSystem::copyFile(source.c_str(), target.c_str(), true));
    EXPECT_EQ(readBytes(target), "neu");
    EXPECT_TRUE(NFileSystem::renameFile(target.c_str(), renamed.c_str()));
    EXPECT_FALSE(NFileSystem::renameFile(target.c_str(), renamed.c_str()));
    EXPECT_TRUE(NFileSystem::deleteFile(renamed.c_str()));
    EXPECT_FALSE(NFileSystem::deleteFile(renamed.c_str()) || NFileSystem::deleteFile(renamed.c_str(), true));
    const std::string made = "Fehler beim Anlegen des Verzeichnisses:\r\n";
    expectErrorBox(boxes[0], "Fehler", made + nested + "\r\n" + str(NSystem::getErrorText(ERROR_ALREADY_EXISTS)));
    expectErrorBox(boxes[1], "Fehler",
                   made + longPath + "\r\n" + str(NSystem::getErrorText(ERROR_FILENAME_EXCED_RANGE)));
    expectErrorBox(boxes[2], "Fehler !", "Fehler beim Kopieren der Datei:\r\n" + source + "\r\nnach\r\n" + target,
                   ERROR_FILE_EXISTS);
    expectErrorBox(boxes[3], "Fehler !", "Fehler beim Umbenennen der Datei:\r\n" + target + "\r\nnach\r\n" + renamed,
                   ERROR_FILE_NOT_FOUND);
    expectErrorBox(boxes[4], "Fehler !", "Fehler beim L\xF6schen der Datei:\r\n" + renamed, ERROR_FILE_NOT_FOUND);

    // Deleting through the shell opens no window (the catcher would fail).
    for (const char* made : {"eins", "a"})
        removeTree(folder.file(made));
    writeBytes(folder.file("a.tmp"), "1");
    NFileSystem::makeDir(folder.file("sub\\tiefer").c_str());
    writeBytes(folder.file("sub\\tiefer\\d.txt"), "4");
    EXPECT_TRUE(NFileSystem::deleteFiles(folder.file("*.tmp").c_str()) && NFileSystem::deleteFiles(folder.file("sub").c_str()));
    EXPECT_FALSE(NFileSystem::deleteFiles(folder.file("fehlt.txt").c_str()) || NFileSystem::deleteFiles(""));
    EXPECT_EQ(listFolder(folder.path()), Names{"quelle.txt"});
}

TEST(NFileSystem, PathSplittersRelativePathsTempNamesFullPathsAndCurrentFolder)
{
    // Names longer than the usual 260-character buffers come back whole.
    const std::string longName(300, 'n'), longFolder = "C:\\" + std::string(280, 'f');
    const std::string longPath = longFolder + "\\" + longName + ".Jpeg";
    const char* const photo = "C:\\Bilder\\Urlaub\\Foto.PNG";
    const struct { NString (*split)(const NString&); std::string path, part; } parts[] = {
        {NFileSystem::getPath, photo, "C:\\Bilder\\Urlaub"},
        {NFileSystem::getFileName, photo, "Foto.PNG"},
        {NFileSystem::getFileTitle, photo, "Foto"},
        {NFileSystem::getExtension, photo, "png"},
        {NFileSystem::getPath, "C:\\Bilder\\Urlaub\\", "C:\\Bilder\\Urlaub"},
        {NFileSystem::getPath, "x.txt", ""},
        {NFileSystem::getFileTitle, "archiv.tar.GZ", "archiv.tar"},
        {NFileSystem::getExtension, "C:\\ver.zeichnis\\liesmich", ""},
        {NFileSystem::getPath, longPath, longFolder},
        {NFileSystem::getFileTitle, longPath, longName},
    };
    for (const auto& p : parts) EXPECT_EQ(str(p.split(p.path.c_str())), p.part) << p.path.substr(0, 40);

    const char* const relative[][3] = {
        {"C:\\Daten\\Bilder\\a.PNG", "c:/daten", "Bilder\\a.PNG"},
        {"c:/daten/Bilder/a.png", "C:\\DATEN\\", "Bilder/a.png"},
        // A folder whose name only begins like the base is not below it.
        {"C:\\DatenAlt\\a.png", "C:\\Daten", "C:\\DatenAlt\\a.png"},
        {"C:\\Daten", "C:\\Daten", "C:\\Daten"},
    };
    for (const auto& r : relative) EXPECT_EQ(str(NFileSystem::getRelativePath(r[0], r[1])), r[2]) << r[0];

    const NString created = NFileSystem::getTempFileName("nek");
    EXPECT_TRUE(created.startsWith(NFileSystem::getTempPath()) && fileExists(str(created)));
    DeleteFileA(created);

    TestFolder folder;
    const NString before = NFileSystem::getCurrentDirectory();
    ASSERT_TRUE(NFileSystem::setCurrentDirectory(folder.path().c_str()));
    EXPECT_EQ(str(NFileSystem::getFullPath("sub\\..\\x.txt")), folder.file("x.txt"));
    EXPECT_FALSE(NFileSystem::setCurrentDirectory(folder.file("fehlt").c_str()));
    EXPECT_EQ(str(NFileSystem::getCurrentDirectory()), folder.path());
    ASSERT_TRUE(NFileSystem::setCurrentDirectory(before));
}

TEST(NFileSystem, FileVersionAndShortcut)
{
    const std::string program = programFolder() + "bmp2ondra.exe";
    MessageBoxCatcher boxes;
    EXPECT_EQ(str(NFileSystem::getFileVersion(program.c_str())) + str(NFileSystem::getFileVersion("")), "1.0.0.0");
    TestFolder folder;
    const std::string plain = folder.file("ohne-version.txt");
    writeBytes(plain, "kein Programm");
    ASSERT_EQ(GetFileVersionInfoSizeA(plain.c_str(), nullptr), 0u);
    const std::string expected = "[[MEMBBER]]: Fehler bei GetFileVersionInfoSize\r\n" +
                                 str(NSystem::getErrorText(GetLastError()));
    NString error = "vorher";
    EXPECT_TRUE(NFileSystem::getFileVersion(plain.c_str(), &error).isEmpty());
    EXPECT_EQ(str(error), expected);

    // The shortcut read back through the shell's own reader.
    const std::string link = folder.file("Konverter.lnk");
    ASSERT_TRUE(NFileSystem::createShortcut(link.c_str(), program.c_str(), "Ondra Bitmap-Konverter",
                                            folder.path().c_str(), program.c_str(), 0));
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkA* shellLink = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&shellLink))));
    shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    EXPECT_TRUE(SUCCEEDED(file->Load(std::wstring(link.begin(), link.end()).c_str(), STGM_READ)));
    char target[MAX_PATH] = {}, description[MAX_PATH] = {};
    shellLink->GetPath(target, MAX_PATH, nullptr, 0);
    shellLink->GetDescription(description, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(target, program.c_str()), 0) << target;
    EXPECT_STREQ(description, "Ondra Bitmap-Konverter");
    file->Release();
    shellLink->Release();
    CoUninitialize();
}

TEST(NFileSystemRun, AChildThatOutlivesItsTimeOutKeepsRunningOthersEndInTimeOrCannotStart)
{
    TestFolder folder;
    const std::string marker = folder.file("lang.txt");
    const std::string arguments = "20000 " + quoted(marker);
    // The caller's messages keep flowing while run waits.
    timerTicks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, countTick);
    NString error = "alt";
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(NFileSystem::run(sleeper().c_str(), arguments.c_str(), folder.path().c_str(), SW_HIDE, &error, 1));
    const ULONGLONG elapsed = GetTickCount64() - start;
    KillTimer(nullptr, timer);
    EXPECT_EQ(str(error), "TimeOut-Fehler bei der Ausf\xFChrung von \r\n" + sleeper() + " " + arguments);
    EXPECT_GE(elapsed, 950u);
    EXPECT_GT(timerTicks, 5);
    const DWORD id = childId(marker);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(stopChild(id)) << "the child must not be ended by the time-out";

    MessageBoxCatcher boxes(2);
    // The marker is named relative: it lands in the working folder.
    EXPECT_TRUE(NFileSystem::run(sleeper().c_str(), "100 ende.txt", folder.path().c_str(), SW_HIDE, &error, 30));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_NE(readBytes(folder.file("ende.txt")).find(" done"), std::string::npos);
    const std::string missing = folder.file("fehlt.exe");
    const std::string systemText = str(NSystem::getErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(NFileSystem::run(missing.c_str(), "1", "", SW_HIDE, &error, 5));
    EXPECT_EQ(str(error), systemText);
    EXPECT_FALSE(NFileSystem::run(missing.c_str(), "1", "", SW_HIDE, nullptr, 5));
    // open starts programs too, and reports the same way.
    const std::string opened = folder.file("offen.txt");
    EXPECT_TRUE(NFileSystem::open((programFolder() + "nek_sleeper.exe").c_str(), ("10 " + quoted(opened)).c_str(),
                                  folder.path().c_str(), SW_HIDE));
    EXPECT_NE(childId(opened), 0u);
    const std::string missingFile = folder.file("fehlt.txt");
    EXPECT_FALSE(NFileSystem::open(missingFile.c_str(), "", "", SW_SHOWNORMAL, &error));
    EXPECT_FALSE(NFileSystem::open(missingFile.c_str(), "-x", "", SW_SHOWNORMAL));
    expectErrorBox(boxes[0], "Fehler !", "Fehler bei NFileSystem:run(..)\r\n" + systemText + "\r\n" + missing + " 1");
    expectErrorBox(boxes[1], "Fehler !",
                   "Fehler bei NFileSystem:run(..)\r\n" + str(error) + "\r\n" + missingFile + " -x");
}

TEST(NFileFind, WalksEntriesExistsAndSearchesRecursively)
{
    Tree tree;
    NFileFind find;
    EXPECT_FALSE(find.findNext());  // nothing started yet
    ASSERT_TRUE(find.findFirst((tree.root + "\\*").c_str()));
    Names names;
    do {
        const std::string name = str(find.getFileName());
        EXPECT_EQ(find.isDots(), name == "." || name == "..");
        if (!find.isDots()) names.push_back(name + (find.isDirectory() ? "\\" : ""));
        if (name == "a.txt") {
            EXPECT_EQ(find.getFileSize(), 5u);
            EXPECT_EQ(str(find.getFullPath()), tree.at("a.txt"));
        }
    } while (find.findNext());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"a.txt", "b.dat", "sub1\\", "sub2\\"}));

    // A failed search finds nothing further.
    EXPECT_FALSE(find.findFirst((tree.root + "\\*.nix").c_str()) || find.findNext());
    EXPECT_TRUE(find.getFileName().isEmpty());

    EXPECT_TRUE(NFileFind::exists(tree.at("sub1\\").c_str()) && NFileFind::exists(tree.at("sub1\\deep\\?.txt").c_str()));
    EXPECT_FALSE(NFileFind::exists(tree.at("fehlt\\").c_str()) || NFileFind::exists(""));
    EXPECT_FALSE(NFileFind::exists(tree.at(std::string(300, 'z')).c_str()));

    NStringList list;
    list.add("schon da");
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "*.*", "*.txt", 1), 4);
    EXPECT_EQ(sorted(list), (Names{tree.at("a.txt"), tree.at("sub1\\c.txt"),
                                   tree.at("sub1\\deep\\d.txt"), tree.at("sub2\\e.txt"),
                                   "schon da"}));

    // Without a subfolder pattern only the folder itself is searched; with
    // one, only matching subfolders are entered.
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "", "*", 0x1001), 2);
    EXPECT_EQ(sorted(list), (Names{"a.txt", "b.dat"}));
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "sub1", "*.txt", 0x1001), 2);
    EXPECT_EQ(sorted(list), (Names{"a.txt", "sub1\\c.txt"}));

    EXPECT_EQ(NFileFind::search(tree.at("sub1").c_str(), list, "*", "*", 0x1007), 8);
    EXPECT_EQ(sorted(list), (Names{".", "..", "c.txt", "deep", "deep\\.", "deep\\..", "deep\\d.txt", "deep\\x.dat"}));
    EXPECT_EQ(NFileFind::search(tree.at("fehlt").c_str(), list, "*", "*", 0x1007), 0);
    EXPECT_EQ(list.getCount(), 0);

    // A relative folder gives absolute paths; an empty one is the current folder.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    SetCurrentDirectoryA(tree.root.substr(0, tree.root.rfind('\\')).c_str());
    const int found = NFileFind::search(tree.root.substr(tree.root.rfind('\\') + 1).c_str(), list, "", "a.*", 1);
    SetCurrentDirectoryA(tree.at("sub1").c_str());
    const int foundHere = NFileFind::search("", list, "*", "*.txt", 0x1001);
    SetCurrentDirectoryA(current);
    EXPECT_EQ(found + foundHere, 3);
    EXPECT_EQ(sorted(list), (Names{tree.at("a.txt"), "c.txt", "deep\\d.txt"}));
}
