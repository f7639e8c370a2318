// The artwork: the catalogue, the embedded files and what each file holds.
// The files are read with this test's own parsers (imagefiles.cpp) and, where
// the program itself relies on it, with Qt's image readers.
#include "artwork/catalogue.h"
#include "imagefiles.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QSet>
#include <QTextStream>
#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace artwork_test;
using vd::artwork::Kind;

Q_DECLARE_METATYPE(Kind)

namespace {

const QString SourceRoot = QStringLiteral(VELODANE_SOURCE_ROOT);

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString resourcePath(const QString &file)
{
    return QStringLiteral(":/artwork/") + file;
}

QByteArray resource(const char *name)
{
    const auto *e = vd::artwork::find(name);
    return e ? readAll(resourcePath(QString::fromUtf8(e->file.data(), qsizetype(e->file.size())))) : QByteArray();
}

QString fileOf(const vd::artwork::Entry &e)
{
    return QString::fromUtf8(e.file.data(), qsizetype(e.file.size()));
}

// The ten images as the program is built around them.
struct Expected {
    const char *name;
    Kind kind;
    const char *file;
    int width, height;
};
const Expected ExpectedFiles[] = {
    {"IslandIcon", Kind::Icon, "IslandIcon.ico", 32, 32},
    {"ForwardPointer", Kind::Icon, "ForwardPointer.ico", 32, 32},
    {"GreenLightPicture", Kind::Icon, "GreenLightPicture.ico", 32, 32},
    {"StopPointer", Kind::Icon, "StopPointer.ico", 32, 32},
    {"RedLightPicture", Kind::Icon, "RedLightPicture.ico", 32, 32},
    {"BackPointer", Kind::Icon, "BackPointer.ico", 32, 32},
    {"BackArrowPicture", Kind::Icon, "BackArrowPicture.ico", 32, 32},
    {"HandPointer", Kind::Icon, "HandPointer.ico", 32, 32},
    {"IntroPicture", Kind::Photograph, "IntroPicture.jpg", 582, 416},
    {"MenuBanner", Kind::Banner, "MenuBanner.bmp", 660, 149},
};

const char *const Icons[] = {"IslandIcon",      "ForwardPointer", "GreenLightPicture", "StopPointer",
                             "RedLightPicture", "BackPointer",    "BackArrowPicture",  "HandPointer"};

const IcoImage *imageOfSize(const IcoFile &ico, int size)
{
    for (const IcoImage &img : ico.images)
        if (img.width == size)
            return &img;
    return nullptr;
}

int countTransparent(const IcoImage &img)
{
    return int(std::count(img.masked.begin(), img.masked.end(), true));
}

QSet<QRgb> opaqueColours(const IcoImage &img)
{
    QSet<QRgb> set;
    for (int y = 0; y < img.size(); ++y)
        for (int x = 0; x < img.size(); ++x)
            if (!img.transparent(x, y))
                set.insert(img.colour(x, y));
    return set;
}

// The intro window's picture control and buttons, in twips; the picture is
// stretched over the control.
constexpr int ControlWidthTwips = 8175;
constexpr int ControlHeightTwips = 5295;

// Picture pixels wholly under a button: [left, right) x [top, bottom).
struct PixelSpan {
    int left, top, right, bottom;
};
PixelSpan underButton(int leftTw, int topTw, int widthTw, int heightTw, int picW, int picH)
{
    const double sx = double(picW) / ControlWidthTwips;
    const double sy = double(picH) / ControlHeightTwips;
    return PixelSpan{int(std::ceil(leftTw * sx - 1e-9)), int(std::ceil(topTw * sy - 1e-9)),
                     int(std::floor((leftTw + widthTw) * sx + 1e-9)), int(std::floor((topTw + heightTw) * sy + 1e-9))};
}

double luma(QRgb c)
{
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

double rowLuma(const QImage &img, int y, int x0, int x1)
{
    double sum = 0;
    for (int x = x0; x < x1; ++x)
        sum += luma(img.pixel(x, y));
    return sum / (x1 - x0);
}

double columnLuma(const QImage &img, int x, int y0, int y1)
{
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        sum += luma(img.pixel(x, y));
    return sum / (y1 - y0);
}

int colourDistance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// A pixel-grid source file, read the simple way: legend lines, then "size N"
// and N rows.
struct Grid {
    QString error;
    QMap<int, QStringList> rows; // size -> rows
    QMap<QChar, QRgb> colours;
    QChar transparent;
};
Grid readGrid(const QString &path)
{
    Grid g;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        g.error = QStringLiteral("cannot open ") + path;
        return g;
    }
    QTextStream in(&f);
    int pending = 0;
    int size = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (pending > 0) {
            g.rows[size].append(line);
            --pending;
            continue;
        }
        const QStringList w = line.split(u' ', Qt::SkipEmptyParts);
        if (w.isEmpty() || w[0].startsWith(u'#'))
            continue;
        if (w[0] == u"colour" && w.size() >= 3)
            g.colours.insert(w[1][0], 0xFF000000u | w[2].toUInt(nullptr, 16));
        else if (w[0] == u"transparent" && w.size() == 2)
            g.transparent = w[1][0];
        else if (w[0] == u"size" && w.size() == 2)
            pending = size = w[1].toInt();
    }
    return g;
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT

private slots:
    // --- The catalogue ---------------------------------------------------------
    void catalogueEntry_data();
    void catalogueEntry();
    void catalogueHoldsOnlyTheTen();
    void catalogueRejects_data();
    void catalogueRejects();

