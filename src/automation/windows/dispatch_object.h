// An automation object of another program, reached late bound through its
// IDispatch: each member is looked up by name (GetIDsOfNames) at each call.
#pragma once

#include "automation/automation.h"
#include "automation/windows/com_holders.h"
#include "automation/windows/session.h"

#include <memory>

namespace vd::automation::winword {

// Made with make_shared only. Its references are used and released on the
// session's call thread only.
class DispatchObject final : public Object, public std::enable_shared_from_this<DispatchObject> {
public:
    DispatchObject(std::shared_ptr<Session> session, ComPtr<IDispatch> dispatch);
    // Releases the reference; never asks the program to close or quit.
    ~DispatchObject() override;

    // On the session's call thread, waited for as the session tells:
    // PropertyPut is DISPATCH_PROPERTYPUT with the one argument named
    // DISPID_PROPERTYPUT; otherwise DISPATCH_METHOD and DISPATCH_PROPERTYGET
    // as the request allows, in one Invoke. Failures as callError tells.
    Value invoke(std::string_view member, unsigned how, std::span<const Value> args) override;

    IDispatch *dispatch() const noexcept { return dispatch_.get(); }

private:
    Value invokeHere(std::string_view member, unsigned how, std::span<const Value> args);

    std::shared_ptr<Session> session_;
    ComPtr<IDispatch> dispatch_;
};

// value as a VARIANT (out is empty on entry): nothing as VT_EMPTY, bool as
// VT_BOOL, long as VT_I4, text as a UTF-16 VT_BSTR, an object of ours as
// VT_DISPATCH; another kind of object is a type mismatch (13) for member.
void toVariant(const Value &value, VARIANT &out, std::string_view member);

// A result as a Value: VT_EMPTY and VT_NULL as nothing, VT_BOOL as bool,
// integers that fit as long, VT_BSTR as UTF-8 text, VT_DISPATCH (or a
// VT_UNKNOWN that gives an IDispatch) as a DispatchObject of session (nothing
// for a null one), any other type as its text; 13 when it has none.
Value fromVariant(const VARIANT &in, const std::shared_ptr<Session> &session, std::string_view member);

} // namespace vd::automation::winword
