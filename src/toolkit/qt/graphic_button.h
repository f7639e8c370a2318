// A push button in graphical style: its own background colour, a classic
// raised edge (sunken while pressed), a face picture centred above a caption
// that is centred and wrapped at blanks, and a dotted focus rectangle.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace vd::qt {

class GraphicButton final : public QAbstractButton {
public:
    explicit GraphicButton(QWidget *parent);

    void setFace(QColor background, QColor text, QPixmap picture);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QColor background_;
    QColor text_;
    QPixmap picture_;
};

} // namespace vd::qt
