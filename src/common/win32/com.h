// What the Windows toolkit and the Windows "word.Application" classes share
// of the system: text between our UTF-8 and the system's UTF-16, counted
// references to COM interfaces, and the user-interface thread's COM
// apartment.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <string>
#include <string_view>
#include <utility>

namespace vd::win32 {

// UTF-8 and the system's UTF-16.
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// One counted reference to a COM interface.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference already counted for the caller.
    static ComPtr adopt(T *p) noexcept
    {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    // Counts a new reference to p.
    static ComPtr share(T *p) noexcept
    {
        if (p)
            p->AddRef();
        return adopt(p);
    }

    ComPtr(const ComPtr &other) noexcept : p_(other.p_)
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(ComPtr &&other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr &operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() noexcept
    {
        if (T *p = std::exchange(p_, nullptr))
            p->Release();
    }
    T *get() const noexcept { return p_; }
    T *operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // For an out parameter: the reference held so far is dropped first.
    T **put() noexcept
    {
        reset();
        return &p_;
    }
    void **putVoid() noexcept { return reinterpret_cast<void **>(put()); }
    // Hands the reference to a new owner (a VARIANT that will release it).
    T *release() noexcept { return std::exchange(p_, nullptr); }

private:
    T *p_ = nullptr;
};

// The single-threaded apartment on this thread, entered on the first call to
// enter() (joined if the thread is in one already) and left by the
// destructor only when entered. One for the user-interface thread, owned by
// the toolkit; the word processor's classes are given it.
class ComApartment {
public:
    ComApartment() = default;
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;
    ~ComApartment();
    void enter() noexcept;

private:
    bool tried_ = false;
    bool entered_ = false;
};

} // namespace vd::win32
