#include "toolkit/qt/form_widget.h"

#include "toolkit/geometry.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QCloseEvent>
#include <QWindow>

namespace vd::qt {

FormWidget::FormWidget(QtToolkit &toolkit, tk::EventSink &sink)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), toolkit_(toolkit), sink_(&sink)
{
    setMouseTracking(true);
}

void FormWidget::watch(QWidget *control, std::string name)
{
    // Every pointer movement is reported once, for the topmost control under
    // the pointer (or the one that holds the mouse while a button is down):
    // Qt hands a movement that a control ignores on to the control's
    // parents, which would report it again for the frame or the window.
    control->setMouseTracking(true);
    control->setAttribute(Qt::WA_NoMousePropagation);
    control->installEventFilter(this);
    names_.emplace(control, std::move(name));
}

void FormWidget::send(std::string_view control, tk::Event event)
{
    toolkit_.dispatch([&] {
        if (sink_)
            sink_->handle(control, event);
    });
}

void FormWidget::clicked(const std::string &name)
{
    send(name, tk::Event::Click);
}

bool FormWidget::eventFilter(QObject *watched, QEvent *event)
{
    // This window's own exposure, before Qt paints it (see
    // QtToolkit::destroyUnloadedWindows). A window that is itself unloaded
    // never destroys others: its own deletion may be among them.
    if (event->type() == QEvent::Expose && watched == windowHandle()) {
        if (sink_ && isVisible())
            toolkit_.destroyUnloadedWindows();
        return false;
    }
    if (event->type() == QEvent::MouseMove) {
        if (auto it = names_.find(watched); it != names_.end())
            send(it->second, tk::Event::MouseMove);
    }
    if (event->type() == QEvent::FocusIn && !content_.isEmpty() && names_.contains(watched))
        reveal(static_cast<QWidget *>(watched));
    return false;
}

void FormWidget::reveal(const QWidget *control)
{
    const QRect in(control->mapTo(this, QPoint(0, 0)) + scrolled_, control->size());
    const tk::PixelPoint to =
        tk::scrollToShow({scrolled_.x(), scrolled_.y()}, {in.x(), in.y(), in.width(), in.height()}, {width(), height()},
                         {content_.width(), content_.height()});
    if (to.x == scrolled_.x() && to.y == scrolled_.y())
        return;
    scroll(scrolled_.x() - to.x, scrolled_.y() - to.y); // the controls with it
    scrolled_ = QPoint(to.x, to.y);
}

void FormWidget::mouseMoveEvent(QMouseEvent *)
{
    send({}, tk::Event::MouseMove);
}

void FormWidget::closeEvent(QCloseEvent *event)
{
    // We never close our own windows: a close comes from the system.
    event->accept();
    toolkit_.dispatch([&] {
        if (sink_)
            sink_->closedBySystem();
    });
}

} // namespace vd::qt
