


#include "GuiTestSupport.h"

TEST(NError, LogEntriesAreIndentedAndRecordedOnceBoxesShowCodeAndLog)
{
    NError error;
    // The system text as the log stores it: trimmed, continuation lines indented.
    NString system = NError::getSystemMessage(2);
    system.trim();
    ASSERT_FALSE(system.isEmpty());
    system.replace("\r\n", "\r\n\t");
    error.addError("Datei fehlt", 2);
    const std::string first = "\r\nDatei fehlt\r\n\tFehlernummer: 2\r\n\t" + str(system);
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

    error.log = "";
    MessageBoxCatcher boxes(2);  // none from the empty log
    error.showLog();
    error.messageBox("Mit Code", 5, "Titel", MB_ICONWARNING);
    // The code follows after a line break and one space, then the system's text (the box may drop its
    // trailing line break).
    system = NError::getSystemMessage(5);
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
