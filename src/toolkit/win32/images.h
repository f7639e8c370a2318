// The artwork as Win32 objects, made from the program's own resources: each
// icon at each size, each pointer and each stretched picture once per run,
// shared by all their uses.
#pragma once

#include "toolkit/win32/handles.h"
#include "toolkit/win32/system.h"

#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace vd::win32 {

class Images {
public:
    // COM is entered in `com` for the picture loader, on its first use.
    Images(HINSTANCE instance, ComApartment &com) : com_(com), instance_(instance) {}

    // An icon's image at that size in pixels (the 32 x 32 drawing scaled
    // where no image of that size exists).
    HICON icon(std::string_view name, int size);
    // An icon as a pointer, with its hot spot, at the size the system's own
    // pointers have at `dpi`.
    HCURSOR pointer(std::string_view name, int dpi);
    // A picture at its size: the pixels of an uncompressed BMP that the
    // program carries, drawn from its own pages where they lie, or a bitmap
    // of ours.
    struct Picture {
        BITMAPINFO header{};
        const void *bits = nullptr;
        OwnedBitmap bitmap;

        void draw(HDC dc) const;
    };
    // The photograph or the banner at width x height pixels: as prepared at
    // that size when the program was built, else decoded and scaled with a
    // halftone stretch; the decoded picture is not kept.
    const Picture &picture(std::string_view name, int width, int height);

private:
    ComApartment &com_;
    HINSTANCE instance_;
    std::map<std::pair<std::string, int>, OwnedIcon, std::less<>> icons_;
    std::map<std::pair<std::string, int>, OwnedCursor, std::less<>> pointers_;
    std::map<std::tuple<std::string, int, int>, Picture, std::less<>> pictures_;
};

} // namespace vd::win32
