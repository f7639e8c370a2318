// The parts of the Windows "word.Application" classes that need no other
// program: error numbering, text and value conversion, the busy retry, and
// the stand-in's argument checks. Prints one line per failed check; exits
// with the number of failures.
#include "automation/windows/com_errors.h"
#include "automation/windows/dispatch_object.h"
#include "automation/windows/session.h"
#include "automation/windows/shell_word.h"

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
        const char *description;
    };
    const Case cases[] = {
        {DISP_E_UNKNOWNNAME, 438, "ออบเจกต์ไม่รองรับคุณสมบัติหรือเมธอด \"Open\""},
        {DISP_E_MEMBERNOTFOUND, 438, "ออบเจกต์ไม่รองรับคุณสมบัติหรือเมธอด \"Open\""},
        {DISP_E_BADPARAMCOUNT, 450, "จำนวนอาร์กิวเมนต์ของ \"Open\" ไม่ถูกต้อง"},
        {DISP_E_PARAMNOTOPTIONAL, 450, "จำนวนอาร์กิวเมนต์ของ \"Open\" ไม่ถูกต้อง"},
        {DISP_E_TYPEMISMATCH, 13, "ชนิดข้อมูลไม่ตรงกัน: ค่าที่ส่งให้ \"Open\" ไม่ใช่ชนิดที่ต้องการ"},
        {DISP_E_BADVARTYPE, 13, "ชนิดข้อมูลไม่ตรงกัน: ค่าที่ส่งให้ \"Open\" ไม่ใช่ชนิดที่ต้องการ"},
    };
    for (const Case &c : cases) {
        const Error e = callError(c.hr, "Open", nullptr);
        check(e.number() == c.number && e.description() == c.description,
              "callError(" + hexCode(c.hr) + ") gave " + std::to_string(e.number()) + ": " + e.description());
    }

    // Anything else keeps its HRESULT, with the system's text.
    const Error other = callError(E_FAIL, "Open", nullptr);
    check(other.number() == static_cast<long>(E_FAIL), "E_FAIL's number: " + std::to_string(other.number()));
    check(!systemMessage(E_FAIL).empty() && other.description() == systemMessage(E_FAIL),
          "E_FAIL's description: " + other.description());

    // An exception: the server's own description, exactly.
    Bstr description(L"This file could not be found.");
    EXCEPINFO info{};
    info.scode = static_cast<SCODE>(0x800A1436);
    info.bstrDescription = description.get();
    const Error word = callError(DISP_E_EXCEPTION, "Open", &info);
    check(word.number() == 5174 && word.description() == "This file could not be found.",
          "Word's exception gave " + std::to_string(word.number()) + ": " + word.description());

    // Without a description: the system's text for the scode, or our own.
    EXCEPINFO bare{};
    bare.scode = E_ACCESSDENIED;
    const Error denied = callError(DISP_E_EXCEPTION, "Open", &bare);
    check(denied.number() == static_cast<long>(E_ACCESSDENIED) &&
              denied.description() == systemMessage(E_ACCESSDENIED) && !denied.description().empty(),
          "an exception without description gave " + std::to_string(denied.number()) + ": " + denied.description());
    EXCEPINFO empty{};
    const Error nothing = callError(DISP_E_EXCEPTION, "Open", &empty);
    check(nothing.number() == static_cast<long>(DISP_E_EXCEPTION) && contains(nothing.description(), "\"Open\""),
          "an empty exception gave " + std::to_string(nothing.number()) + ": " + nothing.description());

    const Error create = creationError(REGDB_E_CLASSNOTREG, "word.Application");
    check(create.number() == 429 && contains(create.description(), "\"word.Application\"") &&
              contains(create.description(), "0x80040154"),
          "creationError gave " + std::to_string(create.number()) + ": " + create.description());
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

void standIn()
{
    ObjectRef application = createShellApplication(nullptr);
    check(thrown([&] { setProperty(*application, "Visible", true); }).number() == 0, "Visible can be set");
    check(getProperty(*application, "visible") == Value{true}, "Visible is remembered");
    check(thrown([&] { setProperty(*application, "Visible", std::string("yes")); }).number() == 13,
          "Visible wants a boolean");
    check(thrown([&] { call(*application, "Quit", {}); }).number() == 438, "no Quit");
    ObjectRef documents = getObject(*application, "documents");
    check(documents == getObject(*application, "Documents"), "always the same documents");
    check(thrown([&] { call(*documents, "Open", {}); }).number() == 450, "Open wants a file name");
    check(thrown([&] { call(*documents, "Open", {5L}); }).number() == 13, "Open wants text");
    check(thrown([&] { call(*documents, "Close", {}); }).number() == 438, "no Close");
    const std::string missing = "c:\\Program Files\\Velodane\\ไม่มี.doc";
    const Error e = thrown([&] { call(*documents, "Open", {missing}); });
    check(e.number() == 5174 && contains(e.description(), "\"" + missing + "\""),
          "a missing file: " + std::to_string(e.number()) + ": " + e.description());
}

} // namespace

int main()
{
    exceptionNumbers();
    callErrors();
    text();
    values();
    busy();
    standIn();
    std::printf("%d failed\n", failures);
    return failures;
}
