#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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
    "; settings\r\n\r\n[Window]\r\nx=10\r\ny = 20\r\nname= main \r\n\r\n[Recent]\r\n"
    "maxEntries=3\r\nc:\\a.txt\r\nc:\\b.txt\r\n[style_a]\r\ncolor=#ff0000\r\n",
    "[import]\r\nsections=b.ini,*,addContent\r\nentries=b.ini,style_*,ignore\r\n"
    "sections=in.ini,*\r\nsections=..\\up.ini,*\r\n[style_b]\r\nk=v\r\n",
    "[nekContentMask-200]\r\n[A]\r\nsecret=1\r\n[B]\r\n;c=3\r\nd=4",
    "[nekContentMask-1234567890]\r\n[A]\r\nx=1\r\n",
    "[A]\nx=1\n[B]\ny=2\n",
    "",
    "[]\r\n=\r\n[x]junk\r\n[y]  \r\n\r\n\r\n[z]",
};

const char* const pieces[] = {"\r\n", "\n", "\r", "[", "]", "=", ";", "\r\n[", "[import]\r\n",
                              "*", "|", "!", " ", "\t", "maxEntries=", "[nekContentMask+",
                              "[nekContentMask-", "sections=", "entries=", ",", "b.ini"};

std::string mutate(std::mt19937& rng, std::string s)
{
    auto pick = [&rng](size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng() % n); };
    const int steps = 1 + static_cast<int>(rng() % 4);
    for (int step = 0; step < steps; ++step) {
        switch (rng() % 7) {
        case 0:
            if (!s.empty())
                s[pick(s.size())] = static_cast<char>(rng() & 0xFF);
            break;
        case 1:
            s.insert(pick(s.size() + 1), pieces[pick(sizeof(pieces) / sizeof(pieces[0]))]);
            break;
        case 2:
            s.erase(pick(s.size() + 1), pick(16));
            break;
        case 3:
            s.resize(pick(s.size() + 1));
            break;
        case 4: {
            const size_t at = pick(s.size() + 1);
            const std::string part = s.substr(at, pick(32));
            s.insert(pick(s.size() + 1), part);
            break;
        }
        case 5: {
            std::string junk;
            for (size_t n = pick(24); n > 0; --n)
                junk += static_cast<char>(rng() & 0xFF);
            s.insert(pick(s.size() + 1), junk);
            break;
        }
        default: {  // LF only
            size_t p;
            while ((p = s.find("\r\n")) != std::string::npos)
                s.erase(p, 1);
            break;
        }
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
    auto file = [&work](const char* name) { return work + "\\" + name; };

    const std::string in = file("in.ini");
    const std::string other = file("b.ini");
    const std::vector<std::string> expectedFiles{"b.ini", "in.ini"};
    const char* const patterns[] = {"*", "!*", "style_*", "*a|!B", "x||y", "!style_*|*]"};

    std::mt19937 rng(20240611);
    const int inputs = 1000;
    for (int round = 0; round < inputs; ++round) {
        const size_t seedCount = sizeof(seeds) / sizeof(seeds[0]);
        const std::string bytes = mutate(rng, seeds[rng() % seedCount]);
        writeBytes(in, bytes);
        if (round % 8 == 0)
            writeBytes(other, mutate(rng, seeds[rng() % seedCount]));
        SCOPED_TRACE("round " + std::to_string(round));

        NFileIni ini;
        ASSERT_TRUE(ini.open(in.c_str(), false, false)) << str(ini.lastError);
        ASSERT_TRUE(str(ini.getContent()).size() >= 2);
        ASSERT_EQ(str(ini.getContent()).substr(str(ini.getContent()).size() - 2), "\r\n");

        NStringList names, texts, keys, values;
        ini.getSectionNames(names, patterns[rng() % 6], &texts);
        ASSERT_EQ(names.getCount(), texts.getCount());
        const NString section = names.getCount() > 0 ? names.getAt(0) : NString("A");
        ini.getValue(section, "x", "d");
        ini.getValueInt(section, "maxEntries", 3);
        ini.getSectionText(section);
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
        ini.setSectionText(section, "a=1\r\n");
        ini.renameSection(section, "renamed");

        NFileIni second;
        if (second.open(other.c_str(), false, true)) {
            ini.copySections(second, patterns[rng() % 6]);
            ini.mergeSections(second, patterns[rng() % 6]);
        }
        ini.import();

        // What is saved reads back as it was in memory.
        const std::string content = str(ini.getContent());
        ASSERT_TRUE(ini.save()) << str(ini.lastError);
        EXPECT_EQ(str(ini.getContent()), content);
        ASSERT_TRUE(ini.open(in.c_str(), false, true));
        EXPECT_EQ(str(ini.getContent()), content);
        ini.close(false);
        second.close(false);
        ASSERT_EQ(listFolder(work), expectedFiles);
    }
    EXPECT_EQ(listFolder(outer.path()), std::vector<std::string>{"work"});
}
