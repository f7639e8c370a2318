#include "automation/windows/shell_word.h"

#include "automation/windows/com_errors.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

namespace vd::automation::winword {

namespace {

constexpr std::size_t OpenMaxArguments = 16; // Word's Documents.Open takes 16

[[noreturn]] void fail(HRESULT hr, std::string_view)
{
    throw callError(hr, nullptr);
}

std::string extensionOf(const std::string &path)
{
    const auto dot = path.find_last_of(".\\/");
    if (dot == std::string::npos || path[dot] != '.')
        return {};
    return path.substr(dot);
}

void openWithAssociatedProgram(const std::string &path)
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
    if (error == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE)
        throw Error(errors::CantCreateObject,
                    "เปิดเอกสาร \"" + path + "\" ไม่ได้: เครื่องนี้ไม่มี Microsoft Word และไม่มีโปรแกรมที่ตั้งไว้ให้เปิดไฟล์ " + type +
                        " (ติดตั้ง Microsoft Word หรือโปรแกรมที่เปิดไฟล์ " + type + " ได้ แล้วลองใหม่)");
    // The document is there (checked above): a file not found is the
    // program associated with it.
    const std::string why =
        error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || code == SE_ERR_FNF || code == SE_ERR_PNF
            ? ": ไม่พบโปรแกรมนั้นในเครื่อง"
            : std::string();
    throw Error(errors::CantCreateObject, "เปิดเอกสาร \"" + path + "\" ด้วยโปรแกรมที่ตั้งไว้สำหรับไฟล์ " + type + " ไม่ได้" + why +
                                              theSystemSays(systemMessage(HRESULT_FROM_WIN32(error))));
}

class Documents final : public Object {
public:
    explicit Documents(std::shared_ptr<const void> apartment) : apartment_(std::move(apartment)) {}

    Value invoke(std::string_view member, unsigned how, std::span<const Value> args) override
    {
        if (!sameName(member, "Open") || !(how & Method))
            fail(DISP_E_MEMBERNOTFOUND, member);
        if (args.empty() || args.size() > OpenMaxArguments)
            fail(DISP_E_BADPARAMCOUNT, member);
        const auto *fileName = std::get_if<std::string>(&args.front());
        if (!fileName)
            fail(DISP_E_TYPEMISMATCH, member);
        openWithAssociatedProgram(*fileName);
        return {};
    }

private:
    std::shared_ptr<const void> apartment_;
};

class Application final : public Object {
public:
    explicit Application(std::shared_ptr<const void> apartment)
        : documents_(std::make_shared<Documents>(std::move(apartment)))
    {
    }

    Value invoke(std::string_view member, unsigned how, std::span<const Value> args) override
    {
        if (sameName(member, "Visible")) {
            if (how & PropertyPut) {
                if (args.size() != 1)
                    fail(DISP_E_BADPARAMCOUNT, member);
                const bool *visible = std::get_if<bool>(&args.front());
                if (!visible)
                    fail(DISP_E_TYPEMISMATCH, member);
                visible_ = *visible;
                return {};
            }
            if (how & PropertyGet) {
                if (!args.empty())
                    fail(DISP_E_BADPARAMCOUNT, member);
                return visible_;
            }
        } else if (sameName(member, "Documents") && (how & (PropertyGet | Method))) {
            if (!args.empty())
                fail(DISP_E_BADPARAMCOUNT, member);
            return documents_;
        }
        fail(DISP_E_MEMBERNOTFOUND, member);
    }

private:
    bool visible_ = false;
    ObjectRef documents_;
};

} // namespace

ObjectRef createShellApplication(std::shared_ptr<const void> apartment)
{
    return std::make_shared<Application>(std::move(apartment));
}

} // namespace vd::automation::winword
