// The system libraries that the program needs only now and then (COM and the
// picture loader, the shell, the common controls, the screen readers'
// accessible objects) are loaded at the first call
// of one of their functions rather than at start.
//
// The system's headers declare these functions dllimport, so every call goes
// through the function's import slot: __imp_<name>, or on 32-bit Windows
// __imp__<name>@<bytes> (the stdcall decoration, the arguments' size). The
// slots are defined here instead of by the libraries' import libraries, which
// are not linked. Each starts out pointing at a function of ours that loads
// the library, looks the function up by name, writes its address into the
// slot and calls it; every later call goes straight to the system's function.
// A function called but not listed here is imported the usual way, at start
// (the shipped program's test reads its import table).
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>
#include <oleauto.h>
#include <olectl.h>
#include <shellapi.h>

#include <cstddef>
#include <string>
#include <type_traits>

namespace {

struct Library {
    const wchar_t *file;
    bool systemFolder = false; // looked for in the system's folder only
    HMODULE module = nullptr;
};

Library ole32{L"ole32.dll"};
Library oleaut32{L"oleaut32.dll"};
Library shell32{L"shell32.dll"};
Library comctl32{L"comctl32.dll"};
Library oleacc{L"oleacc.dll", true};

// As the system's loader does for a library a program imports at start: a
// program without it can't go on.
[[noreturn]] void unavailable(const Library &library, const char *function)
{
    std::wstring text = L"โปรแกรมทำงานต่อไม่ได้ เพราะเรียกใช้ ";
    for (const char *c = function; *c; ++c)
        text += static_cast<wchar_t>(*c);
    text += L" ใน ";
    text += library.file;
    text += L" ของระบบไม่ได้";
    MessageBoxW(nullptr, text.c_str(), L"คำอธิบายกลุ่มชุดดิน", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    ExitProcess(1);
}

// By name, as the system's loader finds an imported library: the system's
// own copy (ole32, oleaut32 and shell32 are known to the loader), or for the
// common controls the version that the active activation context names.
// A library the loader doesn't know by name is taken from the system's
// folder, never from the program's or the current one.
HMODULE load(const Library &library)
{
    if (!library.systemFolder)
        return LoadLibraryW(library.file);
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(folder, n) + L'\\' + library.file).c_str());
}

void *bind(Library &library, const char *function)
{
    if (!library.module)
        library.module = load(library);
    FARPROC address = library.module ? GetProcAddress(library.module, function) : nullptr;
    if (!address)
        unavailable(library, function);
    return reinterpret_cast<void *>(address);
}

template <class Pointer> struct Binding;

template <class R, class... A> struct Binding<R(WINAPI *)(A...)> {
    using Pointer = R(WINAPI *)(A...);

    // The size that 32-bit Windows' stdcall decoration gives: each argument
    // takes a whole number of 4-byte stack slots, a reference one pointer's.
    template <class T> static constexpr std::size_t stackBytes = (sizeof(T) + 3) / 4 * 4;
    static constexpr std::size_t argumentBytes =
        (std::size_t{0} + ... + stackBytes<std::conditional_t<std::is_reference_v<A>, void *, A>>);

    template <Library &library, const char *name, Pointer *slot> static R WINAPI first(A... arguments)
    {
        *slot = reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(bind(library, name)));
        return (*slot)(arguments...);
    }
};

} // namespace

#ifdef _WIN64
#define VD_IMPORT_SLOT(function, bytes) "__imp_" #function
#else
#define VD_IMPORT_SLOT(function, bytes) "__imp__" #function "@" #bytes
#endif

// The import slot of one function of a library, with its arguments' size in
// bytes (checked against the function's declaration).
#define VD_BIND_ON_FIRST_CALL(library, function, bytes)                                                                \
    namespace names {                                                                                                  \
    constexpr char function[] = #function;                                                                             \
    }                                                                                                                  \
    static_assert(sizeof(void *) == 8 || Binding<decltype(&::function)>::argumentBytes == (bytes),                     \
                  "the arguments' size of " #function);                                                                \
    extern "C" decltype(&::function) vd_import_##function __asm__(VD_IMPORT_SLOT(function, bytes));                    \
    decltype(&::function) vd_import_##function =                                                                       \
        &Binding<decltype(&::function)>::first<library, names::function, &vd_import_##function>;

VD_BIND_ON_FIRST_CALL(ole32, CLSIDFromProgID, 8)
VD_BIND_ON_FIRST_CALL(ole32, CoCreateInstance, 20)
VD_BIND_ON_FIRST_CALL(ole32, CoInitializeEx, 8)
VD_BIND_ON_FIRST_CALL(ole32, CoRegisterMessageFilter, 8)
VD_BIND_ON_FIRST_CALL(ole32, CoUninitialize, 0)
VD_BIND_ON_FIRST_CALL(ole32, CreateStreamOnHGlobal, 12)
VD_BIND_ON_FIRST_CALL(oleaut32, OleLoadPicture, 20)
VD_BIND_ON_FIRST_CALL(oleaut32, SysAllocStringLen, 8)
VD_BIND_ON_FIRST_CALL(oleaut32, SysFreeString, 4)
VD_BIND_ON_FIRST_CALL(oleaut32, SysStringLen, 4)
VD_BIND_ON_FIRST_CALL(oleaut32, VariantChangeType, 16)
VD_BIND_ON_FIRST_CALL(oleaut32, VariantClear, 4)
VD_BIND_ON_FIRST_CALL(oleaut32, VariantCopyInd, 8)
VD_BIND_ON_FIRST_CALL(oleaut32, VariantInit, 4)
VD_BIND_ON_FIRST_CALL(shell32, ShellExecuteExW, 4)
VD_BIND_ON_FIRST_CALL(comctl32, InitCommonControlsEx, 4)
VD_BIND_ON_FIRST_CALL(oleacc, CreateStdAccessibleObject, 16)
VD_BIND_ON_FIRST_CALL(oleacc, LresultFromObject, 12)
