// The program's fixed artwork: ten images reachable by name. Toolkit-neutral:
// each toolkit embeds the same files as its own resources and decodes each
// image once.
#pragma once

#include <span>
#include <string_view>

namespace vd::artwork {

enum class Kind {
    Icon,       // .ico: 32 x 32 and 16 x 16, 4 bits per pixel, 1-bit mask
    Photograph, // baseline JPEG
    Banner,     // uncompressed 24-bit BMP
};

struct HotSpot {
    int x = 0; // on the 32 x 32 image
    int y = 0;
};

struct Entry {
    std::string_view name; // catalogue name, e.g. "IslandIcon"
    Kind kind;
    std::string_view file; // file name under src/artwork/images, e.g. "IslandIcon.ico"
    int width;             // pixel size (the large image of an icon)
    int height;
    HotSpot hotSpot; // where the pointer points, for icons used as pointer images
};

std::span<const Entry> catalogue();
// The entry of that name, or nullptr.
const Entry *find(std::string_view name);

// The checks every toolkit makes as it decodes an image, each failing with
// an Error "invalid picture" that names the image:
// the entry of that name, which must be in the catalogue;
const Entry &require(std::string_view name);
// a file that can't be decoded (the decoder's own words, often English, go
// to standard error, not to the user);
[[noreturn]] void undecodable(const Entry &entry);
// an image of another size than the catalogue's (an icon's large image).
void checkSize(const Entry &entry, int width, int height);

} // namespace vd::artwork