    // --- Embedding and decoding -------------------------------------------------
    void embeddedFileMatchesCommitted_data();
    void embeddedFileMatchesCommitted();
    void resourceFolderHoldsOnlyTheTen();
    void qtReadsImage_data();
    void qtReadsImage();

    // --- Icons --------------------------------------------------------------------
    void iconStructure_data();
    void iconStructure();
    void iconMatchesPixelGrid_data();
    void iconMatchesPixelGrid();
    void iconTransparency_data();
    void iconTransparency();
    void iconColours_data();
    void iconColours();
    void iconRowBands_data();
    void iconRowBands();
    void tipAtEdge_data();
    void tipAtEdge();
    void stopSignShape_data();
    void stopSignShape();
    void trafficLightsShareHousing_data();
    void trafficLightsShareHousing();
    void pointerHotSpotOnDrawing_data();
    void pointerHotSpotOnDrawing();

    // --- The two pictures ---------------------------------------------------------
    void introPictureIsBaselineJpeg();
    void introPanelsUnderButtons_data();
    void introPanelsUnderButtons();
    void menuBannerIsPlainBitmap();
    void menuBannerLook_data();
    void menuBannerLook();
    void menuBannerTitleGradient();

    // --- The program's own icon ---------------------------------------------------
    void packagedIconIsIslandIcon_data();
    void packagedIconIsIslandIcon();
};

// --- The catalogue ---------------------------------------------------------------

void TestArtwork::catalogueEntry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (const Expected &e : ExpectedFiles)
        QTest::newRow(e.name) << QString::fromLatin1(e.name) << e.kind << QString::fromLatin1(e.file) << e.width
                              << e.height;
}

void TestArtwork::catalogueEntry()
{
    QFETCH(QString, name);
    QFETCH(Kind, kind);
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);
    const QByteArray utf8 = name.toUtf8();
    const vd::artwork::Entry *e = vd::artwork::find(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    QVERIFY(e);
    QCOMPARE(QString::fromUtf8(e->name.data(), qsizetype(e->name.size())), name);
    QCOMPARE(e->kind, kind);
    QCOMPARE(fileOf(*e), file);
    QCOMPARE(e->width, width);
    QCOMPARE(e->height, height);
}

void TestArtwork::catalogueHoldsOnlyTheTen()
{
    const auto all = vd::artwork::catalogue();
    QCOMPARE(qsizetype(all.size()), qsizetype(std::size(ExpectedFiles)));
    QSet<QString> names;
    QSet<QString> files;
    for (const auto &e : all) {
        names.insert(QString::fromUtf8(e.name.data(), qsizetype(e.name.size())));
        files.insert(fileOf(e));
        QCOMPARE(vd::artwork::find(e.name), &e);
    }
    QCOMPARE(names.size(), qsizetype(all.size()));
    QCOMPARE(files.size(), qsizetype(all.size()));
}

void TestArtwork::catalogueRejects_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("other case") << QStringLiteral("islandicon");
    QTest::newRow("prefix") << QStringLiteral("Island");
    QTest::newRow("longer") << QStringLiteral("IslandIcons");
    QTest::newRow("file name") << QStringLiteral("IslandIcon.ico");
    QTest::newRow("trailing blank") << QStringLiteral("HandPointer ");
    QTest::newRow("slot name") << QStringLiteral("WindowIcon");
    QTest::newRow("window name") << QStringLiteral("Form1");
}

void TestArtwork::catalogueRejects()
{
    QFETCH(QString, name);
    const QByteArray utf8 = name.toUtf8();
    QCOMPARE(vd::artwork::find(std::string_view(utf8.constData(), std::size_t(utf8.size()))), nullptr);
}

// --- Embedding and decoding ---------------------------------------------------------

void TestArtwork::embeddedFileMatchesCommitted_data()
{
    QTest::addColumn<QString>("file");
    for (const auto &e : vd::artwork::catalogue())
        QTest::newRow(e.name.data()) << fileOf(e);
}

