#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "NFileFind.h"
#include "NStringList.h"
#include "TestFiles.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

std::string fullPathOf(const std::string& path)
{
    char buffer[4096] = {};
    GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return buffer;
}

std::vector<std::string> sorted(NStringList& list, int from = 0)
{
    std::vector<std::string> result;
    for (int i = from; i < list.getCount(); ++i)
        result.push_back(str(list.getAt(i)));
    std::sort(result.begin(), result.end());
    return result;
}

// root: a.txt b.dat sub1\c.txt sub1\deep\d.txt sub1\deep\x.dat sub2\e.txt
struct Tree {
    TestFolder folder;
    std::string root;
    Tree()
    {
        root = fullPathOf(folder.path());
        CreateDirectoryA((root + "\\sub1").c_str(), nullptr);
        CreateDirectoryA((root + "\\sub1\\deep").c_str(), nullptr);
        CreateDirectoryA((root + "\\sub2").c_str(), nullptr);
        writeBytes(root + "\\a.txt", "12345");
        writeBytes(root + "\\b.dat", "");
        writeBytes(root + "\\sub1\\c.txt", "c");
        writeBytes(root + "\\sub1\\deep\\d.txt", "d");
        writeBytes(root + "\\sub1\\deep\\x.dat", "x");
        writeBytes(root + "\\sub2\\e.txt", "e");
    }
    std::string at(const std::string& name) const { return root + "\\" + name; }
};

}  // namespace

TEST(NFileFind, WalksEntriesWithTheirRecord)
{
    Tree tree;
    NFileFind find;
    EXPECT_EQ(std::string(find.getName()), "NFileFind");
    EXPECT_FALSE(find.findNext());  // nothing started yet

    ASSERT_TRUE(find.findFirst((tree.root + "\\*").c_str()));
    EXPECT_EQ(str(find.getFolder()), tree.root);
    EXPECT_EQ(str(find.getPattern()), tree.root + "\\*");
    std::vector<std::string> names;
    const time_t now = time(nullptr);
    do {
        const std::string name = str(find.getFileName());
        names.push_back(name);
        EXPECT_EQ(find.isDots(), name == "." || name == "..");
        if (name == "a.txt") {
            EXPECT_EQ(find.getFileSize(), 5u);
            EXPECT_FALSE(find.isDirectory());
            EXPECT_EQ(str(find.getFullPath()), tree.at("a.txt"));
            EXPECT_LT(std::abs(static_cast<double>(find.getWriteTime().getSeconds() - now)), 300.0);
            EXPECT_LT(std::abs(static_cast<double>(find.getCreationTime().getSeconds() - now)), 300.0);
        }
        if (name == "sub1") {
            EXPECT_TRUE(find.isDirectory());
            EXPECT_EQ(find.getAttributes() & FILE_ATTRIBUTE_DIRECTORY,
                      static_cast<unsigned>(FILE_ATTRIBUTE_DIRECTORY));
            EXPECT_EQ(str(find.getFullPath()), tree.at("sub1"));
        }
    } while (find.findNext());
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n == "." || n == ".."; }),
                names.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.dat", "sub1", "sub2"}));
    EXPECT_FALSE(find.findNext());

    // A new search replaces the old one; a failed one finds nothing further.
    ASSERT_TRUE(find.findFirst((tree.root + "\\sub1\\deep\\*.dat").c_str()));
    EXPECT_EQ(str(find.getFileName()), "x.dat");
    EXPECT_FALSE(find.findNext());
    EXPECT_FALSE(find.findFirst((tree.root + "\\*.nix").c_str()));
    EXPECT_FALSE(find.findNext());
    EXPECT_TRUE(find.getFileName().isEmpty());
    EXPECT_FALSE(find.isDirectory());

    // A pattern without a folder lies in the current folder.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    SetCurrentDirectoryA(tree.root.c_str());
    ASSERT_TRUE(find.findFirst("a.*"));
    EXPECT_TRUE(find.getFolder().isEmpty());
    EXPECT_EQ(str(find.getFullPath()), tree.at("a.txt"));
    ASSERT_TRUE(find.findFirst("sub1\\c.txt"));
    EXPECT_EQ(str(find.getFolder()), "sub1");
    EXPECT_EQ(str(find.getFullPath()), tree.at("sub1\\c.txt"));
    SetCurrentDirectoryA(current);
}

TEST(NFileFind, Exists)
{
    Tree tree;
    EXPECT_TRUE(NFileFind::exists(tree.at("a.txt").c_str()));
    EXPECT_TRUE(NFileFind::exists(tree.at("sub1").c_str()));
    EXPECT_TRUE(NFileFind::exists(tree.at("sub1\\").c_str()));
    EXPECT_TRUE(NFileFind::exists(tree.at("*.dat").c_str()));
    EXPECT_TRUE(NFileFind::exists(tree.at("sub1\\deep\\?.txt").c_str()));
    EXPECT_FALSE(NFileFind::exists(tree.at("fehlt.txt").c_str()));
    EXPECT_FALSE(NFileFind::exists(tree.at("*.nix").c_str()));
    EXPECT_FALSE(NFileFind::exists(tree.at("fehlt\\").c_str()));
    EXPECT_FALSE(NFileFind::exists(""));
    EXPECT_FALSE(NFileFind::exists(tree.at(std::string(300, 'z')).c_str()));
}

