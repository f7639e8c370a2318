// The artwork as the windows show it: pointer images, face pictures, the
// stretched pictures and the window icons.
#include "look/look.h"

#include "artwork/catalogue.h"
#include "design.h"

using vd::testing::iconImage;
using vd::testing::pictureImage;
using vd::testing::ProgramFixture;
using vd::testing::qcolor;
namespace design = vd::design;

namespace {

void enterMenu()
{
    QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
}

// Where the icon's opaque pixels lie, exactly, inside the grabbed button.
QPoint findIcon(const QImage &button, const QImage &icon)
{
    for (int oy = 0; oy + 32 <= button.height(); ++oy)
        for (int ox = 0; ox + 32 <= button.width(); ++ox) {
            bool all = true;
            for (int y = 0; y < 32 && all; ++y)
                for (int x = 0; x < 32 && all; ++x)
                    if (qAlpha(icon.pixel(x, y)) == 255)
                        all = (button.pixel(ox + x, oy + y) | 0xff000000) == (icon.pixel(x, y) | 0xff000000);
            if (all)
                return {ox, oy};
        }
    return {-1, -1};
}

} // namespace

class TestSlots : public QObject {
    Q_OBJECT

private slots:
    void pointerImages_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("image"); // empty: the default pointer
        QTest::newRow("intro exit") << false << "Command1"
                                    << "StopPointer";
        QTest::newRow("intro enter") << false << "Command2"
                                     << "ForwardPointer";
        QTest::newRow("intro picture") << false << "Image1"
                                       << "";
        for (int n = 1; n <= 62; ++n)
            QTest::addRow("group %d", n) << true << QStringLiteral("Command%1").arg(n) << "HandPointer";
        QTest::newRow("menu back") << true << "Command63"
                                   << "BackPointer";
        QTest::newRow("menu exit") << true << "Command64"
                                   << "StopPointer";
        QTest::newRow("frame") << true << "Frame1"
                               << "";
        QTest::newRow("caption line") << true << "Label1"
                                      << "";
        QTest::newRow("banner") << true << "Image1"
                                << "";
    }
    void pointerImages()
    {
        QFETCH(bool, menu);
        QFETCH(QString, control);
        QFETCH(QString, image);
        ProgramFixture f;
        if (menu)
            enterMenu();
        QWidget *w = ProgramFixture::control(menu ? "Form2" : "Form1", control);
        QVERIFY(w);
        if (image.isEmpty()) {
            QVERIFY(!w->testAttribute(Qt::WA_SetCursor));
            QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
            QVERIFY(!w->window()->testAttribute(Qt::WA_SetCursor)); // nor the bare window
            return;
        }
        const QCursor cursor = w->cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                 vd::testing::pointerImage(image.toStdString(), w->devicePixelRatioF()));
        const vd::artwork::Entry *entry = vd::artwork::find(image.toStdString());
        QVERIFY(entry);
        QCOMPARE(cursor.hotSpot(), QPoint(entry->hotSpot.x, entry->hotSpot.y));
        // The hot spot is a pixel of the drawing, not of the transparent background.
        QCOMPARE(qAlpha(iconImage(image.toStdString()).pixel(cursor.hotSpot())), 255);
    }

    // Transparent pixels of a face picture show the face colour; the
    // drawing's own pixels, black among them, show as they are.
    void facePictures_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QColor>("face");
        QTest::newRow("intro exit") << false << "Command1"
                                    << "RedLightPicture" << qcolor(design::intro::ExitColour);
        QTest::newRow("intro enter") << false << "Command2"
                                     << "GreenLightPicture" << qcolor(design::intro::EnterColour);
        QTest::newRow("menu back") << true << "Command63"
                                   << "BackArrowPicture" << qcolor(design::menu::BackColour);
        QTest::newRow("menu exit") << true << "Command64"
                                   << "RedLightPicture" << qcolor(design::menu::ExitColour);
    }
    void facePictures()
    {
        QFETCH(bool, menu);
        QFETCH(QString, control);
        QFETCH(QString, image);
        QFETCH(QColor, face);
        ProgramFixture f;
        if (menu)
            enterMenu();
        QWidget *w = ProgramFixture::control(menu ? "Form2" : "Form1", control);
        QVERIFY(w);
        const QImage shown = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage icon = iconImage(image.toStdString());
        QVERIFY(!icon.isNull());
        const QPoint at = findIcon(shown, icon);
        QVERIFY2(at.x() >= 0, "the face picture is not drawn whole anywhere on the button");
        // Centred across the button.
        QVERIFY(qAbs(at.x() + 16 - shown.width() / 2) <= 1);
        int transparent = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (qAlpha(icon.pixel(x, y)) == 0) {
                    ++transparent;
                    QCOMPARE(QColor(shown.pixel(at.x() + x, at.y() + y)), face);
                }
        QVERIFY(transparent > 0);
        // Black shows only where the drawing is black: the face around the
        // picture (inside the button's edge, away from any caption) is the face colour.
        for (int y = 3; y < at.y() - 1; ++y)
            for (int x = 3; x < shown.width() - 3; ++x)
                QCOMPARE(QColor(shown.pixel(x, y)), face);
    }

    void largePictureFillsItsControl_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QSize>("size");
        QTest::newRow("intro picture") << false << "IntroPicture" << QSize(545, 353);
        QTest::newRow("banner") << true << "MenuBanner" << QSize(653, 105);
    }
    void largePictureFillsItsControl()
    {
        QFETCH(bool, menu);
        QFETCH(QString, image);
        QFETCH(QSize, size);
        ProgramFixture f;
        if (menu)
            enterMenu();
        QWidget *w = ProgramFixture::control(menu ? "Form2" : "Form1", QStringLiteral("Image1"));
        QVERIFY(w);
        QCOMPARE(w->size(), size);
        const QImage shown = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage source = pictureImage(image.toStdString());
        QVERIFY(source.size() != size); // so the picture must be scaled, in both directions
        const QImage cropped = source.copy(0, 0, size.width(), size.height());
        long croppedDiff = 0, scaledDiff = 0;
        const QImage expected = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb d = shown.pixel(x, y);
                auto delta = [d](QRgb s) {
                    return qAbs(qRed(s) - qRed(d)) + qAbs(qGreen(s) - qGreen(d)) + qAbs(qBlue(s) - qBlue(d));
                };
                scaledDiff += delta(expected.pixel(x, y));
                croppedDiff += delta(cropped.pixel(x, y));
            }
        // Shown as the whole picture scaled to the whole control, not cropped
        // to it, and with no margin: the rows and columns at the edges too.
        QVERIFY2(scaledDiff * 4 < croppedDiff, qPrintable(QStringLiteral("%1 vs %2").arg(scaledDiff).arg(croppedDiff)));
        const long pixels = long(size.width()) * size.height();
        QVERIFY2(scaledDiff / pixels < 6, qPrintable(QString::number(double(scaledDiff) / pixels)));
        for (int i = 0; i < size.width(); ++i)
            for (int y : {0, size.height() - 1}) {
                const QRgb s = expected.pixel(i, y), d = shown.pixel(i, y);
                QVERIFY(qAbs(qRed(s) - qRed(d)) + qAbs(qGreen(s) - qGreen(d)) + qAbs(qBlue(s) - qBlue(d)) < 48);
            }
        for (int i = 0; i < size.height(); ++i)
            for (int x : {0, size.width() - 1}) {
                const QRgb s = expected.pixel(x, i), d = shown.pixel(x, i);
                QVERIFY(qAbs(qRed(s) - qRed(d)) + qAbs(qGreen(s) - qGreen(d)) + qAbs(qBlue(s) - qBlue(d)) < 48);
            }
    }

    void windowIcons()
    {
        ProgramFixture f;
        QWidget *intro = ProgramFixture::window("Form1");
        QVERIFY(intro);
        const QIcon icon = intro->windowIcon();
        QCOMPARE(icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32), iconImage("IslandIcon"));
        QCOMPARE(icon.availableSizes().size(), qsizetype(2));
        enterMenu();
        QWidget *menu = ProgramFixture::window("Form2");
        QVERIFY(menu);
        // Explicitly none: no fall-back to the program's icon either.
        QVERIFY(menu->windowIcon().isNull());
        QVERIFY(QApplication::windowIcon().isNull());
    }
};

QTEST_MAIN(TestSlots)
#include "tst_slots.moc"