void TestArtwork::embeddedFileMatchesCommitted()
{
    QFETCH(QString, file);
    QVERIFY2(QFile::exists(resourcePath(file)), qPrintable(resourcePath(file)));
    const QByteArray embedded = readAll(resourcePath(file));
    const QByteArray committed = readAll(SourceRoot + QStringLiteral("/src/artwork/images/") + file);
    QVERIFY(!embedded.isEmpty());
    QVERIFY(embedded == committed);
}

void TestArtwork::resourceFolderHoldsOnlyTheTen()
{
    QStringList want;
    for (const auto &e : vd::artwork::catalogue())
        want << fileOf(e);
    want.sort();
    QStringList have = QDir(QStringLiteral(":/artwork")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    have.sort();
    QCOMPARE(have, want);
}

void TestArtwork::qtReadsImage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("images");
    for (const auto &e : vd::artwork::catalogue()) {
        const QByteArray format = e.kind == Kind::Icon ? "ico" : e.kind == Kind::Photograph ? "jpeg" : "bmp";
        QTest::newRow(e.name.data()) << fileOf(e) << format << e.width << e.height << (e.kind == Kind::Icon ? 2 : 1);
    }
}

void TestArtwork::qtReadsImage()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, format);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, images);
    QImageReader reader(resourcePath(file));
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QCOMPARE(reader.format(), format);
    if (images > 1)
        QCOMPARE(reader.imageCount(), images);
    const QImage first = reader.read();
    QVERIFY2(!first.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(first.size(), QSize(width, height));
    if (images > 1) {
        QVERIFY(reader.jumpToNextImage());
        const QImage second = reader.read();
        QVERIFY(!second.isNull());
        QCOMPARE(second.size(), QSize(16, 16));
    }
}

// --- Icons ------------------------------------------------------------------------------

void TestArtwork::iconStructure_data()
{
    QTest::addColumn<QString>("name");
    for (const char *n : Icons)
        QTest::newRow(n) << QString::fromLatin1(n);
}

void TestArtwork::iconStructure()
{
    QFETCH(QString, name);
    const IcoFile ico = parseIco(resource(name.toLatin1().constData()));
    QVERIFY2(ico.error.isEmpty(), qPrintable(ico.error));
    QCOMPARE(ico.reserved, 0);
    QCOMPARE(ico.type, 1); // an icon: no hot spot stored
    QCOMPARE(int(ico.images.size()), 2);
    QSet<int> sizes;
    for (const IcoImage &img : ico.images) {
        sizes.insert(img.width);
        QCOMPARE(img.entryWidth, img.width);
        QCOMPARE(img.entryHeight, img.width);
        QCOMPARE(img.entryColours, 16);
        QCOMPARE(img.entryPlanes, 1);
        QCOMPARE(img.entryBits, 4);
        QCOMPARE(img.headerSize, 40);
        QCOMPARE(img.planes, 1);
        QCOMPARE(img.bits, 4);
        QCOMPARE(img.compression, 0u);
        // The palette is the sixteen VGA colours, each once, in any order.
        QCOMPARE(int(img.palette.size()), 16);
        QSet<QRgb> palette(img.palette.begin(), img.palette.end());
        QSet<QRgb> vga(vgaColours().begin(), vgaColours().end());
        QCOMPARE(palette, vga);
        // A set mask bit over a non-black pixel would invert the screen.
        for (int y = 0; y < img.size(); ++y)
            for (int x = 0; x < img.size(); ++x)
                if (img.transparent(x, y))
                    QVERIFY2(img.colour(x, y) == qRgb(0, 0, 0),
                             qPrintable(QStringLiteral("pixel %1,%2 of %3x%3").arg(x).arg(y).arg(img.size())));
    }
    QCOMPARE(sizes, (QSet<int>{32, 16}));
}

void TestArtwork::iconMatchesPixelGrid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    for (const char *n : Icons) {
        QTest::addRow("%s 32", n) << QString::fromLatin1(n) << 32;
        QTest::addRow("%s 16", n) << QString::fromLatin1(n) << 16;
    }
}

void TestArtwork::iconMatchesPixelGrid()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    const Grid grid = readGrid(SourceRoot + QStringLiteral("/src/artwork/pixels/") + name + QStringLiteral(".txt"));
    QVERIFY2(grid.error.isEmpty(), qPrintable(grid.error));
    const QStringList rows = grid.rows.value(size);
    QCOMPARE(rows.size(), size);
    const IcoFile ico = parseIco(resource(name.toLatin1().constData()));
    const IcoImage *img = imageOfSize(ico, size);
    QVERIFY(img);
    for (int y = 0; y < size; ++y) {
        QCOMPARE(rows[y].size(), size);
        for (int x = 0; x < size; ++x) {
            const QChar c = rows[y][x];
            const QString where = QStringLiteral("pixel %1,%2").arg(x).arg(y);
            if (c == grid.transparent) {
                QVERIFY2(img->transparent(x, y), qPrintable(where));
            } else {
                QVERIFY2(grid.colours.contains(c), qPrintable(where));
                QVERIFY2(!img->transparent(x, y), qPrintable(where));
                QVERIFY2(img->colour(x, y) == grid.colours.value(c), qPrintable(where));
            }
        }
    }
}

