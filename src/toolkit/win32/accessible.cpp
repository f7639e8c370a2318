#include "toolkit/win32/accessible.h"

#include "common/win32/com.h"
#include "toolkit/win32/window_state.h"

#include <initguid.h>
#include <oleacc.h>

#include <memory>

namespace vd::win32 {

namespace {

bool self(const VARIANT &id)
{
    return id.vt == VT_I4 && id.lVal == CHILDID_SELF;
}

HRESULT text(const std::wstring &from, BSTR *out)
{
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(from.data(), static_cast<UINT>(from.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The system's object with our facts in front of it: everything else, its
// children and its window included, is the system's answer.
class Accessible final : public IAccessible {
public:
    Accessible(ComPtr<IAccessible> system, const AccessibleFacts &facts) : facts_(facts), system_(std::move(system)) {}
    Accessible(const Accessible &) = delete;
    Accessible &operator=(const Accessible &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        // Its children one by one, and the window it belongs to, as the
        // system tells them.
        if (iid == IID_IEnumVARIANT || iid == IID_IOleWindow)
            return system_->QueryInterface(iid, out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *n) override { return system_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID locale, ITypeInfo **info) override
    {
        return system_->GetTypeInfo(i, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT n, LCID locale, DISPID *ids) override
    {
        return system_->GetIDsOfNames(iid, names, n, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *arguments,
                                     VARIANT *result, EXCEPINFO *exception, UINT *wrong) override
    {
        return system_->Invoke(id, iid, locale, flags, arguments, result, exception, wrong);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR *name) override
    {
        return self(id) && !facts_.name.empty() ? text(facts_.name, name) : system_->get_accName(id, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR *description) override
    {
        return self(id) && !facts_.description.empty() ? text(facts_.description, description)
                                                       : system_->get_accDescription(id, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT *role) override
    {
        if (!self(id) || facts_.role == 0)
            return system_->get_accRole(id, role);
        if (!role)
            return E_POINTER;
        role->vt = VT_I4;
        role->lVal = facts_.role;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override { return system_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *n) override { return system_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch **child) override
    {
        return system_->get_accChild(id, child);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR *value) override
    {
        return system_->get_accValue(id, value);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT *state) override
    {
        return system_->get_accState(id, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR *help) override { return system_->get_accHelp(id, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT id, LONG *topic) override
    {
        return system_->get_accHelpTopic(file, id, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR *keys) override
    {
        return system_->get_accKeyboardShortcut(id, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *id) override { return system_->get_accFocus(id); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *ids) override { return system_->get_accSelection(ids); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR *action) override
    {
        return system_->get_accDefaultAction(id, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG how, VARIANT id) override { return system_->accSelect(how, id); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG *x, LONG *y, LONG *w, LONG *h, VARIANT id) override
    {
        return system_->accLocation(x, y, w, h, id);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT from, VARIANT *to) override
    {
        return system_->accNavigate(direction, from, to);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *id) override { return system_->accHitTest(x, y, id); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override { return system_->accDoDefaultAction(id); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT id, BSTR name) override { return system_->put_accName(id, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT id, BSTR value) override { return system_->put_accValue(id, value); }

private:
    ~Accessible() = default;

    LONG references_ = 1;
    const AccessibleFacts facts_;
    const ComPtr<IAccessible> system_;
};

} // namespace

LRESULT accessibleObject(HWND hwnd, WPARAM wParam, LONG object, const AccessibleFacts &facts)
{
    ComPtr<IAccessible> system;
    if (FAILED(CreateStdAccessibleObject(hwnd, object, IID_IAccessible, system.putVoid())) || !system)
        return 0;
    const auto ours = ComPtr<IAccessible>::adopt(new Accessible(std::move(system), facts));
    // The system keeps a reference for the one who asked; a failure (a
    // negative status) leaves the answer to the system.
    const LRESULT answer = LresultFromObject(IID_IAccessible, wParam, ours.get());
    return answer > 0 ? answer : 0;
}

long roleOf(tk::Kind kind)
{
    switch (kind) {
    case tk::Kind::Picture:
        return ROLE_SYSTEM_GRAPHIC;
    case tk::Kind::Frame:
        return ROLE_SYSTEM_GROUPING;
    case tk::Kind::Label:
        return ROLE_SYSTEM_STATICTEXT;
    case tk::Kind::PushButton:
        break;
    }
    return ROLE_SYSTEM_PUSHBUTTON;
}

bool answerAccessible(const Control &c, WPARAM wParam, LPARAM lParam, LRESULT &answer)
{
    const auto object = static_cast<LONG>(static_cast<DWORD>(lParam));
    if (object != OBJID_CLIENT && !(c.isWindow && object == OBJID_WINDOW))
        return false;
    answer = 0;
    Win32Toolkit &toolkit = c.state->toolkit;
    toolkit.dispatch([&] {
        toolkit.com().enter();
        answer = accessibleObject(c.hwnd, wParam, object, c.accessible);
    });
    return answer != 0;
}

} // namespace vd::win32
