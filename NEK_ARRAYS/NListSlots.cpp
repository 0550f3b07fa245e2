#include "NListSlots.h"

#include <windows.h>

#include "NError.h"
#include "NString.h"

namespace NListSlots {

void reportIndex(const char* className, const char* operation, int index, int count)
{
    NString text;
    text.format("Fehler in der Liste: %s.%s(..)\r\n"
                "Es wurde ein Element au\xDF" "erhalb des Bereiches angefordert.\r\n"
                "Angefordert wurde: %d\r\n"
                "m\xF6glich ist: 0...%d",
                className, operation, index, count - 1);
    globalError.messageBox(text, 0, "Fehler !", MB_ICONERROR);
}

}  // namespace NListSlots
