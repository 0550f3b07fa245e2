#include "NApplicationBasic.h"

#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>

#include "NError.h"
#include "NGlobalOrder.h"
#include "NSystem.h"

NApplicationBasic globalApplicationBasic NEK_INIT_ORDER(NEK_ORDER_APPBASIC);

namespace {

// Drive and folder of a path, with one trailing separator removed.
NString folderOf(const NString& path)
{
    int end = -1;
    for (int i = path.getLength() - 1; i >= 0 && end < 0; --i) {
        const char c = path.getAt(i);
        if (c == '\\' || c == '/' || c == ':')
            end = i + 1;
    }
    if (end < 0)
        return NString();
    NString folder = path.left(end);
    if (folder.endsWith("\\") || folder.endsWith("/"))
        folder = folder.left(folder.getLength() - 1);
    return folder;
}

// The file name without folder and extension.
NString fileTitleOf(const NString& path)
{
    int start = 0;
    for (int i = path.getLength() - 1; i >= 0; --i) {
        const char c = path.getAt(i);
        if (c == '\\' || c == '/' || c == ':') {
            start = i + 1;
            break;
        }
    }
    NString title = path.mid(start);
    const int dot = title.findLastChar('.');
    if (dot >= 0)
        title = title.left(dot);
    return title;
}

}  // namespace

NApplicationBasic::NApplicationBasic() : reserved(0) { readCommandLine(); }

NApplicationBasic::~NApplicationBasic() { arguments.removeAll(); }

const char* NApplicationBasic::getName() const { return getClassName(); }
const char* NApplicationBasic::getClassName() const { return "NApplicationBasic"; }

void NApplicationBasic::splitCommandLine(const char* commandLine, NStringList& list)
{
    list.splitWords(commandLine ? commandLine : "");
}

void NApplicationBasic::readCommandLine()
{
    splitCommandLine(GetCommandLineA(), arguments);
    programPath = arguments.getCount() > 0 ? arguments.getAt(0) : NString();
    programFolder = folderOf(programPath);
    if (programFolder.isEmpty()) {
        char current[MAX_PATH] = "";
        const DWORD length = GetCurrentDirectoryA(sizeof current, current);
        if (length > 0 && length < sizeof current)
            programFolder = current;
    }
}

bool NApplicationBasic::openUserConfigFile()
{
    return openConfigFile(userConfig, CSIDL_APPDATA, "openUserConfigFile");
}

bool NApplicationBasic::openComputerConfigFile()
{
    return openConfigFile(computerConfig, CSIDL_COMMON_APPDATA, "openComputerConfigFile");
}

bool NApplicationBasic::openConfigFile(NFileIni& file, int folderId, const char* operation)
{
    if (file.isOpen())
        return true;
    const NString title = fileTitleOf(programPath);
    if (title.isEmpty()) {
        globalError.messageBox(
            NString("Fehler in NApplication::") + operation +
                "(..): Der Dateiname der Anwendung konnte nicht ermittelt werden.\r\n"
                "Eventuell haben Sie diese Funktion vor der Verarbeitung der \xDC"
                "bergabeparameter (z.B. in einem Konstruktor) aufgerufen.",
            0, "Fehler !", MB_ICONERROR);
        return false;
    }
    return file.open(NSystem::getSpecialFolder(folderId) + "\\" + title + ".cfg", true, false);
}

bool NApplicationBasic::wait(unsigned int milliseconds, volatile int* keepGoing)
{
    const DWORD start = timeGetTime();
    for (;;) {
        const DWORD elapsed = timeGetTime() - start;
        if (elapsed >= milliseconds)
            return true;
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The program is ending: leave the quit to the main loop.
                PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            // Nothing to do: sleep until a message comes, but look at the
            // flag (another thread may clear it) at least every 10 ms.
            DWORD pause = milliseconds - elapsed;
            if (keepGoing && pause > 10)
                pause = 10;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, pause, QS_ALLINPUT);
        }
        if (keepGoing && *keepGoing == 0)
            return false;
    }
}