void TestArtwork::iconTransparency_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("transparent");
    for (const char *n : Icons)
        QTest::newRow(n) << QString::fromLatin1(n) << (QByteArray(n) != "IslandIcon");
}

void TestArtwork::iconTransparency()
{
    QFETCH(QString, name);
    QFETCH(bool, transparent);
    const IcoFile ico = parseIco(resource(name.toLatin1().constData()));
    QCOMPARE(int(ico.images.size()), 2);
    for (const IcoImage &img : ico.images) {
        const int clear = countTransparent(img);
        if (transparent) {
            QVERIFY2(clear > 0, qPrintable(QStringLiteral("%1x%1").arg(img.size())));
            QVERIFY2(clear < img.size() * img.size() * 3 / 4, qPrintable(QStringLiteral("%1x%1").arg(img.size())));
        } else {
            QCOMPARE(clear, 0);
        }
    }
}

void TestArtwork::iconColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QRgb>>("present"); // in both sizes
    QTest::addColumn<QList<QRgb>>("absent");
    const QRgb black = qRgb(0, 0, 0), darkRed = qRgb(0x80, 0, 0), darkGreen = qRgb(0, 0x80, 0),
               olive = qRgb(0x80, 0x80, 0), darkGrey = qRgb(0x80, 0x80, 0x80), lightGrey = qRgb(0xC0, 0xC0, 0xC0),
               red = qRgb(0xFF, 0, 0), lime = qRgb(0, 0xFF, 0), yellow = qRgb(0xFF, 0xFF, 0), blue = qRgb(0, 0, 0xFF),
               cyan = qRgb(0, 0xFF, 0xFF), white = qRgb(0xFF, 0xFF, 0xFF);
    QTest::newRow("IslandIcon") << QStringLiteral("IslandIcon")
                                << QList<QRgb>{yellow, cyan, darkGreen, darkRed, blue, white} << QList<QRgb>{};
    QTest::newRow("ForwardPointer") << QStringLiteral("ForwardPointer") << QList<QRgb>{lightGrey, black, darkGrey}
                                    << QList<QRgb>{white, red};
    QTest::newRow("BackPointer") << QStringLiteral("BackPointer") << QList<QRgb>{lightGrey, black, darkGrey}
                                 << QList<QRgb>{white, red};
    QTest::newRow("BackArrowPicture") << QStringLiteral("BackArrowPicture") << QList<QRgb>{lightGrey, black, darkGrey}
                                      << QList<QRgb>{white, red};
    QTest::newRow("GreenLightPicture") << QStringLiteral("GreenLightPicture")
                                       << QList<QRgb>{black, darkGrey, darkRed, olive, lime, yellow, lightGrey}
                                       << QList<QRgb>{red, darkGreen};
    QTest::newRow("RedLightPicture") << QStringLiteral("RedLightPicture")
                                     << QList<QRgb>{black, darkGrey, red, olive, darkGreen, lightGrey}
                                     << QList<QRgb>{lime, darkRed, yellow};
    QTest::newRow("StopPointer") << QStringLiteral("StopPointer") << QList<QRgb>{red, white} << QList<QRgb>{};
    QTest::newRow("HandPointer") << QStringLiteral("HandPointer") << QList<QRgb>{white, black, lightGrey, cyan}
                                 << QList<QRgb>{};
}

void TestArtwork::iconColours()
{
    QFETCH(QString, name);
    QFETCH(QList<QRgb>, present);
    QFETCH(QList<QRgb>, absent);
    const IcoFile ico = parseIco(resource(name.toLatin1().constData()));
    QCOMPARE(int(ico.images.size()), 2);
    for (const IcoImage &img : ico.images) {
        const QSet<QRgb> used = opaqueColours(img);
        for (QRgb c : present)
            QVERIFY2(used.contains(c),
                     qPrintable(
                         QStringLiteral("#%1 missing at %2x%2").arg(c & 0xFFFFFF, 6, 16, QChar(u'0')).arg(img.size())));
        for (QRgb c : absent)
            QVERIFY2(
                !used.contains(c),
                qPrintable(QStringLiteral("#%1 used at %2x%2").arg(c & 0xFFFFFF, 6, 16, QChar(u'0')).arg(img.size())));
    }
}

