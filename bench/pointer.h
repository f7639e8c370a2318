// A pointer for the benchmark: mouse events handed to Qt's window-system
// layer for a window, delivered at once, as a real pointer's events would
// arrive from the display server (the path QtTest uses too).
#pragma once

#include <QPoint>
#include <QWidget>
#include <QWindow>

namespace vd::bench {

class Pointer {
public:
    // At `control`'s centre, in its top-level window.
    void move(QWidget *control);
    void press(QWidget *control);
    void release(QWidget *control);
    void click(QWidget *control)
    {
        press(control);
        release(control);
    }

private:
    void send(QWidget *control, QEvent::Type type, Qt::MouseButton button);

    // Event times in ms, far enough apart that no two presses ever make a
    // double click.
    int time_ = 0;
    Qt::MouseButtons buttons_;
};

} // namespace vd::bench
