// Thai text with whatever Thai face the system has, or none (run with a
// reduced fontconfig, see CMakeLists.txt): the layouts' fonts are drawn in
// the face the program carries (a notice, not a failure to add it), and the failure report's
// Thai, in the toolkit's default font, falls back to a face with Thai
// letters rather than to boxes.
#include "toolkit/qt/fonts.h"

#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QRegularExpression>
#include <QTest>
#include <QTextLayout>

class TestThaiFaces : public QObject {
    Q_OBJECT

    // Every glyph of the text drawn in `font`, each from a face that has it.
    static QString missingGlyphs(const QString &text, const QFont &font)
    {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QString missing;
        int glyphs = 0;
        for (const QGlyphRun &run : layout.glyphRuns())
            for (quint32 g : run.glyphIndexes()) {
                ++glyphs;
                if (g == 0)
                    missing += run.rawFont().familyName() + u' ';
            }
        return glyphs == 0 ? QStringLiteral("no glyphs") : missing;
    }

private slots:
    void theLayoutFontsAreDrawnInTheCarriedFace_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("pixels");
        QTest::newRow("group button") << "KodchiangUPC" << 15.75 << 13;
        QTest::newRow("tall button") << "KodchiangUPC" << 20.25 << 17;
        QTest::newRow("caption line") << "AngsanaUPC" << 12.0 << 10;
    }
    void theLayoutFontsAreDrawnInTheCarriedFace()
    {
        QFETCH(QString, named);
        QFETCH(double, points);
        QFETCH(int, pixels);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("could not be added")));
        QHash<QString, bool> known;
        const QFont font = vd::qt::fontFor({named.toStdString(), points}, &known);
        const QFontInfo drawn(font);
        QCOMPARE(drawn.family(), QStringLiteral("Loma"));
        QCOMPARE(drawn.pixelSize(), pixels);
        QCOMPARE(missingGlyphs(QString::fromUtf8("กลุ่มชุดดินที่ 60"), font), QString());
    }

    void theReportsThaiIsDrawn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << QString::fromUtf8("คำอธิบายกลุ่มชุดดิน");
        QTest::newRow("number") << QString::fromUtf8("หมายเลข 5174");
        QTest::newRow("button") << QString::fromUtf8("ตกลง");
    }
    void theReportsThaiIsDrawn()
    {
        QFETCH(QString, text);
        QVERIFY(vd::qt::carryThaiFace());
        QCOMPARE(missingGlyphs(text, QApplication::font()), QString());
    }
};

QTEST_MAIN(TestThaiFaces)
#include "tst_thai_faces.moc"
