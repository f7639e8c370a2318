#include "automation/linux/word_application.h"

#include "automation/linux/document_path.h"
#include "automation/linux/viewer.h"

#include <memory>

namespace vd::automation::linuxword {

namespace {

constexpr std::size_t kOpenMaxArguments = 16; // Word's Documents.Open takes 16

[[noreturn]] void memberNotFound(std::string_view member)
{
    throw Error(errors::MemberNotFound, "ออบเจกต์ไม่รองรับคุณสมบัติหรือเมธอด \"" + std::string(member) + "\"");
}

[[noreturn]] void wrongArguments(std::string_view member)
{
    throw Error(errors::WrongArguments, "จำนวนอาร์กิวเมนต์ของ \"" + std::string(member) + "\" ไม่ถูกต้อง");
}

[[noreturn]] void typeMismatch(std::string_view member)
{
    throw Error(errors::TypeMismatch, "ชนิดข้อมูลไม่ตรงกัน: ค่าที่ส่งให้ \"" + std::string(member) + "\" ไม่ใช่ชนิดที่ต้องการ");
}

std::string stateText(FileState state)
{
    switch (state) {
    case FileState::Readable:
        return "อ่านได้";
    case FileState::Missing:
        return "ไม่มีไฟล์นี้";
    case FileState::DanglingLink:
        return "เป็นลิงก์ที่ชี้ไปยังไฟล์ที่ไม่มีอยู่";
    case FileState::Directory:
        return "เป็นโฟลเดอร์ ไม่ใช่ไฟล์";
    case FileState::NotRegular:
        return "ไม่ใช่ไฟล์เอกสาร";
    case FileState::Unreadable:
        return "ไม่มีสิทธิ์อ่านไฟล์นี้";
    }
    return "ไม่มีไฟล์นี้";
}

std::string notFoundDescription(std::string_view windowsPath, const Resolution &resolution)
{
    std::string text = "ไม่พบไฟล์เอกสาร \"" + std::string(windowsPath) + "\" หรือเปิดอ่านไม่ได้";
    if (resolution.searched.empty())
        return text + " (ไม่มีโฟลเดอร์ให้ค้นหา)";
    text += " ตำแหน่งที่ค้นหา:";
    for (const Candidate &candidate : resolution.searched)
        text += "\n" + candidate.path + " (" + stateText(candidate.state) + ")";
    return text;
}

class Documents final : public Object {
public:
    Documents(Viewer viewer, Options options) : viewer_(std::move(viewer)), options_(std::move(options)) {}

    Value invoke(std::string_view member, unsigned how, std::span<const Value> args) override
    {
        if (!sameName(member, "Open") || !(how & Method))
            memberNotFound(member);
        if (args.empty() || args.size() > kOpenMaxArguments)
            wrongArguments(member);
        const auto *fileName = std::get_if<std::string>(&args.front());
        if (!fileName)
            typeMismatch(member);
        open(*fileName);
        return {};
    }

private:
    void open(const std::string &windowsPath) const
    {
        const Resolution resolution = resolveDocument(windowsPath, options_.environment);
        if (!resolution.valid)
            throw Error(InvalidFileName,
                        "ชื่อไฟล์เอกสาร \"" + windowsPath + "\" ไม่ถูกต้อง: ต้องเป็นเส้นทางเต็มที่ขึ้นต้นด้วยอักษรไดรฟ์ เช่น c:\\");
        if (!resolution.file)
            throw Error(FileNotFound, notFoundDescription(windowsPath, resolution));
        options_.launch(viewerCommand(viewer_, *resolution.file));
    }

    Viewer viewer_;
    Options options_;
};

class Application final : public Object {
public:
    explicit Application(ObjectRef documents) : documents_(std::move(documents)) {}

    Value invoke(std::string_view member, unsigned how, std::span<const Value> args) override
    {
        if (sameName(member, "Visible")) {
            if (how & PropertyPut) {
                if (args.size() != 1)
                    wrongArguments(member);
                const bool *visible = std::get_if<bool>(&args.front());
                if (!visible)
                    typeMismatch(member);
                visible_ = *visible;
                return {};
            }
            if (how & PropertyGet) {
                if (!args.empty())
                    wrongArguments(member);
                return visible_;
            }
        } else if (sameName(member, "Documents")) {
            if (how & (PropertyGet | Method)) {
                if (!args.empty())
                    wrongArguments(member);
                return documents_;
            }
        }
        memberNotFound(member);
    }

private:
    bool visible_ = false;
    ObjectRef documents_;
};

} // namespace

Options defaultOptions()
{
    return Options{processEnvironment(), launchDetached};
}

ObjectRef createApplication(const Options &options)
{
    std::optional<Viewer> viewer = findViewer(options.environment);
    if (!viewer)
        throw Error(errors::CantCreateObject,
                    "ไม่สามารถสร้างออบเจกต์ \"word.Application\" ได้: ไม่พบ LibreOffice (soffice หรือ libreoffice) "
                    "และไม่พบ xdg-open ในโฟลเดอร์ของ PATH");
    return std::make_shared<Application>(std::make_shared<Documents>(std::move(*viewer), options));
}

void registerClasses(Registry &registry)
{
    registerClasses(registry, defaultOptions());
}

void registerClasses(Registry &registry, Options options)
{
    registry.add("word.Application", [options = std::move(options)] { return createApplication(options); });
}

} // namespace vd::automation::linuxword
