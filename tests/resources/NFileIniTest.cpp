#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "GuiTestSupport.h"
#include "NFileIni.h"
#include "NMapStringToNum.h"
#include "NMapStringToString.h"
#include "NStringList.h"

namespace {

std::string joined(const NStringList& list) { return str(list.join("|")); }

void openWith(NFileIni& ini, const TestFolder& folder, const std::string& name, const std::string& bytes,
              bool readOnly = false)
{
    writeBytes(folder.file(name), bytes);
    ASSERT_TRUE(ini.open(folder.file(name).c_str(), false, readOnly)) << str(ini.lastError);
}

class NFileIniTest : public ::testing::Test {
protected:
    MessageBoxCatcher boxes;  // any box fails the test
    TestFolder folder;
    NFileIni ini;
};

}  // namespace

TEST_F(NFileIniTest, ValueSearchAndValueEditsKeepTheRestOfTheText)
{
    openWith(ini, folder, "r.ini", "[A]  \r\nx=1\r\nkey =2\r\ny= spaced \r\nx=3\r\n[B]\r\nx=2\r\nq=4\r\n[A]\r\nz=9");
    // The first line of a key wins; case-sensitive; "=" right after the key; untrimmed; first [A] only.
    const char* values[][2] = {{"x", "1"}, {"X", "d"}, {"key", "d"}, {"y", " spaced "}, {"z", "d"}, {"q", "d"}};
    for (const auto& v : values)
        EXPECT_EQ(str(ini.getValue("A", v[0], "d")), v[1]) << v[0];
    EXPECT_EQ(ini.getValueInt("B", "x", 7), 2);
    ini.setValue("A", "x", "5");  // edits and removes the first line only
    EXPECT_EQ(str(ini.getValue("A", "x", "d")), "5");
    ini.setValue("A", "x", "");
    EXPECT_EQ(str(ini.getValue("A", "x", "d")), "3");
    NFileIni lf;  // LF-only lines are no lines
    openWith(lf, folder, "lf.ini", "[A]\nx=1\n[B]\ny=2");
    EXPECT_EQ(str(lf.getValue("B", "y", "d")), "d");

    const std::string start = "; comment\r\n\r\n[A]\r\nx=1\r\n; note\r\ny=2\r\n\r\n[B]\r\nk=v\r\n";
    openWith(ini, folder, "a.ini", start);
    ini.setValue("A", "x", "long value");
    EXPECT_TRUE(ini.isModified());
    EXPECT_EQ(str(ini.getContent()), "; comment\r\n\r\n[A]\r\nx=long value\r\n; note\r\ny=2\r\n\r\n[B]\r\nk=v\r\n");
    ini.setValue("A", "x", "");   // removes the line
    ini.setValue("A", "n", "3");  // before the next header
    ini.setValue("B", "m", "4");  // last section: at the end
    ini.setValue("C", "e", "");   // a missing section is appended even for an empty value
    ini.setValueInt("D", "i", -12);
    const std::string expected = "; comment\r\n\r\n[A]\r\n; note\r\ny=2\r\n\r\nn=3\r\n[B]\r\nk=v\r\nm=4\r\n"
                                 "\r\n[C]\r\ne=\r\n\r\n[D]\r\ni=-12\r\n";
    EXPECT_EQ(str(ini.getContent()), expected);
    ASSERT_TRUE(ini.save());
    EXPECT_FALSE(ini.isModified());
    EXPECT_EQ(readBytes(folder.file("a.ini")), expected);
}

