#include "automation/windows/com_errors.h"

#include <winerror.h>

#include <cstdio>

namespace vd::automation::winword {

namespace {

std::string quoted(std::string_view name)
{
    std::string text;
    text.reserve(name.size() + 2);
    text += '"';
    text += name;
    text += '"';
    return text;
}

// The system's text, or our own line naming the code when it has none.
std::string systemText(HRESULT hr)
{
    std::string text = systemMessage(hr);
    if (text.empty())
        text = "เกิดข้อผิดพลาดรหัส " + hexCode(hr);
    return text;
}

} // namespace

std::wstring widen(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
    return text;
}

std::string narrow(std::wstring_view utf16)
{
    if (utf16.empty())
        return {};
    const int size = static_cast<int>(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::string hexCode(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::string systemMessage(HRESULT hr)
{
    wchar_t buffer[1024];
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(hr), 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring_view text(buffer, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.remove_suffix(1);
    return narrow(text);
}

long exceptionNumber(const EXCEPINFO &info)
{
    if (info.wCode != 0)
        return info.wCode;
    if (HRESULT_FACILITY(info.scode) == FACILITY_CONTROL)
        return static_cast<long>(HRESULT_CODE(info.scode));
    return static_cast<long>(info.scode);
}

Error callError(HRESULT hr, std::string_view member, const EXCEPINFO *exception)
{
    switch (hr) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
        return Error(errors::MemberNotFound, "ออบเจกต์ไม่รองรับคุณสมบัติหรือเมธอด " + quoted(member));
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
        return Error(errors::WrongArguments, "จำนวนอาร์กิวเมนต์ของ " + quoted(member) + " ไม่ถูกต้อง");
    case DISP_E_TYPEMISMATCH:
    case DISP_E_BADVARTYPE:
        return Error(errors::TypeMismatch, "ชนิดข้อมูลไม่ตรงกัน: ค่าที่ส่งให้ " + quoted(member) + " ไม่ใช่ชนิดที่ต้องการ");
    case E_OUTOFMEMORY:
        return Error(errors::OutOfMemory, "หน่วยความจำไม่พอสำหรับการเรียก " + quoted(member));
    default:
        break;
    }
    if (hr == DISP_E_EXCEPTION && exception) {
        long number = exceptionNumber(*exception);
        if (number == 0)
            number = static_cast<long>(DISP_E_EXCEPTION);
        if (exception->bstrDescription && SysStringLen(exception->bstrDescription) > 0)
            return Error(number, narrow({exception->bstrDescription, SysStringLen(exception->bstrDescription)}));
        if (exception->scode != 0 && FAILED(exception->scode)) {
            const std::string text = systemMessage(exception->scode);
            if (!text.empty())
                return Error(number, text);
        }
        return Error(number, "โปรแกรมที่ถูกเรียกแจ้งข้อผิดพลาดขณะทำ " + quoted(member) + " โดยไม่ได้ให้คำอธิบาย");
    }
    return Error(static_cast<long>(hr), systemText(hr));
}

Error creationError(HRESULT hr, std::string_view className)
{
    return Error(errors::CantCreateObject,
                 "ไม่สามารถสร้างออบเจกต์ " + quoted(className) + " ได้: " + systemText(hr) + " (" + hexCode(hr) + ")");
}

Error busyError(HRESULT hr, long boundSeconds)
{
    return Error(static_cast<long>(hr), "Word ไม่ว่าง: ไม่ตอบรับคำสั่งของโปรแกรมนี้นานกว่า " + std::to_string(boundSeconds) +
                                            " วินาที อาจมีกล่องโต้ตอบของ Word เปิดค้างอยู่ "
                                            "กรุณาปิดกล่องโต้ตอบนั้นใน Word แล้วลองใหม่อีกครั้ง");
}

std::string theSystemSays(std::string_view text)
{
    return text.empty() ? std::string() : " (ข้อความของระบบ: " + std::string(text) + ")";
}

} // namespace vd::automation::winword
