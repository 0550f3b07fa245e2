#include <windows.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiTestSupport.h"

namespace {

// The system text as the log stores it: trimmed, continuation lines indented.
std::string indentedSystemText(unsigned int code)
{
    NString text = NError::getSystemMessage(code);
    text.trim();
    text.replace("\r\n", "\r\n\t");
    return str(text);
}

}  // namespace

TEST(NError, LogEntriesAreIndentedAndRecordedOnce)
{
    NError error;
    ASSERT_FALSE(NError::getSystemMessage(2).isEmpty());
    error.addError("Datei fehlt", 2);
    const std::string first = "\r\nDatei fehlt\r\n\tFehlernummer: 2\r\n\t" + indentedSystemText(2);
    EXPECT_EQ(str(error.log), first);

    // The same entry again, and an entry contained in an earlier one, add nothing.
    error.addError("Datei fehlt", 2);
    error.addError("Datei fehlt");
    EXPECT_EQ(str(error.log), first);

    // Blanks around an entry go; inner line breaks are indented.
    error.addError("  Zeile eins\r\nZeile zwei \r\n");
    EXPECT_EQ(str(error.log), first + "\r\nZeile eins\r\n\tZeile zwei");

    // Negative codes (HRESULTs) are written signed.
    NError other;
    other.addError("COM", 0x80004005u);
    EXPECT_EQ(str(other.log).rfind("\r\nCOM\r\n\tFehlernummer: -2147467259\r\n", 0), 0u);
}

TEST(NError, MessageBoxTextStyleAndTheLogShownAtTheEnd)
{
    NError error;
    MessageBoxCatcher boxes(2);
    error.showLog();  // nothing logged: no box
    error.messageBox("Mit Code", 5, "Titel", MB_ICONWARNING);
    // The code follows after a line break and one space, then the system's
    // text (the box may drop its trailing line break).
    NString system = NError::getSystemMessage(5);
    system.trimRight();
    EXPECT_EQ(boxes[0].title + " " + std::to_string(boxes[0].icon), "Titel " + std::to_string(MB_ICONWARNING));
    EXPECT_EQ(boxes[0].text.substr(0, boxes[0].text.find_last_not_of("\r\n") + 1),
              "Mit Code\r\n Fehlernummer: 5\r\n" + str(system));
    error.addError("Erster Fehler");
    error.addError("Zweiter Fehler");
    error.showLog();
    expectErrorBox(boxes[1], "Folgende Fehler sind w\xE4hrend der Abarbeitung des Programmes protokolliert "
                             "worden:\r\n\r\nErster Fehler\r\nZweiter Fehler");
    EXPECT_FALSE(error.log.isEmpty());  // the log stays after it was shown
}

TEST(MessageBoxCatcher, FailsOnUnexpectedAndMissingBoxesAndAnswersWithTheButtonAskedFor)
{
    EXPECT_NONFATAL_FAILURE(
        {
            MessageBoxCatcher boxes;
            MessageBoxA(nullptr, "ungefragt", "Box", MB_OK);
        },
        "unexpected dialog box");
    EXPECT_NONFATAL_FAILURE(MessageBoxCatcher(1), "never came");
    MessageBoxCatcher boxes;
    boxes.expect(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Weiter?", "Frage", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(boxes[0].buttons, (std::vector<int>{IDYES, IDNO}));
}
