// The file dialogs, their name field filled and confirmed or cancelled as a user would.
#include <windows.h>
#include <commdlg.h>
#include <gtest/gtest.h>
#include "GuiTestSupport.h"
#include "NApplicationBasic.h"
#include "NFileDialog.h"

namespace {

void CALLBACK cancelStuck(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// Answers the next file dialog: `typed` into the name field, then `button`; keeps the title and the
// field's first text. A dialog still open after 3 s (a refused name) is cancelled.
struct DialogAnswer {
    explicit DialogAnswer(const std::string& typed, int button = IDOK)
    {
        boxes.expectDialog([this, typed, button](HWND dialog, const MessageBoxCatcher::Box& box) {
            char text[MAX_PATH] = "";
            GetDlgItemTextA(dialog, 0x47C, text, sizeof text);
            title = box.title;
            field = text;
            SetDlgItemTextA(dialog, 0x47C, typed.c_str());
            PostMessageA(dialog, WM_COMMAND, button, 0);
            SetTimer(dialog, 1, 3000, cancelStuck);
        });
    }
    MessageBoxCatcher boxes;
    std::string title, field;
};

}  // namespace

TEST(NFileDialog, OpenSaveAndMultiSelectionGiveFullPathsTheFolderIsRememberedAndCancelChangesNothing)
{
    TestFolder folder;
    for (const char* name : {"a.bmp", "b.bmp", "c.png"})
        writeBytes(folder.file(name), "x");
    NFileDialog dialog;
    dialog.filter = "AlleDateien|*.*|Alle Bilder|*.bmp";
    {
        DialogAnswer answer(folder.file("c.png"));
        EXPECT_EQ(dialog.showOpen(HWND(nullptr), "Datei \xF6" "ffnen"), 1);
        EXPECT_EQ(dialog.getRecord().Flags & 0x881004, 0x881004u);
        EXPECT_EQ(answer.title + "|" + str(dialog.fileName + "|" + dialog.filePart + "|" + dialog.extension),
                  "Datei \xF6" "ffnen|" + folder.file("c.png") + "|c.png|png");
    }
    // Saving to an existing file only after the user confirmed that it is replaced.
    {
        DialogAnswer answer(folder.file("a.bmp"));
        answer.boxes.expect(IDYES);
        EXPECT_EQ(dialog.showSave(HWND(nullptr), "Speichern"), 1);
        ASSERT_EQ(answer.boxes.count(), 2u);
        EXPECT_EQ(answer.boxes[1].title, "Speichern");  // the system's question, under the dialog's title
        EXPECT_EQ(answer.boxes[1].buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(str(dialog.fileName), folder.file("a.bmp"));
    }
    // Several names: the folder and one string per name; one name: its path.
    NStringList files;
    dialog.initialFile = (folder.path() + "\\").c_str();
    for (const char* typed : {"\"a.bmp\" \"b.bmp\" \"c.png\"", "b.bmp"}) {
        DialogAnswer answer(typed);
        EXPECT_EQ(dialog.showOpenMulti(HWND(nullptr), "Mehrere", files), 1);
    }
    EXPECT_EQ(str(files.join("|")), folder.file("a.bmp") + "|" + folder.file("b.bmp") + "|" +
                                        folder.file("c.png") + "|" + folder.file("b.bmp"));

    // A chosen folder is remembered under the dialog's key; a cancel changes nothing.
    TestFolder other;
    ASSERT_TRUE(globalApplicationBasic.openUserConfigFile());
    NFileIni& config = globalApplicationBasic.userConfig;
    const NString before = config.getContent();
    for (const char* key : {"", "nektest_bilder"}) {
        NFileDialog dialog;
        dialog.memoryKey = key;
        DialogAnswer answer(folder.file("a.bmp"));
        ASSERT_EQ(dialog.showOpen(HWND(nullptr), ""), 1);
        EXPECT_EQ(str(config.getContent()) == str(before), !*key) << key;
    }
    EXPECT_NE(readBytes(str(config.getPath())).find("nektest_bilder_lastFolder=" + folder.path()), std::string::npos);
    // The next dialog opens in that folder: a bare name is found there.
    {
        NFileDialog dialog;
        dialog.memoryKey = "nektest_bilder";
        DialogAnswer answer("b.bmp");
        ASSERT_EQ(dialog.showOpen(HWND(nullptr), ""), 1);
        EXPECT_EQ(answer.field, "");
        EXPECT_EQ(str(dialog.fileName) + "|" + str(dialog.initialFile), folder.file("b.bmp") + "|");
    }
    // Cancelled, each kind of dialog leaves its members and the folder it remembers.
    for (int kind = 0; kind < 3; ++kind) {
        NFileDialog dialog;
        dialog.fileName = "C:\\alt\\vorher.bmp";
        dialog.filePart = dialog.fileTitle = "vorher.bmp";
        dialog.memoryKey = "nektest_bilder";
        NStringList files;
        DialogAnswer answer(other.file("b.bmp"), IDCANCEL);
        const int result = kind == 0   ? dialog.showOpen(HWND(nullptr), "")
                           : kind == 1 ? dialog.showSave(HWND(nullptr), "")
                                       : dialog.showOpenMulti(HWND(nullptr), "", files);
        EXPECT_EQ(result + files.getCount(), 0);
        EXPECT_EQ(str(dialog.fileName + "|" + dialog.filePart + "|" + dialog.fileTitle + "|" + dialog.initialFile),
                  "C:\\alt\\vorher.bmp|vorher.bmp|vorher.bmp|") << kind;
    }
    EXPECT_EQ(str(config.getValue("NFileDialog", "nektest_bilder_lastFolder")), folder.path());
    config.setValue("NFileDialog", "nektest_bilder_lastFolder", "");
    config.save();
}
