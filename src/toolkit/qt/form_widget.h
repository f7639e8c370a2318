// The top-level widget of a window on Qt Widgets.
#pragma once

#include "toolkit/toolkit.h"

#include <QPoint>
#include <QSize>
#include <QWidget>

#include <map>
#include <string>
#include <string_view>

namespace vd::qt {

class QtToolkit;

// Borderless, fixed size; it passes the events of its controls to the
// window's event sink through the dispatcher.
class FormWidget final : public QWidget {
public:
    FormWidget(QtToolkit &toolkit, tk::EventSink &sink);

    // Our events for a control of this window: pointer movement, and (for
    // buttons) clicks.
    void watch(QWidget *control, std::string name);
    void clicked(const std::string &name);
    // After this, no event of the window reaches the program.
    void detach() { sink_ = nullptr; }
    // The size of the window's contents where the window is cut smaller
    // (a screen too small for it): the focused control is scrolled into view.
    void setContentSize(QSize size) { content_ = size; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void send(std::string_view control, tk::Event event);
    void reveal(const QWidget *control);

    QtToolkit &toolkit_;
    tk::EventSink *sink_;
    std::map<const QObject *, std::string> names_;
    QSize content_;   // empty: the window shows all of it
    QPoint scrolled_; // how far the contents are scrolled
};

} // namespace vd::qt
