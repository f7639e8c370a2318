// An on-screen window built from a layout, on Qt Widgets.
#pragma once

#include "toolkit/qt/form_widget.h"
#include "toolkit/toolkit.h"
#include "toolkit/window_plan.h"

#include <QPointer>
#include <QWidget>

#include <cstddef>
#include <string>
#include <vector>

namespace vd::qt {

class QtToolkit;

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
    // One for each kind of control; the window's common properties are set
    // by the constructor.
    QWidget *makeControl(const tk::ControlLayout &c, QWidget *parent, FormWidget *form);
    QWidget *makeButton(const tk::ControlLayout &c, QWidget *parent, FormWidget *form);
    QWidget *makeFrame(const tk::ControlLayout &c, QWidget *parent);
    QWidget *makeLabel(const tk::ControlLayout &c, QWidget *parent);
    QWidget *makePicture(const tk::ControlLayout &c, QWidget *parent);
    // The window's size and the dpi of its layout (dpi_).
    void fitToScreen(FormWidget *form, const tk::WindowLayout &layout);
    // The controls in the plan's order.
    std::vector<QWidget *> makeControls(const std::vector<tk::PlannedControl> &plan, FormWidget *form);
    // The focus order, the first of the chain to hold the focus as shown.
    void chainFocus(const std::vector<std::size_t> &chain, const std::vector<QWidget *> &made);
    QRect pixelRect(const tk::Rect &twips) const;

    QtToolkit &toolkit_;
    // The dpi the layout is built at, in the window's pixels: the standard
    // one, or less where the window would not fit its screen.
    int dpi_ = 96;
    QPointer<FormWidget> widget_;
    tk::ControlTable<QWidget *> controls_;
    QWidget *firstFocus_ = nullptr;
};

} // namespace vd::qt
