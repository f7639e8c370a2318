#include "toolkit/win32/system.h"

namespace vd::win32 {

VisualStyles::VisualStyles(HINSTANCE instance) : instance_(instance) {}

VisualStyles::~VisualStyles()
{
    if (context_ != INVALID_HANDLE_VALUE)
        ReleaseActCtx(context_);
}

VisualStyles::Scope::Scope(VisualStyles &styles)
{
    if (!styles.tried_) {
        styles.tried_ = true;
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.hModule = styles.instance_;
        context.lpResourceName = MAKEINTRESOURCEW(2);
        styles.context_ = CreateActCtxW(&context);
    }
    if (styles.context_ != INVALID_HANDLE_VALUE)
        active_ = ActivateActCtx(styles.context_, &cookie_) != FALSE;
}

VisualStyles::Scope::~Scope()
{
    if (active_)
        DeactivateActCtx(0, cookie_);
}

} // namespace vd::win32
