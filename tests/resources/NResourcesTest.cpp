


#include "GuiTestSupport.h"
#include "NFileIni.h"
#include "NLanguage.h"
#include "NStringList.h"
#include "NTime.h"

namespace {

#define M "\xB3\xB3"

std::string joined(const NStringList& list) { return str(list.join("|")); }

void makeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)); }

struct Manager {
    explicit Manager(const TestFolder& program)
    {
        resources.setProgramFolder(program.path().c_str());
        resources.setProgramPath(program.file("prog.exe").c_str());
    }
    NResources resources;
};

}  // namespace

TEST(NResources, FirstStartCreatesTheResourceFolderAndKeepsExistingFiles)
{
    TestFolder program;
    const std::string resourceFolder = program.file("NEK-Resourcen");
    {
        Manager manager(program);
        manager.resources.init();
        EXPECT_EQ(readBytes(resourceFolder + "\\controlpos.ini"), "\r\n");
        EXPECT_EQ(readBytes(resourceFolder + "\\resource.ini"), "[StandardResourcePath]\r\n");
        EXPECT_EQ(listFolder(resourceFolder), (std::vector<std::string>{"controlpos.ini", "resource.ini"}));

        EXPECT_EQ(joined(manager.resources.getFolders()), resourceFolder);
        EXPECT_EQ(joined(manager.resources.getSecondaryFolders()), program.path() + "|" + program.file("resources"));
    }

    // A later start keeps what the developer wrote, and takes the extra
    // folders of resource.ini in their order, without trailing backslashes.
    const std::string extraA = program.file("extraA"), extraB = program.file("extraB");
    writeBytes(resourceFolder + "\\controlpos.ini", "[Control-Styles]\r\nmine=1\r\n");
    writeBytes(resourceFolder + "\\resource.ini",
               "[StandardResourcePath]\r\n" + extraA + "\\\r\n;" + program.path() + "\\commented\r\n" + extraB + "\r\n");
    Manager manager(program);
    manager.resources.init();
    EXPECT_EQ(readBytes(resourceFolder + "\\controlpos.ini"), "[Control-Styles]\r\nmine=1\r\n");
    EXPECT_EQ(joined(manager.resources.getFolders()), resourceFolder + "|" + extraA + "|" + extraB);
    EXPECT_EQ(str(manager.resources.getStyle("mine")), "1");
}

TEST(NResources, UnusableIniFilesAreReportedAndInitGoesOn)
{
    TestFolder program;
    const std::string resourceFolder = program.file("NEK-Resourcen");
    // Folders where the files belong: neither can be opened as a file.
    for (const char* folder : {"", "\\resource.ini", "\\controlpos.ini"})
        makeFolder(resourceFolder + folder);
    MessageBoxCatcher boxes(2);
    Manager manager(program);
    manager.resources.init();
    expectErrorBox(boxes[0], "Fehler: resource.ini konnte nicht verwendet werden.\r\n");
    expectErrorBox(boxes[1], "Fehler: controlpos.ini konnte nicht verwendet werden.\r\n");
    EXPECT_EQ(str(manager.resources.getStyle("NButton-form")), "0,0");
}

