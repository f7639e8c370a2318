#include "toolkit/qt/caption_label.h"

#include "toolkit/qt/qt_toolkit.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

#include <memory>

namespace vd::qt {

CaptionLabel::CaptionLabel(QtToolkit &toolkit, QWidget *parent) : QLabel(parent), toolkit_(toolkit) {}

void CaptionLabel::paintEvent(QPaintEvent *event)
{
    toolkit_.dispatch([this, event] { paint(event->rect()); });
}

void CaptionLabel::paint(const QRect &r)
{
    QCache<QString, QPixmap> &drawn = toolkit_.cache().captionLines;
    const qreal dpr = devicePixelRatioF();
    const QString key = text() + QChar(0) + font().key() + QChar(0) + QString::number(width()) + u'x' +
                        QString::number(height()) + u'@' + QString::number(dpr) + u' ' +
                        palette().color(QPalette::Window).name() + palette().color(QPalette::WindowText).name() + u' ' +
                        QString::number(alignment());
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

} // namespace vd::qt
