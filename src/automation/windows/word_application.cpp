#include "automation/windows/word_application.h"

#include "automation/windows/com_errors.h"
#include "automation/windows/dispatch_object.h"
#include "automation/windows/session.h"
#include "automation/windows/shell_word.h"

#include <memory>

namespace vd::automation::winword {

namespace {

constexpr const char *ClassName = "word.Application";

// The name or its class isn't registered: Word isn't installed (or was
// removed and left its name behind).
bool notInstalled(HRESULT hr)
{
    return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG;
}

ObjectRef createApplication(const std::shared_ptr<Session> &session)
{
    session->start();
    const std::wstring progId = widen(ClassName);
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (notInstalled(hr))
        return createShellApplication(session);
    if (FAILED(hr))
        throw creationError(hr, ClassName);

    ComPtr<IDispatch> application;
    hr = session->retrying(
        [&] { return CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, application.putVoid()); });
    if (notInstalled(hr))
        return createShellApplication(session);
    if (FAILED(hr) || !application)
        throw creationError(FAILED(hr) ? hr : E_NOINTERFACE, ClassName);
    return std::make_shared<DispatchObject>(session, std::move(application));
}

} // namespace

void registerClasses(Registry &registry)
{
    registerClasses(registry, Options{});
}

void registerClasses(Registry &registry, Options options)
{
    auto session = std::make_shared<Session>(options.busyBound);
    registry.add(ClassName, [session] { return createApplication(session); });
}

} // namespace vd::automation::winword
