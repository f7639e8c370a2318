#include "automation/linux/word_application.h"

#include "automation/linux/document_path.h"
#include "automation/linux/viewer.h"
#include "automation/stand_in.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace vd::automation::linuxword {

namespace {

// At most this many places are named in a report, however many were
// searched, so that the message always fits on the screen.
constexpr std::size_t PlacesShown = 5;
// Longer paths are shortened in the middle to this many characters.
constexpr std::size_t PathCharactersShown = 100;

std::string stateText(const Candidate &candidate)
{
    switch (candidate.state) {
    case FileState::Readable:
        return "อ่านได้";
    case FileState::Missing:
        return "ไม่มีไฟล์นี้";
    case FileState::DanglingLink:
        return "เป็นลิงก์ที่ชี้ไปยังไฟล์ที่ไม่มีอยู่";
    case FileState::LinkLoop:
        return "เป็นลิงก์ที่ชี้วนกันไม่รู้จบ";
    case FileState::Directory:
        return "เป็นโฟลเดอร์ ไม่ใช่ไฟล์";
    case FileState::NotRegular:
        return "ไม่ใช่ไฟล์เอกสาร";
    case FileState::Unreadable:
        return "ไม่มีสิทธิ์อ่านไฟล์นี้";
    case FileState::FolderDenied:
        return "ไม่มีสิทธิ์เข้าถึงโฟลเดอร์ที่อยู่ระหว่างทาง";
    case FileState::NameTooLong:
        return "ชื่อไฟล์หรือเส้นทางยาวเกินกว่าที่ระบบรองรับ";
    case FileState::TooManyOpenFiles:
        return "เปิดไฟล์พร้อมกันมากเกินกว่าที่ระบบรองรับ";
    case FileState::Failed:
        break;
    }
    return "ตรวจสอบไม่ได้ เกิดข้อผิดพลาดของระบบ (รหัสข้อผิดพลาดของระบบ " + std::to_string(candidate.error) + ")";
}

// The length of the UTF-8 sequence that starts `text`, when it is a valid
// one; 0 otherwise.
std::size_t sequenceLength(std::string_view text) noexcept
{
    const auto lead = static_cast<unsigned char>(text.front());
    std::size_t length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length == 0 || text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    // No overlong forms, UTF-16 surrogates or code points above U+10FFFF.
    const auto second = static_cast<unsigned char>(text[1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

// A combining mark that is drawn on the letter before it: the Thai vowel
// and tone marks above and below the line (U+0E31, U+0E34 to U+0E3A, U+0E47
// to U+0E4E) and the general combining diacritics (U+0300 to U+036F).
bool isCombiningMark(std::string_view character) noexcept
{
    if (character.size() == 3 && character.substr(0, 2) == "\xE0\xB8") {
        const auto last = static_cast<unsigned char>(character[2]);
        return last == 0xB1 || (last >= 0xB4 && last <= 0xBA);
    }
    if (character.size() == 3 && character.substr(0, 2) == "\xE0\xB9") {
        const auto last = static_cast<unsigned char>(character[2]);
        return last >= 0x87 && last <= 0x8E;
    }
    if (character.size() == 2) {
        const auto lead = static_cast<unsigned char>(character[0]);
        const auto last = static_cast<unsigned char>(character[1]);
        return (lead == 0xCC && last >= 0x80) || (lead == 0xCD && last <= 0xAF);
    }
    return false;
}

// A path as a report shows it: one line of valid UTF-8, at most
// PathCharactersShown characters. Control characters, line and paragraph
// separators and bytes that aren't UTF-8 show as U+FFFD; a longer path
// keeps its beginning and its end around "…".
std::string displayText(std::string_view path)
{
    static constexpr std::string_view Replacement = "\xEF\xBF\xBD";
    std::vector<std::string_view> characters;
    while (!path.empty()) {
        const std::size_t length = sequenceLength(path);
        std::string_view character = path.substr(0, std::max<std::size_t>(length, 1));
        const auto lead = static_cast<unsigned char>(character.front());
        const bool control = lead < 0x20 || lead == 0x7F ||
                             (lead == 0xC2 && static_cast<unsigned char>(character.back()) < 0xA0) ||
                             character == "\xE2\x80\xA8" || character == "\xE2\x80\xA9";
        if (length == 0 || control)
            characters.push_back(Replacement);
        else
            characters.push_back(character);
        path.remove_prefix(character.size());
    }
    std::string text;
    if (characters.size() <= PathCharactersShown) {
        for (std::string_view c : characters)
            text += c;
        return text;
    }
    // The beginning and the end, cut between whole letters: never between
    // a letter and the marks that sit on it.
    std::size_t headEnd = PathCharactersShown / 2 - 10;
    while (headEnd > 0 && isCombiningMark(characters[headEnd]))
        --headEnd;
    std::size_t tailStart = characters.size() - (PathCharactersShown - PathCharactersShown / 2 + 9);
    while (tailStart < characters.size() && isCombiningMark(characters[tailStart]))
        ++tailStart;
    for (std::size_t i = 0; i < headEnd; ++i)
        text += characters[i];
    text += "…";
    for (std::size_t i = tailStart; i < characters.size(); ++i)
        text += characters[i];
    return text;
}

// Names the Windows path and the places searched: all of them when there
// are at most PlacesShown, else PlacesShown - 1 of them, those where
// something other than nothing was found first, in search order, and a
// count of the rest.
std::string notFoundDescription(std::string_view windowsPath, const Resolution &resolution)
{
    std::string text = "ไม่พบไฟล์เอกสาร \"" + displayText(windowsPath) + "\" หรือเปิดอ่านไม่ได้";
    const std::vector<Candidate> &searched = resolution.searched;
    if (searched.empty())
        return text + " (ไม่มีโฟลเดอร์ให้ค้นหา)";

    std::vector<bool> shown(searched.size(), searched.size() <= PlacesShown);
    if (searched.size() > PlacesShown) {
        std::size_t chosen = 0;
        for (bool missing : {false, true})
            for (std::size_t i = 0; i < searched.size() && chosen < PlacesShown - 1; ++i)
                if (!shown[i] && (searched[i].state == FileState::Missing) == missing) {
                    shown[i] = true;
                    ++chosen;
                }
    }
    text += " ตำแหน่งที่ค้นหา:";
    std::size_t hidden = 0;
    bool hiddenAllMissing = true;
    for (std::size_t i = 0; i < searched.size(); ++i) {
        if (shown[i]) {
            text += "\n" + displayText(searched[i].path) + " (" + stateText(searched[i]) + ")";
        } else {
            ++hidden;
            hiddenAllMissing = hiddenAllMissing && searched[i].state == FileState::Missing;
        }
    }
    if (hidden > 0)
        text += "\nและอีก " + std::to_string(hidden) + " ตำแหน่ง" + (hiddenAllMissing ? " (ไม่มีไฟล์นี้)" : "");
    return text;
}

// The prefix folders, found at the first Open and kept for the run: they
// depend only on the environment, which the program never changes.
class Prefixes {
public:
    explicit Prefixes(Environment environment) : environment_(std::move(environment)) {}

    const std::vector<std::string> &get()
    {
        if (!prefixes_)
            prefixes_ = documentPrefixes(environment_);
        return *prefixes_;
    }

private:
    Environment environment_;
    std::optional<std::vector<std::string>> prefixes_;
};

// Documents.Open on Linux: windowsPath resolved (document_path.h) and shown
// by the viewer.
void openDocument(const Viewer &viewer, const Options &options, Prefixes &prefixes, const std::string &windowsPath)
{
    if (!parseWindowsPath(windowsPath))
        throw Error(InvalidFileName, "ชื่อไฟล์เอกสาร \"" + displayText(windowsPath) +
                                         "\" ไม่ถูกต้อง: ต้องเป็นเส้นทางเต็มที่ขึ้นต้นด้วยอักษรไดรฟ์ เช่น c:\\");
    const Resolution resolution = resolveDocument(windowsPath, prefixes.get());
    if (!resolution.file)
        throw Error(FileNotFound, notFoundDescription(windowsPath, resolution));
    options.launch(viewerCommand(viewer, *resolution.file));
}

} // namespace

Options defaultOptions()
{
    return Options{processEnvironment(), launchDetached};
}

namespace {

ObjectRef createApplication(const Options &options, std::shared_ptr<Prefixes> prefixes)
{
    std::optional<Viewer> viewer = findViewer(options.environment);
    if (!viewer)
        throw Error(errors::CantCreateObject,
                    "ไม่สามารถสร้างออบเจกต์ \"word.Application\" ได้: ไม่พบ LibreOffice (soffice หรือ libreoffice) "
                    "และไม่พบ xdg-open ในโฟลเดอร์ของ PATH");
    return makeStandInApplication(
        [viewer = std::move(*viewer), options, prefixes = std::move(prefixes)](const std::string &windowsPath) {
            openDocument(viewer, options, *prefixes, windowsPath);
        });
}

} // namespace

ObjectRef createApplication(const Options &options)
{
    return createApplication(options, std::make_shared<Prefixes>(options.environment));
}

void registerClasses(Registry &registry)
{
    registerClasses(registry, defaultOptions());
}

void registerClasses(Registry &registry, Options options)
{
    // One list of prefixes for every object made through this registration.
    auto prefixes = std::make_shared<Prefixes>(options.environment);
    registry.add("word.Application", [options = std::move(options), prefixes = std::move(prefixes)] {
        return createApplication(options, prefixes);
    });
}

} // namespace vd::automation::linuxword
