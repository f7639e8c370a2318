#include "automation/windows/shell_word.h"

#include "automation/stand_in.h"
#include "automation/windows/com_errors.h"
#include "automation/windows/session.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

namespace vd::automation::winword {

namespace {

std::string extensionOf(const std::string &path)
{
    const auto dot = path.find_last_of(".\\/");
    if (dot == std::string::npos || path[dot] != '.')
        return {};
    return path.substr(dot);
}

// What the user is told of Word where it is registered but didn't start.
std::string wordDidntStart(HRESULT wordFailure)
{
    return "Microsoft Word ติดตั้งไว้ในเครื่องนี้ แต่เริ่มทำงานไม่ได้ (รหัส " + hexCode(wordFailure) + ")";
}

void openWithAssociatedProgram(const std::string &path, HRESULT wordFailure)
{
    const std::wstring file = widen(path);
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw Error(FileNotFound, "ไม่พบไฟล์เอกสาร \"" + path + "\"");

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // Waits until the program is started; our own report replaces the
    // system's dialog.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info))
        return;

    const DWORD error = GetLastError();
    const auto code = reinterpret_cast<INT_PTR>(info.hInstApp);
    std::string type = extensionOf(path);
    if (type.empty())
        type = "นี้";
    const bool noAssociation =
        error == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE;
    if (noAssociation && FAILED(wordFailure))
        throw Error(errors::CantCreateObject, "เปิดเอกสาร \"" + path + "\" ไม่ได้: " + wordDidntStart(wordFailure) +
                                                  " และไม่มีโปรแกรมอื่นที่ตั้งไว้ให้เปิดไฟล์ " + type +
                                                  " (ซ่อมแซมหรือติดตั้ง Microsoft Word ใหม่ แล้วลองอีกครั้ง)");
    if (noAssociation)
        throw Error(errors::CantCreateObject,
                    "เปิดเอกสาร \"" + path + "\" ไม่ได้: เครื่องนี้ไม่มี Microsoft Word และไม่มีโปรแกรมที่ตั้งไว้ให้เปิดไฟล์ " + type +
                        " (ติดตั้ง Microsoft Word หรือโปรแกรมที่เปิดไฟล์ " + type + " ได้ แล้วลองใหม่)");
    // The document is there (checked above): a file not found is the
    // program associated with it.
    const std::string why =
        error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || code == SE_ERR_FNF || code == SE_ERR_PNF
            ? ": ไม่พบโปรแกรมนั้นในเครื่อง"
            : std::string();
    const std::string word = FAILED(wordFailure) ? " (" + wordDidntStart(wordFailure) + ")" : std::string();
    throw Error(errors::CantCreateObject, "เปิดเอกสาร \"" + path + "\" ด้วยโปรแกรมที่ตั้งไว้สำหรับไฟล์ " + type + " ไม่ได้" + why +
                                              word + theSystemSays(systemMessage(HRESULT_FROM_WIN32(error))));
}

} // namespace

Error associatedNotAnswered(long boundSeconds)
{
    return Error(static_cast<long>(HRESULT_FROM_WIN32(ERROR_TIMEOUT)),
                 "โปรแกรมที่ตั้งไว้ให้เปิดไฟล์ .doc ไม่ตอบรับภายใน " + std::to_string(boundSeconds) +
                     " วินาที เอกสารจะเปิดขึ้นเองถ้าโปรแกรมนั้นตอบรับในภายหลัง "
                     "ถ้าไม่เปิด กรุณาตรวจสอบโปรแกรมนั้น แล้วลองใหม่อีกครั้ง");
}

ObjectRef createShellApplication(std::shared_ptr<Session> session, HRESULT wordFailure)
{
    // The opener holds the session (and so its call thread) for as long as
    // the object lives.
    return makeStandInApplication([session = std::move(session), wordFailure](const std::string &fileName) {
        if (!session)
            return openWithAssociatedProgram(fileName, wordFailure);
        session->run([fileName, wordFailure] { openWithAssociatedProgram(fileName, wordFailure); },
                     associatedNotAnswered);
    });
}

} // namespace vd::automation::winword
