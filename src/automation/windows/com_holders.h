// Owning holders for what COM hands out: interface references, BSTRs,
// VARIANTs and the strings of an EXCEPINFO. Each is released exactly once, by
// its holder; no other code calls Release, SysFreeString or VariantClear.
#pragma once

#include "common/win32/com.h"

#include <windows.h>

#include <ole2.h>
#include <oleauto.h>

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace vd::automation::winword {

using win32::ComPtr;

// A BSTR of our own.
class Bstr {
public:
    Bstr() = default;
    // A copy of text; throws Error 7 when there is no memory for it.
    explicit Bstr(std::wstring_view text);
    Bstr(const Bstr &) = delete;
    Bstr &operator=(const Bstr &) = delete;
    Bstr(Bstr &&other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr &operator=(Bstr &&other) noexcept
    {
        std::swap(b_, other.b_);
        return *this;
    }
    ~Bstr() { SysFreeString(b_); }

    BSTR get() const noexcept { return b_; }
    // Hands the string to a new owner (a VARIANT that will clear it).
    BSTR release() noexcept { return std::exchange(b_, nullptr); }
    std::wstring_view view() const noexcept { return {b_ ? b_ : L"", SysStringLen(b_)}; }

private:
    BSTR b_ = nullptr;
};

// A VARIANT cleared when dropped.
class Variant {
public:
    Variant() noexcept { VariantInit(&v_); }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;
    ~Variant() { VariantClear(&v_); }

    const VARIANT &operator*() const noexcept { return v_; }
    const VARIANT *operator->() const noexcept { return &v_; }
    VARIANT *get() noexcept { return &v_; }
    // For an out parameter: what it held so far is cleared first.
    VARIANT *put() noexcept
    {
        VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// Arguments of an Invoke, in the order IDispatch wants them (last first).
class VariantArray {
public:
    explicit VariantArray(std::size_t count) : v_(count)
    {
        for (VARIANT &v : v_)
            VariantInit(&v);
    }
    VariantArray(const VariantArray &) = delete;
    VariantArray &operator=(const VariantArray &) = delete;
    ~VariantArray()
    {
        for (VARIANT &v : v_)
            VariantClear(&v);
    }

    VARIANT *data() noexcept { return v_.empty() ? nullptr : v_.data(); }
    VARIANT &operator[](std::size_t i) noexcept { return v_[i]; }
    std::size_t size() const noexcept { return v_.size(); }

private:
    std::vector<VARIANT> v_;
};

// The EXCEPINFO an Invoke may fill; its strings are freed when it is dropped
// or filled again.
class ExceptionInfo {
public:
    ExceptionInfo() noexcept { clear(); }
    ExceptionInfo(const ExceptionInfo &) = delete;
    ExceptionInfo &operator=(const ExceptionInfo &) = delete;
    ~ExceptionInfo() { free(); }

    EXCEPINFO *put() noexcept
    {
        free();
        clear();
        return &info_;
    }
    const EXCEPINFO &operator*() const noexcept { return info_; }
    // Lets the server fill in a deferred description, as IDispatch asks
    // callers to do before they read it.
    void fillIn() noexcept
    {
        if (info_.pfnDeferredFillIn) {
            info_.pfnDeferredFillIn(&info_);
            info_.pfnDeferredFillIn = nullptr;
        }
    }

private:
    void clear() noexcept { info_ = EXCEPINFO{}; }
    void free() noexcept
    {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
    }

    EXCEPINFO info_;
};

} // namespace vd::automation::winword
