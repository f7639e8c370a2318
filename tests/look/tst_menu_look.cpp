// The menu window as a person sees it: the real window, entered through the
// intro window, grabbed as pixels. Positions are logical pixels; the same
// tests run at twice the pixel density.
#include "look.h"

#include "artwork/catalogue.h"
#include "toolkit/qt/fonts.h"
#include "toolkit/qt/graphic_button.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QRawFont>
#include <QScreen>
#include <QTextLayout>

#include <map>

using namespace vd::testing;
namespace design = vd::design;
using vd::qt::GraphicButton;

namespace {

constexpr int Edge = GraphicButton::Edge;

QRect groupRect(int n)
{
    return pixels(design::menu::group(n));
}

QColor groupColour(int n)
{
    return qcolor(design::menu::groupColour(n));
}

QString commandName(int n)
{
    return QStringLiteral("Command%1").arg(n);
}

QString expectedCaption(int n)
{
    if (n <= 60)
        return groupName(n);
    if (n <= 62)
        return thai(" กลุ่ม   ชุด    ดิน   ที่   ") + QString::number(n);
    return n == 63 ? thai("กลับหน้าหลัก") : thai("ออกจากโปรแกรม");
}

GraphicButton *button(const QString &name)
{
    return dynamic_cast<GraphicButton *>(ProgramFixture::control("Form2", name));
}

QColor buttonText()
{
    return QApplication::palette().color(QPalette::ButtonText);
}

// The caption's ink in a button: the button grabbed as it is, and again with
// its caption drawn in the face colour (nothing else moves).
QRectF captionInk(GraphicButton *b)
{
    const QImage with = grabbed(b);
    const QColor text = b->textColour();
    b->setFace(b->background(), b->background(), b->picture());
    const QImage without = grabbed(b);
    b->setFace(b->background(), text, b->picture());
    return inkBox(with, without, text);
}

// How many bands of ink rows, separated by at least `gap` rows without ink.
int inkBands(const QImage &with, const QImage &without, const QColor &text, int gap)
{
    int bands = 0, blankRun = gap;
    for (int y = 0; y < with.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < with.width() && !ink; ++x) {
            const QRgb under = without.pixel(x, y);
            const int contrast = channelDistance(text.rgb(), under);
            ink = contrast > 0 && channelDistance(with.pixel(x, y), under) > InkCoverage * contrast;
        }
        if (ink) {
            if (blankRun >= gap)
                ++bands;
            blankRun = 0;
        } else {
            ++blankRun;
        }
    }
    return bands;
}

QString inside(const QRectF &ink, const QRectF &area)
{
    if (ink.isNull())
        return QStringLiteral("no ink at all");
    if (ink.left() < area.left() || ink.top() < area.top() || ink.right() > area.right() ||
        ink.bottom() > area.bottom())
        return QStringLiteral("ink (%1,%2)-(%3,%4) outside (%5,%6)-(%7,%8)")
            .arg(ink.left())
            .arg(ink.top())
            .arg(ink.right())
            .arg(ink.bottom())
            .arg(area.left())
            .arg(area.top())
            .arg(area.right())
            .arg(area.bottom());
    return {};
}

// The most common colour of the device pixels in a logical rectangle.
QColor mostCommon(const QImage &image, const QRect &logical)
{
    std::map<QRgb, int> counts;
    const QRect device = devicePixels(image, logical);
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb best = 0;
    int most = -1;
    for (const auto &[rgb, n] : counts)
        if (n > most) {
            most = n;
            best = rgb;
        }
    return QColor::fromRgb(best);
}

// The key goes to the window as the window system would send it: to the
// focus widget of the active window.

} // namespace

class TestMenuLook : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    QWidget *menu = nullptr;