void TestArtwork::iconRowBands_data()
{
    // Bands of rows that are wholly transparent (clear) or that each hold
    // some of the drawing.
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("clear");
    QTest::newRow("hand above") << QStringLiteral("HandPointer") << 32 << 0 << 7 << true;
    QTest::newRow("hand middle sixteen") << QStringLiteral("HandPointer") << 32 << 8 << 23 << false;
    QTest::newRow("hand below") << QStringLiteral("HandPointer") << 32 << 24 << 31 << true;
    QTest::newRow("block arrow top 32") << QStringLiteral("BackArrowPicture") << 32 << 0 << 0 << true;
    QTest::newRow("block arrow bottom 32") << QStringLiteral("BackArrowPicture") << 32 << 31 << 31 << true;
    QTest::newRow("block arrow body 32") << QStringLiteral("BackArrowPicture") << 32 << 8 << 23 << false;
    QTest::newRow("block arrow top 16") << QStringLiteral("BackArrowPicture") << 16 << 0 << 0 << true;
    QTest::newRow("block arrow bottom 16") << QStringLiteral("BackArrowPicture") << 16 << 15 << 15 << true;
    QTest::newRow("stop margin top 32") << QStringLiteral("StopPointer") << 32 << 0 << 0 << true;
    QTest::newRow("stop margin bottom 32") << QStringLiteral("StopPointer") << 32 << 31 << 31 << true;
    QTest::newRow("stop body 32") << QStringLiteral("StopPointer") << 32 << 1 << 30 << false;
    QTest::newRow("stop body 16") << QStringLiteral("StopPointer") << 16 << 0 << 15 << false;
}

void TestArtwork::iconRowBands()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, clear);
    const IcoFile ico = parseIco(resource(name.toLatin1().constData()));
    const IcoImage *img = imageOfSize(ico, size);
    QVERIFY(img);
    for (int y = first; y <= last; ++y) {
        int opaque = 0;
        for (int x = 0; x < size; ++x)
            opaque += img->transparent(x, y) ? 0 : 1;
        if (clear)
            QVERIFY2(opaque == 0, qPrintable(QStringLiteral("row %1").arg(y)));
        else
            QVERIFY2(opaque > 0, qPrintable(QStringLiteral("row %1").arg(y)));
    }
}

void TestArtwork::tipAtEdge_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("right");   // the edge the drawing reaches
    QTest::addColumn<bool>("tipOnly"); // only the tip touches that edge
    QTest::addColumn<bool>("centred"); // at the middle of the edge
    for (int size : {32, 16}) {
        QTest::addRow("forward %d", size) << QStringLiteral("ForwardPointer") << size << true << true << true;
        QTest::addRow("back %d", size) << QStringLiteral("BackPointer") << size << false << true << true;
        QTest::addRow("block arrow head %d", size)
            << QStringLiteral("BackArrowPicture") << size << false << true << true;
        QTest::addRow("block arrow shaft %d", size)
            << QStringLiteral("BackArrowPicture") << size << true << false << true;
        QTest::addRow("hand fingertip %d", size) << QStringLiteral("HandPointer") << size << true << true << false;
    }
}

void TestArtwork::tipAtEdge()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(bool, right);
    QFETCH(bool, tipOnly);
    QFETCH(bool, centred);
    const IcoFile ico = parseIco(resource(name.toLatin1().constData()));
    const IcoImage *img = imageOfSize(ico, size);
    QVERIFY(img);
    const int x = right ? size - 1 : 0;
    QList<int> rows;
    for (int y = 0; y < size; ++y)
        if (!img->transparent(x, y))
            rows << y;
    QVERIFY(!rows.isEmpty());
    // Centred on the edge's middle (between rows size/2 - 1 and size/2).
    if (centred)
        QVERIFY2(std::abs(rows.first() + rows.last() - (size - 1)) <= size / 8,
                 qPrintable(QStringLiteral("rows %1..%2").arg(rows.first()).arg(rows.last())));
    if (tipOnly)
        QVERIFY2(rows.size() <= size / 8, qPrintable(QStringLiteral("%1 rows at the edge").arg(rows.size())));
    if (name == u"ForwardPointer" || name == u"BackPointer") {
        // About half of the pixels are transparent.
        const double share = double(countTransparent(*img)) / (size * size);
        QVERIFY2(share > 0.35 && share < 0.65, qPrintable(QString::number(share)));
    }
}

void TestArtwork::stopSignShape_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("margin");
    QTest::newRow("32 with a one-pixel margin") << 32 << 1;
    QTest::newRow("16 touching the edges") << 16 << 0;
}