TEST(NFileFind, SearchFilesAtEveryDepth)
{
    Tree tree;
    NStringList list;
    list.add("schon da");
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "*.*", "*.txt", 1), 4);
    EXPECT_EQ(str(list.getAt(0)), "schon da");
    EXPECT_EQ(sorted(list, 1),
              (std::vector<std::string>{tree.at("a.txt"), tree.at("sub1\\c.txt"),
                                        tree.at("sub1\\deep\\d.txt"), tree.at("sub2\\e.txt")}));

    list.removeAll();
    list.add("schon da");
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "*.*", "*.txt", 0x1001), 4);
    EXPECT_EQ(str(list.getAt(0)), "schon da");
    EXPECT_EQ(sorted(list, 1), (std::vector<std::string>{"a.txt", "sub1\\c.txt",
                                                         "sub1\\deep\\d.txt", "sub2\\e.txt"}));

    // Without a subfolder pattern only the folder itself is searched; with
    // one, only matching subfolders are entered.
    list.removeAll();
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "", "*", 0x1001), 2);
    EXPECT_EQ(sorted(list), (std::vector<std::string>{"a.txt", "b.dat"}));
    list.removeAll();
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "sub1", "*.txt", 0x1001), 2);
    EXPECT_EQ(sorted(list), (std::vector<std::string>{"a.txt", "sub1\\c.txt"}));
    list.removeAll();
    EXPECT_EQ(NFileFind::search((tree.root + "\\").c_str(), list, "*", "*.dat", 0x1001), 2);
    EXPECT_EQ(sorted(list), (std::vector<std::string>{"b.dat", "sub1\\deep\\x.dat"}));

    list.removeAll();
    EXPECT_EQ(NFileFind::search(tree.at("fehlt").c_str(), list, "*", "*", 0x1007), 0);
    EXPECT_EQ(list.getCount(), 0);
}

TEST(NFileFind, SearchFoldersAndDots)
{
    Tree tree;
    NStringList list;
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "*", "*", 2), 3);
    EXPECT_EQ(sorted(list), (std::vector<std::string>{tree.at("sub1"), tree.at("sub1\\deep"),
                                                      tree.at("sub2")}));

    list.removeAll();
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "", "*", 4), 2);
    EXPECT_EQ(sorted(list), (std::vector<std::string>{tree.at("."), tree.at("..")}));
    list.removeAll();
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "", "*", 0x1004), 2);
    EXPECT_EQ(sorted(list), (std::vector<std::string>{".", ".."}));

    list.removeAll();
    EXPECT_EQ(NFileFind::search(tree.at("sub1").c_str(), list, "*", "*", 0x1007), 8);
    EXPECT_EQ(sorted(list), (std::vector<std::string>{".", "..", "c.txt", "deep", "deep\\.",
                                                      "deep\\..", "deep\\d.txt", "deep\\x.dat"}));
}

TEST(NFileFind, SearchRelativeFolder)
{
    Tree tree;
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string parent = tree.root.substr(0, tree.root.rfind('\\'));
    const std::string name = tree.root.substr(tree.root.rfind('\\') + 1);
    SetCurrentDirectoryA(parent.c_str());

    NStringList absolute;
    NStringList relative;
    NStringList here;
    const int found = NFileFind::search(name.c_str(), absolute, "*.*", "*.txt", 1);
    const int foundRelative = NFileFind::search(name.c_str(), relative, "*.*", "*.txt", 0x1001);
    SetCurrentDirectoryA(tree.at("sub1").c_str());
    const int foundHere = NFileFind::search("", here, "*", "*.txt", 0x1001);
    SetCurrentDirectoryA(current);

    EXPECT_EQ(found, 4);
    EXPECT_EQ(sorted(absolute),
              (std::vector<std::string>{tree.at("a.txt"), tree.at("sub1\\c.txt"),
                                        tree.at("sub1\\deep\\d.txt"), tree.at("sub2\\e.txt")}));
    EXPECT_EQ(foundRelative, 4);
    EXPECT_EQ(sorted(relative), (std::vector<std::string>{"a.txt", "sub1\\c.txt",
                                                          "sub1\\deep\\d.txt", "sub2\\e.txt"}));
    EXPECT_EQ(foundHere, 2);
    EXPECT_EQ(sorted(here), (std::vector<std::string>{"c.txt", "deep\\d.txt"}));
}
