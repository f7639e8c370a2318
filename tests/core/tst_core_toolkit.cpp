// What every toolkit does alike, tested with fake text metrics and fake
// installed fonts: twips as pixels, placing a window on the screen, the
// order of building, controls by name, the button face and the font choice.
#include "toolkit/button_face.h"
#include "toolkit/fonts.h"
#include "toolkit/window_plan.h"

#include <QRect>
#include <QTest>

using namespace vd::tk;

namespace {

QRect qrect(const PixelRect &r)
{
    return QRect(r.left, r.top, r.width, r.height);
}

long errorNumber(const std::function<void()> &f)
{
    try {
        f();
    } catch (const vd::Error &e) {
        return e.number();
    }
    return 0;
}

// Fills as letters, one a pixel: W white, L light grey, S shadow grey, D black.
QStringList paint(int width, int height, const std::vector<face::Fill> &fills)
{
    QStringList rows(height, QString(width, QLatin1Char('.')));
    for (const face::Fill &f : fills) {
        const int grey = f.colour.r == f.colour.g && f.colour.g == f.colour.b ? f.colour.r : -1;
        const char letter = grey == 255 ? 'W' : grey == 227 ? 'L' : grey == 128 ? 'S' : grey == 0 ? 'D' : '?';
        for (int y = f.rect.top; y < f.rect.bottom(); ++y)
            for (int x = f.rect.left; x < f.rect.right(); ++x)
                rows[y][x] = QLatin1Char(letter);
    }
    return rows;
}

} // namespace

class TestCoreToolkit : public QObject {
    Q_OBJECT

private slots:
    // At 144 dpi a row of 345 twips is 34.5 px: heights alternate, edges meet.
    void edgesAreRounded_data()
    {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("row 1, 96") << QRect(360, 360, 1500, 345) << 96 << QRect(24, 24, 100, 23);
        QTest::newRow("row 1, 144") << QRect(360, 360, 1500, 345) << 144 << QRect(36, 36, 150, 35);
        QTest::newRow("row 2, 144") << QRect(360, 705, 1500, 345) << 144 << QRect(36, 71, 150, 34);
        QTest::newRow("intro exit, 96") << QRect(10, 4650, 2500, 640) << 96 << QRect(1, 310, 166, 43);
        QTest::newRow("intro enter, 144") << QRect(5665, 4650, 2500, 640) << 144 << QRect(567, 465, 250, 64);
        QTest::newRow("menu exit, 96") << QRect(5400, 6255, 5079, 800) << 96 << QRect(360, 417, 339, 53);
    }
    void edgesAreRounded()
    {
        QFETCH(QRect, twips);
        QFETCH(int, dpi);
        QFETCH(QRect, pixels);
        QCOMPARE(qrect(toPixels(Rect{twips.x(), twips.y(), twips.width(), twips.height()}, dpi)), pixels);
    }

