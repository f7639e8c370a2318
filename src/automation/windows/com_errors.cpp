#include "automation/windows/com_errors.h"

#include "automation/automation.h"

#include <winerror.h>

#include <cstddef>
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

} // namespace

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

Error callError(HRESULT hr, const EXCEPINFO *exception, std::string_view asked)
{
    switch (hr) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
        return memberNotFound();
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
        return wrongArguments();
    case DISP_E_TYPEMISMATCH:
    case DISP_E_BADVARTYPE:
        return typeMismatch();
    case E_OUTOFMEMORY:
        return Error(errors::OutOfMemory, "หน่วยความจำไม่พอสำหรับการสั่งงาน Word");
    default:
        break;
    }
    if (hr == DISP_E_EXCEPTION && exception) {
        long number = exceptionNumber(*exception);
        if (number == 0)
            number = static_cast<long>(DISP_E_EXCEPTION);
        if (exception->bstrDescription && SysStringLen(exception->bstrDescription) > 0)
            return Error(number, "Word แจ้งข้อผิดพลาด" +
                                     theirWords("ข้อความของ Word", narrow({exception->bstrDescription,
                                                                          SysStringLen(exception->bstrDescription)})));
        const std::string systemSays =
            exception->scode != 0 && FAILED(exception->scode) ? theSystemSays(systemMessage(exception->scode)) : "";
        if (!systemSays.empty())
            return Error(number, "Word แจ้งข้อผิดพลาด" + systemSays);
        // Neither Word nor the system has words for it (5174 without its
        // description): what Word was asked to do.
        return Error(number, "Word แจ้งข้อผิดพลาดโดยไม่ได้ให้คำอธิบาย" +
                                 (asked.empty() ? std::string() : " ขณะ" + std::string(asked)));
    }
    return Error(static_cast<long>(hr), "สั่งงาน Word ไม่สำเร็จ" + theSystemSays(systemMessage(hr)));
}

Error creationError(HRESULT hr, std::string_view className)
{
    return Error(errors::CantCreateObject, "ไม่สามารถสร้างออบเจกต์ " + quoted(className) + " ได้ (รหัส " + hexCode(hr) +
                                               ")" + theSystemSays(systemMessage(hr)));
}

Error busyError(HRESULT hr, long boundSeconds)
{
    return Error(static_cast<long>(hr), "Word ไม่ว่าง: ไม่ตอบรับคำสั่งของโปรแกรมนี้นานกว่า " + std::to_string(boundSeconds) +
                                            " วินาที อาจมีกล่องโต้ตอบของ Word เปิดค้างอยู่ "
                                            "กรุณาปิดกล่องโต้ตอบนั้นใน Word แล้วลองใหม่อีกครั้ง");
}

Error startedButSilent(long boundSeconds)
{
    return Error(static_cast<long>(CO_E_SERVER_EXEC_FAILURE),
                 "เรียกใช้ Word แล้ว แต่ Word ไม่ตอบรับภายใน " + std::to_string(boundSeconds) +
                     " วินาที โปรแกรมที่ลงทะเบียนไว้เป็น Word อาจไม่ใช่ Microsoft Word หรือติดตั้งไว้ไม่สมบูรณ์ "
                     "กรุณาตรวจสอบการติดตั้ง Microsoft Word แล้วลองใหม่อีกครั้ง");
}

Error callNotAnswered(long boundSeconds)
{
    return Error(static_cast<long>(RPC_E_TIMEOUT), "Word ไม่ตอบกลับคำสั่งของโปรแกรมนี้ภายใน " + std::to_string(boundSeconds) +
                                                       " วินาที อาจมีกล่องโต้ตอบของ Word รอคำตอบอยู่ "
                                                       "กรุณาตอบกล่องโต้ตอบนั้นใน Word แล้วลองใหม่อีกครั้ง");
}

std::string theirWords(std::string_view label, std::string_view text)
{
    // Blanks and line breaks as one blank; at most TheirWordsLength
    // characters (UTF-8 sequences), never cut before a Thai vowel or tone
    // mark, which belongs to the letter before it.
    std::string said;
    std::size_t characters = 0;
    bool cut = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view character = text.substr(i, length);
        i += length;
        if (character == " " || character == "\r" || character == "\n" || character == "\t") {
            if (!said.empty() && said.back() != ' ')
                said += ' ';
            continue;
        }
        // U+0E31, U+0E34 to U+0E3A, U+0E47 to U+0E4E (E0 B8 B1, E0 B8 B4 to
        // BA, E0 B9 87 to 8E): marks over or under the letter before.
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(character[k]); };
        const bool mark = character.size() == 3 && byte(0) == 0xE0 &&
                          ((byte(1) == 0xB8 && (byte(2) == 0xB1 || (byte(2) >= 0xB4 && byte(2) <= 0xBA))) ||
                           (byte(1) == 0xB9 && byte(2) >= 0x87 && byte(2) <= 0x8E));
        if (characters >= TheirWordsLength && !mark) {
            cut = true;
            break;
        }
        said += character;
        ++characters;
    }
    while (!said.empty() && said.back() == ' ')
        said.pop_back();
    if (said.empty())
        return {};
    if (cut)
        said += "… [ข้อความยาว ตัดส่วนที่เหลือออก]";
    return " (" + std::string(label) + ": " + said + ")";
}

std::string theSystemSays(std::string_view text)
{
    return theirWords("ข้อความของระบบ", text);
}

} // namespace vd::automation::winword
