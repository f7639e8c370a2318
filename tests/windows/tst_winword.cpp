// The parts of the Windows "word.Application" classes that need no other
// program: error numbering, text and value conversion, the busy retry, and
// the stand-in's argument checks. Prints one line per failed check; exits
// with the number of failures.
#include "automation/windows/com_errors.h"
#include "automation/windows/dispatch_object.h"
#include "automation/windows/session.h"
#include "automation/windows/shell_word.h"
#include "stand_in_contract.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>

using namespace vd;
using namespace vd::automation;
using namespace vd::automation::winword;

namespace {

int failures = 0;

void check(bool ok, const std::string &what)
{
    if (!ok) {
        ++failures;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

// The Error that f throws; number 0 when it throws none.
Error thrown(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &error) {
        return error;
    }
    return Error(0, "");
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

void exceptionNumbers()
{
    struct Case {
        WORD wCode;
        SCODE scode;
        long number;
    };
    const Case cases[] = {
        {4198, 0, 4198},                                        // wCode where set
        {4198, static_cast<SCODE>(0x800A1436), 4198},           // wCode wins over scode
        {0, static_cast<SCODE>(0x800A1436), 5174},              // Basic range: low 16 bits
        {0, static_cast<SCODE>(0x800A01A8), 424},               // Basic range: low 16 bits
        {0, E_ACCESSDENIED, static_cast<long>(E_ACCESSDENIED)}, // other scodes as they are
        {0, static_cast<SCODE>(0x80040154), static_cast<long>(0x80040154)},
    };
    for (const Case &c : cases) {
        EXCEPINFO info{};
        info.wCode = c.wCode;
        info.scode = c.scode;
        check(exceptionNumber(info) == c.number, "exceptionNumber(" + std::to_string(c.wCode) + ", " +
                                                     hexCode(c.scode) + ") gave " +
                                                     std::to_string(exceptionNumber(info)));
    }
}

void callErrors()
{
    struct Case {
        HRESULT hr;
        long number;
    };
    const Case cases[] = {
        {DISP_E_UNKNOWNNAME, 438},      {DISP_E_MEMBERNOTFOUND, 438}, {DISP_E_BADPARAMCOUNT, 450},
        {DISP_E_PARAMNOTOPTIONAL, 450}, {DISP_E_TYPEMISMATCH, 13},    {DISP_E_BADVARTYPE, 13},
    };
    for (const Case &c : cases) {
        const Error e = callError(c.hr, nullptr);
        check(e.number() == c.number && contains(e.description(), "โปรแกรมประมวลผลคำ"),
              "callError(" + hexCode(c.hr) + ") gave " + std::to_string(e.number()) + ": " + e.description());
    }

    // Anything else keeps its HRESULT; the system's text follows ours.
    const std::string systemSays = " (ข้อความของระบบ: ";
    const Error other = callError(E_FAIL, nullptr);
    check(other.number() == static_cast<long>(E_FAIL), "E_FAIL's number: " + std::to_string(other.number()));
    check(!systemMessage(E_FAIL).empty() &&
              contains(other.description(), "Word ไม่สำเร็จ" + systemSays + systemMessage(E_FAIL) + ")"),
          "E_FAIL's description: " + other.description());

    // An exception: the server's own description, exactly, marked as Word's.
    Bstr description(L"This file could not be found.");
    EXCEPINFO info{};
    info.scode = static_cast<SCODE>(0x800A1436);
    info.bstrDescription = description.get();
    const Error word = callError(DISP_E_EXCEPTION, &info);
    check(word.number() == 5174 &&
              word.description() == "Word แจ้งข้อผิดพลาด (ข้อความของ Word: This file could not be found.)",
          "Word's exception gave " + std::to_string(word.number()) + ": " + word.description());

    // Without a description: the system's text for the scode, or our own.
    EXCEPINFO bare{};
    bare.scode = E_ACCESSDENIED;
    const Error denied = callError(DISP_E_EXCEPTION, &bare);
    check(denied.number() == static_cast<long>(E_ACCESSDENIED) && !systemMessage(E_ACCESSDENIED).empty() &&
              contains(denied.description(), systemSays + systemMessage(E_ACCESSDENIED) + ")"),
          "an exception without description gave " + std::to_string(denied.number()) + ": " + denied.description());
    EXCEPINFO empty{};
    const Error nothing = callError(DISP_E_EXCEPTION, &empty);
    check(nothing.number() == static_cast<long>(DISP_E_EXCEPTION) && contains(nothing.description(), "ไม่ได้ให้คำอธิบาย"),
          "an empty exception gave " + std::to_string(nothing.number()) + ": " + nothing.description());

    // The class and the code in ours; the system's text, where it has one, after.
    for (const HRESULT hr : {REGDB_E_CLASSNOTREG, E_FAIL}) {
        const Error create = creationError(hr, "word.Application");
        const std::string said = systemMessage(hr);
        check(create.number() == 429 &&
                  contains(create.description(), "\"word.Application\" ได้ (รหัส " + hexCode(hr) + ")") &&
                  contains(create.description(), systemSays + said + ")") == !said.empty(),
              "creationError gave " + std::to_string(create.number()) + ": " + create.description());
    }
}

// Word's and the system's words in a report: one line, at most
// TheirWordsLength characters, a Thai letter's marks never cut from it.
void theirWordsFit()
{
    const std::string cut = "… [ข้อความยาว ตัดส่วนที่เหลือออก])";
    struct Case {
        std::string text;
        std::string said;
    };
    const Case cases[] = {
        {"File\r\nnot\tfound.  ", " (L: File not found.)"},
        {" \r\n ", ""},
        {std::string(20'000, 'x'), " (L: " + std::string(TheirWordsLength, 'x') + cut},
        {std::string(TheirWordsLength - 1, 'x') + "ที่สุด", " (L: " + std::string(TheirWordsLength - 1, 'x') + "ที่" + cut},
    };
    for (const Case &c : cases)
        check(theirWords("L", c.text) == c.said, "theirWords of " + std::to_string(c.text.size()) +
                                                     " bytes gave: " + theirWords("L", c.text).substr(0, 80));
}

void text()
{
    const std::string thai = "กลุ่มชุดดินที่ 62 c:\\Program Files\\Velodane\\vd62.doc";
    const std::wstring wide = widen(thai);
    check(wide.substr(0, 5) == L"\u0E01\u0E25\u0E38\u0E48\u0E21", "Thai as UTF-16");
    check(narrow(wide) == thai, "UTF-8 to UTF-16 and back");
    check(widen("").empty() && narrow(L"").empty(), "empty text");
}

void values()
{
    VARIANT v;
    VariantInit(&v);
    toVariant(true, v, "Visible");
    check(v.vt == VT_BOOL && v.boolVal == VARIANT_TRUE, "true as VARIANT_TRUE");
    VariantClear(&v);
    toVariant(std::string("c:\\Program Files\\Velodane\\vd5.doc"), v, "Open");
    check(v.vt == VT_BSTR &&
              std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal)) == L"c:\\Program Files\\Velodane\\vd5.doc",
          "a path as a BSTR");
    VariantClear(&v);
    toVariant(42L, v, "x");
    check(v.vt == VT_I4 && v.lVal == 42, "long as VT_I4");
    VariantClear(&v);
    toVariant(Value{}, v, "x");
    check(v.vt == VT_EMPTY, "nothing as VT_EMPTY");
    VariantClear(&v);
    const Error foreign = thrown([&] { toVariant(Value{createShellApplication(nullptr)}, v, "Open"); });
    check(foreign.number() == 13, "an object of another kind is a type mismatch");
    VariantClear(&v);

    auto session = std::make_shared<Session>();
    v.vt = VT_I2;
    v.iVal = -7;
    check(fromVariant(v, session, "x") == Value{-7L}, "VT_I2 as long");
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_FALSE;
    check(fromVariant(v, session, "x") == Value{false}, "VT_BOOL false");
    v.vt = VT_DISPATCH;
    v.pdispVal = nullptr;
    check(std::holds_alternative<std::monostate>(fromVariant(v, session, "x")), "a null object is nothing");
    v.vt = VT_NULL;
    check(std::holds_alternative<std::monostate>(fromVariant(v, session, "x")), "VT_NULL is nothing");
    Bstr thai(L"\u0E01\u0E25\u0E38\u0E48\u0E21");
    v.vt = VT_BSTR;
    v.bstrVal = thai.get();
    check(fromVariant(v, session, "x") == Value{std::string("กลุ่ม")}, "a BSTR as UTF-8");
    v.vt = VT_R8;
    v.dblVal = 2.0;
    check(fromVariant(v, session, "x") == Value{std::string("2")}, "another type as its text");
}

void busy()
{
    using std::chrono::milliseconds;
    check(retryDecision(0, SERVERCALL_RETRYLATER, milliseconds(10'000)) == RetryIntervalMs, "retry at first");
    check(retryDecision(9'999, SERVERCALL_REJECTED, milliseconds(10'000)) == RetryIntervalMs, "retry within bound");
    check(retryDecision(10'000, SERVERCALL_RETRYLATER, milliseconds(10'000)) == static_cast<DWORD>(-1),
          "cancel at the bound");
    check(retryDecision(0, 7, milliseconds(10'000)) == static_cast<DWORD>(-1), "cancel an unknown rejection");
    check(isRejectedAsBusy(RPC_E_CALL_REJECTED) && isRejectedAsBusy(RPC_E_SERVERCALL_RETRYLATER) &&
              !isRejectedAsBusy(E_FAIL) && !isRejectedAsBusy(S_OK),
          "busy HRESULTs");

    Session session(milliseconds(600));
    int attempts = 0;
    const HRESULT hr = session.retrying([&] { return ++attempts < 4 ? RPC_E_CALL_REJECTED : S_FALSE; });
    check(hr == S_FALSE && attempts == 4, "three rejections, then the call's own result: " + std::to_string(attempts));

    attempts = 0;
    const ULONGLONG start = GetTickCount64();
    const Error e = thrown([&] {
        session.retrying([&] {
            ++attempts;
            return RPC_E_SERVERCALL_RETRYLATER;
        });
    });
    const ULONGLONG waited = GetTickCount64() - start;
    check(e.number() == static_cast<long>(RPC_E_SERVERCALL_RETRYLATER) && contains(e.description(), "Word ไม่ว่าง") &&
              !contains(e.description(), "Open"),
          "always busy: " + std::to_string(e.number()) + ": " + e.description());
    check(waited >= 600 && attempts >= 2, "always busy retried for the bound: " + std::to_string(waited) + " ms, " +
                                              std::to_string(attempts) + " tries");

    // A failure that isn't a rejection is returned at once.
    attempts = 0;
    check(session.retrying([&] { return ++attempts, E_FAIL; }) == E_FAIL && attempts == 1, "no retry of E_FAIL");
}

// Calls on their own thread, each waited for up to the bound.
void bounded()
{
    Session session(std::chrono::milliseconds(400));
    const DWORD here = GetCurrentThreadId();
    check(session.run([here] { return GetCurrentThreadId() != here; }, callNotAnswered), "a thread of their own");
    check(thrown([&] { session.run([]() -> int { throw Error(5174, "x"); }, callNotAnswered); }).number() == 5174,
          "a call's Error reaches the caller");

    // A call that doesn't come back: the late report at the bound; a click
    // posted meanwhile is dropped; a call behind it never runs.
    HANDLE answer = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const ULONGLONG start = GetTickCount64();
    const Error late = thrown([&] {
        session.run(
            [answer, window] {
                PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
                return WaitForSingleObject(answer, INFINITE);
            },
            callNotAnswered);
    });
    const ULONGLONG waited = GetTickCount64() - start;
    check(late.number() == static_cast<long>(RPC_E_TIMEOUT) && contains(late.description(), "ภายใน 1 วินาที"),
          "never answered: " + std::to_string(late.number()) + ": " + late.description());
    check(waited >= 400 && waited < 4000, "never answered: reported at the bound, " + std::to_string(waited) + " ms");
    MSG msg;
    check(!PeekMessageW(&msg, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE), "a click while waiting is dropped");
    auto ran = std::make_shared<std::atomic<bool>>(false);
    const Error behind = thrown([&] { session.run([ran] { return *ran = true; }, startedButSilent); });
    check(behind.number() == static_cast<long>(RPC_E_TIMEOUT),
          "behind a call that never came back, told of that one: " + std::to_string(behind.number()) + ": " +
              behind.description());
    SetEvent(answer);
    check(session.run([] { return 7; }, callNotAnswered) == 7, "once the silent call returns, calls go through");
    check(!*ran, "a call given up before it began never runs");

    // Always busy: the busy report, numbered by the rejection, at the bound.
    const Error busy = thrown([&] {
        session.run([&session] { return session.retrying([] { return RPC_E_SERVERCALL_RETRYLATER; }); },
                    callNotAnswered);
    });
    check(busy.number() == static_cast<long>(RPC_E_SERVERCALL_RETRYLATER) && contains(busy.description(), "Word ไม่ว่าง"),
          "always busy on the call thread: " + std::to_string(busy.number()) + ": " + busy.description());
    check(session.run([] { return 1; }, callNotAnswered) == 1, "after the busy call, calls go through");
    DestroyWindow(window);
    CloseHandle(answer);
}

LRESULT CALLBACK quitOnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        PostQuitMessage(3);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The window closed while a call waits, the program ending with it: the
// wait ends at once, reported as the program's end, the quit left for the
// event loop. Closed as the system does, sent, posted and from the taskbar.
void closedWhileWaiting()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = quitOnClose;
    windowClass.lpszClassName = L"VelodaneQuitOnClose";
    RegisterClassW(&windowClass);
    struct Case {
        const char *how;
        UINT message;
        WPARAM wParam;
        bool sent;
    };
    const Case cases[] = {
        {"sent", WM_CLOSE, 0, true}, {"posted", WM_CLOSE, 0, false}, {"the taskbar's", WM_SYSCOMMAND, SC_CLOSE, false}};
    for (const Case &c : cases) {
        Session session(std::chrono::milliseconds(5000));
        HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
        HANDLE answer = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        const ULONGLONG start = GetTickCount64();
        const Error e = thrown([&] {
            session.run(
                [answer, window, c] {
                    if (c.sent)
                        SendMessageW(window, c.message, c.wParam, 0);
                    else
                        PostMessageW(window, c.message, c.wParam, 0);
                    WaitForSingleObject(answer, INFINITE);
                },
                callNotAnswered);
        });
        const ULONGLONG waited = GetTickCount64() - start;
        const std::string what = std::string("closed (") + c.how + ") while waiting: ";
        check(e.number() == programEnding().number() && e.description() == programEnding().description(),
              what + std::to_string(e.number()) + ": " + e.description());
        check(waited < 3000, what + "ended after " + std::to_string(waited) + " ms");
        MSG msg{};
        check(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 3,
              what + "the quit left for the event loop");
        SetEvent(answer);
        DestroyWindow(window);
        CloseHandle(answer);
    }
}

void standIn()
{
    vd::testing::checkStandIn([] { return createShellApplication(nullptr); },
                              [](const std::string &what) { check(false, "the stand-in: " + what); });
    ObjectRef documents = getObject(*createShellApplication(nullptr), "documents");
    const std::string missing = "c:\\Program Files\\Velodane\\ไม่มี.doc";
    const Error e = thrown([&] { call(*documents, "Open", {missing}); });
    check(e.number() == 5174 && contains(e.description(), "\"" + missing + "\""),
          "a missing file: " + std::to_string(e.number()) + ": " + e.description());
}

} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0); // all that was checked, even if a check ends the program
    exceptionNumbers();
    callErrors();
    theirWordsFit();
    text();
    values();
    busy();
    bounded();
    closedWhileWaiting();
    standIn();
    std::printf("%d failed\n", failures);
    return failures;
}
