#include "toolkit/qt/qt_window.h"

#include "toolkit/button_face.h"
#include "toolkit/geometry.h"
#include "toolkit/qt/fonts.h"
#include "toolkit/qt/graphic_button.h"
#include "toolkit/qt/qt_convert.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QHash>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <cmath>

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

// The caption line. The texts it showed last are kept drawn (see
// RenderCache), so that a repaint after a pointer movement is one copy of
// pixels instead of shaping and drawing Thai text again.
class CaptionLabel final : public QLabel {
public:
    CaptionLabel(QtToolkit &toolkit, QWidget *parent) : QLabel(parent), toolkit_(toolkit) {}

protected:
    void paintEvent(QPaintEvent *event) override
    {
        toolkit_.dispatch([this, event] { paint(event->rect()); });
    }

private:
    void paint(const QRect &r)
    {
        QCache<QString, QPixmap> &drawn = toolkit_.cache().captionLines;
        const qreal dpr = devicePixelRatioF();
        const QString key = text() + QChar(0) + font().key() + QChar(0) + QString::number(width()) + u'x' +
                            QString::number(height()) + u'@' + QString::number(dpr) + u' ' +
                            palette().color(QPalette::Window).name() + palette().color(QPalette::WindowText).name() +
                            u' ' + QString::number(alignment());
        const QPixmap *line = drawn.object(key);
        // A copy (shared, not copied) for drawing: a line that alone costs
        // more than the whole cache is drawn without being kept.
        QPixmap pixmap = line ? *line : QPixmap();
        if (!line) {
            pixmap = QPixmap(size() * dpr);
            pixmap.setDevicePixelRatio(dpr);
            pixmap.fill(palette().color(QPalette::Window));
            QPainter p(&pixmap);
            p.setFont(font());
            style()->drawItemText(&p, contentsRect(),
                                  int(QStyle::visualAlignment(layoutDirection(), alignment())) | Qt::TextWordWrap,
                                  palette(), isEnabled(), text(), foregroundRole());
            p.end();
            const qsizetype kib = qMax<qsizetype>(1, qsizetype(pixmap.width()) * pixmap.height() * 4 / 1024);
            drawn.insert(key, std::make_unique<QPixmap>(pixmap).release(), kib); // the cache owns it
        }
        QPainter(this).drawPixmap(r, pixmap, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr).toRect());
    }

    QtToolkit &toolkit_;
};

// The caption line as a screen reader reads it: a label whose text is its
// caption, read like any text, so that a reader can speak it as it changes.
class CaptionLabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CaptionLabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? label()->text() : QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Read-only text without a cursor or selection.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return label()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(label()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
};

// What a screen reader is told our own widgets are: a window (Qt would call a
// plain top-level widget a "filler"), a picture, a frame that groups the
// buttons. Buttons and the caption line are Qt's own and say so themselves.
QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    QAccessible::Role role;
    if (qobject_cast<QWidget *>(object) == nullptr)
        return nullptr;
    if (auto *label = dynamic_cast<CaptionLabel *>(object))
        return new CaptionLabelAccessible(label); // Qt's accessibility cache owns it
    if (dynamic_cast<FormWidget *>(object))
        role = QAccessible::Window;
    else if (dynamic_cast<PictureBox *>(object))
        role = QAccessible::Graphic;
    else if (dynamic_cast<FrameBox *>(object))
        role = QAccessible::Grouping;
    else
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), role); // Qt's accessibility cache owns it
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(accessibleFor);
}

// ---------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------

FrameBox::FrameBox(QtToolkit &toolkit, QWidget *parent) : QWidget(parent), toolkit_(toolkit) {}

void FrameBox::paintEvent(QPaintEvent *)
{
    toolkit_.dispatch([this] { paint(); });
}

void FrameBox::paint()
{
    QPainter p(this);
    for (const tk::face::Fill &f : tk::face::frameOutline(width(), height()))
        p.fillRect(qRect(f.rect), qColour(f.colour));
}

// ---------------------------------------------------------------------------

PictureBox::PictureBox(QtToolkit &toolkit, QWidget *parent, std::string picture, QSize size)
    : QWidget(parent), toolkit_(toolkit), picture_(std::move(picture))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    const qreal ratio = devicePixelRatioF();
    stretch((QSizeF(size) * ratio).toSize(), ratio);
}

PictureBox::~PictureBox()
{
    toolkit_.images().hidden(scaled_);
}

void PictureBox::stretch(QSize device, qreal ratio)
{
    // Stretched once per run for each size: every load of the window shows
    // the same picture at the same size.
    if (picture_.empty())
        return;
    const QPixmap before = scaled_;
    scaled_ = toolkit_.images().picture(picture_, device, ratio);
    toolkit_.images().shown(scaled_);
    toolkit_.images().hidden(before);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    toolkit_.dispatch([this, event] { paint(event->region()); });
}

void PictureBox::paint(const QRegion &region)
{
    // The picture fills the control in device pixels; the aspect ratio is
    // not kept. A window moved to a screen of another pixel density has it
    // stretched anew.
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    if (!scaled_.isNull() && (scaled_.size() != device || scaled_.devicePixelRatio() != ratio))
        stretch(device, ratio);
    QPainter p(this);
    // One rectangle at a time. Where a control lies over the picture (the
    // menu's caption line over its banner) the region to paint isn't one
    // rectangle; under such a clip Qt's raster engine blends the picture in
    // spans, handing a tall one to worker threads that it starts as it
    // needs them, and waits for them without end when the system refuses
    // one. Under a clip of one rectangle it copies the pixels itself.
    for (const QRect &r : region) {
        p.setClipRect(r);
        p.drawPixmap(0, 0, scaled_);
    }
}

// ---------------------------------------------------------------------------

QtWindow::QtWindow(QtToolkit &toolkit, const tk::WindowLayout &layout, tk::EventSink &sink) : toolkit_(toolkit)
{
    auto owned = std::make_unique<FormWidget>(toolkit, sink);
    FormWidget *form = owned.get();
    form->setObjectName(toQString(layout.className));
    form->setWindowTitle(toQString(layout.title));
    form->setAccessibleName(toQString(layout.accessibleName));
    sizeToScreen(form, layout);
    paintBackground(form, layout.background, tk::Colour::buttonText());
    // A window without an icon has an explicitly empty one: Qt would give it
    // the program's own icon otherwise.
    form->setWindowIcon(layout.windowIcon.empty() ? QIcon() : toolkit.images().icon(layout.windowIcon));

    const std::vector<tk::PlannedControl> plan = tk::buildOrder(layout);
    chainFocus(layout, plan, makeControls(plan, form));

    widget_ = form;
    owned.release(); // owned by this window from here: see the destructor
    toolkit_.windowBuilt(form);
}

void QtWindow::sizeToScreen(FormWidget *form, const tk::WindowLayout &layout)
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

void QtWindow::chainFocus(const tk::WindowLayout &layout, const std::vector<tk::PlannedControl> &plan,
                          const std::vector<QWidget *> &made)
{
    QWidget *previous = nullptr;
    for (const std::size_t index : tk::focusChain(layout, plan)) {
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
