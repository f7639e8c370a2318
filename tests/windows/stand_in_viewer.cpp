// Stands in for the program that Windows associates with .doc: appends the
// document it was asked to show to a log and ends.
//   stand_in_viewer.exe LOG DOCUMENT
// Or, as a program that the shell asks through DDE ("ddeexec", service
// VelodaneViewer, topic System, the command [open("DOCUMENT")]), serving
// for a minute and answering each request after SECONDS:
//   stand_in_viewer.exe LOG --dde SECONDS
#include <windows.h>

#include <ddeml.h>
#include <shellapi.h>

#include <fstream>
#include <string>

namespace {

std::string utf8(std::wstring_view text)
{
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// The log and the delay, read again from the command line: DDE's callback
// has no context of its own.
struct Dde {
    std::wstring log;
    DWORD delayMs = 0;

    static Dde fromCommandLine()
    {
        int argc = 0;
        LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        Dde dde{argv[1], static_cast<DWORD>(_wtoi(argv[3])) * 1000};
        LocalFree(argv);
        return dde;
    }
};

HDDEDATA CALLBACK answer(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    if (type == XTYP_CONNECT)
        return reinterpret_cast<HDDEDATA>(TRUE);
    if (type != XTYP_EXECUTE)
        return nullptr;
    std::wstring received(DdeGetData(data, nullptr, 0, 0) / sizeof(wchar_t) + 1, L'\0');
    DdeGetData(data, reinterpret_cast<BYTE *>(received.data()), static_cast<DWORD>(received.size() * sizeof(wchar_t)),
               0);
    const std::wstring command = received.c_str();
    // [open("c:\...\vd5.doc")]: the document between the quotes.
    const std::size_t first = command.find(L'"'), last = command.rfind(L'"');
    const Dde dde = Dde::fromCommandLine();
    Sleep(dde.delayMs);
    std::ofstream out(dde.log.c_str(), std::ios::app | std::ios::binary);
    out << "open " << utf8(first < last ? command.substr(first + 1, last - first - 1) : command) << '\n';
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

int serve()
{
    DWORD instance = 0;
    if (DdeInitializeW(&instance, answer, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS, 0) != DMLERR_NO_ERROR)
        return 3;
    HSZ service = DdeCreateStringHandleW(instance, L"VelodaneViewer", CP_WINUNICODE);
    DdeNameService(instance, service, nullptr, DNS_REGISTER);
    SetTimer(nullptr, 0, 60'000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER)
        DispatchMessageW(&msg);
    DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(instance, service);
    DdeUninitialize(instance);
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    if (argc > 3 && std::wstring_view(argv[2]) == L"--dde") {
        LocalFree(argv);
        return serve();
    }
    std::string line = "open";
    for (int i = 2; i < argc; ++i) {
        line += ' ';
        line += utf8(argv[i]);
    }
    std::ofstream out(argv[1], std::ios::app | std::ios::binary);
    out << line << '\n';
    LocalFree(argv);
    return 0;
}
