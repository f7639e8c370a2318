// Velodane on Windows: the Win32 toolkit, Microsoft Word through its
// automation interface (or the program Windows opens documents with), and
// the program, all on one user-interface thread.
#include "app/run.h"
#include "automation/windows/word_application.h"
#include "toolkit/win32/win32_toolkit.h"

#include <objbase.h>
#include <windows.h>

namespace {

// COM for the whole run, in a single-threaded apartment on this thread: the
// word processor's calls come back to the thread that made them.
class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;
    ~ComApartment()
    {
        if (ok_)
            CoUninitialize();
    }

private:
    bool ok_;
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    ComApartment com;
    vd::win32::Win32Toolkit toolkit(instance);
    vd::automation::Registry classes;
    vd::automation::winword::registerClasses(classes);
    return vd::app::run(toolkit, classes);
}
