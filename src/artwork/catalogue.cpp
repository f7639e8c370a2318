#include "artwork/catalogue.h"

#include "common/error.h"

#include <array>
#include <string>

namespace vd::artwork {

namespace {
// Hot spots: the arrow tips (middle of the edge they point at), the hand's
// fingertip, the sign's centre.
constexpr std::array<Entry, 10> entries{{
    {"IslandIcon", Kind::Icon, "IslandIcon.ico", 32, 32, {16, 16}},
    {"ForwardPointer", Kind::Icon, "ForwardPointer.ico", 32, 32, {31, 16}},
    {"GreenLightPicture", Kind::Icon, "GreenLightPicture.ico", 32, 32, {16, 16}},
    {"StopPointer", Kind::Icon, "StopPointer.ico", 32, 32, {16, 16}},
    {"RedLightPicture", Kind::Icon, "RedLightPicture.ico", 32, 32, {16, 16}},
    {"BackPointer", Kind::Icon, "BackPointer.ico", 32, 32, {0, 16}},
    {"BackArrowPicture", Kind::Icon, "BackArrowPicture.ico", 32, 32, {0, 16}},
    {"HandPointer", Kind::Icon, "HandPointer.ico", 32, 32, {31, 10}},
    {"IntroPicture", Kind::Photograph, "IntroPicture.jpg", 582, 416, {}},
    {"MenuBanner", Kind::Banner, "MenuBanner.bmp", 660, 149, {}},
}};
} // namespace

std::span<const Entry> catalogue()
{
    return entries;
}

const Entry *find(std::string_view name)
{
    for (const Entry &e : entries)
        if (e.name == name)
            return &e;
    return nullptr;
}

namespace {
[[noreturn]] void unusable(std::string_view name, std::string_view why)
{
    throw Error(errors::ImageNotFound, "ภาพ \"" + std::string(name) + "\" ใช้ไม่ได้: " + std::string(why));
}
} // namespace

const Entry &require(std::string_view name)
{
    const Entry *entry = find(name);
    if (!entry)
        unusable(name, "ไม่มีในชุดภาพของโปรแกรม");
    return *entry;
}

void undecodable(const Entry &entry)
{
    unusable(entry.name, "อ่านแฟ้มภาพ " + std::string(entry.file) + " ไม่ได้ แฟ้มเสียหรือไม่ใช่รูปแบบที่กำหนด");
}

void checkSize(const Entry &entry, int width, int height)
{
    if (width != entry.width || height != entry.height)
        unusable(entry.name, "ขนาดภาพไม่ตรงกับที่กำหนด");
}

} // namespace vd::artwork
