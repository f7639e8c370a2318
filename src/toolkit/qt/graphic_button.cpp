#include "toolkit/qt/graphic_button.h"

#include "toolkit/qt/qt_convert.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>
#include <vector>

namespace vd::qt {

struct ButtonCaption {
    struct Line {
        std::unique_ptr<QTextLayout> layout;
        qreal ascent = 0; // from the layout's top to its baseline
        QRectF ink;       // from the pen's start on the baseline
    };
    QString text;
    QFont font;
    int width = -1;
    std::vector<Line> lines;
    tk::face::CaptionInk ink; // of all lines, for placing them
};

namespace {

// The union of the glyphs' outlines as shaped, marks in their stacked places,
// in the layout's coordinates.
QRectF inkOf(const QTextLayout &layout)
{
    QRectF ink;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype g = 0; g < glyphs.size() && g < positions.size(); ++g) {
            const QRectF box = font.boundingRect(glyphs[g]);
            if (!box.isEmpty())
                ink = ink.united(box.translated(positions[g]));
        }
    }
    return ink;
}

} // namespace

GraphicButton::GraphicButton(QtToolkit &toolkit, QWidget *parent) : QAbstractButton(parent), toolkit_(toolkit)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

GraphicButton::~GraphicButton() = default;

void GraphicButton::setFace(QColor background, QColor text, QPixmap picture)
{
    background_ = background;
    text_ = text;
    picture_ = std::move(picture);
    update();
}

bool GraphicButton::event(QEvent *event)
{
    const bool handled = QAbstractButton::event(event);
    // The style asks for hover events on every button, and Qt repaints a
    // widget with hover events whenever the pointer enters or leaves it. The
    // face never changes under the pointer: no hover events, no repaints.
    if (event->type() == QEvent::Polish)
        setAttribute(Qt::WA_Hover, false);
    return handled;
}

void GraphicButton::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the focused button, as Space does. The click reaches the
    // program through the dispatcher.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

const GraphicButton::Caption &GraphicButton::caption() const
{
    const int width = tk::face::wrapWidth(this->width());
    if (caption_ && caption_->text == text() && caption_->font == font() && caption_->width == width)
        return *caption_;
    // Laid out once per run for each caption, font and width, and shared by
    // every button that shows it: the menu window is built anew on each entry.
    QHash<QString, std::shared_ptr<const Caption>> &laidOut = toolkit_.cache().captions;
    const QString key = font().key() + QChar(0) + QString::number(width) + QChar(0) + text();
    if (auto it = laidOut.constFind(key); it != laidOut.constEnd()) {
        caption_ = *it;
        return *caption_;
    }

    auto c = std::make_unique<Caption>();
    c->text = text();
    c->font = font();
    c->width = width;
    if (c->text.isEmpty()) {
        // No text, no font: the intro window's buttons would otherwise start
        // the font database (fontconfig) before the first paint, for nothing.
        caption_ = std::move(c);
        laidOut.insert(key, caption_);
        return *caption_;
    }
    const QFontMetricsF metrics(c->font);
    c->ink.pitch = static_cast<int>(std::lround(metrics.lineSpacing()));
    const auto advance = [&metrics](std::string_view piece) { return metrics.horizontalAdvance(toQString(piece)); };

    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::NoWrap);
    QRectF ink;
    int index = 0;
    for (const std::string &lineText : tk::face::wrapAtBlanks(c->text.toStdString(), advance, width)) {
        Caption::Line line;
        line.layout = std::make_unique<QTextLayout>(toQString(lineText), c->font);
        line.layout->setTextOption(option);
        line.layout->setCacheEnabled(true);
        line.layout->beginLayout();
        QTextLine l = line.layout->createLine();
        l.setPosition(QPointF(0, 0));
        line.layout->endLayout();
        line.ascent = l.ascent();
        line.ink = inkOf(*line.layout).translated(0, -line.ascent);
        // The block's ink, each line in its place below the first.
        const QRectF placed = line.ink.translated(0, index * c->ink.pitch);
        ink = ink.isNull() ? placed : ink.united(placed);
        c->ink.lines.push_back({line.ink.left(), line.ink.width()});
        c->lines.push_back(std::move(line));
        ++index;
    }
    c->ink.top = static_cast<int>(std::floor(ink.top()));
    c->ink.bottom = static_cast<int>(std::ceil(ink.bottom()));
    caption_ = std::move(c);
    laidOut.insert(key, caption_);
    return *caption_;
}

tk::face::Placement GraphicButton::place(bool sunken) const
{
    const QSize picture = picture_.isNull() ? QSize(0, 0) : picture_.deviceIndependentSize().toSize();
    return tk::face::place(tk::face::faceRect(width(), height()), picture.width(), picture.height(), caption().ink,
                           sunken);
}

QStringList GraphicButton::captionLines() const
{
    QStringList lines;
    for (const Caption::Line &line : caption().lines)
        lines << line.layout->text();
    return lines;
}

QRect GraphicButton::pictureRect() const
{
    if (picture_.isNull())
        return {};
    const tk::PixelPoint at = place(false).picture;
    return {QPoint(at.x, at.y), picture_.deviceIndependentSize().toSize()};
}

void GraphicButton::paintEvent(QPaintEvent *)
{
    toolkit_.dispatch([this] { paint(); });
}

void GraphicButton::paint()
{
    QPainter p(this);
    const bool sunken = isDown();
    p.fillRect(rect(), background_);
    for (const tk::face::Fill &f : tk::face::buttonEdge(width(), height(), sunken))
        p.fillRect(qRect(f.rect), qColour(f.colour));

    const tk::PixelRect face = tk::face::faceRect(width(), height());
    p.setClipRect(qRect(face));
    const Caption &c = caption();
    const tk::face::Placement at = place(sunken);
    if (!picture_.isNull())
        p.drawPixmap(QPoint(at.picture.x, at.picture.y), picture_);
    p.setPen(text_);
    int baseline = at.baseline;
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        c.lines[i].layout->draw(&p, QPointF(at.lineStarts[i], baseline - c.lines[i].ascent));
        baseline += c.ink.pitch;
    }
    p.setClipping(false);

    if (hasFocus()) {
        p.setCompositionMode(QPainter::CompositionMode_Difference);
        for (const tk::PixelPoint &dot : tk::face::focusDots(width(), height()))
            p.fillRect(dot.x, dot.y, 1, 1, Qt::white);
    }
}

} // namespace vd::qt
