// Shows the order in which the library's global objects are built and
// destroyed: probes sit between them (their order numbers leave gaps) and
// the program's main window comes last, as in every program. Each probe
// prints "+name letters" when built, with a letter for each library object
// built so far, and "-name letters" when it goes, with a letter for each
// still alive ('?': that object leaves no trace to look at). Letters: E error
// log, L language tables, D debug channel, B basic application services,
// R resource manager, C colour map, A application object.
#include <windows.h>

#include <cstring>

#include "NApplication.h"
#include "NApplicationBasic.h"
#include "NColorMap.h"
#include "NDebug.h"
#include "NError.h"
#include "NGlobalOrder.h"
#include "NLanguage.h"
#include "NResources.h"
#include "NWindow.h"

namespace {

void writeLine(const char* text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(strlen(text)), &written,
              nullptr);
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "\n", 1, &written, nullptr);
}

// Static storage is zero before its constructor runs; afterwards the first
// word of every library object is its virtual table.
bool built(const void* object)
{
    void* first = nullptr;
    std::memcpy(&first, object, sizeof first);
    return first != nullptr;
}

// Handles and lists that the objects' destructors release.
HBRUSH applicationBrush = nullptr;

void builtLetters(char* out)
{
    const void* objects[] = {&globalError,     &globalLanguage,  &globalDebug,      &globalApplicationBasic,
                             &globalResources, &globalColorMap,  &globalApplication};
    for (int i = 0; i < 7; ++i)
        out[i] = built(objects[i]) ? "ELDBRCA"[i] : '.';
    out[7] = '\0';
}

void aliveLetters(char* out)
{
    std::strcpy(out, "???..?.");
    if (globalApplicationBasic.getArguments().getCount() > 0)
        out[3] = 'B';
    if (globalResources.getFolders().getCount() > 0)
        out[4] = 'R';
    if (applicationBrush && GetObjectType(applicationBrush) == OBJ_BRUSH)
        out[6] = 'A';
}

class Probe {
public:
    explicit Probe(const char* name) : name(name) { report('+'); }
    ~Probe() { report('-'); }

private:
    void report(char sign)
    {
        char letters[8];
        if (sign == '+')
            builtLetters(letters);
        else
            aliveLetters(letters);
        char line[64];
        wsprintfA(line, "%c%s %s", sign, name, letters);
        writeLine(line);
    }
    const char* name;
};

Probe probe1005 NEK_INIT_ORDER(1005)("1005");
Probe probe1015 NEK_INIT_ORDER(1015)("1015");
Probe probe1025 NEK_INIT_ORDER(1025)("1025");
Probe probe1035 NEK_INIT_ORDER(1035)("1035");
Probe probe1045 NEK_INIT_ORDER(1045)("1045");
Probe probe1055 NEK_INIT_ORDER(1055)("1055");
Probe probe1065 NEK_INIT_ORDER(1065)("1065");
Probe probe1075 NEK_INIT_ORDER(1075)("1075");

class MainWindow : public NWindow {
public:
    MainWindow() : probe("main") {}
    ~MainWindow() override
    {
        writeLine(globalApplication.findWindow(nullptr) == this ? "main window still listed"
                                                                 : "main window not listed");
    }

private:
    Probe probe;
};

MainWindow mainWindow;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    writeLine(globalApplication.getMainWindow() == &mainWindow ? "main window taken"
                                                               : "main window missed");
    // Give the objects something their destructors visibly release.
    applicationBrush = globalApplication.getBackgroundBrush();
    globalResources.addFolder(globalApplicationBasic.getProgramFolder(), true);
    writeLine("WinMain");
    return 0;
}
