// An on-screen window built from a layout, on Qt Widgets.
#pragma once

#include "toolkit/toolkit.h"
#include "toolkit/window_plan.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

namespace vd::qt {

class QtToolkit;
class FormWidget;

// Tells Qt's accessibility what our own widgets are; once per run.
void installAccessibility();

// The top-level widget of a window: borderless, fixed size; it passes the
// events of its controls to the window's event sink through the dispatcher.
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

class QtWindow final : public tk::Window {
public:
    QtWindow(QtToolkit &toolkit, const tk::WindowLayout &layout, tk::EventSink &sink);
    ~QtWindow() override;

    void show() override;
    bool isVisible() const override;
    std::string caption(std::string_view control) const override;
    void setCaption(std::string_view control, std::string_view text) override;

    // The top-level widget, for tests and benchmarks.
    QWidget *widget() const { return widget_; }

private:
    // The window's size at the dpi it is built at (dpi_), cut to its
    // screen's available area where it would not fit.
    void sizeToScreen(FormWidget *form, const tk::WindowLayout &layout);
    // Every control of the plan, in its order, with the properties all
    // kinds share; the focus chain through them.
    std::vector<QWidget *> makeControls(const std::vector<tk::PlannedControl> &plan, FormWidget *form);
    void chainFocus(const tk::WindowLayout &layout, const std::vector<tk::PlannedControl> &plan,
                    const std::vector<QWidget *> &made);
    // One for each kind of control; the properties they share are set by
    // makeControls.
    QWidget *makeControl(const tk::ControlLayout &c, QWidget *parent, FormWidget *form);
    QWidget *makeButton(const tk::ControlLayout &c, QWidget *parent, FormWidget *form);
    QWidget *makeFrame(const tk::ControlLayout &c, QWidget *parent);
    QWidget *makeLabel(const tk::ControlLayout &c, QWidget *parent);
    QWidget *makePicture(const tk::ControlLayout &c, QWidget *parent);
    QRect pixelRect(const tk::Rect &twips) const;

    QtToolkit &toolkit_;
    // The dpi the layout is built at, in the window's pixels: the standard
    // one, or less where the window would not fit its screen.
    int dpi_ = 96;
    QPointer<FormWidget> widget_;
    tk::ControlTable<QWidget *> controls_;
    QWidget *firstFocus_ = nullptr;
};

// A frame without a title: its background colour and a single outline, an
// etched line along its edges.
class FrameBox final : public QWidget {
public:
    FrameBox(QtToolkit &toolkit, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paint();
    QtToolkit &toolkit_;
};

// A picture control: its picture scaled to the whole rectangle.
class PictureBox final : public QWidget {
public:
    // An empty name: no picture. The picture is decoded as the control is
    // made, so that a picture that can't be shown fails the window's load.
    PictureBox(QtToolkit &toolkit, QWidget *parent, std::string picture, QSize size);
    ~PictureBox() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paint(const QRegion &region);
    void stretch(QSize device, qreal ratio);
    QtToolkit &toolkit_;
    std::string picture_;
    QPixmap scaled_; // shared with the toolkit's images
};

} // namespace vd::qt
