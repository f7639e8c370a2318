// Which font draws a layout font: the named family where the system has it,
// else its Thai stand-in at a fixed fraction of the named size.
#include "toolkit/qt/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

#include <cmath>

using vd::qt::chooseFont;
using vd::qt::fontFor;
using vd::qt::namedPixelSize;
using vd::qt::standInFor;

class TestFonts : public QObject {
    Q_OBJECT

private slots:
    // Layout sizes are points at 96 dpi.
    void pointsArePixelsAt96Dpi_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("pixels");
        QTest::newRow("15.75") << 15.75 << 21;
        QTest::newRow("17.25") << 17.25 << 23;
        QTest::newRow("20.25") << 20.25 << 27;
        QTest::newRow("12") << 12.0 << 16;
        QTest::newRow("9") << 9.0 << 12;
    }
    void pointsArePixelsAt96Dpi()
    {
        QFETCH(double, points);
        QFETCH(int, pixels);
        QCOMPARE(namedPixelSize(points), pixels);
        QCOMPARE(QFontInfo(fontFor({"", points})).pixelSize(), pixels);
    }

    // The UPC faces, missing here, are drawn in their stand-in, scaled.
    void theMissingUpcFacesHaveAStandIn_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<double>("points");
        for (const char *named : {"KodchiangUPC", "AngsanaUPC", "kodchiangupc", "ANGSANAUPC"})
            for (double points : {12.0, 15.75, 17.25, 20.25})
                QTest::addRow("%s %g", named, points) << QString::fromLatin1(named) << points;
    }
    void theMissingUpcFacesHaveAStandIn()
    {
        QFETCH(QString, named);
        QFETCH(double, points);
        if (QFontDatabase::hasFamily(named))
            QSKIP("this system has the named face itself");
        const vd::qt::StandIn s = standInFor(named);
        QVERIFY(!s.family.isEmpty());
        QVERIFY(s.scale > 0.5 && s.scale < 0.8); // the UPC faces draw small for their size
        QVERIFY(QFontDatabase::hasFamily(s.family));
        QVERIFY(QFontDatabase::writingSystems(s.family).contains(QFontDatabase::Thai));

        const vd::qt::FontChoice c = chooseFont({named.toStdString(), points});
        QVERIFY(c.standIn);
        QCOMPARE(c.family, s.family);
        QCOMPARE(c.pixelSize, int(std::lround(namedPixelSize(points) * s.scale)));

        const QFontInfo drawn(fontFor({named.toStdString(), points}));
        QCOMPARE(drawn.family(), s.family);
        QCOMPARE(drawn.pixelSize(), c.pixelSize);
        QCOMPARE(drawn.weight(), int(QFont::Bold));
    }

    // A family the system has is drawn as named, at its own size.
    void anInstalledFamilyIsUsedAsNamed_data()
    {
        QTest::addColumn<QString>("family");
        for (const char *family : {"Kinnari", "Loma", "Garuda"})
            QTest::newRow(family) << QString::fromLatin1(family);
    }
    void anInstalledFamilyIsUsedAsNamed()
    {
        QFETCH(QString, family);
        if (!QFontDatabase::hasFamily(family))
            QSKIP("not installed here");
        const vd::qt::FontChoice c = chooseFont({family.toStdString(), 15.75});
        QVERIFY(!c.standIn);
        QCOMPARE(c.family, family);
        QCOMPARE(c.pixelSize, 21);
        QCOMPARE(QFontInfo(fontFor({family.toStdString(), 15.75})).family(), family);
    }

    void aNameWithoutStandInIsLeftToTheSystem()
    {
        const vd::qt::FontChoice c = chooseFont({"No Such Face 7f3a", 15.75});
        QVERIFY(!c.standIn);
        QCOMPARE(c.family, QStringLiteral("No Such Face 7f3a"));
        QCOMPARE(c.pixelSize, 21);
        QVERIFY(standInFor(QStringLiteral("No Such Face 7f3a")).family.isEmpty());
    }

    void theWeightIsTheLayouts_data()
    {
        QTest::addColumn<int>("weight");
        QTest::newRow("bold") << 700;
        QTest::newRow("normal") << 400;
    }
    void theWeightIsTheLayouts()
    {
        QFETCH(int, weight);
        const QFont f = fontFor({"KodchiangUPC", 15.75, weight});
        QCOMPARE(int(f.weight()), weight);
        QVERIFY(!f.italic());
        QVERIFY(!f.underline());
    }
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
