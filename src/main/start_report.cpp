#include "main/start_report.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace vd::posix {

namespace {

constexpr std::string_view X11 = "xcb";
constexpr std::string_view Wayland = "wayland";

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

// The value of an option given as "-name value" or "--name value".
std::string option(const std::vector<std::string> &arguments, std::string_view name)
{
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        std::string_view a = arguments[i];
        if (a.starts_with("--"))
            a.remove_prefix(1);
        if (a.size() == name.size() + 1 && a.front() == '-' && a.substr(1) == name)
            return arguments[i + 1];
    }
    return {};
}

// The platforms the toolkit will try, in order.
std::vector<std::string> platforms(const std::vector<std::string> &arguments)
{
    std::string asked = option(arguments, "platform");
    if (asked.empty())
        asked = environment("QT_QPA_PLATFORM");
    if (asked.empty()) {
        std::vector<std::string> names;
        if (!environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == Wayland)
            names.emplace_back(Wayland);
        names.emplace_back(X11);
        return names;
    }
    std::vector<std::string> names;
    std::string_view rest = asked;
    while (!rest.empty()) {
        const std::string_view entry = rest.substr(0, rest.find(';'));
        rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        if (const std::string_view name = entry.substr(0, entry.find(':')); !name.empty())
            names.emplace_back(name);
    }
    return names;
}

struct Tried {
    bool usable = false;
    std::string thai, english; // why not
    std::shared_ptr<void> kept;
};

Tried tryX11(const std::vector<std::string> &arguments)
{
    std::string name = option(arguments, "display");
    if (name.empty())
        name = environment("DISPLAY");
    if (name.empty())
        return {false, "ไม่ได้ตั้งค่า DISPLAY", "DISPLAY is not set"};
    std::shared_ptr<xcb_connection_t> connection(::xcb_connect(name.c_str(), nullptr), ::xcb_disconnect);
    const bool usable = ::xcb_connection_has_error(connection.get()) == 0;
    return {usable, "เชื่อมต่อจอภาพ X11 \"" + name + "\" ไม่ได้", "cannot connect to the X11 display \"" + name + '"',
            usable ? std::move(connection) : nullptr};
}

Tried tryWayland()
{
    std::string name = environment("WAYLAND_DISPLAY");
    if (name.empty())
        name = "wayland-0";
    std::string path = name;
    if (path.front() != '/') {
        const std::string folder = environment("XDG_RUNTIME_DIR");
        path = folder.empty() ? std::string() : folder + '/' + name;
    }
    Tried tried{false, "เชื่อมต่อจอภาพ Wayland \"" + name + "\" ไม่ได้",
                "cannot connect to the Wayland display \"" + name + '"'};
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return tried;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return tried;
    tried.usable = ::connect(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(s);
    return tried;
}

} // namespace

DisplayCheck checkDisplay(const std::vector<std::string> &arguments, const std::string &program)
{
    const std::vector<std::string> names = platforms(arguments);
    for (const std::string &name : names) {
        if (name != X11 && name != Wayland)
            return {};
    }
    std::string thai, english;
    for (const std::string &name : names) {
        Tried tried = name == X11 ? tryX11(arguments) : tryWayland();
        if (tried.usable)
            return {std::nullopt, std::move(tried.kept)};
        thai += (thai.empty() ? "" : " และ ") + tried.thai;
        english += (english.empty() ? "" : "; ") + tried.english;
    }
    const std::string command = "xvfb-run -a " + program;
    return {StartReport{"ไม่มีจอภาพให้แสดงหน้าต่างของโปรแกรม (" + thai +
                            ") บนเครื่องที่ไม่มีจอภาพ ให้เปิดโปรแกรมบนจอภาพเสมือนด้วยคำสั่ง " + command,
                        "no display to show the program's windows on (" + english +
                            "); on a machine without a screen, run it under a virtual display: " + command},
            nullptr};
}

StartReport unsupportedDepth(int depth)
{
    const std::string bits = std::to_string(depth);
    return {"จอภาพนี้ใช้สี " + bits +
                " บิต ซึ่งโปรแกรมวาดหน้าต่างด้วยไม่ได้ (หน้าต่างจะดำทั้งหมด) ให้ตั้งจอภาพเป็นสี 16 บิตขึ้นไป "
                "แล้วเปิดโปรแกรมใหม่",
            "the display has " + bits +
                "-bit colour, which the program can't draw its windows in (they would be all black); set the "
                "display to 16-bit colour or more and start the program again"};
}

StartReport threadRefused(const std::string &reason)
{
    return {"ระบบไม่ยอมให้โปรแกรมสร้างเธรดที่ต้องใช้ (จำนวนโปรเซสและเธรดของผู้ใช้หรือหน่วยความจำถึงขีดจำกัด "
            "ดู ulimit -u และ ulimit -v) โปรแกรมจึงหยุดทำงาน ให้ปิดโปรแกรมอื่นหรือเพิ่มขีดจำกัด แล้วเปิดโปรแกรมใหม่",
            "the system refused the program a thread it needs (" + reason +
                ": the user's limit on processes and threads, or on memory, is reached; see ulimit -u and ulimit "
                "-v); the program stops. Close other programs or raise the limit, then start it again"};
}

void writeReport(const StartReport &report) noexcept
{
    // One write for both lines, so that nothing comes between them.
    std::string text;
    try {
        text = "velodane: " + report.thai + "\nvelodane: " + report.english + '\n';
    } catch (...) {
        return;
    }
    for (std::string_view rest = text; !rest.empty();) {
        const ssize_t n = ::write(STDERR_FILENO, rest.data(), rest.size());
        if (n <= 0)
            return;
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
}

} // namespace vd::posix
