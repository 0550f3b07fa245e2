// The open and save dialogs, driven through the CBT hook: the file-name
// field is filled and the dialog confirmed or cancelled as a user would.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include "MessageBoxCatcher.h"
#include "NApplicationBasic.h"
#include "NFileDialog.h"
#include "NFileSystem.h"
#include "TestFiles.h"
#include "WindowTestSupport.h"

namespace {

// What the dialog showed when it opened.
struct Seen {
    std::string title;
    std::string field;
    HWND owner = nullptr;
};

// A dialog still open after the answer (a name it did not accept) is
// cancelled, so that a failing test ends.
void CALLBACK cancelDialog(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// Queues an answer for the next file dialog: `typed` into the file-name
// field, then `button`.
void answer(MessageBoxCatcher& boxes, Seen& seen, const std::string& typed, int button = IDOK)
{
    boxes.expectDialog([&seen, typed, button](HWND dialog, const MessageBoxCatcher::Box& box) {
        char field[MAX_PATH] = "";
        GetDlgItemTextA(dialog, 0x47C, field, sizeof field);
        seen = {box.title, field, GetWindow(dialog, GW_OWNER)};
        SetDlgItemTextA(dialog, 0x47C, typed.c_str());
        PostMessageA(dialog, WM_COMMAND, button, 0);
        SetTimer(dialog, 1, 3000, cancelDialog);
    });
}

std::string memoryValue(const char* key)
{
    return str(globalApplicationBasic.userConfig.getValue("NFileDialog", key));
}

}  // namespace

TEST(NFileDialog, PrepareFillsTheSystemRecord)
{
    NFileDialog dialog;
    EXPECT_EQ(str(dialog.filter), "alle Dateien|*.*");
    EXPECT_EQ(dialog.filterIndex, 1);

    dialog.filter = "AlleDateien|*.*|Alle Bilder|*.bmp";
    dialog.filterIndex = 2;
    dialog.initialFile = "C:\\Bilder\\a.bmp";
    dialog.defaultExtension = "bmp";
    dialog.prepare(nullptr);
    const OPENFILENAMEA& record = dialog.getRecord();
    EXPECT_EQ(record.lStructSize, sizeof(OPENFILENAMEA));
    EXPECT_EQ(std::string(record.lpstrFilter, 36),
              std::string("AlleDateien\0*.*\0Alle Bilder\0*.bmp\0\0", 36));
    EXPECT_EQ(record.nFilterIndex, 2u);
    EXPECT_STREQ(record.lpstrFile, "C:\\Bilder\\a.bmp");
    EXPECT_EQ(record.nMaxFile, 4000u);
    EXPECT_EQ(record.nMaxFileTitle, 1000u);
    EXPECT_EQ(record.lpstrInitialDir, nullptr);
    EXPECT_EQ(record.Flags, 0x880004u);
    EXPECT_STREQ(record.lpstrDefExt, "bmp");

    dialog.filter = "";
    dialog.defaultExtension = "";
    dialog.prepare(nullptr);
    EXPECT_EQ(dialog.getRecord().lpstrFilter, nullptr);
    EXPECT_EQ(dialog.getRecord().lpstrDefExt, nullptr);
}

TEST(NFileDialog, OpenAndSaveReturnThePathAndItsParts)
{
    TestFolder folder;
    writeBytes(folder.file("bild.png"), "x");
    RecordingWindow owner;
    ASSERT_TRUE(owner.create());
    {
        MessageBoxCatcher boxes;
        Seen seen;
        NFileDialog dialog;
        answer(boxes, seen, folder.file("bild.png"));
        EXPECT_EQ(dialog.showOpen(&owner, "Datei \xF6" "ffnen"), 1);
        EXPECT_EQ(seen.title, "Datei \xF6" "ffnen");
        EXPECT_EQ(seen.owner, owner.hwnd);
        EXPECT_EQ(str(dialog.fileName), folder.file("bild.png"));
        EXPECT_EQ(str(dialog.filePart), "bild.png");
        EXPECT_EQ(str(dialog.extension), "png");
        EXPECT_EQ(str(dialog.fileTitle), "bild.png");
    }
    {
        MessageBoxCatcher boxes;
        Seen seen;
        NFileDialog dialog;
        answer(boxes, seen, folder.file("neu.txt"));
        EXPECT_EQ(dialog.showSave(owner.hwnd, "Speichern"), 1);
        EXPECT_EQ(seen.title, "Speichern");
        EXPECT_EQ(str(dialog.fileName), folder.file("neu.txt"));
        EXPECT_EQ(str(dialog.extension), "txt");
    }
    owner.destroy();
}

TEST(NFileDialog, CancelLeavesEveryMemberAsItWas)
{
    TestFolder folder;
    ASSERT_TRUE(globalApplicationBasic.openUserConfigFile());
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        NFileDialog dialog;
        dialog.fileName = "C:\\alt\\vorher.bmp";
        dialog.filePart = "vorher.bmp";
        dialog.extension = "bmp";
        dialog.fileTitle = "vorher.bmp";
        dialog.initialFile = "";
        dialog.memoryKey = "nektest_abbruch";
        globalApplicationBasic.userConfig.setValue("NFileDialog", "nektest_abbruch_lastFolder",
                                                   folder.path().c_str());
        NStringList files;
        files.add("schon da");

        MessageBoxCatcher boxes;
        Seen seen;
        answer(boxes, seen, folder.file("x.bmp"), IDCANCEL);
        const int result = kind == 0   ? dialog.showOpen(HWND(nullptr), "")
                           : kind == 1 ? dialog.showSave(HWND(nullptr), "")
                                       : dialog.showOpenMulti(HWND(nullptr), "", files);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(str(dialog.fileName), "C:\\alt\\vorher.bmp");
        EXPECT_EQ(str(dialog.filePart), "vorher.bmp");
        EXPECT_EQ(str(dialog.extension), "bmp");
        EXPECT_EQ(str(dialog.fileTitle), "vorher.bmp");
        EXPECT_EQ(str(dialog.initialFile), "");
        EXPECT_EQ(files.getCount(), 1);
        EXPECT_EQ(memoryValue("nektest_abbruch_lastFolder"), folder.path());
    }
    globalApplicationBasic.userConfig.setValue("NFileDialog", "nektest_abbruch_lastFolder", "");
    globalApplicationBasic.userConfig.save();
}