TEST(NResources, OneFolderServesFilesInLookupOrderStylesInTheirOrderAndLanguagesAndRecordsWhatWasUsed)
{
    TestFolder program;
    const std::string resourceFolder = program.file("NEK-Resourcen");
    for (const std::string& folder : {resourceFolder, resourceFolder + "\\sub", program.file("resources")})
        makeFolder(folder);
    writeBytes(resourceFolder + "\\nek.bmp", "from resource folder");
    writeBytes(program.file("nek.bmp"), "from program folder");
    writeBytes(program.file("resources\\sound.wav"), "wave");
    writeBytes(program.file("loose.txt"), "loose");
    writeBytes(resourceFolder + "\\controlpos.ini",
               "[Standard-Styles]\r\nnek_color_win_back=#ffe0e0\r\n; comment=not a style\r\n"
               "early={{late}}/{{nek_color_ctrl_text}}\r\nlate=#123456\r\nstranger={{nobody}}\r\n"
               "[Control-Styles]\r\nNStatic-normal=9,{{late}},Arial,400\r\nNButton-disabled={{nek_color_input_back}}\r\n");
    writeBytes(resourceFolder + "\\a.sty",
               "[style_a]\r\nlate=from sty {{nek_color_ctrl_text}}\r\n[other]\r\nignored=1\r\n");
    writeBytes(program.file("app_en.lng"), "title=Converter" M "twice=program folder" M);
    writeBytes(resourceFolder + "\\lib_en.lng", "; library texts\nok=OK" M "twice=resources" M "=x");
    writeBytes(resourceFolder + "\\sub\\deep_en.lng", "deep=found");
    writeBytes(resourceFolder + "\\lib_de.lng", "ok=Gut");

    const NTime before;
    {
        Manager manager(program);
        manager.resources.init();
        const std::string files[][2] = {
            {"nek.bmp", resourceFolder + "\\nek.bmp"},
            // Found in a secondary folder: no record.
            {"sound.wav", program.file("resources\\sound.wav")},
            {"Controlpos.INI", resourceFolder + "\\Controlpos.INI"}, {"missing.bmp", ""},
            // A folder is no resource file; a path of an existing file is taken as it is.
            {"resources", ""}, {program.file("loose.txt"), program.file("loose.txt")},
        };
        for (const auto& f : files) EXPECT_EQ(str(manager.resources.getFile(f[0].c_str())), f[1]);

        const char* const styles[][2] = {
            {"nek_color_win_back", "#ffe0e0"}, {"nek_color_win_back_contrast", "#d0d0ff;"},
            // A name defined later is not known yet when the value is expanded.
            {"early", "{{late}}/#5050ff;"}, {"stranger", "{{nobody}}"}, {"; comment", ""},
            // The built-in button styles see the colours of [Standard-Styles].
            {"NButton-normal", "#ffe0e0,#a0a0ff,#a0a0ff,#5050ff;"},
            {"NButton-selected", "#d0d0ff;,#a0a0ff,#a0a0ff,#5050ff;"},
            // [Control-Styles] comes after them and may replace them; style files come last.
            {"NButton-disabled", "#ffffff"}, {"NStatic-normal", "9,#123456,Arial,400"}, {"late", "from sty #5050ff;"},
            {"ignored", ""}, {"no such style", ""},
        };
        for (const auto& style : styles)
            EXPECT_EQ(str(manager.resources.getStyle(style[0])), style[1]) << style[0];

        manager.resources.loadLanguage("en");
        EXPECT_EQ(str(NString(M "title" M "Konverter")) + "|" + str(NString(M "ok" M "Gut")), "Converter|OK");
        // The program folder's file comes first, and the first entry wins.
        EXPECT_EQ(str(NString(M "twice" M "?")), "program folder");
        // Language files are not searched in subfolders.
        EXPECT_EQ(str(NString(M "deep" M "tief")), "tief");
        EXPECT_EQ(str(globalLanguage.getErrorText()),
                  "NLanguage::load(..) Eintrag Nr. 4 hat einen leeren Schl\xFCssel.\r\n");

        // Without a name the table's own name ("de" after clearing) is used.
        manager.resources.loadLanguage("");
        EXPECT_EQ(str(globalLanguage.getLanguageName()), "de");
        EXPECT_EQ(str(NString(M "ok" M "?")) + "|" + str(NString(M "title" M "Konverter")), "Gut|Konverter");
        globalLanguage.clear();
    }
    const NTime after;

    // The record is saved when the manager ends; one key per file, lower case.
    NFileIni ini;
    ASSERT_TRUE(ini.open((resourceFolder + "\\resource.ini").c_str(), false, true));
    NStringList keys, values;
    ASSERT_EQ(ini.getSectionEntries("usedResources", keys, &values, true), 1);
    EXPECT_EQ(str(keys.getAt(0)), "nek.bmp");
    const std::string stamp = str(values.getAt(0));
    const std::string from = str(before.format("%d.%m.%Y %H:%M:%S")), to = str(after.format("%d.%m.%Y %H:%M:%S"));
    EXPECT_EQ(stamp.size(), 19u);
    EXPECT_TRUE(stamp >= from && stamp <= to) << stamp << " not in " << from << " .. " << to;
    EXPECT_EQ(str(ini.getSectionText("StandardResourcePath")), "");
}

TEST(NResources, UseBeforeInitWarnsAndCarriesOn)
{
    NResources resources;
    MessageBoxCatcher boxes(3);
    EXPECT_EQ(str(resources.getFile("nek.bmp")), "");
    EXPECT_EQ(str(resources.getStyle("NButton-normal")), "");
    NStringList list;
    EXPECT_EQ(resources.findFiles("*.sty", list, false), 0);
    expectErrorBox(boxes[0],
              "Die Funktion NResources::getFile(\"nek.bmp\") kann erst nach der Initialisierung "
              "des globalResources-Objektes verwendet werden.\r\nSie sollten sie z.B. nicht im "
              "Konstrukor des Main-Fensters sondern besser in onPreCreateWindow() verwenden.");
}