TEST_F(NFileIniTest, SectionEditsNamePatternsAndBoundedLists)
{
    openWith(ini, folder, "a.ini", "[A] \r\n\r\nx=1\r\ny=2\r\n\r\n[Empty]\r\n[B]\r\nz=3");
    EXPECT_EQ(str(ini.getSectionText("A")), "x=1\r\ny=2\r\n\r\n");
    EXPECT_TRUE(ini.setSectionText("A", "x=1\r\ny=2\r\n\r\n"));
    EXPECT_FALSE(ini.isModified());  // same body: no change

    EXPECT_TRUE(ini.setSectionText("A", "n=1"));
    EXPECT_TRUE(ini.setSectionText("Empty", "e=1\r\n"));
    EXPECT_FALSE(ini.setSectionText("New", "a=b"));
    EXPECT_TRUE(ini.renameSection("Empty", "Full"));
    EXPECT_FALSE(ini.renameSection("Empty", "X"));
    EXPECT_EQ(str(ini.getContent()), "[A] \r\n\r\nn=1\r\n[Full]\r\ne=1\r\n[B]\r\nz=3\r\n\r\n\r\n[New]\r\na=b\r\n");

    NStringList keys, values;
    openWith(ini, folder, "e.ini", "[S]\r\n  alpha = 1 \r\n; c=0\r\n\r\nbeta=2=3\r\nplain\r\n");
    EXPECT_EQ(ini.getSectionEntries("S", keys, &values, true), 3);
    EXPECT_EQ(joined(keys) + "/" + joined(values), "alpha|beta|plain/1|2=3|");
    // A key written twice: the section's map takes its first line, as getValue does.
    openWith(ini, folder, "d.ini", "[S]\r\nk=1\r\n; k=0\r\nk=2\r\nn=7\r\n");
    NMapStringToString map;
    NMapStringToNum numbers;
    EXPECT_EQ(ini.getSectionMap("S", map, true) + ini.getSectionMap("S", numbers, true), 4);
    EXPECT_EQ(str(map.getKeyAt(0) + "=" + map.getValueAt(0) + "," + map.getKeyAt(1) + "=" + map.getValueAt(1)) +
              std::to_string(numbers.lookup("k")), "k=1,n=71");

    NFileIni own, other, merged;
    openWith(own, folder, "own.ini", "; mine\r\n[s1]\r\na=1\r\nb=2\r\n[keep]\r\nk=1\r\n");
    openWith(merged, folder, "merged.ini", str(own.getContent()));
    openWith(other, folder, "other.ini", "[s1]\r\nb=20\r\nc=30\r\n[s2]\r\nd=4\r\n[keep]\r\nk=9\r\n", true);
    own.copySections(other, "s*");
    EXPECT_EQ(str(own.getContent()), "; mine\r\n[s1]\r\nb=20\r\nc=30\r\n[keep]\r\nk=1\r\n\r\n\r\n[s2]\r\nd=4\r\n");
    merged.mergeSections(other, "s*");
    EXPECT_EQ(str(merged.getContent()),
              "; mine\r\n[s1]\r\na=1\r\nb=20\r\nc=30\r\n[keep]\r\nk=1\r\n\r\n\r\n[s2]\r\nd=4\r\n");
    EXPECT_FALSE(other.isModified());

    openWith(ini, folder, "a.ini", "[style_a]\r\n a=1 \r\n\r\n[x]\r\nv=[fake]\r\n[style_b] \r\n[y_b]\r\n[x]\r\n");
    // Patterns in order, each name once; an empty alternative ends the pattern.
    const char* patterns[][2] = {{"style_*", "2:style_a|style_b"}, {"!style_*", "2:x|y_b"}, {"*_b", "2:style_b|y_b"},
                                 {"y_b|x|*_b", "3:y_b|x|style_b"}, {"x||y_b", "1:x"}, {"X", "0:"}, {"", "0:"}};
    for (const auto& p : patterns) {
        NStringList names;
        const int count = ini.getSectionNames(names, p[0]);
        EXPECT_EQ(std::to_string(count) + ":" + joined(names), p[1]) << p[0];
    }
    NStringList names, texts;
    EXPECT_EQ(ini.getSectionNames(names, "style_*|x", &texts), 3);
    EXPECT_EQ(joined(texts), "a=1||v=[fake]");

    openWith(ini, folder, "a.ini", "[Recent]\r\nmaxEntries=3\r\nc.txt\r\nb.txt\r\na.txt\r\n[Other]\r\nq=1\r\n");
    NStringList list;
    EXPECT_EQ(ini.getListEntries("Recent", list), 3);
    EXPECT_EQ(joined(list), "c.txt|b.txt|a.txt");
    ini.addListEntry("Recent", "d.txt");  // the oldest goes
    ini.addListEntry("Recent", "b.txt");  // a known entry moves to the top
    EXPECT_EQ(str(ini.getSectionText("Recent")), "maxEntries=3\r\nb.txt\r\nd.txt\r\nc.txt\r\n");
    ini.removeListEntry("Recent", "d.txt");
    EXPECT_EQ(str(ini.getSectionText("Recent")), "maxEntries=3\r\nb.txt\r\nc.txt\r\n");
    EXPECT_EQ(str(ini.getValue("Other", "q")), "1");

    // An entry replaces the later lines of its key and those that begin with it.
    for (const char* entry : {"file=1", "file2=2", "x=file", "fil=0", "file=3"})
        ini.addListEntry("Keys", entry);
    EXPECT_EQ(str(ini.getSectionText("Keys")), "maxEntries=10\r\nfile=3\r\nfil=0\r\nx=file\r\n");
    ini.addListEntry("Keys", "fi");
    EXPECT_EQ(str(ini.getSectionText("Keys")), "maxEntries=10\r\nfi\r\nx=file\r\n");
    for (int i = 0; i < 12; ++i)
        ini.addListEntry("Many", NString::fromNumber(i));
    EXPECT_EQ(ini.getListEntries("Many", list), 10);
    EXPECT_EQ(str(list.getAt(0)) + "," + str(list.getAt(9)), "11,2");
}