void TestArtwork::stopSignShape()
{
    QFETCH(int, size);
    QFETCH(int, margin);
    const IcoFile ico = parseIco(resource("StopPointer"));
    const IcoImage *img = imageOfSize(ico, size);
    QVERIFY(img);
    const int lo = margin;
    const int hi = size - 1 - margin;
    const int side = hi - lo + 1;
    // A regular octagon cuts about 29 % of the side off each corner.
    const int maxCut = int(std::ceil(side * 0.3));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QString where = QStringLiteral("pixel %1,%2").arg(x).arg(y);
            const bool inMargin = x < lo || x > hi || y < lo || y > hi;
            if (inMargin) {
                QVERIFY2(img->transparent(x, y), qPrintable(where));
                continue;
            }
            const int dx = std::min(x - lo, hi - x);
            const int dy = std::min(y - lo, hi - y);
            // Transparent only in the cut corners, and the shape is symmetric.
            if (img->transparent(x, y))
                QVERIFY2(dx + dy < maxCut, qPrintable(where));
            QVERIFY2(img->transparent(x, y) == img->transparent(size - 1 - x, y), qPrintable(where));
            QVERIFY2(img->transparent(x, y) == img->transparent(x, size - 1 - y), qPrintable(where));
            QVERIFY2(img->transparent(x, y) == img->transparent(y, x), qPrintable(where));
        }
    // The corners are cut; the middle of each straight side reaches the edge of the shape.
    QVERIFY(img->transparent(lo, lo));
    QVERIFY(img->transparent(hi, hi));
    QVERIFY(!img->transparent(size / 2, lo));
    QVERIFY(!img->transparent(lo, size / 2));
    QVERIFY(!img->transparent(size / 2, hi));
    QVERIFY(!img->transparent(hi, size / 2));
    // White lettering across the middle rows only.
    int whiteMiddle = 0;
    int whiteElsewhere = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (!img->transparent(x, y) && img->colour(x, y) == qRgb(255, 255, 255))
                (std::abs(2 * y - (size - 1)) <= size / 2 ? whiteMiddle : whiteElsewhere)++;
    QVERIFY(whiteMiddle > 0);
    QCOMPARE(whiteElsewhere, 0);
}

void TestArtwork::trafficLightsShareHousing_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("32") << 32;
    QTest::newRow("16") << 16;
}

void TestArtwork::trafficLightsShareHousing()
{
    QFETCH(int, size);
    const IcoFile green = parseIco(resource("GreenLightPicture"));
    const IcoFile red = parseIco(resource("RedLightPicture"));
    const IcoImage *g = imageOfSize(green, size);
    const IcoImage *r = imageOfSize(red, size);
    QVERIFY(g && r);
    QVERIFY(g->masked == r->masked);
    // The lit lamp sits at the bottom of the green one and at the top of the red one.
    auto meanRow = [](const IcoImage &img, QRgb colour) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < img.size(); ++y)
            for (int x = 0; x < img.size(); ++x)
                if (!img.transparent(x, y) && img.colour(x, y) == colour) {
                    sum += y;
                    ++n;
                }
        return n ? sum / n : -1.0;
    };
    const double lime = meanRow(*g, qRgb(0, 255, 0));
    const double redLamp = meanRow(*r, qRgb(255, 0, 0));
    QVERIFY(lime > size * 2 / 3.0);
    QVERIFY(redLamp >= 0 && redLamp < size / 3.0);
    // Transparent around the housing: the corners of the image.
    QVERIFY(g->transparent(0, 0) && g->transparent(size - 1, 0) && g->transparent(0, size - 1) &&
            g->transparent(size - 1, size - 1));
}

void TestArtwork::pointerHotSpotOnDrawing_data()
{
    QTest::addColumn<QString>("name");
    for (const char *n : {"ForwardPointer", "StopPointer", "BackPointer", "HandPointer"})
        QTest::newRow(n) << QString::fromLatin1(n);
}

void TestArtwork::pointerHotSpotOnDrawing()
{
    QFETCH(QString, name);
    const QByteArray latin = name.toLatin1();
    const vd::artwork::Entry *e = vd::artwork::find(latin.constData());
    QVERIFY(e);
    QVERIFY(e->hotSpot.x >= 0 && e->hotSpot.x < 32 && e->hotSpot.y >= 0 && e->hotSpot.y < 32);
    const IcoFile ico = parseIco(resource(latin.constData()));
    const IcoImage *img = imageOfSize(ico, 32);
    QVERIFY(img);
    QVERIFY2(!img->transparent(e->hotSpot.x, e->hotSpot.y),
             qPrintable(QStringLiteral("hot spot %1,%2").arg(e->hotSpot.x).arg(e->hotSpot.y)));
}

// --- The two pictures -------------------------------------------------------------

