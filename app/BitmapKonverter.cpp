// BitmapKonverter: the converter's window program.
#include <windows.h>

#include "MainWnd.h"
#include "NApplication.h"
#include "NGlobalOrder.h"

namespace {

// Built after the library's global objects (error log, language tables,
// debug channel, application services, resources, colour map, application
// object) and destroyed before them. As the first window constructed it
// becomes the application's main window.
MainWnd mainWnd NEK_INIT_ORDER(NEK_ORDER_APPLICATION + 10);

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int showCommand)
{
    if (!globalApplication.init(instance, previousInstance, showCommand))
        return 0;
    return globalApplication.run();
}
