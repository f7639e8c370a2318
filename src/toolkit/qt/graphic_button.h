// A push button in graphical style: its own background colour, a classic
// raised edge (sunken while pressed), a face picture centred above a caption
// that is centred and wrapped at blanks, and a dotted focus rectangle.
#pragma once

#include "toolkit/button_face.h"

#include <QAbstractButton>
#include <QFont>
#include <QPixmap>
#include <QStringList>

#include <memory>

namespace vd::qt {

class QtToolkit;
struct ButtonCaption;

// The face's recipes are the toolkit's (toolkit/button_face.h); Qt measures,
// shapes and draws the text.
class GraphicButton final : public QAbstractButton {
public:
    static constexpr int Edge = tk::face::Edge;

    // Painting runs through the toolkit's dispatcher, like everything of
    // ours that Qt calls.
    GraphicButton(QtToolkit &toolkit, QWidget *parent);
    ~GraphicButton() override;

    void setFace(QColor background, QColor text, QPixmap picture);
    QColor background() const { return background_; }
    QColor textColour() const { return text_; }
    const QPixmap &picture() const { return picture_; }

    // The caption as it is drawn: its lines after wrapping at blanks.
    QStringList captionLines() const;
    // Where the face picture is drawn while the button is up; empty without
    // a picture.
    QRect pictureRect() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The caption laid out for the current text, font and width.
    using Caption = ButtonCaption;
    const Caption &caption() const;
    // Where picture and caption go, up or pressed.
    tk::face::Placement place(bool sunken) const;
    void paint();

    QtToolkit &toolkit_;
    QColor background_;
    QColor text_;
    QPixmap picture_;
    mutable std::shared_ptr<const Caption> caption_;
};

} // namespace vd::qt
