#include "toolkit/win32/images.h"

#include "artwork/catalogue.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <memory>

namespace vd::win32 {

namespace {

struct ReleaseCom {
    void operator()(IUnknown *p) const noexcept { p->Release(); }
};
template <class T> using ComRef = std::unique_ptr<T, ReleaseCom>;

// The picture's file, as the program carries it (RCDATA named as the
// catalogue names it), decoded by the system's picture loader.
ComRef<IPicture> loadPicture(HINSTANCE instance, const artwork::Entry &entry)
{
    const std::wstring name = wide(entry.name);
    HRSRC resource = FindResourceW(instance, name.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void *bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(instance, resource) : 0;
    if (!bytes || size == 0)
        artwork::undecodable(entry);

    // A stream over a copy of the bytes; the stream frees the copy.
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        throw std::bad_alloc();
    void *to = GlobalLock(copy);
    std::memcpy(to, bytes, size);
    GlobalUnlock(copy);
    IStream *raw = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &raw))) {
        GlobalFree(copy);
        throw std::bad_alloc();
    }
    ComRef<IStream> stream(raw);

    void *picture = nullptr;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, &picture)) || !picture)
        artwork::undecodable(entry);
    return ComRef<IPicture>(static_cast<IPicture *>(picture));
}

} // namespace

HICON Images::icon(std::string_view name, int size)
{
    auto it = icons_.find(std::make_pair(std::string(name), size));
    if (it != icons_.end())
        return it->second.get();
    const artwork::Entry &entry = artwork::require(name);
    const std::wstring resource = wide(entry.name);
    OwnedIcon icon(static_cast<HICON>(LoadImageW(instance_, resource.c_str(), IMAGE_ICON, size, size, 0)));
    if (!icon)
        artwork::undecodable(entry);
    return icons_.emplace(std::make_pair(std::string(name), size), std::move(icon)).first->second.get();
}

HCURSOR Images::pointer(std::string_view name)
{
    if (auto it = pointers_.find(name); it != pointers_.end())
        return it->second.get();
    const artwork::Entry &entry = artwork::require(name);
    HICON icon = this->icon(name, entry.width);
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        artwork::undecodable(entry);
    OwnedBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    GetObjectW(mask.get(), sizeof bm, &bm);
    artwork::checkSize(entry, bm.bmWidth, colour ? bm.bmHeight : bm.bmHeight / 2);
    info.fIcon = FALSE;
    info.xHotspot = static_cast<DWORD>(entry.hotSpot.x);
    info.yHotspot = static_cast<DWORD>(entry.hotSpot.y);
    OwnedCursor cursor(CreateIconIndirect(&info));
    if (!cursor)
        artwork::undecodable(entry);
    return pointers_.emplace(std::string(name), std::move(cursor)).first->second.get();
}

HBITMAP Images::picture(std::string_view name, int width, int height)
{
    const auto key = std::make_tuple(std::string(name), width, height);
    if (auto it = pictures_.find(key); it != pictures_.end())
        return it->second.get();
    const artwork::Entry &entry = artwork::require(name);
    ComRef<IPicture> picture = loadPicture(instance_, entry);
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    HBITMAP decoded = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)); // the picture's own
    BITMAP bm{};
    if (!decoded || !GetObjectW(decoded, sizeof bm, &bm))
        artwork::undecodable(entry);
    artwork::checkSize(entry, bm.bmWidth, bm.bmHeight);

    // Shrunk with a halftone stretch: the default stretch drops whole rows
    // and columns, which leaves speckles and thickened lines.
    Canvas scaled(width, height);
    OwnedDc source(CreateCompatibleDC(nullptr));
    {
        Selected in(source.get(), decoded);
        SetStretchBltMode(scaled.dc(), HALFTONE);
        SetBrushOrgEx(scaled.dc(), 0, 0, nullptr);
        StretchBlt(scaled.dc(), 0, 0, width, height, source.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    }
    return pictures_.emplace(key, scaled.takeBitmap()).first->second.get();
}

} // namespace vd::win32
