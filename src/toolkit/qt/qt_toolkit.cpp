#include "toolkit/qt/qt_toolkit.h"

#include "toolkit/qt/accessible.h"
#include "toolkit/qt/fonts.h"
#include "toolkit/qt/qt_window.h"

#include <QApplication>
#include <QBackingStore>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace vd::qt {

QColor colour(const tk::Colour &c)
{
    switch (c.role) {
    case tk::Colour::Role::ButtonFace:
        return QApplication::palette().color(QPalette::Button);
    case tk::Colour::Role::ButtonText:
        return QApplication::palette().color(QPalette::ButtonText);
    case tk::Colour::Role::Explicit:
        break;
    }
    return qColour(c.rgb);
}

bool screenDrawable()
{
    // Qt's raster engine has a format for the usual depths' pixels (16, 24
    // and 32 bits a pixel): a window is made to ask only for others, as
    // making one costs the start a few milliseconds.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const int depth = screen->depth();
        if (depth == 16 || depth == 24 || depth == 32)
            return true;
    }
    // The pixels that Qt would paint a window in: where it has no format for
    // the display's, they are a null image, which no painter can draw on.
    QWindow probe;
    probe.resize(1, 1);
    probe.create();
    QBackingStore store(&probe);
    store.resize(QSize(1, 1));
    if (const QPaintDevice *pixels = store.paintDevice())
        return pixels->paintEngine() != nullptr;
    if (probe.devicePixelRatio() == 1.0)
        return false;
    // At a scale other than 1 the pixels exist only once painting has begun,
    // as a window's paint begins it.
    store.beginPaint(QRegion(0, 0, 1, 1));
    const QPaintDevice *pixels = store.paintDevice();
    const bool drawable = pixels && pixels->paintEngine();
    store.endPaint();
    return drawable;
}

QtToolkit::QtToolkit()
{
    // The program decides when it ends: when no window of its own is loaded,
    // not when Qt sees no visible window (a message box closing, a window
    // hidden for a moment during a transition).
    QApplication::setQuitOnLastWindowClosed(false);
    installAccessibility();
}

QtToolkit::~QtToolkit() = default;

std::unique_ptr<tk::Window> QtToolkit::build(const tk::WindowLayout &layout, tk::EventSink &sink)
{
    return std::make_unique<QtWindow>(*this, layout, sink);
}

void QtToolkit::leaveEventLoop()
{
    for (QWidget *w : windows_)
        w->hide();
    QCoreApplication::exit(0);
}

int QtToolkit::exec()
{
    return QApplication::exec();
}

void QtToolkit::showFailure(std::string_view title, std::string_view text)
{
    if (messageHook_) {
        messageHook_(std::string(title), std::string(text));
        return;
    }
    // Its Thai drawn in the face the program carries where the system has no
    // Thai face of its own.
    carryThaiFace(&cache().installedFamilies);
    QMessageBox box(QMessageBox::Critical, toQString(title), toQString(text), QMessageBox::NoButton);
    // Everything the program shows is Thai, the box's button too, whatever
    // the locale.
    box.setDefaultButton(box.addButton(QStringLiteral("ตกลง"), QMessageBox::AcceptRole));
    box.exec();
}

void QtToolkit::windowBuilt(QWidget *window)
{
    windows_.push_back(window);
}

void QtToolkit::windowGone(QWidget *window)
{
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

void QtToolkit::windowUnloaded(QWidget *window)
{
    std::erase_if(unloaded_, [](const QPointer<QWidget> &w) { return w.isNull(); });
    unloaded_.emplace_back(window);
}

void QtToolkit::destroyUnloadedWindows()
{
    // Qt sends a posted deletion only where the event loop or the event that
    // posted it is over: a window still busy with its own event (a handler
    // that showed another window and is not done yet) waits for the loop.
    const std::vector<QPointer<QWidget>> pending = std::move(unloaded_);
    unloaded_.clear();
    for (const QPointer<QWidget> &w : pending) {
        if (w)
            QCoreApplication::sendPostedEvents(w, QEvent::DeferredDelete);
        if (w)
            unloaded_.push_back(w);
    }
}

} // namespace vd::qt
