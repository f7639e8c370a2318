// The intro window as a person sees it: the real start-up window grabbed as
// pixels, its buttons, pointers, tooltips and keyboard.
#include "look.h"

#include "artwork/catalogue.h"
#include "toolkit/qt/graphic_button.h"

#include <QAccessible>
#include <QFile>
#include <QScreen>

using namespace vd::testing;
namespace design = vd::design;
using vd::qt::GraphicButton;

namespace {

constexpr int Edge = GraphicButton::Edge;

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

GraphicButton *button(const char *name)
{
    return dynamic_cast<GraphicButton *>(ProgramFixture::control("Form1", QLatin1String(name)));
}

// How many of the whole pages of this memory are in this process's resident
// set (/proc/self/pagemap); -1 where that can't be read.
int residentPages(const uchar *begin, qsizetype length)
{
    QFile map(QStringLiteral("/proc/self/pagemap"));
    if (!map.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return -1;
    const quintptr page = 4096;
    const quintptr first = (reinterpret_cast<quintptr>(begin) + page - 1) / page;
    const quintptr end = (reinterpret_cast<quintptr>(begin) + quintptr(length)) / page;
    int resident = 0;
    for (quintptr p = first; p < end; ++p) {
        quint64 entry = 0;
        if (!map.seek(qint64(p * 8)) || map.read(reinterpret_cast<char *>(&entry), 8) != 8)
            return -1;
        resident += int(entry >> 63);
    }
    return resident;
}

} // namespace

class TestIntroLook : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    QWidget *intro = nullptr;

private slots:
    void init()
    {
        f = std::make_unique<ProgramFixture>();
        intro = ProgramFixture::window("Form1");
        QVERIFY(intro);
        QCoreApplication::processEvents();
        QVERIFY(intro->isActiveWindow());
    }
    void cleanup()
    {
        f.reset();
        intro = nullptr;
    }

