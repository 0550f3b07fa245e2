#include "NError.h"

#include <windows.h>

#include "NGlobalOrder.h"

NError globalError NEK_INIT_ORDER(NEK_ORDER_ERROR);

NError::NError() {}
NError::~NError() {}

const char* NError::getName() const { return getClassName(); }
const char* NError::getClassName() const { return "NError"; }

void NError::addError(const NString& text, unsigned int errorCode)
{
    NString entry(text);
    if (errorCode != 0) {
        entry.appendFormat("\r\nFehlernummer: %d\r\n", static_cast<int>(errorCode));
        entry += getSystemMessage(errorCode);
    }
    entry.trim();
    // Continuation lines are indented under the entry's first line.
    entry.replace("\r\n", "\r\n\t");
    entry.insert(0, "\r\n");
    if (log.find(entry) < 0)
        log += entry;
}

void NError::messageBox(const NString& text, unsigned int errorCode, const NString& title,
                        unsigned int style)
{
    NString message(text);
    if (errorCode != 0) {
        message.appendFormat("\r\n Fehlernummer: %d\r\n", static_cast<int>(errorCode));
        message += getSystemMessage(errorCode);
    }
    MessageBoxA(GetActiveWindow(), message, title, style);
}

void NError::showLog()
{
    if (log.isEmpty())
        return;
    messageBox(NString("Folgende Fehler sind w\xE4hrend der Abarbeitung des Programmes "
                       "protokolliert worden:\r\n") +
                   log,
               0, "Fehler !", MB_ICONERROR);
}

NString NError::getSystemMessage(unsigned int errorCode)
{
    NString result;
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                  nullptr, errorCode, 0x400, reinterpret_cast<char*>(&text), 0,
                                  nullptr);
    if (length > 0 && text)
        result.set(text, static_cast<int>(length));
    if (text)
        LocalFree(text);
    return result;
}