void TestArtwork::introPictureIsBaselineJpeg()
{
    const JpegFile jpg = parseJpeg(resource("IntroPicture"));
    QVERIFY2(jpg.error.isEmpty(), qPrintable(jpg.error));
    QVERIFY(jpg.startsWithSoi);
    QVERIFY(jpg.endsWithEoi);
    QVERIFY(jpg.jfifFirst);
    QVERIFY(jpg.reachedScan);
    // One frame, baseline (SOF0): no progressive, extended or lossless frame.
    QCOMPARE(QList<int>(jpg.frameMarkers.begin(), jpg.frameMarkers.end()), QList<int>{0xC0});
    QCOMPARE(jpg.precision, 8);
    QCOMPARE(jpg.width, 582);
    QCOMPARE(jpg.height, 416);
    QCOMPARE(jpg.components, 3);
}

void TestArtwork::introPanelsUnderButtons_data()
{
    // The intro window's buttons (twips) and the colour of the panel each
    // one hides: 0 red, 1 green, 2 blue is the strongest channel.
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("channel");
    QTest::newRow("exit button, blue panel") << 10 << 4650 << 2500 << 640 << 2;
    QTest::newRow("enter button, green panel") << 5665 << 4650 << 2500 << 640 << 1;
}

void TestArtwork::introPanelsUnderButtons()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, channel);
    QImage img;
    QVERIFY(img.loadFromData(resource("IntroPicture"), "JPEG"));
    img = img.convertToFormat(QImage::Format_RGB32);
    const PixelSpan s = underButton(left, top, width, height, img.width(), img.height());
    QVERIFY(s.left >= 0 && s.right <= img.width() && s.top >= 0 && s.bottom <= img.height());

    // The panel's face colour in its middle band.
    double sum[3] = {0, 0, 0};
    int n = 0;
    for (int y = s.top + 6; y < s.bottom - 6; ++y)
        for (int x = s.left + 6; x < s.right - 6; ++x) {
            const QRgb c = img.pixel(x, y);
            sum[0] += qRed(c);
            sum[1] += qGreen(c);
            sum[2] += qBlue(c);
            ++n;
        }
    for (int k = 0; k < 3; ++k)
        sum[k] /= n;
    for (int k = 0; k < 3; ++k)
        if (k != channel)
            QVERIFY2(sum[channel] > sum[k] + 40,
                     qPrintable(QStringLiteral("mean %1 %2 %3").arg(sum[0]).arg(sum[1]).arg(sum[2])));

    // The white bevel along the top and the left: its brightest row and column
    // lie inside the covered pixels, and the picture just outside is darker.
    const int x0 = s.left + 8;
    const int x1 = s.right - 8;
    int brightestRow = s.top - 4;
    for (int y = s.top - 4; y <= s.top + 4; ++y)
        if (rowLuma(img, y, x0, x1) > rowLuma(img, brightestRow, x0, x1))
            brightestRow = y;
    QVERIFY2(brightestRow >= s.top && brightestRow <= s.top + 2, qPrintable(QString::number(brightestRow)));
    QVERIFY(rowLuma(img, brightestRow, x0, x1) > 200);
    QVERIFY(rowLuma(img, s.top - 3, x0, x1) < 150);

    const int y0 = s.top + 8;
    const int y1 = s.bottom - 8;
    int brightestColumn = std::max(0, s.left - 4);
    for (int x = std::max(0, s.left - 4); x <= s.left + 4; ++x)
        if (columnLuma(img, x, y0, y1) > columnLuma(img, brightestColumn, y0, y1))
            brightestColumn = x;
    QVERIFY2(brightestColumn >= s.left && brightestColumn <= s.left + 2, qPrintable(QString::number(brightestColumn)));
    QVERIFY(columnLuma(img, brightestColumn, y0, y1) > 200);
    if (s.left >= 3)
        QVERIFY(columnLuma(img, s.left - 3, y0, y1) < 150);
    // The panel's face reaches the right end of the covered pixels and no further.
    if (s.right + 3 < img.width())
        QVERIFY(columnLuma(img, s.right + 3, y0, y1) < 150);
}

void TestArtwork::menuBannerIsPlainBitmap()
{
    const QByteArray bytes = resource("MenuBanner");
    const BmpFile bmp = parseBmp(bytes);
    QVERIFY2(bmp.error.isEmpty(), qPrintable(bmp.error));
    QCOMPARE(qsizetype(bmp.fileSizeField), bytes.size());
    QCOMPARE(bmp.headerSize, 40u);
    QCOMPARE(bmp.pixelOffset, 14u + 40u); // no palette, no bit fields
    QCOMPARE(bmp.width, 660);
    QCOMPARE(bmp.height, 149);
    QCOMPARE(bmp.planes, 1);
    QCOMPARE(bmp.bits, 24);
    QCOMPARE(bmp.compression, 0u); // BI_RGB
    QCOMPARE(bmp.clrUsed, 0u);
    const int stride = ((660 * 3 + 3) / 4) * 4;
    QCOMPARE(bytes.size(), qsizetype(54 + stride * 149));

    QSet<QRgb> colours;
    for (QRgb c : bmp.pixels)
        colours.insert(c);
    QVERIFY2(colours.size() > 28000, qPrintable(QString::number(colours.size())));
}

