#include "pointer.h"

// Exported by QtGui for test input; declared here rather than through QtTest
// so that the benchmark's probe needs no more than QtWidgets.
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow *window, const QPointF &local, const QPointF &global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);

namespace vd::bench {

void Pointer::send(QWidget *control, QEvent::Type type, Qt::MouseButton button)
{
    QWidget *top = control->window();
    QWindow *window = top->windowHandle();
    if (!window)
        return;
    const QPoint local = control->mapTo(top, control->rect().center());
    time_ += type == QEvent::MouseButtonPress ? 1000 : 10;
    qt_handleMouseEvent(window, local, window->mapToGlobal(local), buttons_, button, type, Qt::NoModifier, time_);
}

void Pointer::move(QWidget *control)
{
    send(control, QEvent::MouseMove, Qt::NoButton);
}

void Pointer::press(QWidget *control)
{
    buttons_ |= Qt::LeftButton;
    send(control, QEvent::MouseButtonPress, Qt::LeftButton);
}

void Pointer::release(QWidget *control)
{
    buttons_ &= ~Qt::LeftButton;
    send(control, QEvent::MouseButtonRelease, Qt::LeftButton);
}

} // namespace vd::bench
