// Shows the order in which the library's global objects are built and destroyed: probes sit
// between them and the main window comes last. Each probe writes "+name letters|" when built and
// "-name letters|" when it goes, a letter for each library object alive ('?': no trace to look at):
// E error log, L language, D debug channel, B basic services, R resources, C colours, A application.
#include <windows.h>

#include <cstring>
#include <string>

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

// A brush the application object's destructor releases.
HBRUSH applicationBrush = nullptr;

void write(std::string text)
{
    text += "|";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.c_str(), DWORD(text.size()), &written, nullptr);
}

struct Probe {
    explicit Probe(const char* name) : name(name)
    {
        // Static storage is zero before its constructor runs; afterwards the
        // first word of every library object is its virtual table.
        const void* objects[] = {&globalError, &globalLanguage, &globalDebug, &globalApplicationBasic,
                                 &globalResources, &globalColorMap, &globalApplication};
        std::string letters = "ELDBRCA";
        for (int i = 0; i < 7; ++i) {
            void* first = nullptr;
            std::memcpy(&first, objects[i], sizeof first);
            letters[i] = first ? letters[i] : '.';
        }
        write("+" + std::string(name) + " " + letters);
    }
    ~Probe()
    {
        std::string letters = "???..?.";
        if (globalApplicationBasic.getArguments().getCount() > 0) letters[3] = 'B';
        if (globalResources.getFolders().getCount() > 0) letters[4] = 'R';
        if (applicationBrush && GetObjectType(applicationBrush) == OBJ_BRUSH) letters[6] = 'A';
        write("-" + std::string(name) + " " + letters);
    }
    const char* name;
};

#define PROBE(order) Probe probe##order NEK_INIT_ORDER(order)(#order);
PROBE(1005) PROBE(1015) PROBE(1025) PROBE(1035) PROBE(1045) PROBE(1055) PROBE(1065) PROBE(1075)

struct MainWindow : NWindow {
    MainWindow() : probe("main") {}
    ~MainWindow() override
    {
        write(globalApplication.findWindow(nullptr) == this ? "main listed" : "main not listed");
    }
    Probe probe;
};

MainWindow mainWindow;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    write(globalApplication.getMainWindow() == &mainWindow ? "main taken" : "main missed");
    // Give the objects something their destructors visibly release.
    applicationBrush = globalApplication.getBackgroundBrush();
    globalResources.addFolder(globalApplicationBasic.getProgramFolder(), true);
    return 0;
}