    void placeOnScreen_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("centred") << QSize(700, 474) << QRect(0, 0, 800, 600) << QPoint(50, 63);
        QTest::newRow("odd room, panel above") << QSize(547, 355) << QRect(0, 24, 1280, 776) << QPoint(366, 234);
        QTest::newRow("just fits") << QSize(700, 474) << QRect(5, 5, 700, 474) << QPoint(5, 5);
        QTest::newRow("too wide") << QSize(700, 474) << QRect(0, 0, 640, 480) << QPoint(0, 3);
        QTest::newRow("too large") << QSize(700, 474) << QRect(10, 20, 640, 400) << QPoint(10, 20);
    }
    void placeOnScreen()
    {
        QFETCH(QSize, window);
        QFETCH(QRect, area);
        QFETCH(QPoint, at);
        const PixelPoint p =
            vd::tk::placeOnScreen(window.width(), window.height(), {area.x(), area.y(), area.width(), area.height()});
        QCOMPARE(QPoint(p.x, p.y), at);
    }

    // A window the system asks to go somewhere (a new monitor's scale) stays
    // in that monitor's work area.
    void keepInArea_data()
    {
        QTest::addColumn<QRect>("asked");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("inside") << QRect(30, 40, 700, 474) << QRect(0, 0, 800, 600) << QPoint(30, 40);
        QTest::newRow("over the right and bottom")
            << QRect(300, 200, 700, 474) << QRect(0, 0, 800, 600) << QPoint(100, 126);
        QTest::newRow("above, second monitor")
            << QRect(1000, -20, 547, 355) << QRect(800, 24, 1024, 744) << QPoint(1000, 24);
        QTest::newRow("too wide") << QRect(300, 50, 1050, 711) << QRect(0, 0, 1024, 768) << QPoint(0, 50);
        QTest::newRow("too large") << QRect(-5, 900, 1050, 711) << QRect(10, 20, 640, 400) << QPoint(10, 20);
    }
    void keepInArea()
    {
        QFETCH(QRect, asked);
        QFETCH(QRect, area);
        QFETCH(QPoint, at);
        const PixelPoint p = vd::tk::keepInArea({asked.x(), asked.y()}, asked.width(), asked.height(),
                                                {area.x(), area.y(), area.width(), area.height()});
        QCOMPARE(QPoint(p.x, p.y), at);
    }

    // A window never larger than its monitor's work area: built at the
    // monitor's dpi where it fits, else at the largest that fits down to the
    // design's own size; where even that is too large, cut to the area at
    // its top-left. (Qt's windows are in logical pixels: at twice the pixel
    // density the design's own size is 48 of them to the inch.)
    void aWindowFitsItsWorkArea_data()
    {
        QTest::addColumn<QSize>("twips");
        QTest::addColumn<int>("monitorDpi");
        QTest::addColumn<int>("leastDpi");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QRect>("window");
        const QSize menu(10500, 7110), intro(8205, 5325);
        QTest::newRow("menu, 96 dpi, fits")
            << menu << 96 << 96 << QRect(0, 0, 800, 600) << 96 << QRect(50, 63, 700, 474);
        QTest::newRow("menu, 192 dpi on 1280 x 1024")
            << menu << 192 << 96 << QRect(0, 0, 1280, 1024) << 168 << QRect(27, 97, 1225, 830);
        QTest::newRow("intro, 192 dpi on 1280 x 1024")
            << intro << 192 << 96 << QRect(0, 0, 1280, 1024) << 192 << QRect(93, 157, 1094, 710);
        QTest::newRow("menu, 144 dpi on 1024 x 768 with a panel")
            << menu << 144 << 96 << QRect(0, 0, 1024, 738) << 120 << QRect(74, 72, 875, 593);
        QTest::newRow("menu, 96 dpi on 640 x 480: cut")
            << menu << 96 << 96 << QRect(0, 0, 640, 480) << 96 << QRect(0, 3, 640, 474);
        QTest::newRow("menu, 120 dpi on 640 x 480: cut at 96")
            << menu << 120 << 96 << QRect(0, 0, 640, 480) << 96 << QRect(0, 3, 640, 474);
        QTest::newRow("menu, logical pixels at twice the density, 683 x 384")
            << menu << 96 << 48 << QRect(0, 0, 683, 384) << 72 << QRect(79, 14, 525, 356);
        QTest::newRow("menu, second monitor, 72 dpi, too small")
            << menu << 72 << 96 << QRect(1280, 0, 400, 300) << 72 << QRect(1280, 0, 400, 300);
    }
    void aWindowFitsItsWorkArea()
    {
        QFETCH(QSize, twips);
        QFETCH(int, monitorDpi);
        QFETCH(int, leastDpi);
        QFETCH(QRect, area);
        QFETCH(int, dpi);
        QFETCH(QRect, window);
        const PixelRect a{area.x(), area.y(), area.width(), area.height()};
        const int built = fittingDpi(twips.width(), twips.height(), monitorDpi, leastDpi, a);
        QCOMPARE(built, dpi);
        QCOMPARE(qrect(windowOnScreen(toPixels(twips.width(), built), toPixels(twips.height(), built), a)), window);
    }

    // A window cut to a small screen scrolls just enough to show the control
    // that takes the focus: the menu window, 700 x 474, seen 640 wide.
    void theFocusIsScrolledIntoView_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QRect>("control");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("group 1, in view") << QPoint(0, 0) << QRect(24, 24, 100, 23) << QPoint(0, 0);
        QTest::newRow("group 51, in view") << QPoint(0, 0) << QRect(524, 24, 100, 23) << QPoint(0, 0);
        QTest::newRow("group 61, past the right") << QPoint(0, 0) << QRect(624, 24, 53, 138) << QPoint(37, 0);
        QTest::newRow("exit, to the right edge") << QPoint(37, 0) << QRect(360, 417, 339, 53) << QPoint(59, 0);
        QTest::newRow("group 1 again, back left") << QPoint(59, 0) << QRect(24, 24, 100, 23) << QPoint(24, 0);
        QTest::newRow("wider than the view") << QPoint(10, 0) << QRect(0, 0, 700, 20) << QPoint(0, 0);
    }
    void theFocusIsScrolledIntoView()
    {
        QFETCH(QPoint, from);
        QFETCH(QRect, control);
        QFETCH(QPoint, to);
        const PixelPoint p =
            scrollToShow({from.x(), from.y()}, {control.x(), control.y(), control.width(), control.height()},
                         {640, 474}, {700, 474});
        QCOMPARE(QPoint(p.x, p.y), to);
    }

    // Where not even the carried face can be drawn, the warning names every
    // face missing, in Thai and in English.
    void theWarningNamesEveryMissingFace_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("none") << QStringList{} << QStringList{"KodchiangUPC", "AngsanaUPC", "Loma"};
        QTest::newRow("only Loma") << QStringList{"Loma"} << QStringList{"KodchiangUPC", "AngsanaUPC"};
        QTest::newRow("only AngsanaUPC") << QStringList{"AngsanaUPC"} << QStringList{"KodchiangUPC", "Loma"};
        QTest::newRow("all") << QStringList{"KodchiangUPC", "AngsanaUPC", "Loma"} << QStringList{};
    }
    void theWarningNamesEveryMissingFace()
    {
        QFETCH(QStringList, installed);
        QFETCH(QStringList, named);
        const QString warning = QString::fromStdString(
            missingFacesWarning([&](const std::string &f) { return installed.contains(QString::fromStdString(f)); }));
        QCOMPARE(warning.isEmpty(), named.isEmpty());
        const QStringList lines = warning.split(u'\n', Qt::SkipEmptyParts);
        if (named.isEmpty())
            return;
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].contains(QString::fromUtf8("ไม่มีแบบอักษร")));
        QVERIFY(lines[1].contains(QStringLiteral("are not installed")));
        for (const QString &face : {QStringLiteral("KodchiangUPC"), QStringLiteral("AngsanaUPC")})
            QCOMPARE(warning.contains(face), named.contains(face));
        for (const QString &face : named)
            for (const QString &line : lines)
                QVERIFY2(line.contains(face), qPrintable(face + QStringLiteral(" not named: ") + line));
    }

    // Bottom of each stack first, a frame before its children.
    void buildOrderFocusAndNames()
    {
        WindowLayout w;
        w.controls = {{.name = "Top"},
                      {.name = "Frame", .kind = Kind::Frame, .children = {{.name = "Over"}, {.name = "Under"}}},
                      {.name = "Bottom", .kind = Kind::Picture}};
        w.focusOrder = {"Top", "Over"};
        const std::vector<PlannedControl> plan = buildOrder(w);
        QStringList order;
        for (const PlannedControl &c : plan)
            order << QString::fromStdString(c.layout->name) + QString::number(c.parent);
        QCOMPARE(order, (QStringList{"Bottom-1", "Frame-1", "Under1", "Over1", "Top-1"}));
        QCOMPARE(focusChain(w, plan), (std::vector<std::size_t>{4, 3}));
        w.focusOrder.push_back("Missing");
        QCOMPARE(errorNumber([&] { focusChain(w, plan); }), 730L);

        ControlTable<int> table;
        for (auto [name, kind, handle] : {std::tuple{"Command1", Kind::PushButton, 1},
                                          {"Label1", Kind::Label, 2},
                                          {"Frame1", Kind::Frame, 3},
                                          {"Image1", Kind::Picture, 4}})
            table.add(name, kind, handle);
        QCOMPARE(table.at("Image1").handle, 4);
        QCOMPARE(table.withCaption("Command1").handle + table.withCaption("Label1").handle, 3);
        QCOMPARE(errorNumber([&] { table.at("Command2"); }), 730L);
        QCOMPARE(errorNumber([&] { table.withCaption("Frame1"); }), 730L);
        QCOMPARE(errorNumber([&] { table.withCaption("Image1"); }), 730L);

        QCOMPARE(accessibleName({.kind = Kind::PushButton, .tooltip = "tip"}), std::string("tip"));
        QCOMPARE(accessibleName({.kind = Kind::PushButton, .caption = "text", .tooltip = "tip"}), std::string("text"));
        QCOMPARE(accessibleName({.kind = Kind::Label, .tooltip = "tip"}), std::string());
    }

    // Every byte one pixel wide.
    void wrapAtBlanks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("fits") << "ab cd" << 5.0 << QStringList{"ab cd"};
        QTest::newRow("breaks") << "ab cd" << 4.9 << QStringList{"ab", "cd"};
        QTest::newRow("greedy") << "a b c d e" << 5.0 << QStringList{"a b c", "d e"};
        QTest::newRow("inner blanks kept") << " ab   cd  " << 7.0 << QStringList{"ab   cd"};
        QTest::newRow("piece a line") << " aa   bbb    cc   d   61" << 5.0 << QStringList{"aa", "bbb", "cc", "d", "61"};
        QTest::newRow("long piece alone") << "abcdefgh ij k" << 4.0 << QStringList{"abcdefgh", "ij k"};
        QTest::newRow("Thai unbroken") << "กลุ่มชุดดินที่ 7" << 10.0 << QStringList{"กลุ่มชุดดินที่", "7"};
        QTest::newRow("blanks only") << "   " << 5.0 << QStringList{};
    }
    void wrapAtBlanks()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(QStringList, lines);
        QStringList got;
        for (const std::string &line : face::wrapAtBlanks(
                 text.toStdString(), [](std::string_view s) { return double(s.size()); }, width))
            got << QString::fromStdString(line);
        QCOMPARE(got, lines);
    }

    // Ink rows from the baseline (top, bottom); lines as (left, width).
    void place_data()
    {
        QTest::addColumn<QRect>("face");
        QTest::addColumn<int>("picture"); // its size; 0: none
        QTest::addColumn<QPoint>("ink");
        QTest::addColumn<QList<QPointF>>("lines");
        QTest::addColumn<QPoint>("pictureAt");
        QTest::addColumn<int>("baseline");
        QTest::addColumn<QList<int>>("starts");
        // A 100 x 23 group button: 5 spare rows, 2 above the ink; 6 spare, 2 above.
        QTest::newRow("odd spare") << QRect(2, 2, 96, 19) << 0 << QPoint(-11, 3) << QList<QPointF>{{0.5, 80}}
                                   << QPoint() << 15 << QList<int>{10};
        QTest::newRow("even spare") << QRect(2, 2, 96, 19) << 0 << QPoint(-10, 3) << QList<QPointF>{{0, 80}} << QPoint()
                                    << 14 << QList<int>{10};
        QTest::newRow("sunken") << QRect(2, 2, 96, 19) << 0 << QPoint(-11, 3) << QList<QPointF>{{0.5, 80}} << QPoint()
                                << 16 << QList<int>{11};
        QTest::newRow("each line centred")
            << QRect(2, 2, 49, 134) << 0 << QPoint(-15, 20) << QList<QPointF>{{0, 20}, {-0.7, 31}} << QPoint() << 66
            << QList<int>{16, 12};
        // The 339 x 53 back button; the 166 x 43 intro buttons, up and pressed.
        QTest::newRow("picture and caption") << QRect(2, 2, 335, 49) << 32 << QPoint(-10, 1) << QList<QPointF>{{1, 71}}
                                             << QPoint(153, 4) << 48 << QList<int>{133};
        QTest::newRow("picture alone") << QRect(2, 2, 162, 39) << 32 << QPoint() << QList<QPointF>{} << QPoint(67, 5)
                                       << 37 << QList<int>{};
        QTest::newRow("picture, sunken") << QRect(2, 2, 162, 39) << 32 << QPoint() << QList<QPointF>{} << QPoint(68, 6)
                                         << 38 << QList<int>{};
    }
    void place()
    {
        QFETCH(QRect, face);
        QFETCH(int, picture);
        QFETCH(QPoint, ink);
        QFETCH(QList<QPointF>, lines);
        QFETCH(QPoint, pictureAt);
        QFETCH(int, baseline);
        QFETCH(QList<int>, starts);
        face::CaptionInk caption{.top = ink.x(), .bottom = ink.y()};
        for (const QPointF &l : lines)
            caption.lines.push_back({l.x(), l.y()});
        const bool sunken = QByteArray(QTest::currentDataTag()).contains("sunken");
        const face::Placement at =
            face::place({face.x(), face.y(), face.width(), face.height()}, picture, picture, caption, sunken);
        if (picture > 0)
            QCOMPARE(QPoint(at.picture.x, at.picture.y), pictureAt);
        QCOMPARE(at.baseline, baseline);
        QCOMPARE(QList<int>(at.lineStarts.begin(), at.lineStarts.end()), starts);
    }

    void edgesFocusAndOutline()
    {
        QCOMPARE(qrect(face::faceRect(100, 23)), QRect(2, 2, 96, 19));
        QCOMPARE(face::wrapWidth(53), 45);
        QCOMPARE(paint(6, 5, face::buttonEdge(6, 5, false)),
                 (QStringList{"WWWWWD", "WLLLSD", "WL..SD", "WSSSSD", "DDDDDD"}));
        QCOMPARE(paint(6, 5, face::buttonEdge(6, 5, true)),
                 (QStringList{"DDDDDW", "DSSSLW", "DS..LW", "DLLLLW", "WWWWWW"}));
        QCOMPARE(paint(6, 5, face::frameOutline(6, 5)),
                 (QStringList{"SSSSSW", "SWWWSW", "SW..SW", "SSSSSW", "WWWWWW"}));
        // One pixel inside the edge (x 3 to 6, y 3 to 5), every other pixel.
        const QString none(10, QLatin1Char('.'));
        QStringList dots(9, none);
        for (const PixelPoint &p : face::focusDots(10, 9))
            dots[p.y][p.x] = QLatin1Char('x');
        QCOMPARE(dots, (QStringList{none, none, none, "...x.x....", "......x...", "...x.x....", none, none, none}));
    }

    void chooseFont_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<double>("points");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("standIn"); // 0 no, 1 yes, 2 and missing too
        const QStringList all{"KodchiangUPC", "AngsanaUPC", "Loma"}, loma{"Loma"}, none;
        QTest::newRow("named") << "KodchiangUPC" << 15.75 << all << 96 << "KodchiangUPC" << 21 << 0;
        QTest::newRow("named, 144 dpi") << "AngsanaUPC" << 12.0 << all << 144 << "AngsanaUPC" << 24 << 0;
        QTest::newRow("stand-in") << "KodchiangUPC" << 15.75 << loma << 96 << "Loma" << 13 << 1;
        QTest::newRow("stand-in 17.25") << "KodchiangUPC" << 17.25 << loma << 96 << "Loma" << 14 << 1;
        QTest::newRow("stand-in 20.25") << "KodchiangUPC" << 20.25 << loma << 96 << "Loma" << 17 << 1;
        QTest::newRow("stand-in, 144 dpi") << "KodchiangUPC" << 15.75 << loma << 144 << "Loma" << 20 << 1;
        QTest::newRow("any case") << "angsanaupc" << 12.0 << loma << 96 << "Loma" << 10 << 1;
        QTest::newRow("neither") << "AngsanaUPC" << 12.0 << none << 96 << "Loma" << 10 << 2;
        QTest::newRow("unknown family") << "Tahoma" << 12.0 << none << 96 << "Tahoma" << 16 << 0;
        QTest::newRow("default font") << "" << 0.0 << none << 96 << "" << 0 << 0;
    }
    void chooseFont()
    {
        QFETCH(QString, named);
        QFETCH(double, points);
        QFETCH(QStringList, installed);
        QFETCH(int, dpi);
        QFETCH(QString, family);
        QFETCH(int, pixels);
        QFETCH(int, standIn);
        const auto has = [&](const std::string &f) { return installed.contains(QString::fromStdString(f)); };
        const FontChoice c = vd::tk::chooseFont(Font{named.toStdString(), points}, has, dpi);
        QCOMPARE(QString::fromStdString(c.family), family);
        QCOMPARE(c.pixelSize, pixels);
        QCOMPARE(int(c.standIn) + int(c.missing), standIn);
    }
};

QTEST_APPLESS_MAIN(TestCoreToolkit)
#include "tst_core_toolkit.moc"