private slots:
    void init()
    {
        f = std::make_unique<ProgramFixture>();
        menu = enterMenu();
        QVERIFY(menu);
        QCoreApplication::processEvents();
        QVERIFY(menu->isActiveWindow());
    }
    void cleanup()
    {
        f.reset();
        menu = nullptr;
    }

    void theWindowIsBorderlessFixedAndCentred()
    {
        QVERIFY(menu->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(menu->windowTitle(), QStringLiteral("Form2"));
        const QSize size(design::toPixels(design::menu::Width), design::toPixels(design::menu::Height));
        QCOMPARE(menu->size(), size);
        QCOMPARE(menu->minimumSize(), size);
        QCOMPARE(menu->maximumSize(), size);
        const QPoint screenCentre = menu->screen()->availableGeometry().center();
        QVERIFY2((menu->frameGeometry().center() - screenCentre).manhattanLength() <= 1,
                 qPrintable(QStringLiteral("window centre (%1, %2), screen centre (%3, %4)")
                                .arg(menu->frameGeometry().center().x())
                                .arg(menu->frameGeometry().center().y())
                                .arg(screenCentre.x())
                                .arg(screenCentre.y())));
        QVERIFY(menu->windowIcon().isNull());
        QVERIFY(!menu->testAttribute(Qt::WA_SetCursor)); // the default pointer
    }

    // The menu window has no icon, not even the program's own, IslandIcon.
    void theWindowHasNoIcon()
    {
        QVERIFY(QApplication::windowIcon().isNull());
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/IslandIcon.ico")));
        const bool programHasOne = !QApplication::windowIcon().isNull();
        const bool menuHasNone = menu->windowIcon().isNull();
        QApplication::setWindowIcon(QIcon());
        QVERIFY(programHasOne);
        QVERIFY(menuHasNone);
    }

    void controlsArePlacedAndStacked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");   // in the window
        QTest::addColumn<QPoint>("probe"); // where the control is the topmost one
        for (int n = 1; n <= 62; ++n)
            QTest::newRow(qPrintable(commandName(n))) << commandName(n) << groupRect(n) << groupRect(n).center();
        const QRect back = pixels(design::menu::BackButton), exit = pixels(design::menu::ExitButton);
        QTest::newRow("Command63") << "Command63" << back << back.center();
        QTest::newRow("Command64") << "Command64" << exit << exit.center();
        QTest::newRow("Frame1") << "Frame1" << pixels(design::menu::Frame) << QPoint(10, 10);
        QTest::newRow("Label1") << "Label1" << pixels(design::menu::CaptionLine) << QPoint(60, 385);
        // The banner, under the caption line.
        QTest::newRow("Image1") << "Image1" << pixels(design::menu::Banner) << QPoint(400, 350);
    }
    void controlsArePlacedAndStacked()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QPoint, probe);
        QWidget *c = menu->findChild<QWidget *>(name);
        QVERIFY(c);
        QCOMPARE(QRect(c->mapTo(menu, QPoint(0, 0)), c->size()), rect);
        QWidget *top = menu->childAt(probe);
        QVERIFY(top);
        QCOMPARE(top->objectName(), name);
    }

    // The figures a person measures on the screen.
    void theBlockTilesItsRectangle()
    {
        QRect block;
        int area = 0;
        for (int n = 1; n <= 60; ++n) {
            const QRect r = ProgramFixture::control("Form2", commandName(n))->geometry();
            QCOMPARE(r.width(), 100);
            QVERIFY(r.height() == 23 || r.height() == 46);
            block = block.united(r);
            area += r.width() * r.height();
        }
        QCOMPARE(block, pixels(design::menu::Block));
        QCOMPARE(area, 600 * 276); // with the union's size: no gap, no overlap
        const QRect g61 = ProgramFixture::control("Form2", QStringLiteral("Command61"))->geometry();
        const QRect g62 = ProgramFixture::control("Form2", QStringLiteral("Command62"))->geometry();
        QCOMPARE(g61.left(), block.right() + 1);
        QCOMPARE(g62.left(), block.right() + 1);
        QCOMPARE(g61.top(), block.top());
        QCOMPARE(g62.top(), g61.bottom() + 1);
        QCOMPARE(g62.bottom(), block.bottom());
    }

    void everyButtonShowsItsColour_data()
    {
        QTest::addColumn<int>("group");
        for (int n = 1; n <= 62; ++n)
            QTest::addRow("group %d", n) << n;
    }
    void everyButtonShowsItsColour()
    {
        QFETCH(int, group);
        const QImage image = grabbed(menu);
        const QRect r = groupRect(group);
        const QColor want = groupColour(group);
        // Most of the face, and its corners inside the edge, are the colour.
        const QRect face = r.adjusted(Edge, Edge, -Edge, -Edge);
        QCOMPARE(describe(mostCommon(image, face)), describe(want));
        const QRect corner(face.topLeft() + QPoint(2, 2), QSize(2, 2));
        QCOMPARE(notAllOf(image, corner.translated(0, face.height() - 6), want), QString());
        QCOMPARE(notAllOf(image, corner.translated(face.width() - 6, 0), want), QString());
    }

    void theColourBands_data()
    {
        QTest::addColumn<QRect>("band");
        QTest::addColumn<QColor>("colour");
        // Down the second column (and the 61/62 column), left of the captions.
        QTest::newRow("red, rows 1-2") << QRect(128, 24, 2, 46) << Red;
        QTest::newRow("white, rows 3-4") << QRect(128, 70, 2, 46) << White;
        QTest::newRow("blue, rows 5-6") << QRect(128, 116, 2, 92) << Blue;
        QTest::newRow("white, rows 7-8") << QRect(128, 208, 2, 46) << White;
        QTest::newRow("red, rows 9-10") << QRect(128, 254, 2, 46) << Red;
        QTest::newRow("magenta 61") << QRect(628, 24, 2, 138) << Magenta;
        QTest::newRow("magenta 62") << QRect(628, 162, 2, 138) << Magenta;
    }
    void theColourBands()
    {
        QFETCH(QRect, band);
        QFETCH(QColor, colour);
        // Every edge crossing a band's strip is a button's edge, drawn in the
        // edge's own greys; everything else in it is the band's colour.
        const QImage image = grabbed(menu);
        const QColor edges[] = {QColor(255, 255, 255), QColor(227, 227, 227), QColor(128, 128, 128), QColor(0, 0, 0)};
        const QRect device = devicePixels(image, band);
        int coloured = 0;
        for (int y = device.top(); y <= device.bottom(); ++y)
            for (int x = device.left(); x <= device.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c == colour) {
                    ++coloured;
                    continue;
                }
                bool edge = false;
                for (const QColor &e : edges)
                    edge = edge || c == e;
                QVERIFY2(edge, qPrintable(QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(describe(c))));
            }
        QVERIFY(coloured > device.width() * device.height() * 3 / 4);
    }

    // No pink between the tiles: every pixel of the block and the 61/62
    // column is a button's.
    void theTilesShareTheirEdges()
    {
        const QImage image = grabbed(menu);
        QCOMPARE(anyOf(image, QRect(QPoint(24, 24), QPoint(676, 299)), Pink), QString());
    }

    void neighboursMeetEdgeToEdge_data()
    {
        QTest::addColumn<QPoint>("last");  // the last pixel of one button
        QTest::addColumn<QPoint>("first"); // the first pixel of its neighbour
        // Each button ends in its dark shadow and the next begins in its highlight.
        QTest::newRow("1 | 11") << QPoint(123, 35) << QPoint(124, 35);
        QTest::newRow("45 | 55") << QPoint(523, 140) << QPoint(524, 140);
        QTest::newRow("51 | 61") << QPoint(623, 35) << QPoint(624, 35);
        QTest::newRow("60 | 62") << QPoint(623, 288) << QPoint(624, 288);
        QTest::newRow("1 / 2") << QPoint(70, 46) << QPoint(70, 47);
        QTest::newRow("4 / 5") << QPoint(70, 115) << QPoint(70, 116);
        QTest::newRow("5 / 6") << QPoint(70, 161) << QPoint(70, 162);
        QTest::newRow("6 / 7") << QPoint(70, 207) << QPoint(70, 208);
        QTest::newRow("61 / 62") << QPoint(650, 161) << QPoint(650, 162);
    }
    void neighboursMeetEdgeToEdge()
    {
        QFETCH(QPoint, last);
        QFETCH(QPoint, first);
        const QImage image = grabbed(menu);
        QCOMPARE(notAllOf(image, QRect(last, QSize(1, 1)), QColor(0, 0, 0)), QString());
        QCOMPARE(notAllOf(image, QRect(first, QSize(1, 1)), QColor(255, 255, 255)), QString());
    }

    void theFrameShowsAroundTheBlockAndTheBanner_data()
    {
        QTest::addColumn<QRect>("area");
        // Inside the frame's outline (two pixels along its edges).
        QTest::newRow("strip between block and banner") << QRect(QPoint(24, 300), QPoint(676, 303));
        QTest::newRow("above the block") << QRect(QPoint(2, 2), QPoint(697, 23));
        QTest::newRow("left of the block") << QRect(QPoint(2, 2), QPoint(23, 303));
        QTest::newRow("right of 61 and 62") << QRect(QPoint(677, 2), QPoint(697, 303));
        QTest::newRow("left of the banner") << QRect(QPoint(2, 304), QPoint(23, 414));
        QTest::newRow("right of the banner") << QRect(QPoint(677, 304), QPoint(697, 414));
        QTest::newRow("below the banner") << QRect(QPoint(2, 409), QPoint(697, 414));
    }
    void theFrameShowsAroundTheBlockAndTheBanner()
    {
        QFETCH(QRect, area);
        QCOMPARE(notAllOf(grabbed(menu), area, Pink), QString());
    }

    // The frame's single outline: an etched line, shadow outside highlight
    // at the top and left, highlight outside shadow at the bottom and right.
    void theFrameHasItsOutline()
    {
        const QImage image = grabbed(menu);
        const QColor shadow(128, 128, 128), hilight(255, 255, 255);
        QCOMPARE(notAllOf(image, QRect(QPoint(0, 0), QPoint(698, 0)), shadow), QString());
        QCOMPARE(notAllOf(image, QRect(QPoint(0, 0), QPoint(0, 415)), shadow), QString());
        QCOMPARE(notAllOf(image, QRect(QPoint(1, 1), QPoint(697, 1)), hilight), QString());
        QCOMPARE(notAllOf(image, QRect(QPoint(1, 1), QPoint(1, 414)), hilight), QString());
        QCOMPARE(notAllOf(image, QRect(QPoint(1, 415), QPoint(698, 415)), shadow), QString());
        QCOMPARE(notAllOf(image, QRect(QPoint(698, 1), QPoint(698, 415)), shadow), QString());
        QCOMPARE(notAllOf(image, QRect(QPoint(0, 416), QPoint(699, 416)), hilight), QString());
        QCOMPARE(notAllOf(image, QRect(QPoint(699, 0), QPoint(699, 416)), hilight), QString());
    }

    // The caption line is an empty light-orange box over the banner; the
    // rest of the banner is the picture, stretched.
    void theCaptionLineLiesOverTheBanner()
    {
        const QImage image = grabbed(menu);
        const QRect line = pixels(design::menu::CaptionLine);
        QCOMPARE(notAllOf(image, line, LightOrange), QString());
        QCOMPARE(ProgramFixture::labelText(), QString());

        QWidget *banner = ProgramFixture::control("Form2", QStringLiteral("Image1"));
        const qreal d = ratio(image);
        const QImage picture =
            QPixmap(QStringLiteral(":/artwork/MenuBanner.bmp"))
                .scaled((QSizeF(653, 105) * d).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        const QRect device = devicePixels(image, QRect(banner->mapTo(menu, QPoint()), banner->size()));
        const QRect under = devicePixels(image, line);
        int compared = 0;
        for (int y = device.top(); y <= device.bottom(); ++y)
            for (int x = device.left(); x <= device.right(); ++x) {
                if (under.contains(x, y))
                    continue;
                const QRgb want = picture.pixel(x - device.left(), y - device.top());
                QVERIFY2(image.pixel(x, y) == want, qPrintable(QStringLiteral("banner pixel (%1, %2)").arg(x).arg(y)));
                ++compared;
            }
        QVERIFY(compared > 0);
    }

    void theBackAndExitButtonsStandApart_data()
    {
        QTest::addColumn<QRect>("area");
        const design::Twips back = design::menu::BackButton;
        const design::Twips gap{back.right(), back.top, design::menu::BackExitGap, back.height};
        QTest::newRow("gap between 63 and 64") << pixels(gap);
        QTest::newRow("below them") << QRect(QPoint(0, 470), QPoint(699, 473));
        QTest::newRow("right of 64") << QRect(QPoint(699, 417), QPoint(699, 473));
    }
    void theBackAndExitButtonsStandApart()
    {
        QFETCH(QRect, area);
        QCOMPARE(notAllOf(grabbed(menu), area, Pink), QString());
    }

    void theBackAndExitButtonsShowTheirColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("back") << "Command63" << qcolor(design::menu::BackColour);
        QTest::newRow("exit") << "Command64" << qcolor(design::menu::ExitColour);
    }
    void theBackAndExitButtonsShowTheirColours()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        QWidget *b = ProgramFixture::control("Form2", name);
        const QImage image = grabbed(b);
        QCOMPARE(describe(mostCommon(image, b->rect().adjusted(Edge, Edge, -Edge, -Edge))), describe(colour));
        // Raised: highlight at the top left, dark shadow at the bottom right.
        QCOMPARE(notAllOf(image, QRect(0, 0, b->width() - 1, 1), White), QString());
        QCOMPARE(notAllOf(image, QRect(0, b->height() - 1, b->width(), 1), QColor(0, 0, 0)), QString());
    }

    // Every caption of groups 1 to 60 whole on one line, inside the face.
    void groupCaptionsFitOnOneLine_data()
    {
        QTest::addColumn<int>("group");
        for (int n = 1; n <= 60; ++n)
            QTest::addRow("group %d", n) << n;
    }
    void groupCaptionsFitOnOneLine()
    {
        QFETCH(int, group);
        GraphicButton *b = button(commandName(group));
        QVERIFY(b);
        QCOMPARE(b->captionLines(), QStringList{groupName(group)});
        const QRectF ink = captionInk(b);
        QCOMPARE(inside(ink, QRectF(b->rect()).adjusted(Edge, Edge, -Edge, -Edge)), QString());
        const QSizeF whole = inkOnOneLine(groupName(group), b->font(), b->devicePixelRatioF());
        QVERIFY2(std::abs(ink.width() - whole.width()) <= 1 && std::abs(ink.height() - whole.height()) <= 1,
                 qPrintable(QStringLiteral("drawn %1 x %2, one line is %3 x %4")
                                .arg(ink.width())
                                .arg(ink.height())
                                .arg(whole.width())
                                .arg(whole.height())));
        // Centred: as much room on the left as on the right.
        QVERIFY(std::abs((ink.left() - 0) - (b->width() - ink.right())) <= 2);
    }

    // Command61 and Command62 read down the button, one piece per line.
    void theTallButtonsReadOnePiecePerLine_data()
    {
        QTest::addColumn<int>("group");
        QTest::newRow("61") << 61;
        QTest::newRow("62") << 62;
    }
    void theTallButtonsReadOnePiecePerLine()
    {
        QFETCH(int, group);
        GraphicButton *b = button(commandName(group));
        QVERIFY(b);
        const QStringList pieces{thai("กลุ่ม"), thai("ชุด"), thai("ดิน"), thai("ที่"), QString::number(group)};
        QCOMPARE(b->captionLines(), pieces);

        const QImage with = grabbed(b);
        const QColor text = b->textColour();
        b->setFace(b->background(), b->background(), b->picture());
        const QImage without = grabbed(b);
        b->setFace(b->background(), text, b->picture());
        const QRectF ink = inkBox(with, without, text);
        QCOMPARE(inside(ink, QRectF(b->rect()).adjusted(Edge, Edge, -Edge, -Edge)), QString());
        // No line holds two pieces: the ink is no wider than the widest piece.
        qreal widest = 0;
        for (const QString &piece : pieces)
            widest = std::max(widest, inkOnOneLine(piece, b->font(), b->devicePixelRatioF()).width());
        QVERIFY2(ink.width() <= widest + 1,
                 qPrintable(QStringLiteral("ink %1 wide, widest piece %2").arg(ink.width()).arg(widest)));
        // Five lines of ink, one under the other.
        QCOMPARE(inkBands(with, without, text, 3 * int(ratio(with))), 5);
    }

    // The back and exit buttons: face picture above the caption, both inside.
    void theWideButtonsShowPictureAndCaption_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("picture");
        QTest::newRow("back") << "Command63"
                              << "BackArrowPicture";
        QTest::newRow("exit") << "Command64"
                              << "RedLightPicture";
    }
    void theWideButtonsShowPictureAndCaption()
    {
        QFETCH(QString, name);
        QFETCH(QString, picture);
        GraphicButton *b = button(name);
        QVERIFY(b);
        const QString caption = b->text();
        QCOMPARE(b->captionLines(), QStringList{caption});
        const QRectF ink = captionInk(b);
        const QRectF face = QRectF(b->rect()).adjusted(Edge, Edge, -Edge, -Edge);
        QCOMPARE(inside(ink, face), QString());
        const QSizeF whole = inkOnOneLine(caption, b->font(), b->devicePixelRatioF());
        QVERIFY(std::abs(ink.width() - whole.width()) <= 1 && std::abs(ink.height() - whole.height()) <= 1);

        // The picture, pixel for pixel: its drawing where it is opaque, the
        // face colour where it is transparent.
        const QRect at = b->pictureRect();
        QCOMPARE(at.size(), QSize(32, 32));
        QCOMPARE(inside(QRectF(at), face), QString());
        QVERIFY(at.bottom() < ink.top());
        QVERIFY(std::abs((at.left() + at.right() + 1) - b->width()) <= 1); // centred
        const QImage icon = iconImage(picture.toLatin1().constData());
        QVERIFY(!icon.isNull());
        const QImage image = grabbed(b);
        int transparent = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb p = icon.pixel(x, y);
                const QColor want = qAlpha(p) == 0 ? b->background() : QColor::fromRgb(p);
                transparent += qAlpha(p) == 0;
                QCOMPARE(describe(colourAt(image, at.left() + x, at.top() + y)), describe(want));
            }
        QVERIFY(transparent > 0);
    }

    // The caption line holds every group's name whole, on one line.
    void theCaptionLineHoldsEveryName_data()
    {
        QTest::addColumn<int>("group");
        for (int n = 1; n <= 62; ++n)
            QTest::addRow("group %d", n) << n;
    }
    void theCaptionLineHoldsEveryName()
    {
        QFETCH(int, group);
        QWidget *label = ProgramFixture::control("Form2", QStringLiteral("Label1"));
        QVERIFY(label);
        const QImage without = grabbed(label);
        f->program->form2().setCaption("Label1", groupName(group).toStdString());
        const QImage with = grabbed(label);
        const QRectF ink = inkBox(with, without, buttonText());
        QCOMPARE(inside(ink, QRectF(label->rect()).adjusted(0, 1, 0, -1)), QString());
        const QSizeF whole = inkOnOneLine(groupName(group), label->font(), label->devicePixelRatioF());
        QVERIFY2(std::abs(ink.width() - whole.width()) <= 1 && std::abs(ink.height() - whole.height()) <= 1,
                 qPrintable(QStringLiteral("drawn %1 x %2, one line is %3 x %4")
                                .arg(ink.width())
                                .arg(ink.height())
                                .arg(whole.width())
                                .arg(whole.height())));
        QVERIFY(std::abs(ink.left() - (label->width() - ink.right())) <= 2); // centred
        // The box stays light orange around the text, and keeps its place.
        QCOMPARE(describe(mostCommon(with, label->rect())), describe(qcolor(design::menu::CaptionLineColour)));
        QCOMPARE(label->geometry(), pixels(design::menu::CaptionLine));
    }

    void theFontsAreTheNamedOnesOrTheirStandIn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("named");
        QTest::addColumn<int>("namedPixels"); // the named size at 96 dpi
        for (int n = 1; n <= 64; ++n) {
            const int px = (n == 6 || n == 7) ? 23 : (n == 61 || n == 62) ? 27 : 21;
            QTest::newRow(qPrintable(commandName(n))) << commandName(n) << "KodchiangUPC" << px;
        }
        QTest::newRow("Label1") << "Label1"
                                << "AngsanaUPC" << 16;
    }
    void theFontsAreTheNamedOnesOrTheirStandIn()
    {
        QFETCH(QString, name);
        QFETCH(QString, named);
        QFETCH(int, namedPixels);
        QWidget *w = ProgramFixture::control("Form2", name);
        QVERIFY(w);
        QString family = named;
        int px = namedPixels;
        if (!QFontDatabase::hasFamily(named)) {
            const vd::qt::StandIn s = vd::qt::standInFor(named);
            QVERIFY(!s.family.isEmpty());
            family = s.family;
            px = int(std::lround(namedPixels * s.scale));
        }
        const QFontInfo info(w->font());
        QCOMPARE(info.family(), family); // drawn in it, not in a fallback
        QCOMPARE(info.pixelSize(), px);
        QVERIFY(info.weight() >= QFont::Bold);
        QVERIFY(!info.italic());
    }

    // Thai shaping: the marks stack on their consonants (no advance of their
    // own, drawn above or below), and no cluster shows a dotted circle.
    void theThaiTextIsShaped_data()
    {
        QTest::addColumn<QString>("name");
        for (int n = 1; n <= 64; ++n)
            QTest::newRow(qPrintable(commandName(n))) << commandName(n);
        QTest::newRow("Label1") << "Label1";
    }
    void theThaiTextIsShaped()
    {
        QFETCH(QString, name);
        QWidget *w = ProgramFixture::control("Form2", name);
        QVERIFY(w);
        const QFont font = w->font();
        const QString text = name == QLatin1String("Label1")
                                 ? groupName(62)
                                 : QString::fromStdString(f->program->form2().caption(name.toStdString()));
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun &run : layout.glyphRuns()) {
            const QList<quint32> circle = run.rawFont().glyphIndexesForString(QString(QChar(0x25CC)));
            for (quint32 g : run.glyphIndexes()) {
                ++glyphs;
                QVERIFY2(circle.isEmpty() || circle.front() == 0 || g != circle.front(), "a dotted circle");
            }
        }
        QVERIFY(glyphs > 0);
        const QFontMetricsF m(font);
        QCOMPARE(m.horizontalAdvance(thai("ที่")), m.horizontalAdvance(thai("ท")));
        QCOMPARE(m.horizontalAdvance(thai("ลุ่")), m.horizontalAdvance(thai("ล")));
        const QSizeF stacked = inkOnOneLine(thai("ที่"), font, 1), bare = inkOnOneLine(thai("ท"), font, 1);
        QVERIFY(stacked.height() > bare.height());
        QVERIFY(stacked.width() <= bare.width() + 1);
    }

    void captionsReadBackExactly_data()
    {
        QTest::addColumn<int>("n");
        for (int n = 1; n <= 64; ++n)
            QTest::newRow(qPrintable(commandName(n))) << n;
    }
    void captionsReadBackExactly()
    {
        QFETCH(int, n);
        const std::string read = f->program->form2().caption(commandName(n).toStdString());
        QCOMPARE(QString::fromStdString(read), expectedCaption(n));
    }

    void tooltipsAndAccessibleNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("accessible");
        // Groups 61 and 62 are named by their words, not by their spread-out
        // captions, whose runs of blanks a braille display would show.
        for (int n = 1; n <= 62; ++n)
            QTest::newRow(qPrintable(commandName(n)))
                << commandName(n) << QString() << (n <= 60 ? expectedCaption(n) : groupName(n));
        QTest::newRow("Command63") << "Command63" << thai("กลับหน้าหลัก") << thai("กลับหน้าหลัก");
        QTest::newRow("Command64") << "Command64" << thai("ออกจากโปรแกรม") << thai("ออกจากโปรแกรม");
    }
    void tooltipsAndAccessibleNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, tooltip);
        QFETCH(QString, accessible);
        QWidget *w = ProgramFixture::control("Form2", name);
        QVERIFY(w);
        QCOMPARE(w->toolTip(), tooltip);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::PushButton);
        QCOMPARE(a->text(QAccessible::Name), accessible);
    }

    void pointerImages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("image"); // empty: the default pointer
        for (int n = 1; n <= 62; ++n)
            QTest::newRow(qPrintable(commandName(n))) << commandName(n) << "HandPointer";
        QTest::newRow("Command63") << "Command63"
                                   << "BackPointer";
        QTest::newRow("Command64") << "Command64"
                                   << "StopPointer";
        QTest::newRow("Frame1") << "Frame1" << QString();
        QTest::newRow("Label1") << "Label1" << QString();
        QTest::newRow("Image1") << "Image1" << QString();
    }
    void pointerImages()
    {
        QFETCH(QString, name);
        QFETCH(QString, image);
        QWidget *w = ProgramFixture::control("Form2", name);
        QVERIFY(w);
        if (image.isEmpty()) {
            for (QWidget *p = w; p; p = p->parentWidget())
                QVERIFY2(!p->testAttribute(Qt::WA_SetCursor), qPrintable(p->objectName()));
            return;
        }
        QVERIFY(w->testAttribute(Qt::WA_SetCursor));
        const QCursor c = w->cursor();
        QCOMPARE(c.shape(), Qt::BitmapCursor);
        // Drawn at the screen's pixel density, the size of the system's own
        // pointer; the hot spot in the window's pixels.
        QCOMPARE(c.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                 pointerImage(image.toLatin1().constData(), w->devicePixelRatioF()));
        QCOMPARE(c.pixmap().devicePixelRatio(), w->devicePixelRatioF());
        const vd::artwork::Entry *e = vd::artwork::find(image.toStdString());
        QCOMPARE(c.hotSpot(), QPoint(e->hotSpot.x, e->hotSpot.y));
    }

    // Tab walks Command1 to Command64 in order and round again; Shift+Tab
    // walks back.
    void theFocusOrder()
    {
        const int first = design::menu::FocusFirst, last = design::menu::FocusLast;
        QCOMPARE(QApplication::focusWidget()->objectName(), commandName(first));
        for (int n = first + 1; n <= last; ++n) {
            press(menu, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), commandName(n));
        }
        press(menu, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), commandName(first));
        press(menu, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), commandName(last));
        for (int n = last - 1; n >= first; --n) {
            press(menu, Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), commandName(n));
        }
        QVERIFY(f->reports.empty());
    }

    void keysPressTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void keysPressTheFocusedButton()
    {
        QFETCH(int, key);
        for (int n = 2; n <= 5; ++n)
            press(menu, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command5"));
        press(menu, Qt::Key(key));
        const auto opened = [&](const std::string &call) {
            return call.find(" Open ") != std::string::npos && call.find("\\vd5.doc\"") != std::string::npos;
        };
        QVERIFY(std::any_of(f->word.calls.begin(), f->word.calls.end(), opened));
        // On to the exit button, and the program ends.
        while (QApplication::focusWidget()->objectName() != QLatin1String("Command64"))
            press(menu, Qt::Key_Tab);
        press(menu, Qt::Key(key));
        QVERIFY(f->toolkit.ended());
        QVERIFY(f->reports.empty());
    }

    // The focused button shows a dotted rectangle: every other pixel of a
    // ring one pixel inside the edge, inverted.
    void theFocusRectangleIsDotted()
    {
        GraphicButton *b = button(QStringLiteral("Command1"));
        QVERIFY(b->hasFocus());
        const QImage focused = grabbed(b);
        press(menu, Qt::Key_Tab);
        QVERIFY(!b->hasFocus());
        const QImage plain = grabbed(b);
        const QRect ring = b->rect().adjusted(Edge + 1, Edge + 1, -(Edge + 1), -(Edge + 1));
        const QColor face = b->background();
        const QColor inverted(255 - face.red(), 255 - face.green(), 255 - face.blue());
        int dots = 0;
        for (int x = ring.left(); x <= ring.right(); ++x)
            for (int y : {ring.top(), ring.bottom()}) {
                if (colourAt(plain, x, y) != face)
                    continue; // the caption's ink
                const bool dot = ((x + y) & 1) == 0;
                QCOMPARE(describe(colourAt(focused, x, y)), describe(dot ? inverted : face));
                dots += dot;
            }
        QVERIFY(dots > 50);
        // Nothing inside the ring differs.
        QCOMPARE(focused.copy(devicePixels(focused, ring.adjusted(1, 1, -1, -1))),
                 plain.copy(devicePixels(plain, ring.adjusted(1, 1, -1, -1))));
    }

    // Pressed, a button's edge is sunken and its caption moves a pixel down
    // and to the right; let go outside it, nothing happens.
    void aPressedButtonIsSunken()
    {
        GraphicButton *b = button(QStringLiteral("Command25"));
        QVERIFY(b);
        const QRectF up = captionInk(b);
        QTest::mousePress(b, Qt::LeftButton, {}, b->rect().center());
        QVERIFY(b->isDown());
        const QImage image = grabbed(b);
        QCOMPARE(notAllOf(image, QRect(0, 0, b->width() - 1, 1), QColor(0, 0, 0)), QString());
        QCOMPARE(notAllOf(image, QRect(0, 0, 1, b->height() - 1), QColor(0, 0, 0)), QString());
        QCOMPARE(notAllOf(image, QRect(0, b->height() - 1, b->width(), 1), White), QString());
        QCOMPARE(notAllOf(image, QRect(b->width() - 1, 0, 1, b->height()), White), QString());
        const QRectF down = captionInk(b);
        QCOMPARE(down.topLeft(), up.topLeft() + QPointF(1, 1));
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(-10, -10));
        QVERIFY(!b->isDown());
        QVERIFY(f->word.calls.empty());
        QCOMPARE(notAllOf(grabbed(b), QRect(0, 0, b->width() - 1, 1), White), QString());
    }
};

QTEST_MAIN(TestMenuLook)
#include "tst_menu_look.moc"
