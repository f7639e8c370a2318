// A picture control on Qt Widgets: its picture scaled to the whole rectangle.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QWidget>

#include <string>

namespace vd::qt {

class QtToolkit;

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
