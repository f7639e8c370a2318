#include "toolkit/win32/images.h"

#include "common/win32/com.h"

#include "artwork/catalogue.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace vd::win32 {

namespace {

struct Bytes {
    const BYTE *data = nullptr;
    DWORD size = 0;
};

// A file the program carries as RCDATA (in place, in the program's pages).
Bytes resourceBytes(HINSTANCE instance, const std::wstring &name)
{
    HRSRC resource = FindResourceW(instance, name.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void *bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return {static_cast<const BYTE *>(bytes), SizeofResource(instance, resource)};
}

// The bytes of an uncompressed bitmap's pixels, rows padded to 4 bytes.
unsigned long long pixelBytes(const BITMAPINFOHEADER &info)
{
    const unsigned long long rows = info.biHeight < 0 ? -static_cast<long long>(info.biHeight) : info.biHeight;
    return (static_cast<unsigned long long>(info.biWidth) * info.biBitCount + 31) / 32 * 4 * rows;
}

// The header and pixels of an uncompressed BMP file, in place, or nothing
// when the bytes are not one. Read by GDI alone: no picture decoder.
bool bmpInPlace(Bytes file, Images::Picture &picture)
{
    BITMAPFILEHEADER head{};
    if (file.size < sizeof head + sizeof(BITMAPINFOHEADER))
        return false;
    std::memcpy(&head, file.data, sizeof head);
    BITMAPINFOHEADER info{};
    std::memcpy(&info, file.data + sizeof head, sizeof info);
    if (head.bfType != 0x4D42 || info.biSize < sizeof info || info.biCompression != BI_RGB || info.biWidth <= 0 ||
        info.biHeight == 0 || info.biPlanes != 1 || (info.biBitCount != 24 && info.biBitCount != 32))
        return false;
    if (head.bfOffBits < sizeof head + info.biSize || head.bfOffBits > file.size ||
        pixelBytes(info) > file.size - head.bfOffBits)
        return false;
    // The info header as GDI reads it (no palette at these depths).
    picture.header.bmiHeader = info;
    picture.header.bmiHeader.biSize = sizeof picture.header.bmiHeader;
    picture.bits = file.data + head.bfOffBits;
    return true;
}

// The same pixels as a bitmap of ours.
OwnedBitmap bitmapFromBmp(Bytes file)
{
    Images::Picture in;
    if (!bmpInPlace(file, in))
        return {};
    void *bits = nullptr;
    OwnedBitmap bitmap(CreateDIBSection(nullptr, &in.header, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        throw std::bad_alloc();
    std::memcpy(bits, in.bits, static_cast<std::size_t>(pixelBytes(in.header.bmiHeader)));
    return bitmap;
}

// The picture's file, as the program carries it (RCDATA named as the
// catalogue names it), decoded by the system's picture loader.
ComPtr<IPicture> loadPicture(Bytes file, const artwork::Entry &entry)
{
    const BYTE *bytes = file.data;
    const DWORD size = file.size;
    if (!bytes || size == 0)
        artwork::undecodable(entry);

    // A stream over a copy of the bytes; the stream frees the copy.
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        throw std::bad_alloc();
    void *to = GlobalLock(copy);
    std::memcpy(to, bytes, size);
    GlobalUnlock(copy);
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, stream.put()))) {
        GlobalFree(copy);
        throw std::bad_alloc();
    }

    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.putVoid())) ||
        !picture)
        artwork::undecodable(entry);
    return picture;
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

