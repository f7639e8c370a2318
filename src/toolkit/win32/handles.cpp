#include "toolkit/win32/handles.h"

#include <new>

namespace vd::win32 {

Canvas::Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_)
        throw std::bad_alloc();
    pixels_ = static_cast<DWORD *>(bits);
    old_ = SelectObject(dc_.get(), bitmap_.get());
}

Canvas::~Canvas()
{
    if (old_)
        SelectObject(dc_.get(), old_);
}

OwnedBitmap Canvas::takeBitmap()
{
    GdiFlush();
    SelectObject(dc_.get(), old_);
    old_ = nullptr;
    pixels_ = nullptr;
    return std::move(bitmap_);
}

} // namespace vd::win32
