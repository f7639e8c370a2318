#include "toolkit/qt/picture_box.h"

#include "toolkit/qt/qt_toolkit.h"

#include <QPaintEvent>
#include <QPainter>

namespace vd::qt {

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

} // namespace vd::qt
