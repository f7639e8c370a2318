// The toolkit on Qt Widgets.
#pragma once

#include "toolkit/qt/images.h"
#include "toolkit/qt/render_cache.h"
#include "toolkit/toolkit.h"

#include <QString>

#include <functional>
#include <new>
#include <string>

class QWidget;

namespace vd::qt {

class QtToolkit final : public tk::Toolkit {
public:
    QtToolkit();
    ~QtToolkit() override;

    std::unique_ptr<tk::Window> build(const tk::WindowLayout &layout, tk::EventSink &sink) override;
    [[noreturn]] void endProgram() override;
    void showFailure(std::string_view title, std::string_view text) override;

    // Runs one of the program's handlers at the boundary where Qt calls it.
    // This is the top level: a failure is reported here and goes no further,
    // and nothing unwinds through Qt's frames. After the program has ended,
    // nothing runs any more.
    template <class Handler>
    void dispatch(Handler &&handler) noexcept
    {
        if (ended_)
            return;
        ++depth_;
        try {
            handler();
        } catch (const tk::ProgramEnd &) {
        } catch (const Error &error) {
            report(error);
        } catch (const std::bad_alloc &) {
            report(Error(errors::OutOfMemory, "หน่วยความจำไม่พอ"));
        } catch (const std::exception &e) {
            report(Error(errors::Internal, std::string("ข้อผิดพลาดภายในโปรแกรม: ") + e.what()));
        } catch (...) {
            report(Error(errors::Internal, "ข้อผิดพลาดภายในโปรแกรม"));
        }
        --depth_;
    }

    bool ended() const noexcept { return ended_; }
    bool dispatching() const noexcept { return depth_ > 0; }

    // Where failure reports go instead of a message box (tests, benchmarks).
    using MessageHook = std::function<void(const std::string &title, const std::string &text)>;
    void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }

    Images &images() noexcept { return images_; }
    RenderCache &cache() noexcept { return cache_; }

    // Windows built by this toolkit that still exist on screen.
    void windowBuilt(QWidget *window);
    void windowGone(QWidget *window);

private:
    void report(const Error &error) noexcept;

    Images images_;
    RenderCache cache_;
    MessageHook messageHook_;
    std::vector<QWidget *> windows_;
    bool ended_ = false;
    int depth_ = 0;
};

QString toQString(std::string_view utf8);

} // namespace vd::qt
