#include "toolkit/qt/qt_window.h"

#include "toolkit/geometry.h"
#include "toolkit/qt/caption_label.h"
#include "toolkit/qt/fonts.h"
#include "toolkit/qt/form_widget.h"
#include "toolkit/qt/frame_box.h"
#include "toolkit/qt/graphic_button.h"
#include "toolkit/qt/picture_box.h"
#include "toolkit/qt/qt_convert.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QWindow>

#include <memory>

namespace vd::qt {

namespace {

void paintBackground(QWidget *w, const tk::Colour &background, const tk::Colour &foreground)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour(background));
    pal.setColor(QPalette::WindowText, colour(foreground));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

} // namespace

QtWindow::QtWindow(QtToolkit &toolkit, const tk::WindowLayout &layout, tk::EventSink &sink) : toolkit_(toolkit)
{
    auto owned = std::make_unique<FormWidget>(toolkit, sink);
    FormWidget *form = owned.get();
    form->setObjectName(toQString(layout.className));
    form->setWindowTitle(toQString(layout.title));
    form->setAccessibleName(toQString(layout.accessibleName));
    fitToScreen(form, layout);
    paintBackground(form, layout.background, tk::Colour::buttonText());
    // A window without an icon has an explicitly empty one: Qt would give it
    // the program's own icon otherwise.
    form->setWindowIcon(layout.windowIcon.empty() ? QIcon() : toolkit.images().icon(layout.windowIcon));

    const std::vector<tk::PlannedControl> plan = tk::buildOrder(layout);
    const std::vector<QWidget *> made = makeControls(plan, form);
    chainFocus(tk::focusChain(layout, plan), made);

    widget_ = form;
    owned.release(); // owned by this window from here: see the destructor
    toolkit_.windowBuilt(form);
}

void QtWindow::fitToScreen(FormWidget *form, const tk::WindowLayout &layout)
{
    // Layouts are in device-independent pixels at 96 dpi, which Qt scales:
    // the design's own size is Qt's 96 dpi, whatever the screen's scale (a
    // window laid out in fewer logical pixels than that would draw its
    // captions with margins and lines rounded to whole logical pixels, too
    // coarse on a screen of several device pixels to one: they no longer
    // fit their buttons). Where the window would not fit its screen's
    // available area, it is cut to the area and its contents scroll.
    if (QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen()) {
        const QRect a = screen->availableGeometry();
        dpi_ = tk::fittingDpi(layout.width, layout.height, tk::StandardDpi, tk::StandardDpi,
                              {a.x(), a.y(), a.width(), a.height()});
        const QSize content(tk::toPixels(layout.width, dpi_), tk::toPixels(layout.height, dpi_));
        const QSize shown = content.boundedTo(a.size());
        form->setFixedSize(shown);
        if (shown != content)
            form->setContentSize(content);
    } else {
        form->setFixedSize(tk::toPixels(layout.width), tk::toPixels(layout.height));
    }
}

std::vector<QWidget *> QtWindow::makeControls(const std::vector<tk::PlannedControl> &plan, FormWidget *form)
{
    std::vector<QWidget *> made;
    made.reserve(plan.size());
    for (const tk::PlannedControl &planned : plan) {
        const tk::ControlLayout &c = *planned.layout;
        QWidget *parent = planned.parent < 0 ? form : made[static_cast<std::size_t>(planned.parent)];
        QWidget *w = makeControl(c, parent, form);
        w->setObjectName(toQString(c.name));
        w->setGeometry(pixelRect(c.rect));
        w->setFocusPolicy(Qt::NoFocus);
        if (!c.tooltip.empty())
            w->setToolTip(toQString(c.tooltip));
        if (!c.pointerImage.empty())
            w->setCursor(toolkit_.images().pointer(c.pointerImage));
        form->watch(w, c.name);
        controls_.add(c.name, c.kind, w);
        made.push_back(w);
    }
    return made;
}

void QtWindow::chainFocus(const std::vector<std::size_t> &chain, const std::vector<QWidget *> &made)
{
    QWidget *previous = nullptr;
    for (const std::size_t index : chain) {
        QWidget *w = made[index];
        w->setFocusPolicy(Qt::StrongFocus);
        if (previous)
            QWidget::setTabOrder(previous, w);
        else
            firstFocus_ = w;
        previous = w;
    }
}

QRect QtWindow::pixelRect(const tk::Rect &twips) const
{
    return qRect(tk::toPixels(twips, dpi_));
}

QWidget *QtWindow::makeControl(const tk::ControlLayout &c, QWidget *parent, FormWidget *form)
{
    switch (c.kind) {
    case tk::Kind::PushButton:
        return makeButton(c, parent, form);
    case tk::Kind::Frame:
        return makeFrame(c, parent);
    case tk::Kind::Label:
        return makeLabel(c, parent);
    case tk::Kind::Picture:
        return makePicture(c, parent);
    }
    throw Error(errors::Internal, "ชนิดตัวควบคุมไม่รู้จัก: " + c.name);
}

