// Velodane on Windows: the Win32 toolkit, Microsoft Word through its
// automation interface (or the program Windows opens documents with), and
// the program, all on one user-interface thread. Its COM apartment is the
// toolkit's, entered by what first needs it (the word processor's classes,
// the toolkit), not at start.
#include "app/run.h"
#include "automation/windows/word_application.h"
#include "toolkit/win32/win32_toolkit.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    vd::win32::Win32Toolkit toolkit(instance);
    vd::automation::Registry classes;
    vd::automation::winword::registerClasses(classes, {.apartment = &toolkit.com()});
    return vd::app::run(toolkit, classes);
}
