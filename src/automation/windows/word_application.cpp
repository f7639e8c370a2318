#include "automation/windows/word_application.h"

#include "automation/windows/com_errors.h"
#include "automation/windows/dispatch_object.h"
#include "automation/windows/session.h"
#include "automation/windows/shell_word.h"

#include <memory>

namespace vd::automation::winword {

namespace {

constexpr const char *ClassName = "word.Application";

// The name or its class isn't registered, or its program can't be found:
// the stand-in opens the document.
bool notInstalled(HRESULT hr)
{
    return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG;
}

struct Created {
    HRESULT hr = S_OK;
    ObjectRef application;
    bool registered = false; // the name "word.Application" is
};

// On the session's call thread.
Created createHere(const std::shared_ptr<Session> &session)
{
    const std::wstring progId = widen(ClassName);
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(hr))
        return {hr, nullptr, false};
    ComPtr<IDispatch> application;
    hr = session->retrying(
        [&] { return CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, application.putVoid()); });
    if (FAILED(hr) || !application)
        return {FAILED(hr) ? hr : E_NOINTERFACE, nullptr, true};
    return {S_OK, std::make_shared<DispatchObject>(session, std::move(application)), true};
}

ObjectRef createApplication(const std::shared_ptr<Session> &session)
{
    session->start();
    Created created = session->run([session] { return createHere(session); }, startedButSilent);
    // Registered but not started (its program gone, or one that ends at
    // once): the stand-in too, which tells so if it can't open either.
    if (notInstalled(created.hr))
        return createShellApplication(session, created.registered ? created.hr : S_OK);
    if (FAILED(created.hr))
        throw creationError(created.hr, ClassName);
    return std::move(created.application);
}

} // namespace

void registerClasses(Registry &registry)
{
    registerClasses(registry, Options{});
}

void registerClasses(Registry &registry, Options options)
{
    auto session = std::make_shared<Session>(options.busyBound, options.apartment);
    registry.add(ClassName, [session] { return createApplication(session); });
}

} // namespace vd::automation::winword
