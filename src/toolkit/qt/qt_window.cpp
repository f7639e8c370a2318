#include "toolkit/qt/qt_window.h"

#include "toolkit/qt/fonts.h"
#include "toolkit/qt/graphic_button.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

#include <cmath>

namespace vd::qt {

namespace {

// Twips to pixels at 96 dpi. Edges are rounded, not widths, so that
// neighbouring controls share their edges exactly.
int px(int twips)
{
    return static_cast<int>(std::lround(twips / static_cast<double>(tk::TwipsPerPixel)));
}

QRect pixelRect(const tk::Rect &r)
{
    const int left = px(r.left), top = px(r.top);
    return {left, top, px(r.right()) - left, px(r.bottom()) - top};
}

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
    return {c.rgb.r, c.rgb.g, c.rgb.b};
}

void paintBackground(QWidget *w, const tk::Colour &background, const tk::Colour &foreground)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour(background));
    pal.setColor(QPalette::WindowText, colour(foreground));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// The caption line. Each of its texts is drawn once per run and kept, so
// that a repaint after a pointer movement is one copy of pixels instead of
// shaping and drawing Thai text again.
class CaptionLabel final : public QLabel {
public:
    CaptionLabel(QtToolkit &toolkit, QWidget *parent) : QLabel(parent), toolkit_(toolkit) {}

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QHash<QString, QPixmap> &drawn = toolkit_.cache().captionLines;
        const qreal dpr = devicePixelRatioF();
        const QString key = text() + QChar(0) + font().key() + QChar(0) + QString::number(width()) + u'x' +
                            QString::number(height()) + u'@' + QString::number(dpr) + u' ' +
                            palette().color(QPalette::Window).name() + palette().color(QPalette::WindowText).name() +
                            u' ' + QString::number(alignment());
        auto it = drawn.constFind(key);
        if (it == drawn.constEnd()) {
            QPixmap pixmap(size() * dpr);
            pixmap.setDevicePixelRatio(dpr);
            pixmap.fill(palette().color(QPalette::Window));
            QPainter p(&pixmap);
            p.setFont(font());
            style()->drawItemText(&p, contentsRect(),
                                  int(QStyle::visualAlignment(layoutDirection(), alignment())) | Qt::TextWordWrap,
                                  palette(), isEnabled(), text(), foregroundRole());
            p.end();
            it = drawn.insert(key, pixmap);
        }
        const QRect r = event->rect();
        QPainter(this).drawPixmap(r, *it, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr).toRect());
    }

private:
    QtToolkit &toolkit_;
};

} // namespace

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
    if (event->type() == QEvent::MouseMove) {
        if (auto it = names_.find(watched); it != names_.end())
            send(it->second, tk::Event::MouseMove);
    }
    return false;
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
    // The etched line: a shadow line with a highlight line inside it at the
    // top and left, and outside it at the bottom and right. Whole pixels,
    // which stay whole at any device pixel ratio.
    const QColor shadow(128, 128, 128), hilight(255, 255, 255);
    const QRect r = rect();
    const int w = r.width(), h = r.height();
    QPainter p(this);
    p.fillRect(QRect(0, 0, w - 1, 1), shadow);
    p.fillRect(QRect(0, 0, 1, h - 1), shadow);
    p.fillRect(QRect(w - 2, 0, 1, h - 1), shadow);
    p.fillRect(QRect(0, h - 2, w - 1, 1), shadow);
    p.fillRect(QRect(1, 1, w - 3, 1), hilight);
    p.fillRect(QRect(1, 1, 1, h - 3), hilight);
    p.fillRect(QRect(w - 1, 0, 1, h), hilight);
    p.fillRect(QRect(0, h - 1, w, 1), hilight);
}

// ---------------------------------------------------------------------------

PictureBox::PictureBox(QtToolkit &toolkit, QWidget *parent, QPixmap picture)
    : QWidget(parent), toolkit_(toolkit), picture_(std::move(picture))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    toolkit_.dispatch([this] { paint(); });
}

void PictureBox::paint()
{
    // Scaled once to the control's size in device pixels; the aspect ratio is
    // not kept.
    const QSize device = (QSizeF(size()) * devicePixelRatioF()).toSize();
    if (scaled_.size() != device) {
        // Scaled once per run: every load of the window shows the same picture
        // at the same size.
        QHash<QString, QPixmap> &stretched = toolkit_.cache().stretched;
        const QString key = QString::number(picture_.cacheKey()) + u' ' + QString::number(device.width()) + u'x' +
                            QString::number(device.height());
        auto it = stretched.constFind(key);
        if (it == stretched.constEnd()) {
            QPixmap scaled = picture_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            scaled.setDevicePixelRatio(devicePixelRatioF());
            it = stretched.insert(key, scaled);
        }
        scaled_ = *it;
    }
    QPainter p(this);
    p.drawPixmap(0, 0, scaled_);
}

// ---------------------------------------------------------------------------