namespace {

// A bitmap drawn `scale` times as large, each pixel as scale x scale.
OwnedBitmap enlarged(HBITMAP bitmap, int scale, bool mask)
{
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    const int w = bm.bmWidth * scale, h = bm.bmHeight * scale;
    OwnedDc from(CreateCompatibleDC(nullptr)), to(CreateCompatibleDC(nullptr));
    OwnedBitmap made;
    if (mask) {
        made.reset(CreateBitmap(w, h, 1, 1, nullptr));
    } else {
        WindowDc screen(nullptr);
        made.reset(CreateCompatibleBitmap(screen.get(), w, h));
    }
    if (!made || !from || !to)
        throw std::bad_alloc();
    Selected in(from.get(), bitmap), out(to.get(), made.get());
    SetStretchBltMode(to.get(), COLORONCOLOR);
    StretchBlt(to.get(), 0, 0, w, h, from.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    return made;
}

} // namespace

HCURSOR Images::pointer(std::string_view name, int dpi)
{
    // The system's own pointers' size: at twice the standard pixel density
    // (from 1.5 times it) each pixel of the drawing is drawn as two by two.
    const int scale = std::max(1, (dpi + 48) / 96);
    const auto key = std::make_pair(std::string(name), scale);
    if (auto it = pointers_.find(key); it != pointers_.end())
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
    if (scale > 1) {
        mask = enlarged(mask.get(), scale, true);
        if (colour)
            colour = enlarged(colour.get(), scale, false);
    }
    info.hbmColor = colour.get();
    info.hbmMask = mask.get();
    info.fIcon = FALSE;
    info.xHotspot = static_cast<DWORD>(entry.hotSpot.x * scale);
    info.yHotspot = static_cast<DWORD>(entry.hotSpot.y * scale);
    OwnedCursor cursor(CreateIconIndirect(&info));
    if (!cursor)
        artwork::undecodable(entry);
    return pointers_.emplace(key, std::move(cursor)).first->second.get();
}

void Images::Picture::draw(HDC dc) const
{
    if (bits) {
        const BITMAPINFOHEADER &info = header.bmiHeader;
        const DWORD rows = static_cast<DWORD>(std::abs(info.biHeight));
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(info.biWidth), rows, 0, 0, 0, rows, bits, &header,
                          DIB_RGB_COLORS);
        return;
    }
    BITMAP bm{};
    GetObjectW(bitmap.get(), sizeof bm, &bm);
    OwnedDc source(CreateCompatibleDC(dc));
    Selected in(source.get(), bitmap.get());
    BitBlt(dc, 0, 0, bm.bmWidth, std::abs(bm.bmHeight), source.get(), 0, 0, SRCCOPY);
}

const Images::Picture &Images::picture(std::string_view name, int width, int height)
{
    const auto key = std::make_tuple(std::string(name), width, height);
    if (auto it = pictures_.find(key); it != pictures_.end())
        return it->second;
    const artwork::Entry &entry = artwork::require(name);
    const std::wstring resource = wide(entry.name);

    // Prepared as the program was built, at the size it is drawn at the
    // standard dpi: drawn as it is, from the program's own pages.
    const std::wstring preparedName = resource + L'_' + std::to_wstring(width) + L'x' + std::to_wstring(height);
    if (const Bytes prepared = resourceBytes(instance_, preparedName); prepared.data) {
        Picture in;
        if (!bmpInPlace(prepared, in) || in.header.bmiHeader.biWidth != width ||
            std::abs(in.header.bmiHeader.biHeight) != height)
            artwork::undecodable(entry);
        return pictures_.emplace(key, std::move(in)).first->second;
    }

    // Else the file: a BMP read by GDI, anything else by the system's picture
    // loader (which needs COM).
    const Bytes file = resourceBytes(instance_, resource);
    OwnedBitmap fromBmp = bitmapFromBmp(file);
    ComPtr<IPicture> picture;
    HBITMAP decoded = fromBmp.get();
    if (!decoded) {
        com_.enter();
        picture = loadPicture(file, entry);
        OLE_HANDLE handle = 0;
        picture->get_Handle(&handle);
        // The picture's own. A handle passed as 32 bits is sign-extended
        // back, as the system does with every handle on 64-bit Windows.
        decoded = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(static_cast<LONG>(handle)));
    }
    BITMAP bm{};
    if (!decoded || !GetObjectW(decoded, sizeof bm, &bm))
        artwork::undecodable(entry);
    artwork::checkSize(entry, bm.bmWidth, std::abs(bm.bmHeight));

    // Shrunk with a halftone stretch: the default stretch drops whole rows
    // and columns, which leaves speckles and thickened lines.
    Canvas scaled(width, height);
    OwnedDc source(CreateCompatibleDC(nullptr));
    {
        Selected in(source.get(), decoded);
        SetStretchBltMode(scaled.dc(), HALFTONE);
        SetBrushOrgEx(scaled.dc(), 0, 0, nullptr);
        StretchBlt(scaled.dc(), 0, 0, width, height, source.get(), 0, 0, bm.bmWidth, std::abs(bm.bmHeight), SRCCOPY);
    }
    Picture made;
    made.bitmap = scaled.takeBitmap();
    return pictures_.emplace(key, std::move(made)).first->second;
}

} // namespace vd::win32