TEST_F(NFileIniTest, ImportKinds)
{
    openWith(ini, folder, "base.ini", "[import]\r\nsections = styles.ini, sec*, ignore\r\n"
                                        "sections=styles.ini,add*,addContent\r\nsections=styles.ini,rep*,replace\r\n"
                                        "entries=styles.ini,ent_own,ignore\r\nentries=styles.ini,ent_imp,x\r\n"
                                        "[sec]\r\nmine=1\r\n[add]\r\na=1\r\n[rep]\r\nr=1\r\n"
                                        "[ent_own]\r\nk=own\r\nonly=own\r\n[ent_imp]\r\nk=own\r\nonly=own\r\n");
    writeBytes(folder.file("styles.ini"), "[import]\r\nsections=deep.ini,*\r\n[sec]\r\ntheirs=1\r\n[add]\r\nb=2\r\n[rep]\r\n"
                                          "r=2\r\n[ent_own]\r\nk=imp\r\nnew=imp\r\n[ent_imp]\r\nk=imp\r\nnew=imp\r\n");
    writeBytes(folder.file("deep.ini"), "[sec_deep]\r\nd=1\r\n");
    EXPECT_TRUE(ini.import());
    // sec_deep: imported by styles.ini, then copied on.
    const char* sections[][2] = {{"sec", "mine=1\r\n"}, {"sec_deep", "d=1\r\n"}, {"add", "a=1\r\nb=2\r\n"}, {"rep", "r=2\r\n"},
                                 {"ent_own", "k=own\r\nnew=imp\r\nonly=own\r\n"}, {"ent_imp", "k=imp\r\nonly=own\r\nnew=imp\r\n"}};
    for (const auto& section : sections)
        EXPECT_EQ(str(ini.getSectionText(section[0])), section[1]) << section[0];
    EXPECT_EQ(readBytes(folder.file("deep.ini")), "[sec_deep]\r\nd=1\r\n");  // never written
    ini.close(false);

    // The result reports the last line only.
    openWith(ini, folder, "missing.ini", "[import]\r\nsections=nothere.ini,*\r\n");
    EXPECT_FALSE(ini.import());
    EXPECT_FALSE(ini.isModified());
    ini.close(false);
    openWith(ini, folder, "last.ini", "[import]\r\nbogus=deep.ini,*\r\nsections=deep.ini,*\r\n");
    EXPECT_TRUE(ini.import());
    ini.close(false);

    // Files importing each other end; the cycle is reported.
    writeBytes(folder.file("c2.ini"), "[import]\r\nsections=c1.ini,*\r\n[two]\r\n2=2\r\n");
    openWith(ini, folder, "c1.ini", "[import]\r\nsections=c2.ini,*\r\n[one]\r\n1=1\r\n", true);
    EXPECT_FALSE(ini.import());
    EXPECT_EQ(str(ini.getValue("two", "2")), "2");
}

