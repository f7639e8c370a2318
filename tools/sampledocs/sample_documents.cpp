#include "sample_documents.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vd::sampledocs {

namespace {

// Code points of valid UTF-8 (our own constant texts).
std::vector<char32_t> decodeUtf8(std::string_view text)
{
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t point = lead;
        if (lead >= 0xF0) {
            extra = 3;
            point = lead & 0x07u;
        } else if (lead >= 0xE0) {
            extra = 2;
            point = lead & 0x0Fu;
        } else if (lead >= 0xC0) {
            extra = 1;
            point = lead & 0x1Fu;
        }
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i)
            point = (point << 6) | (static_cast<unsigned char>(text[i]) & 0x3Fu);
        points.push_back(point);
    }
    return points;
}

void appendUnit(std::string &out, unsigned unit)
{
    // RTF's \u takes a signed 16-bit number.
    const long value = unit > 0x7FFF ? static_cast<long>(unit) - 0x10000 : static_cast<long>(unit);
    out += "\\u" + std::to_string(value) + "?";
}

std::string joinPath(const std::string &folder, const std::string &name)
{
    return (folder.empty() || folder.back() == '/') ? folder + name : folder + "/" + name;
}

std::string systemError(int error)
{
    return std::string(std::strerror(error));
}

// mkdir -p
bool makeFolders(const std::string &folder, std::string &failure)
{
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/')
            continue;
        const std::string part = folder.substr(0, pos);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            failure = part + ": " + systemError(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        failure = folder + ": not a folder";
        return false;
    }
    return true;
}

bool writeAll(int fd, const std::string &data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

enum class Placed { Written, Kept, Failed };

// Moves `from` to `to` unless `to` exists; `from` is gone afterwards.
Placed placeWithoutReplacing(const std::string &from, const std::string &to, std::string &failure)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return Placed::Written;
    Placed placed = Placed::Failed;
    int error = errno;
    if (error == EEXIST) {
        placed = Placed::Kept;
    } else if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
        // A file system without RENAME_NOREPLACE: a hard link never replaces.
        if (::link(from.c_str(), to.c_str()) == 0)
            placed = Placed::Written;
        else if ((error = errno) == EEXIST)
            placed = Placed::Kept;
    }
    if (placed == Placed::Failed)
        failure = to + ": " + systemError(error);
    ::unlink(from.c_str());
    return placed;
}

Placed writeOne(const std::string &folder, int group, mode_t mode, std::string &failure)
{
    const std::string target = joinPath(folder, fileName(group));
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0)
        return Placed::Kept;
    if (errno != ENOENT) {
        failure = target + ": " + systemError(errno);
        return Placed::Failed;
    }

    std::string hidden(".");
    hidden += fileName(group);
    hidden += ".XXXXXX";
    std::string temporary = joinPath(folder, hidden);
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        failure = temporary + ": " + systemError(errno);
        return Placed::Failed;
    }
    const bool ok = writeAll(fd, rtfDocument(group)) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !ok) {
        failure = target + ": " + systemError(ok ? errno : error);
        ::unlink(temporary.c_str());
        return Placed::Failed;
    }
    return placeWithoutReplacing(temporary, target, failure);
}

} // namespace

std::string fileName(int group)
{
    return "vd" + std::to_string(group) + ".doc";
}

std::string windowsPath(int group)
{
    return "c:\\Program Files\\Velodane\\" + fileName(group);
}

std::vector<std::string> sampleLines(int group)
{
    const std::string n = std::to_string(group);
    return {
        "เอกสารตัวอย่างของกลุ่มชุดดินที่ " + n,
        "เอกสารนี้เป็นเพียงตัวอย่าง คำอธิบายจริงของกลุ่มชุดดินที่ " + n + " ให้วางแทนไฟล์นี้ที่ " + windowsPath(group),
    };
}

std::string rtfText(std::string_view utf8)
{
    std::string out;
    for (char32_t point : decodeUtf8(utf8)) {
        if (point == '\\' || point == '{' || point == '}') {
            out += '\\';
            out += static_cast<char>(point);
        } else if (point == '\n') {
            out += "\\line ";
        } else if (point >= 0x20 && point < 0x7F) {
            out += static_cast<char>(point);
        } else if (point > 0xFFFF) {
            const char32_t v = point - 0x10000;
            appendUnit(out, 0xD800u + static_cast<unsigned>(v >> 10));
            appendUnit(out, 0xDC00u + static_cast<unsigned>(v & 0x3FFu));
        } else if (point >= 0x80) {
            appendUnit(out, static_cast<unsigned>(point));
        }
    }
    return out;
}

std::string rtfDocument(int group)
{
    const std::vector<std::string> lines = sampleLines(group);
    std::string rtf = "{\\rtf1\\ansi\\ansicpg874\\deff0\\uc1\n"
                      "{\\fonttbl{\\f0\\fnil\\fcharset222 Garuda;}{\\f1\\fnil\\fcharset222 Loma;}}\n";
    rtf += "{\\info{\\title " + rtfText(lines[0]) + "}}\n";
    // Thai is a complex script to word processors: its font, weight and size
    // are the ones set after \rtlch (\af, \ab, \afs); \ltrch then sets those
    // of the Latin text (digits, the path). Language 1054 is Thai.
    rtf += "\\pard\\plain\\qc\\sa360\\rtlch\\fcs1\\af0\\ab\\afs44\\ltrch\\fcs0\\f0\\b\\fs44\\lang1054\\langnp1054 " +
           rtfText(lines[0]) + "\\par\n";
    for (std::size_t i = 1; i < lines.size(); ++i)
        rtf += "\\pard\\plain\\ql\\sa240\\rtlch\\fcs1\\af0\\afs32\\ltrch\\fcs0\\f0\\fs32\\lang1054\\langnp1054 " +
               rtfText(lines[i]) + "\\par\n";
    rtf += "}\n";
    return rtf;
}

Outcome writeSampleDocuments(const std::string &folder)
{
    Outcome outcome;
    std::string failure;
    if (folder.empty() || !makeFolders(folder, failure)) {
        outcome.failures.push_back(folder.empty() ? std::string("empty folder name") : failure);
        return outcome;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    for (int group = 1; group <= GroupCount; ++group) {
        failure.clear();
        switch (writeOne(folder, group, mode, failure)) {
        case Placed::Written:
            ++outcome.written;
            break;
        case Placed::Kept:
            ++outcome.kept;
            break;
        case Placed::Failed:
            outcome.failures.push_back(failure);
            break;
        }
    }
    if (outcome.written > 0) {
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return outcome;
}

} // namespace vd::sampledocs
