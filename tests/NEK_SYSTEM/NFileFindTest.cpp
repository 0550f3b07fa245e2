#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "NFileFind.h"
#include "NStringList.h"

namespace {

std::vector<std::string> sorted(NStringList& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.push_back(str(list.getAt(i)));
    std::sort(result.begin(), result.end());
    list.removeAll();
    return result;
}

typedef std::vector<std::string> Names;

// root: a.txt b.dat sub1\c.txt sub1\deep\d.txt sub1\deep\x.dat sub2\e.txt
struct Tree {
    TestFolder folder;
    std::string root;
    Tree()
    {
        char buffer[4096] = {};
        GetFullPathNameA(folder.path().c_str(), sizeof buffer, buffer, nullptr);
        root = buffer;
        CreateDirectoryA((root + "\\sub1").c_str(), nullptr);
        CreateDirectoryA((root + "\\sub1\\deep").c_str(), nullptr);
        CreateDirectoryA((root + "\\sub2").c_str(), nullptr);
        for (const char* name : {"a.txt", "b.dat", "sub1\\c.txt", "sub1\\deep\\d.txt",
                                 "sub1\\deep\\x.dat", "sub2\\e.txt"})
            writeBytes(at(name), name);
    }
    std::string at(const std::string& name) const { return root + "\\" + name; }
};

}  // namespace

TEST(NFileFind, WalksEntriesAndExists)
{
    Tree tree;
    NFileFind find;
    EXPECT_FALSE(find.findNext());  // nothing started yet
    ASSERT_TRUE(find.findFirst((tree.root + "\\*").c_str()));
    Names names;
    do {
        const std::string name = str(find.getFileName());
        EXPECT_EQ(find.isDots(), name == "." || name == "..");
        if (!find.isDots())
            names.push_back(name + (find.isDirectory() ? "\\" : ""));
        if (name == "a.txt") {
            EXPECT_EQ(find.getFileSize(), 5u);
            EXPECT_EQ(str(find.getFullPath()), tree.at("a.txt"));
        }
    } while (find.findNext());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"a.txt", "b.dat", "sub1\\", "sub2\\"}));

    // A failed search finds nothing further.
    EXPECT_FALSE(find.findFirst((tree.root + "\\*.nix").c_str()));
    EXPECT_FALSE(find.findNext());
    EXPECT_TRUE(find.getFileName().isEmpty());

    EXPECT_TRUE(NFileFind::exists(tree.at("sub1\\").c_str()));
    EXPECT_TRUE(NFileFind::exists(tree.at("sub1\\deep\\?.txt").c_str()));
    EXPECT_FALSE(NFileFind::exists(tree.at("fehlt\\").c_str()));
    EXPECT_FALSE(NFileFind::exists(""));
    EXPECT_FALSE(NFileFind::exists(tree.at(std::string(300, 'z')).c_str()));
}

TEST(NFileFind, RecursiveSearch)
{
    Tree tree;
    NStringList list;
    list.add("schon da");
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "*.*", "*.txt", 1), 4);
    EXPECT_EQ(str(list.getAt(0)), "schon da");
    EXPECT_EQ(sorted(list), (Names{tree.at("a.txt"), tree.at("sub1\\c.txt"),
                                   tree.at("sub1\\deep\\d.txt"), tree.at("sub2\\e.txt"),
                                   "schon da"}));
    EXPECT_EQ(NFileFind::search(tree.root.c_str(), list, "*.*", "*.txt", 0x1001), 4);
    EXPECT_EQ(sorted(list), (Names{"a.txt", "sub1\\c.txt", "sub1\\deep\\d.txt", "sub2\\e.txt"}));

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
