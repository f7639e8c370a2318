#include "toolkit/qt/qt_toolkit.h"

#include "toolkit/qt/qt_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <algorithm>

namespace vd::qt {

QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QtToolkit::QtToolkit()
{
    // The program decides when it ends: when no window of its own is loaded,
    // not when Qt sees no visible window (a message box closing, a window
    // hidden for a moment during a transition).
    QApplication::setQuitOnLastWindowClosed(false);
}

QtToolkit::~QtToolkit() = default;

std::unique_ptr<tk::Window> QtToolkit::build(const tk::WindowLayout &layout, tk::EventSink &sink)
{
    return std::make_unique<QtWindow>(*this, layout, sink);
}

void QtToolkit::endProgram()
{
    ended_ = true;
    for (QWidget *w : windows_)
        w->hide();
    QCoreApplication::exit(0);
    throw tk::ProgramEnd{};
}

void QtToolkit::showFailure(std::string_view title, std::string_view text)
{
    if (messageHook_) {
        messageHook_(std::string(title), std::string(text));
        return;
    }
    QMessageBox box(QMessageBox::Critical, toQString(title), toQString(text), QMessageBox::Ok);
    box.exec();
}

void QtToolkit::report(const Error &error) noexcept
{
    try {
        reportFailure(error);
    } catch (...) {
        // The report itself failed; there is nothing further up to tell.
    }
}

void QtToolkit::windowBuilt(QWidget *window)
{
    windows_.push_back(window);
}

void QtToolkit::windowGone(QWidget *window)
{
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

} // namespace vd::qt
