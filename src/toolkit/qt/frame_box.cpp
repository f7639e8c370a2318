#include "toolkit/qt/frame_box.h"

#include "toolkit/button_face.h"
#include "toolkit/qt/qt_convert.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QPainter>

namespace vd::qt {

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

} // namespace vd::qt