QtWindow::QtWindow(QtToolkit &toolkit, const tk::WindowLayout &layout, tk::EventSink &sink)
    : toolkit_(toolkit)
{
    auto owned = std::make_unique<FormWidget>(toolkit, sink);
    FormWidget *form = owned.get();
    form->setObjectName(toQString(layout.className));
    form->setWindowTitle(toQString(layout.title));
    form->setFixedSize(px(layout.width), px(layout.height));
    paintBackground(form, layout.background, tk::Colour::buttonText());
    // A window without an icon has an explicitly empty one: Qt would give it
    // the program's own icon otherwise.
    form->setWindowIcon(layout.windowIcon.empty() ? QIcon() : toolkit.images().icon(layout.windowIcon));

    // Controls are created bottom first, so that each one created later lies
    // above those before it.
    auto build = [&](auto &self, QWidget *parent, const std::vector<tk::ControlLayout> &controls) -> void {
        for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
            const tk::ControlLayout &c = *it;
            QWidget *w = nullptr;
            switch (c.kind) {
            case tk::Kind::PushButton: {
                auto *b = new GraphicButton(toolkit, parent);
                b->setText(toQString(c.caption));
                b->setFont(fontFor(c.font, &toolkit.cache().installedFamilies));
                b->setFace(colour(c.background), colour(c.foreground),
                           c.facePicture.empty() ? QPixmap() : toolkit.images().face(c.facePicture));
                // A button's accessible name is its caption, and follows it;
                // a button without one is named by its tooltip.
                if (c.caption.empty())
                    b->setAccessibleName(toQString(c.tooltip));
                const std::string name = c.name;
                QObject::connect(b, &QAbstractButton::clicked, form, [form, name] { form->clicked(name); });
                w = b;
                break;
            }
            case tk::Kind::Frame: {
                auto *f = new FrameBox(toolkit, parent);
                paintBackground(f, c.background, c.foreground);
                w = f;
                break;
            }
            case tk::Kind::Label: {
                auto *l = new CaptionLabel(toolkit, parent);
                l->setText(toQString(c.caption));
                l->setTextFormat(Qt::PlainText);
                // Centred across; and down, so that a line's stacked marks
                // stay clear of the box's top edge.
                l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
                l->setWordWrap(true);
                l->setMargin(0);
                l->setIndent(0);
                l->setFont(fontFor(c.font, &toolkit.cache().installedFamilies));
                paintBackground(l, c.background, c.foreground);
                w = l;
                break;
            }
            case tk::Kind::Picture:
                w = new PictureBox(toolkit, parent,
                                   c.picture.empty() ? QPixmap() : toolkit.images().picture(c.picture));
                break;
            }
            w->setObjectName(toQString(c.name));
            w->setGeometry(pixelRect(c.rect));
            w->setFocusPolicy(Qt::NoFocus);
            if (!c.tooltip.empty())
                w->setToolTip(toQString(c.tooltip));
            if (!c.pointerImage.empty())
                w->setCursor(toolkit.images().pointer(c.pointerImage));
            form->watch(w, c.name);
            controls_.emplace(c.name, w);
            self(self, w, c.children);
        }
    };
    build(build, form, layout.controls);

    QWidget *previous = nullptr;
    for (const std::string &name : layout.focusOrder) {
        QWidget *w = control(name);
        w->setFocusPolicy(Qt::StrongFocus);
        if (previous)
            QWidget::setTabOrder(previous, w);
        else
            firstFocus_ = w;
        previous = w;
    }

    widget_ = form;
    owned.release();  // owned by this window from here: see the destructor
    toolkit_.windowBuilt(form);
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
    // has the event's widgets on its stack, so they go when it is done.
    if (toolkit_.dispatching())
        form->deleteLater();
    else
        delete form;
}

void QtWindow::show()
{
    QWidget *form = widget_;
    if (form->isVisible()) {
        form->raise();
    } else {
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), form->size());
            frame.moveCenter(screen->availableGeometry().center());
            form->move(frame.topLeft());
        }
        if (firstFocus_)
            firstFocus_->setFocus(Qt::OtherFocusReason);
        form->show();
    }
    form->activateWindow();
}

bool QtWindow::isVisible() const
{
    return widget_ && widget_->isVisible();
}

QWidget *QtWindow::control(std::string_view name) const
{
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw Error(errors::ControlNotFound, "ไม่พบตัวควบคุม \"" + std::string(name) + "\"");
    return it->second;
}

std::string QtWindow::caption(std::string_view name) const
{
    QWidget *w = control(name);
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text().toStdString();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text().toStdString();
    return {};
}

void QtWindow::setCaption(std::string_view name, std::string_view text)
{
    QWidget *w = control(name);
    if (auto *l = qobject_cast<QLabel *>(w))
        l->setText(toQString(text));
    else if (auto *b = qobject_cast<QAbstractButton *>(w))
        b->setText(toQString(text));
    else
        throw Error(errors::ControlNotFound, "ตัวควบคุม \"" + std::string(name) + "\" ไม่มีคำบรรยาย");
}

} // namespace vd::qt