TEST(NFileDialog, MultiSelectionGivesFullPaths)
{
    TestFolder folder;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        writeBytes(folder.file(name), "x");
    {
        MessageBoxCatcher boxes;
        Seen seen;
        NFileDialog dialog;
        dialog.initialFile = (folder.path() + "\\").c_str();
        NStringList files;
        files.add("schon da");
        answer(boxes, seen, "\"a.bmp\" \"b.bmp\" \"c.bmp\"");
        EXPECT_EQ(dialog.showOpenMulti(HWND(nullptr), "Mehrere", files), 1);
        ASSERT_EQ(files.getCount(), 4);
        EXPECT_EQ(str(files.getAt(1)), folder.file("a.bmp"));
        EXPECT_EQ(str(files.getAt(2)), folder.file("b.bmp"));
        EXPECT_EQ(str(files.getAt(3)), folder.file("c.bmp"));
    }
    {
        MessageBoxCatcher boxes;
        Seen seen;
        NFileDialog dialog;
        NStringList files;
        answer(boxes, seen, folder.file("b.bmp"));
        EXPECT_EQ(dialog.showOpenMulti(HWND(nullptr), "Einer", files), 1);
        ASSERT_EQ(files.getCount(), 1);
        EXPECT_EQ(str(files.getAt(0)), folder.file("b.bmp"));
    }
}

TEST(NFileDialog, ChosenFolderIsRememberedForTheNextDialog)
{
    TestFolder folder;
    writeBytes(folder.file("a.bmp"), "x");
    writeBytes(folder.file("b.bmp"), "x");
    const char* key = "nektest_bilder_lastFolder";
    ASSERT_TRUE(globalApplicationBasic.openUserConfigFile());
    NFileIni& config = globalApplicationBasic.userConfig;
    config.setValue("NFileDialog", key, "");

    // Without a memory key the configuration stays as it is.
    {
        const NString before = config.getContent();
        MessageBoxCatcher boxes;
        Seen seen;
        NFileDialog dialog;
        answer(boxes, seen, folder.file("a.bmp"));
        ASSERT_EQ(dialog.showOpen(HWND(nullptr), ""), 1);
        EXPECT_EQ(str(config.getContent()), str(before));
    }
    {
        MessageBoxCatcher boxes;
        Seen seen;
        NFileDialog dialog;
        dialog.memoryKey = "nektest_bilder";
        answer(boxes, seen, folder.file("a.bmp"));
        ASSERT_EQ(dialog.showOpen(HWND(nullptr), ""), 1);
        EXPECT_EQ(memoryValue(key), folder.path());
        // Saved at once.
        EXPECT_NE(readBytes(str(config.getPath())).find(std::string(key) + "=" + folder.path()),
                  std::string::npos);
    }
    // A new dialog opens in that folder: a bare name is found there.
    {
        MessageBoxCatcher boxes;
        Seen seen;
        NFileDialog dialog;
        dialog.memoryKey = "nektest_bilder";
        answer(boxes, seen, "b.bmp");
        ASSERT_EQ(dialog.showOpen(HWND(nullptr), ""), 1);
        EXPECT_EQ(seen.field, "");
        EXPECT_EQ(str(dialog.fileName), folder.file("b.bmp"));
        EXPECT_EQ(str(dialog.initialFile), "");
    }
    config.setValue("NFileDialog", key, "");
    config.save();
}
