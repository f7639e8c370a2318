// Stands in for the program that Windows associates with .doc: appends the
// document it was asked to show to a log and ends.
//   stand_in_viewer.exe LOG DOCUMENT
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    std::string line = "open";
    for (int i = 2; i < argc; ++i) {
        const std::wstring_view arg = argv[i];
        const int n =
            WideCharToMultiByte(CP_UTF8, 0, arg.data(), static_cast<int>(arg.size()), nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, arg.data(), static_cast<int>(arg.size()), text.data(), n, nullptr, nullptr);
        line += " " + text;
    }
    std::ofstream out(argv[1], std::ios::app | std::ios::binary);
    out << line << '\n';
    LocalFree(argv);
    return 0;
}
