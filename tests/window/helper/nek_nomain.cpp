// A program on the library that forgot its main window: init shows the
// start-up box and the program ends with exit code 0.
#include <windows.h>

#include "NApplication.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show)
{
    if (!globalApplication.init(instance, previous, show)) return 0;
    return globalApplication.run();
}
