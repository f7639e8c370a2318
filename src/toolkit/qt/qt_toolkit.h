// The toolkit on Qt Widgets.
#pragma once

#include "toolkit/qt/images.h"
#include "toolkit/qt/qt_convert.h"
#include "toolkit/qt/render_cache.h"
#include "toolkit/toolkit.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace vd::qt {

// Whether Qt can draw windows on the primary screen. It can't where it has no
// image format for the display's pixels (an 8-bit colour display on X11):
// every window would stay black. Asked after the application object is made
// and before any window is built; for a depth other than 16, 24 or 32 bits
// it makes one window, never shown.
bool screenDrawable();

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

    // A window unloaded by one of the program's handlers is hidden at once,
    // but destroyed only once Qt is done with the event that ran the handler
    // (deleteLater, then windowUnloaded). Until then its pixels (the backing
    // store, a shared-memory segment on X11) stay allocated. The window shown
    // in its place calls destroyUnloadedWindows as it is first exposed, before
    // Qt gives it a backing store and paints it: the windows whose event is
    // over are destroyed there, by Qt's own rules for deferred deletion, so
    // that the two windows' pixels are never held at once.
    void windowUnloaded(QWidget *window);
    void destroyUnloadedWindows();

private:
    void leaveEventLoop() override;

    Images images_;
    RenderCache cache_;
    MessageHook messageHook_;
    std::vector<QWidget *> windows_;
    std::vector<QPointer<QWidget>> unloaded_; // hidden, their deletion posted
};

} // namespace vd::qt
