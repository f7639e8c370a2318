// The toolkit on Qt Widgets.
#pragma once

#include "toolkit/qt/images.h"
#include "toolkit/qt/qt_convert.h"
#include "toolkit/qt/render_cache.h"
#include "toolkit/toolkit.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace vd::qt {

class QtToolkit final : public tk::Toolkit {
public:
    QtToolkit();
    ~QtToolkit() override;

    std::unique_ptr<tk::Window> build(const tk::WindowLayout &layout, tk::EventSink &sink) override;
    void showFailure(std::string_view title, std::string_view text) override;
    int exec() override;

    // Where failure reports go instead of a message box (tests, benchmarks).
    using MessageHook = std::function<void(const std::string &title, const std::string &text)>;
    void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }

    Images &images() noexcept { return images_; }
    RenderCache &cache() noexcept { return cache_; }

    // Windows built by this toolkit that still exist on screen.
    void windowBuilt(QWidget *window);
    void windowGone(QWidget *window);

private:
    void leaveEventLoop() override;

    Images images_;
    RenderCache cache_;
    MessageHook messageHook_;
    std::vector<QWidget *> windows_;
};

} // namespace vd::qt
