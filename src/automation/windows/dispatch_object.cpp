#include "automation/windows/dispatch_object.h"

#include "automation/windows/com_errors.h"

#include <string>
#include <vector>

namespace vd::automation::winword {

namespace {

[[noreturn]] void typeMismatch(std::string_view)
{
    throw callError(DISP_E_TYPEMISMATCH, nullptr);
}

bool isInteger(VARTYPE type)
{
    switch (type) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
        return true;
    default:
        return false;
    }
}

// What Word was asked, in the user's words, for a failure that Word gives no
// words for: the document's opening names the document.
std::string asked(std::string_view member, unsigned how, std::span<const Value> args)
{
    if (sameName(member, "Open") && !args.empty())
        if (const auto *path = std::get_if<std::string>(&args.front()))
            return "เปิดเอกสาร \"" + *path + "\"";
    if (sameName(member, "Visible") && (how & PropertyPut))
        return "แสดงหน้าต่างของ Word";
    if (sameName(member, "Documents"))
        return "ขอรายการเอกสารของ Word";
    return "ทำคำสั่งของโปรแกรมนี้";
}

} // namespace

void toVariant(const Value &value, VARIANT &out, std::string_view member)
{
    if (const bool *b = std::get_if<bool>(&value)) {
        out.vt = VT_BOOL;
        out.boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (const long *l = std::get_if<long>(&value)) {
        out.vt = VT_I4;
        out.lVal = *l;
    } else if (const auto *s = std::get_if<std::string>(&value)) {
        Bstr text(widen(*s));
        out.vt = VT_BSTR;
        out.bstrVal = text.release();
    } else if (const auto *object = std::get_if<ObjectRef>(&value)) {
        IDispatch *dispatch = nullptr;
        if (*object) {
            const auto *ours = dynamic_cast<const DispatchObject *>(object->get());
            if (!ours)
                typeMismatch(member);
            dispatch = ours->dispatch();
        }
        out.vt = VT_DISPATCH;
        // A reference of out's own, released when out is cleared.
        out.pdispVal = ComPtr<IDispatch>::share(dispatch).release();
    } else {
        out.vt = VT_EMPTY;
    }
}

Value fromVariant(const VARIANT &in, const std::shared_ptr<Session> &session, std::string_view member)
{
    Variant value;
    if (FAILED(VariantCopyInd(value.put(), const_cast<VARIANT *>(&in))))
        typeMismatch(member);
    const VARTYPE type = value->vt;
    switch (type) {
    case VT_EMPTY:
    case VT_NULL:
        return {};
    case VT_BOOL:
        return value->boolVal != VARIANT_FALSE;
    case VT_BSTR:
        return narrow({value->bstrVal ? value->bstrVal : L"", SysStringLen(value->bstrVal)});
    case VT_DISPATCH:
        if (!value->pdispVal)
            return {};
        return std::make_shared<DispatchObject>(session, ComPtr<IDispatch>::share(value->pdispVal));
    case VT_UNKNOWN: {
        ComPtr<IDispatch> dispatch;
        if (value->punkVal && SUCCEEDED(value->punkVal->QueryInterface(IID_IDispatch, dispatch.putVoid())))
            return std::make_shared<DispatchObject>(session, std::move(dispatch));
        return {};
    }
    default:
        break;
    }
    Variant converted;
    if (isInteger(type) && SUCCEEDED(VariantChangeType(converted.put(), value.get(), 0, VT_I4)))
        return static_cast<long>(converted->lVal);
    if (SUCCEEDED(VariantChangeType(converted.put(), value.get(), 0, VT_BSTR)))
        return narrow({converted->bstrVal ? converted->bstrVal : L"", SysStringLen(converted->bstrVal)});
    typeMismatch(member);
}

DispatchObject::DispatchObject(std::shared_ptr<Session> session, ComPtr<IDispatch> dispatch)
    : session_(std::move(session)), dispatch_(std::move(dispatch))
{
}

DispatchObject::~DispatchObject()
{
    session_->release(std::move(dispatch_));
}

Value DispatchObject::invoke(std::string_view member, unsigned how, std::span<const Value> args)
{
    // The call holds what it needs: it may outlive the wait.
    return session_->run(
        [self = shared_from_this(), name = std::string(member), how,
         arguments = std::vector<Value>(args.begin(), args.end())] { return self->invokeHere(name, how, arguments); },
        callNotAnswered);
}

Value DispatchObject::invokeHere(std::string_view member, unsigned how, std::span<const Value> args)
{
    // The name exactly as the caller wrote it; the server matches it without
    // regard to letter case.
    std::wstring name = widen(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr =
        session_->retrying([&] { return dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); });
    if (FAILED(hr))
        throw callError(hr, nullptr);

    // IDispatch takes the arguments last first.
    VariantArray arguments(args.size());
    for (std::size_t i = 0; i < args.size(); ++i)
        toVariant(args[i], arguments[args.size() - 1 - i], member);

    DISPID putName = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    WORD flags = 0;
    const bool put = (how & PropertyPut) != 0;
    if (put) {
        flags = DISPATCH_PROPERTYPUT;
        parameters.rgdispidNamedArgs = &putName;
        parameters.cNamedArgs = 1;
    } else {
        if (how & Method)
            flags |= DISPATCH_METHOD;
        if (how & PropertyGet)
            flags |= DISPATCH_PROPERTYGET;
    }

    Variant result;
    ExceptionInfo exception;
    UINT argumentError = 0;
    hr = session_->retrying([&] {
        return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, put ? nullptr : result.put(),
                                 exception.put(), &argumentError);
    });
    if (FAILED(hr)) {
        if (hr == DISP_E_EXCEPTION)
            exception.fillIn();
        throw callError(hr, &*exception, asked(member, how, args));
    }
    return fromVariant(*result, session_, member);
}

} // namespace vd::automation::winword