    void theWindowIsBorderlessFixedAndCentred()
    {
        QVERIFY(intro->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(intro->windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(intro->size(), QSize(design::toPixels(design::intro::Width), design::toPixels(design::intro::Height)));
        QCOMPARE(intro->minimumSize(), intro->maximumSize());
        const QPoint screenCentre = intro->screen()->availableGeometry().center();
        QVERIFY((intro->frameGeometry().center() - screenCentre).manhattanLength() <= 1);
        QVERIFY(!intro->testAttribute(Qt::WA_SetCursor));
        // Its icon is IslandIcon, both sizes.
        const QIcon icon = intro->windowIcon();
        QVERIFY(intro->testAttribute(Qt::WA_SetWindowIcon));
        QCOMPARE(icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32),
                 iconImage("IslandIcon"));
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    }

    void controlsArePlacedAndStacked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("Command2") << "Command2" << pixels(design::intro::EnterButton);
        QTest::newRow("Command1") << "Command1" << pixels(design::intro::ExitButton);
        QTest::newRow("Image1") << "Image1" << pixels(design::intro::Picture);
    }
    void controlsArePlacedAndStacked()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QWidget *c = intro->findChild<QWidget *>(name);
        QVERIFY(c);
        QCOMPARE(c->geometry(), rect);
        // Each is the topmost control at its centre: the buttons lie over the picture.
        QCOMPARE(intro->childAt(rect.center())->objectName(), name);
    }

    void theFiguresOnTheScreen()
    {
        QCOMPARE(ProgramFixture::control("Form1", QStringLiteral("Image1"))->geometry(), QRect(0, 0, 545, 353));
        QCOMPARE(ProgramFixture::control("Form1", QStringLiteral("Command1"))->geometry(), QRect(1, 310, 166, 43));
        QCOMPARE(ProgramFixture::control("Form1", QStringLiteral("Command2"))->geometry(), QRect(378, 310, 166, 43));
    }

    // The window's own background, the button-face colour, shows in a strip
    // of 2 px at the right and at the bottom.
    void theStripAtTheRightAndBottom_data()
    {
        QTest::addColumn<QRect>("strip");
        QTest::newRow("right") << QRect(545, 0, 2, 355);
        QTest::newRow("bottom") << QRect(0, 353, 547, 2);
    }
    void theStripAtTheRightAndBottom()
    {
        QFETCH(QRect, strip);
        QCOMPARE(notAllOf(grabbed(intro), strip, buttonFace()), QString());
    }

    // The picture fills Image1 stretched, whole, where the buttons leave it.
    void thePictureIsStretchedWhole()
    {
        const QImage image = grabbed(intro);
        const qreal d = ratio(image);
        const QImage picture =
            QPixmap(QStringLiteral(":/artwork/IntroPicture.jpg"))
                .scaled((QSizeF(545, 353) * d).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        const QRect left = devicePixels(image, pixels(design::intro::ExitButton));
        const QRect right = devicePixels(image, pixels(design::intro::EnterButton));
        int compared = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                if (left.contains(x, y) || right.contains(x, y))
                    continue;
                QVERIFY2(image.pixel(x, y) == picture.pixel(x, y),
                         qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
                ++compared;
            }
        QVERIFY(compared > 545 * 353 * d * d * 0.9);
    }

    // While the menu is shown, the photograph's pixels, read in place from
    // the program's pages, are given back to the system; the intro window
    // shown again draws it the same, pixel for pixel.
    void thePictureIsGivenBackWhileNotShownAndDrawnTheSameAgain()
    {
        const auto picture = [] { return grabbed(ProgramFixture::control("Form1", QStringLiteral("Image1"))); };
        const QImage before = picture();
        const qreal d = ratio(before);
        const QImage drawn = f->toolkit.images().picture("IntroPicture", (QSizeF(545, 353) * d).toSize(), d).toImage();
        const int pages = int(drawn.sizeInBytes() / 4096) - 1;
        const bool inPlace = d == 1 && residentPages(drawn.constBits(), drawn.sizeInBytes()) >= pages;

        QVERIFY(enterMenu());
        if (inPlace)
            QCOMPARE(residentPages(drawn.constBits(), drawn.sizeInBytes()), 0);
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command63")));
        QVERIFY(ProgramFixture::control("Form1", QStringLiteral("Image1")));
        QCOMPARE(picture(), before);
        if (!inPlace)
            QSKIP("the photograph is a copy here (not the standard pixel density): nothing to give back");
    }

    // Each button covers the painted panel under it: its face colour, its
    // raised edge and its picture, nothing of the photograph.
    void theButtonsCoverThePanels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("picture");
        QTest::newRow("exit") << "Command1" << qcolor(design::intro::ExitColour) << "RedLightPicture";
        QTest::newRow("enter") << "Command2" << qcolor(design::intro::EnterColour) << "GreenLightPicture";
    }
    void theButtonsCoverThePanels()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        QFETCH(QString, picture);
        GraphicButton *b = button(name.toLatin1().constData());
        QVERIFY(b);
        QVERIFY(b->text().isEmpty());
        const QImage image = grabbed(intro);
        const QRect r = b->geometry();
        // Raised edge.
        QCOMPARE(notAllOf(image, QRect(r.left(), r.top(), r.width() - 1, 1), White), QString());
        QCOMPARE(notAllOf(image, QRect(r.left(), r.bottom(), r.width(), 1), QColor(0, 0, 0)), QString());
        QCOMPARE(notAllOf(image, QRect(r.right(), r.top(), 1, r.height()), QColor(0, 0, 0)), QString());
        // The face inside the focus ring: face colour but for the picture.
        const QRect at = b->pictureRect().translated(r.topLeft());
        const QRect inner = r.adjusted(Edge + 2, Edge + 2, -(Edge + 2), -(Edge + 2));
        const QColor want = colour;
        for (int y = inner.top(); y <= inner.bottom(); ++y)
            for (int x = inner.left(); x <= inner.right(); ++x)
                if (!at.contains(x, y))
                    QCOMPARE(describe(colourAt(image, x, y)), describe(want));
        // The picture, centred, its transparent pixels in the face colour.
        QCOMPARE(at.size(), QSize(32, 32));
        QVERIFY(std::abs((at.left() - r.left()) - (r.right() - at.right())) <= 1);
        QVERIFY(std::abs((at.top() - r.top()) - (r.bottom() - at.bottom())) <= 1);
        const QImage icon = iconImage(picture.toLatin1().constData());
        int transparent = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb p = icon.pixel(x, y);
                transparent += qAlpha(p) == 0;
                QCOMPARE(describe(colourAt(image, at.left() + x, at.top() + y)),
                         describe(qAlpha(p) == 0 ? colour : QColor::fromRgb(p)));
            }
        QVERIFY(transparent > 0);
    }

    void tooltipsPointersAndNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("pointer");
        QTest::addColumn<QString>("accessible");
        // The exit button's tooltip has a doubled letter as designed; a
        // screen reader hears its name spelt right, and the tooltip as its
        // description.
        QTest::newRow("exit") << "Command1" << thai("อออกจากโปรแกรม") << "StopPointer" << thai("ออกจากโปรแกรม");
        QTest::newRow("enter") << "Command2" << thai("เลือกกลุ่มชุดดิน") << "ForwardPointer" << thai("เลือกกลุ่มชุดดิน");
        QTest::newRow("picture") << "Image1" << QString() << QString() << thai("คำอธิบายกลุ่มชุดดิน");
    }
    void tooltipsPointersAndNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, tooltip);
        QFETCH(QString, pointer);
        QFETCH(QString, accessible);
        QWidget *w = ProgramFixture::control("Form1", name);
        QVERIFY(w);
        QCOMPARE(w->toolTip(), tooltip);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), accessible);
        QCOMPARE(a->text(QAccessible::Description), tooltip);
        if (pointer.isEmpty()) {
            QVERIFY(!w->testAttribute(Qt::WA_SetCursor));
            QCOMPARE(w->focusPolicy(), Qt::NoFocus);
            return;
        }
        QCOMPARE(w->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(w->cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                 pointerImage(pointer.toLatin1().constData(), w->devicePixelRatioF()));
        QCOMPARE(w->cursor().pixmap().devicePixelRatio(), w->devicePixelRatioF());
    }

    void theFocusOrder()
    {
        const QString first = QLatin1String(design::intro::FocusOrder[0]);
        const QString second = QLatin1String(design::intro::FocusOrder[1]);
        QCOMPARE(QApplication::focusWidget()->objectName(), first);
        press(intro, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), second);
        press(intro, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), first);
        press(intro, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), second);
        QVERIFY(!f->toolkit.ended());
    }

    // Right after the window is shown, the keys that press the focused
    // button end the program.
    void keysRightAfterShowingEndTheProgram_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void keysRightAfterShowingEndTheProgram()
    {
        QFETCH(int, key);
        press(intro, Qt::Key(key));
        QVERIFY(f->toolkit.ended());
        QVERIFY(!ProgramFixture::window("Form1"));
        QVERIFY(f->reports.empty());
    }

    void theEnterButtonByKeyboard()
    {
        press(intro, Qt::Key_Tab);
        press(intro, Qt::Key_Return);
        QVERIFY(!f->toolkit.ended());
        QWidget *menu = ProgramFixture::window("Form2");
        QVERIFY(menu);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
        QCOMPARE(QApplication::focusWidget()->window(), menu);
    }
};

QTEST_MAIN(TestIntroLook)
#include "tst_intro_look.moc"
