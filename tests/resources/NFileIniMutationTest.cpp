#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "MessageBoxCatcher.h"
#include "NFileIni.h"
#include "NMapStringToNum.h"
#include "NMapStringToString.h"
#include "NStringList.h"
#include "TestFiles.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

const char* const seeds[] = {
    "; settings\r\n\r\n[Window]\r\nx=10\r\ny = 20\r\n\r\n[Recent]\r\nmaxEntries=3\r\nc:\\a.txt\r\n"
    "[style_a]\r\ncolor=#ff0000\r\n",
    "[import]\r\nsections=b.ini,*,addContent\r\nentries=b.ini,style_*,ignore\r\nsections=in.ini,*\r\n"
    "[style_b]\r\nk=v\r\n",
    "[nekContentMask-200]\r\n[A]\r\nsecret=1\r\n[B]\r\n;c=3\r\nd=4",
    "[nekContentMask-1234567890]\r\n[A]\r\nx=1\r\n",
    "[]\r\n=\r\n[x]junk\r\n[y]  \r\n\r\n[A]\nx=1\n[z]",
};
const char* const pieces[] = {"\r\n", "\n", "[", "]", "=", ";", "\r\n[", "[import]\r\n", "*", "!",
                              " ", "maxEntries=", "[nekContentMask+", "sections=", ",", "b.ini"};

// One to four random edits: a byte, an inserted piece or random bytes, a cut.
std::string mutate(std::mt19937& rng, std::string s)
{
    auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
    for (int step = 1 + static_cast<int>(pick(4)); step > 0; --step) {
        const size_t at = pick(s.size() + 1);
        switch (pick(4)) {
        case 0: s.insert(at, 1, static_cast<char>(rng())); break;
        case 1: s.insert(at, pieces[pick(sizeof pieces / sizeof pieces[0])]); break;
        case 2: s.erase(at, pick(16)); break;
        default: s.resize(at); break;
        }
    }
    return s;
}

}  // namespace

TEST(NFileIniMutation, EveryOperationCompletesOnMutatedFiles)
{
    MessageBoxCatcher boxes;
    // One level down, so that a stray write beside the files shows.
    TestFolder outer;
    const std::string work = outer.file("work");
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    const std::string in = work + "\\in.ini";
    const char* const patterns[] = {"*", "!*", "style_*", "*a|!B", "x||y", "!style_*|*]"};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 1000; ++round) {
        writeBytes(in, mutate(rng, seeds[rng() % 5]));
        if (round % 8 == 0)
            writeBytes(work + "\\b.ini", mutate(rng, seeds[rng() % 5]));
        SCOPED_TRACE("round " + std::to_string(round));
        NFileIni ini;
        ASSERT_TRUE(ini.open(in.c_str(), false, false)) << str(ini.lastError);
        ASSERT_TRUE(ini.getContent().endsWith("\r\n"));

        NStringList names, texts, keys, values;
        ini.getSectionNames(names, patterns[rng() % 6], &texts);
        ASSERT_EQ(names.getCount(), texts.getCount());
        const NString section = names.getCount() > 0 ? names.getAt(0) : NString("A");
        ini.getSectionEntries(section, keys, &values, rng() & 1);
        ASSERT_EQ(keys.getCount(), values.getCount());
        NMapStringToString map;
        NMapStringToNum numbers;
        ini.getSectionMap(section, map, true);
        ini.getSectionMap(section, numbers, true);
        ini.setSectionMap("fzmap", map);
        ini.setValue(section, "x", rng() & 1 ? "" : "v");
        ini.setValue("fz", "k1", "value");
        EXPECT_EQ(str(ini.getValue("fz", "k1", "d")), "value");
        ini.addListEntry(section, "c:\\new.txt");
        ini.removeListEntry("Recent", "c:\\a.txt");
        ini.renameSection(section, "renamed");
        NFileIni second;
        if (second.open((work + "\\b.ini").c_str(), false, true))
            ini.mergeSections(second, patterns[rng() % 6]);
        ini.import();

        // What is saved reads back as it was in memory.
        const std::string content = str(ini.getContent());
        ASSERT_TRUE(ini.save()) << str(ini.lastError);
        ASSERT_TRUE(ini.open(in.c_str(), false, true));
        EXPECT_EQ(str(ini.getContent()), content);
        ASSERT_EQ(listFolder(work), (std::vector<std::string>{"b.ini", "in.ini"}));
    }
    EXPECT_EQ(listFolder(outer.path()), std::vector<std::string>{"work"});
}
