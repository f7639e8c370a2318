#include "automation/linux/word_application.h"

#include "automation/linux/document_path.h"
#include "automation/linux/viewer.h"
#include "automation/stand_in.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <tuple>

namespace vd::automation::linuxword {

namespace {

// At most this many places are named in a report, however many were
// searched, so that the message always fits on the screen.
constexpr std::size_t PlacesShown = 5;
// Longer paths are shortened in the middle to this many characters.
constexpr std::size_t PathCharactersShown = 100;

std::string stateText(const Candidate &candidate)
{
    // In the order of FileState.
    static constexpr std::string_view Texts[] = {
        "อ่านได้",
        "ไม่มีไฟล์นี้",
        "เป็นลิงก์ที่ชี้ไปยังไฟล์ที่ไม่มีอยู่",
        "เป็นลิงก์ที่ชี้วนกันไม่รู้จบ",
        "เป็นโฟลเดอร์ ไม่ใช่ไฟล์",
        "ไม่ใช่ไฟล์เอกสาร",
        "ไม่มีสิทธิ์อ่านไฟล์นี้",
        "ไม่มีสิทธิ์เข้าถึงโฟลเดอร์ที่อยู่ระหว่างทาง",
        "ชื่อไฟล์หรือเส้นทางยาวเกินกว่าที่ระบบรองรับ",
        "เปิดไฟล์พร้อมกันมากเกินกว่าที่ระบบรองรับ",
    };
    static_assert(std::size(Texts) == static_cast<std::size_t>(FileState::Failed));
    if (candidate.state != FileState::Failed)
        return std::string(Texts[static_cast<std::size_t>(candidate.state)]);
    return "ตรวจสอบไม่ได้ เกิดข้อผิดพลาดของระบบ (รหัสข้อผิดพลาดของระบบ " + std::to_string(candidate.error) + ")";
}

// The code point that starts `text` and the length of its UTF-8 sequence;
// U+FFFD and 1 for a byte that starts no valid one (an overlong form, a
// UTF-16 surrogate or a code point above U+10FFFF among them).
std::pair<char32_t, std::size_t> decode(std::string_view text) noexcept
{
    static constexpr std::pair<char32_t, std::size_t> Invalid{0xFFFD, 1};
    static constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || text.size() < length)
        return Invalid;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return Invalid;
        c = c << 6 | (next & 0x3F);
    }
    if (c < Least[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return Invalid;
    return {c, length};
}

// A path as a report shows it: one line of valid UTF-8, at most
// PathCharactersShown characters. Control characters, line and paragraph
// separators and bytes that aren't UTF-8 show as U+FFFD; a longer path
// keeps its beginning and its end around "…", cut between whole letters:
// never between a letter and the marks drawn on it (the Thai vowel and tone
// marks above and below the line, the general combining diacritics).
std::string displayText(std::string_view path)
{
    struct Character {
        std::string_view text;
        bool mark;
    };
    std::vector<Character> characters;
    for (std::size_t length = 0; !path.empty(); path.remove_prefix(length)) {
        char32_t c = 0;
        std::tie(c, length) = decode(path);
        const bool shown = c >= 0x20 && (c < 0x7F || c >= 0xA0) && c != 0x2028 && c != 0x2029 && c != 0xFFFD;
        const bool mark =
            c == 0xE31 || (c >= 0xE34 && c <= 0xE3A) || (c >= 0xE47 && c <= 0xE4E) || (c >= 0x300 && c <= 0x36F);
        characters.push_back({shown ? path.substr(0, length) : "\xEF\xBF\xBD", mark});
    }
    const std::size_t count = characters.size();
    std::size_t headEnd = count, tailStart = count;
    if (count > PathCharactersShown) {
        headEnd = PathCharactersShown / 2 - 10;
        while (headEnd > 0 && characters[headEnd].mark)
            --headEnd;
        tailStart = count - (PathCharactersShown - PathCharactersShown / 2 + 9);
        while (tailStart < count && characters[tailStart].mark)
            ++tailStart;
    }
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i == headEnd)
            text += "…";
        if (i < headEnd || i >= tailStart)
            text += characters[i].text;
    }
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

    std::vector<std::size_t> named(searched.size());
    std::iota(named.begin(), named.end(), 0);
    bool hiddenAllMissing = true;
    if (searched.size() > PlacesShown) {
        std::stable_partition(named.begin(), named.end(),
                              [&searched](std::size_t i) { return searched[i].state != FileState::Missing; });
        hiddenAllMissing = std::all_of(named.begin() + (PlacesShown - 1), named.end(),
                                       [&searched](std::size_t i) { return searched[i].state == FileState::Missing; });
        named.resize(PlacesShown - 1);
        std::sort(named.begin(), named.end());
    }
    text += " ตำแหน่งที่ค้นหา:";
    for (std::size_t i : named)
        text += "\n" + displayText(searched[i].path) + " (" + stateText(searched[i]) + ")";
    if (const std::size_t hidden = searched.size() - named.size(); hidden > 0)
        text += "\nและอีก " + std::to_string(hidden) + " ตำแหน่ง" + (hiddenAllMissing ? " (ไม่มีไฟล์นี้)" : "");
    return text;
}

// The prefix folders, found at the first Open and kept for the run: they
// depend only on the environment, which the program never changes.
struct Prefixes {
    explicit Prefixes(Environment e) : environment(std::move(e)) {}

    Environment environment;
    std::optional<std::vector<std::string>> found;

    const std::vector<std::string> &get()
    {
        if (!found)
            found = documentPrefixes(environment);
        return *found;
    }
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