TEST_F(NFileIniTest, OpenFailuresAtomicSaveAndContentMask)
{
    EXPECT_FALSE(ini.open(folder.file("missing.ini").c_str(), false, false));
    EXPECT_FALSE(ini.lastError.isEmpty());
    EXPECT_FALSE(ini.save());
    EXPECT_FALSE(fileExists(folder.file("missing.ini")));
    EXPECT_FALSE(ini.create(folder.file("no\\such\\folder.ini").c_str()));

    // Opening another file saves the edits first; when they cannot be saved nothing changes.
    openWith(ini, folder, "first.ini", "[F]\r\nf=1\r\n");
    ini.setValue("F", "f", "2");
    openWith(ini, folder, "second.ini", "[S]\r\n");
    EXPECT_EQ(readBytes(folder.file("first.ini")), "[F]\r\nf=2\r\n");
    ini.setValue("S", "s", "1");
    SetFileAttributesA(folder.file("second.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(ini.open(folder.file("first.ini").c_str(), false, false));
    EXPECT_EQ(str(ini.getPath()), folder.file("second.ini"));
    EXPECT_EQ(str(ini.getContent()), "[S]\r\ns=1\r\n");
    EXPECT_TRUE(ini.isModified());
    ini.close(false);
    SetFileAttributesA(folder.file("second.ini").c_str(), FILE_ATTRIBUTE_NORMAL);

    // Read-only: never written, not even by close(true).
    openWith(ini, folder, "ro.ini", "[O]\r\no=1\r\n", true);
    ini.setValue("O", "o", "2");
    EXPECT_FALSE(ini.save());
    ini.close(true);
    EXPECT_EQ(readBytes(folder.file("ro.ini")), "[O]\r\no=1\r\n");

    // A save that cannot replace the file leaves it whole, with nothing beside it.
    TestFolder own;
    const std::string old = "[A]\r\nx=old\r\n";
    openWith(ini, own, "a.ini", old);
    ini.setValue("A", "x", "new");
    const std::string path = own.file("a.ini");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ini.save());
    CloseHandle(lock);
    EXPECT_TRUE(ini.isModified());
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(listFolder(own.path()), std::vector<std::string>{"a.ini"});

    // Once free again the kept text is saved; a hidden file stays hidden.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readBytes(path), "[A]\r\nx=new\r\n");
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(listFolder(own.path()), std::vector<std::string>{"a.ini"});

    // A content mask: the file stored masked, the text in memory plain.
    const std::string plain = "[nekContentMask-200]\r\n[A]\r\nsecret=value\r\n";
    openWith(ini, folder, "m.ini", plain);
    ini.setValue("A", "more", "x");
    ASSERT_TRUE(ini.save());
    const std::string expectedPlain = plain + "more=x\r\n";
    EXPECT_EQ(str(ini.getContent()), expectedPlain);  // memory stays plain

    std::string masked = "[nekContentMask+200]\r\n" + expectedPlain.substr(22);
    const char mask = static_cast<char>((200 - NFileIni::contentMaskBase) & 0xFF);
    ASSERT_NE(mask, 0);
    for (size_t i = 22; i < masked.size(); ++i)
        masked[i] ^= mask;
    EXPECT_EQ(readBytes(folder.file("m.ini")), masked);
    NFileIni reread;
    ASSERT_TRUE(reread.open(folder.file("m.ini").c_str(), false, true));
    EXPECT_EQ(str(reread.getContent()), expectedPlain);
}
