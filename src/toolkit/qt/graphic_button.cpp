#include "toolkit/qt/graphic_button.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace vd::qt {

GraphicButton::GraphicButton(QWidget *parent) : QAbstractButton(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphicButton::setFace(QColor background, QColor text, QPixmap picture)
{
    background_ = background;
    text_ = text;
    picture_ = std::move(picture);
    update();
}

void GraphicButton::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the focused button, as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void GraphicButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    const bool sunken = isDown();
    p.fillRect(r, background_);

    // Classic 3-D edge: a two-pixel bevel, light at the top left and dark at
    // the bottom right, reversed while the button is pressed.
    const QColor hilight(255, 255, 255), light(227, 227, 227), shadow(128, 128, 128), dark(0, 0, 0);
    const int x0 = r.left(), y0 = r.top(), x1 = r.right(), y1 = r.bottom();
    auto bevel = [&](int inset, QColor topLeft, QColor bottomRight) {
        p.setPen(topLeft);
        p.drawLine(x0 + inset, y0 + inset, x1 - inset - 1, y0 + inset);
        p.drawLine(x0 + inset, y0 + inset, x0 + inset, y1 - inset - 1);
        p.setPen(bottomRight);
        p.drawLine(x0 + inset, y1 - inset, x1 - inset, y1 - inset);
        p.drawLine(x1 - inset, y0 + inset, x1 - inset, y1 - inset);
    };
    if (sunken) {
        bevel(0, dark, hilight);
        bevel(1, shadow, light);
    } else {
        bevel(0, light, dark);
        bevel(1, hilight, shadow);
    }

    // Content: the picture above the caption, the pair centred in the face.
    const QRect inner = r.adjusted(3, 3, -3, -3).translated(sunken ? 1 : 0, sunken ? 1 : 0);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    QTextLayout layout(text(), font());
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    qreal textHeight = 0;
    if (!text().isEmpty()) {
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(inner.width());
            line.setPosition(QPointF(0, textHeight));
            textHeight += line.height();
        }
        layout.endLayout();
    }
    const int pictureHeight = picture_.isNull() ? 0 : picture_.height() / picture_.devicePixelRatio();
    const qreal total = pictureHeight + textHeight;
    qreal y = inner.top() + (inner.height() - total) / 2;
    if (!picture_.isNull()) {
        const int pw = picture_.width() / picture_.devicePixelRatio();
        p.drawPixmap(inner.left() + (inner.width() - pw) / 2, qRound(y), picture_);
        y += pictureHeight;
    }
    if (textHeight > 0) {
        p.setPen(text_);
        layout.draw(&p, QPointF(inner.left(), qRound(y)));
    }

    if (hasFocus()) {
        QPen dotted(QColor(0, 0, 0), 1, Qt::DotLine);
        p.setPen(dotted);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

} // namespace vd::qt
