#include "toolkit/qt/graphic_button.h"

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
        qreal ascent = 0;  // from the layout's top to its baseline
        QRectF ink;        // from the pen's start on the baseline
    };
    QString text;
    QFont font;
    int width = -1;
    std::vector<Line> lines;
    int pitch = 0;      // from one line's baseline to the next
    int inkTop = 0;     // the ink of all lines, from the first line's baseline
    int inkBottom = 0;
};

namespace {

// Edge colours of the classic look, the same on every face colour.
const QColor Hilight(255, 255, 255);
const QColor Light(227, 227, 227);
const QColor Shadow(128, 128, 128);
const QColor DarkShadow(0, 0, 0);

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

// Greedy wrapping at blanks: each line takes the next pieces of the caption,
// with the blanks between them, while they fit the width. A piece wider than
// the width stands alone on its line; blanks at the start and end of a line
// are not drawn. Thai words are never broken: only blanks break a line.
QStringList wrapAtBlanks(const QString &text, const QFontMetricsF &metrics, qreal width)
{
    QStringList lines;
    QString line;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype blanksFrom = i;
        while (i < n && isBlank(text[i]))
            ++i;
        const qsizetype wordFrom = i;
        while (i < n && !isBlank(text[i]))
            ++i;
        if (wordFrom == i)
            break;  // trailing blanks
        const QString word = text.mid(wordFrom, i - wordFrom);
        if (line.isEmpty()) {
            line = word;
            continue;
        }
        const QString longer = line + text.mid(blanksFrom, i - blanksFrom);
        if (metrics.horizontalAdvance(longer) <= width) {
            line = longer;
        } else {
            lines << line;
            line = word;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

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

QRect GraphicButton::faceRect() const
{
    return rect().adjusted(Edge, Edge, -Edge, -Edge);
}

const GraphicButton::Caption &GraphicButton::caption() const
{
    const int width = faceRect().width() - 2 * TextMargin;
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
    c->pitch = static_cast<int>(std::lround(metrics.lineSpacing()));

    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::NoWrap);
    QRectF ink;
    int index = 0;
    for (const QString &lineText : wrapAtBlanks(c->text, metrics, width)) {
        Caption::Line line;
        line.layout = std::make_unique<QTextLayout>(lineText, c->font);
        line.layout->setTextOption(option);
        line.layout->setCacheEnabled(true);
        line.layout->beginLayout();
        QTextLine l = line.layout->createLine();
        l.setPosition(QPointF(0, 0));
        line.layout->endLayout();
        line.ascent = l.ascent();
        line.ink = inkOf(*line.layout).translated(0, -line.ascent);
        // The block's ink, each line in its place below the first.
        const QRectF placed = line.ink.translated(0, index * c->pitch);
        ink = ink.isNull() ? placed : ink.united(placed);
        c->lines.push_back(std::move(line));
        ++index;
    }
    c->inkTop = static_cast<int>(std::floor(ink.top()));
    c->inkBottom = static_cast<int>(std::ceil(ink.bottom()));
    caption_ = std::move(c);
    laidOut.insert(key, caption_);
    return *caption_;
}

// The picture and the caption's ink, one above the other, centred together
// in the face: what a person sees is centred, whatever room the font keeps
// above and below its letters.
GraphicButton::Placement GraphicButton::place(const QRect &face) const
{
    const Caption &c = caption();
    const QSize picture = picture_.isNull() ? QSize() : picture_.deviceIndependentSize().toSize();
    const int textHeight = c.lines.empty() ? 0 : c.inkBottom - c.inkTop;
    const int gap = picture.isEmpty() || textHeight == 0 ? 0 : PictureGap;
    const int total = picture.height() + gap + textHeight;
    const int top = face.top() + static_cast<int>(std::floor((face.height() - total) / 2.0));

    Placement at;
    at.picture = QPoint(face.left() + static_cast<int>(std::floor((face.width() - picture.width()) / 2.0)), top);
    at.baseline = top + picture.height() + gap - c.inkTop;
    return at;
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
    return {place(faceRect()).picture, picture_.deviceIndependentSize().toSize()};
}

void GraphicButton::paintEvent(QPaintEvent *)
{
    toolkit_.dispatch([this] { paint(); });
}

void GraphicButton::paint()
{
    QPainter p(this);
    const QRect r = rect();
    const bool sunken = isDown();
    p.fillRect(r, background_);

    // Classic 3-D edge, two pixels: raised, light at the top left and dark at
    // the bottom right; sunken while pressed, the other way round. Drawn as
    // whole pixels, which stay whole at any device pixel ratio.
    auto edge = [&](int inset, const QColor &topLeft, const QColor &bottomRight) {
        const QRect e = r.adjusted(inset, inset, -inset, -inset);
        p.fillRect(QRect(e.left(), e.top(), e.width() - 1, 1), topLeft);
        p.fillRect(QRect(e.left(), e.top(), 1, e.height() - 1), topLeft);
        p.fillRect(QRect(e.left(), e.bottom(), e.width(), 1), bottomRight);
        p.fillRect(QRect(e.right(), e.top(), 1, e.height()), bottomRight);
    };
    if (sunken) {
        edge(0, DarkShadow, Hilight);
        edge(1, Shadow, Light);
    } else {
        edge(0, Hilight, DarkShadow);
        edge(1, Light, Shadow);
    }

    // Content: pressed, it moves one pixel down and to the right.
    const QRect face = faceRect().translated(sunken ? 1 : 0, sunken ? 1 : 0);
    p.setClipRect(faceRect());
    const Caption &c = caption();
    const Placement at = place(face);
    if (!picture_.isNull())
        p.drawPixmap(at.picture, picture_);
    p.setPen(text_);
    int baseline = at.baseline;
    for (const Caption::Line &line : c.lines) {
        // Each line's ink centred: digits such as "1" stand well inside
        // their advance, and centring the advance would push them aside.
        const int x = face.left() + static_cast<int>(std::floor((face.width() - line.ink.width()) / 2.0))
                      - static_cast<int>(std::floor(line.ink.left()));
        line.layout->draw(&p, QPointF(x, baseline - line.ascent));
        baseline += c.pitch;
    }
    p.setClipping(false);

    // The focus rectangle: every other pixel inverted, one pixel inside the
    // edge.
    if (hasFocus()) {
        const QRect f = r.adjusted(Edge + 1, Edge + 1, -(Edge + 1), -(Edge + 1));
        p.setCompositionMode(QPainter::CompositionMode_Difference);
        auto dot = [&](int x, int y) {
            if (((x + y) & 1) == 0)
                p.fillRect(x, y, 1, 1, Qt::white);
        };
        for (int x = f.left(); x <= f.right(); ++x) {
            dot(x, f.top());
            dot(x, f.bottom());
        }
        for (int y = f.top() + 1; y < f.bottom(); ++y) {
            dot(f.left(), y);
            dot(f.right(), y);
        }
    }
}

} // namespace vd::qt