void TestArtwork::menuBannerLook_data()
{
    // Spots on the frame and the panel, away from the lettering.
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<bool>("dark"); // instead of a colour: the dark line
    const QRgb margin = qRgb(0xFF, 0xC0, 0x80);
    const QRgb panel = qRgb(0xFF, 0xCC, 0x9A);
    QTest::newRow("top margin") << 330 << 0 << margin << false;
    QTest::newRow("bottom margin") << 330 << 148 << margin << false;
    QTest::newRow("right margin") << 659 << 74 << margin << false;
    QTest::newRow("top right corner") << 659 << 0 << margin << false;
    QTest::newRow("left line, middle") << 0 << 74 << QRgb(0) << true;
    QTest::newRow("left line, top") << 0 << 0 << QRgb(0) << true;
    QTest::newRow("left line, bottom") << 0 << 148 << QRgb(0) << true;
    QTest::newRow("panel, upper left") << 10 << 8 << panel << false;
    QTest::newRow("panel, lower right") << 650 << 142 << panel << false;
}

void TestArtwork::menuBannerLook()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QRgb, colour);
    QFETCH(bool, dark);
    const BmpFile bmp = parseBmp(resource("MenuBanner"));
    QVERIFY2(bmp.error.isEmpty(), qPrintable(bmp.error));
    const QRgb c = bmp.at(x, y);
    if (dark)
        QVERIFY2(luma(c) < 90, qPrintable(QString::number(c & 0xFFFFFF, 16)));
    else
        QCOMPARE(c & 0xFFFFFFu, colour & 0xFFFFFFu);
}

void TestArtwork::menuBannerTitleGradient()
{
    const BmpFile bmp = parseBmp(resource("MenuBanner"));
    QVERIFY2(bmp.error.isEmpty(), qPrintable(bmp.error));
    // The most common colour is the panel's.
    QHash<QRgb, int> counts;
    for (QRgb c : bmp.pixels)
        ++counts[c & 0xFFFFFFu];
    QRgb commonest = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(commonest))
            commonest = it.key();
    QCOMPARE(commonest, 0xFFCC9Au);
    // Deep indigo letters above crimson ones, purple between.
    const QRgb indigo = qRgb(0x25, 0x0F, 0x6B);
    const QRgb crimson = qRgb(0xC8, 0x12, 0x23);
    const QRgb purple = qRgb(0x78, 0x16, 0x8A);
    double sumIndigo = 0, sumCrimson = 0, sumPurple = 0;
    int nIndigo = 0, nCrimson = 0, nPurple = 0;
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x) {
            const QRgb c = bmp.at(x, y);
            if (colourDistance(c, indigo) < 45) {
                sumIndigo += y;
                ++nIndigo;
            } else if (colourDistance(c, crimson) < 45) {
                sumCrimson += y;
                ++nCrimson;
            } else if (colourDistance(c, purple) < 45) {
                sumPurple += y;
                ++nPurple;
            }
        }
    QVERIFY2(nIndigo > 300 && nCrimson > 300 && nPurple > 300,
             qPrintable(QStringLiteral("%1 %2 %3").arg(nIndigo).arg(nPurple).arg(nCrimson)));
    QVERIFY(sumIndigo / nIndigo < sumPurple / nPurple);
    QVERIFY(sumPurple / nPurple < sumCrimson / nCrimson);
}

// --- The program's own icon ---------------------------------------------------------

void TestArtwork::packagedIconIsIslandIcon_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("16") << 16;
    QTest::newRow("32") << 32;
}

void TestArtwork::packagedIconIsIslandIcon()
{
    QFETCH(int, size);
    const QString path = SourceRoot + QStringLiteral("/packaging/linux/icons/%1x%1/velodane.png").arg(size);
    QImage png;
    QVERIFY2(png.load(path), qPrintable(path));
    QCOMPARE(png.size(), QSize(size, size));
    const IcoFile ico = parseIco(resource("IslandIcon"));
    const IcoImage *img = imageOfSize(ico, size);
    QVERIFY(img);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            QCOMPARE(qAlpha(png.pixel(x, y)), 255);
            QVERIFY2((png.pixel(x, y) & 0xFFFFFFu) == (img->colour(x, y) & 0xFFFFFFu),
                     qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