QWidget *QtWindow::makeButton(const tk::ControlLayout &c, QWidget *parent, FormWidget *form)
{
    auto *b = new GraphicButton(toolkit_, parent);
    b->setText(toQString(c.caption));
    b->setFont(fontFor(c.font, &toolkit_.cache().installedFamilies, dpi_));
    QPixmap face = c.facePicture.empty() ? QPixmap() : toolkit_.images().face(c.facePicture);
    if (!face.isNull() && dpi_ != tk::StandardDpi) {
        // At the window's scale, as the rest of its face.
        const qreal ratio = b->devicePixelRatioF();
        face = face.scaled(face.deviceIndependentSize().toSize() * dpi_ / tk::StandardDpi * ratio,
                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        face.setDevicePixelRatio(ratio);
    }
    b->setFace(colour(c.background), colour(c.foreground), face);
    // Qt names a button by its text, and follows it; where our name differs,
    // it is set. Qt describes it by its tooltip.
    if (const std::string name = tk::accessibleName(c); name != c.caption)
        b->setAccessibleName(toQString(name));
    QObject::connect(b, &QAbstractButton::clicked, form, [form, name = c.name] { form->clicked(name); });
    return b;
}

QWidget *QtWindow::makeFrame(const tk::ControlLayout &c, QWidget *parent)
{
    auto *f = new FrameBox(toolkit_, parent);
    paintBackground(f, c.background, c.foreground);
    return f;
}

QWidget *QtWindow::makeLabel(const tk::ControlLayout &c, QWidget *parent)
{
    auto *l = new CaptionLabel(toolkit_, parent);
    l->setText(toQString(c.caption));
    l->setTextFormat(Qt::PlainText);
    // Centred across; and down, so that a line's stacked marks stay clear of
    // the box's top edge.
    l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    l->setWordWrap(true);
    l->setMargin(0);
    l->setIndent(0);
    l->setFont(fontFor(c.font, &toolkit_.cache().installedFamilies, dpi_));
    paintBackground(l, c.background, c.foreground);
    return l;
}

QWidget *QtWindow::makePicture(const tk::ControlLayout &c, QWidget *parent)
{
    auto *p = new PictureBox(toolkit_, parent, c.picture, pixelRect(c.rect).size());
    p->setAccessibleName(toQString(tk::accessibleName(c)));
    return p;
}

QtWindow::~QtWindow()
{
    if (!widget_)
        return;
    FormWidget *form = widget_;
    toolkit_.windowGone(form);
    form->detach();
    form->hide();
    // A window may be unloaded from inside one of its own handlers: Qt still
    // has the event's widgets on its stack, so they go once it is done: as
    // the next window is first exposed, or by the event loop if that is sooner.
    if (toolkit_.dispatching()) {
        form->deleteLater();
        toolkit_.windowUnloaded(form);
    } else
        delete form;
}

void QtWindow::show()
{
    QWidget *form = widget_;
    if (form->isVisible()) {
        form->raise();
    } else {
        // On the available area of the screen the window appears on.
        if (QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            const tk::PixelPoint at =
                tk::placeOnScreen(form->width(), form->height(), {area.x(), area.y(), area.width(), area.height()});
            form->move(at.x, at.y);
        }
        if (firstFocus_)
            firstFocus_->setFocus(Qt::OtherFocusReason);
        form->show();
        // Its exposure, to destroy the windows it replaces first.
        if (QWindow *handle = form->windowHandle())
            handle->installEventFilter(form);
    }
    form->activateWindow();
}

bool QtWindow::isVisible() const
{
    return widget_ && widget_->isVisible();
}

std::string QtWindow::caption(std::string_view name) const
{
    const auto &c = controls_.at(name);
    if (auto *b = qobject_cast<QAbstractButton *>(c.handle))
        return b->text().toStdString();
    if (auto *l = qobject_cast<QLabel *>(c.handle))
        return l->text().toStdString();
    return {};
}

void QtWindow::setCaption(std::string_view name, std::string_view text)
{
    const auto &c = controls_.withCaption(name);
    if (auto *l = qobject_cast<QLabel *>(c.handle)) {
        const QString before = l->text();
        l->setText(toQString(text)); // Qt says the name changed
        if (QAccessible::isActive()) {
            QAccessibleTextUpdateEvent changed(l, 0, before, l->text());
            QAccessible::updateAccessibility(&changed);
        }
    } else if (auto *b = qobject_cast<QAbstractButton *>(c.handle))
        b->setText(toQString(text));
}

} // namespace vd::qt
