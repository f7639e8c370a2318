// The caption line follows the pointer: real pointer movements over the
// menu window, delivered by Qt to whatever lies under the pointer.
#include "look.h"

#include <QAbstractButton>
#include <QMouseEvent>

using namespace vd::testing;

namespace {

// Which widgets receive pointer movements, in order.
class MoveSpy final : public QObject {
public:
    QStringList receivers;
    MoveSpy() { qApp->installEventFilter(this); }
    ~MoveSpy() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::MouseMove && o->isWidgetType())
            receivers << o->objectName();
        return false;
    }
};

QPoint centreOfGroup(int n)
{
    return pixels(vd::design::menu::group(n)).center();
}

// Moves the pointer, as the user would, to a point of the window: the
// movement enters Qt as the window system's would, and Qt delivers it to the
// topmost widget under the pointer.
void movePointer(QWidget *window, QPoint at)
{
    QTest::mouseMove(window->windowHandle(), at);
}

// Puts the pointer on the window's own surface, below the back and exit
// buttons, where moving it changes nothing; the next movement starts from
// there.
void park(QWidget *window)
{
    movePointer(window, QPoint(350, 472));
}

} // namespace

class TestHover : public QObject {
    Q_OBJECT

private slots:
    void thePointerNamesTheGroupOrClears_data()
    {
        QTest::addColumn<QPoint>("before"); // where the pointer was; (-1,-1): nowhere in the window
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("receiver"); // the control that the movement reaches
        QTest::addColumn<QString>("text");     // the caption line afterwards

        const QPoint none(-1, -1), group25 = centreOfGroup(25);
        for (int n = 1; n <= 62; ++n)
            QTest::addRow("group %d", n) << none << centreOfGroup(n) << QStringLiteral("Command%1").arg(n)
                                         << groupName(n);
        // The edge pixels of neighbouring buttons: the tiles, not the frame.
        QTest::newRow("first pixel of 1") << group25 << QPoint(24, 24) << "Command1" << groupName(1);
        QTest::newRow("last pixel of 1") << group25 << QPoint(123, 46) << "Command1" << groupName(1);
        QTest::newRow("first pixel of 11") << group25 << QPoint(124, 24) << "Command11" << groupName(11);
        QTest::newRow("last pixel of 60") << group25 << QPoint(623, 299) << "Command60" << groupName(60);
        QTest::newRow("first pixel of 62") << group25 << QPoint(624, 162) << "Command62" << groupName(62);
        // The frame's background, the banner and the caption line clear it.
        QTest::newRow("frame above the block") << group25 << QPoint(300, 10) << "Frame1" << QString();
        QTest::newRow("frame strip below the block") << group25 << QPoint(300, 302) << "Frame1" << QString();
        QTest::newRow("frame left of the banner") << group25 << QPoint(12, 350) << "Frame1" << QString();
        QTest::newRow("frame right of 61") << group25 << QPoint(688, 60) << "Frame1" << QString();
        QTest::newRow("frame below the banner") << group25 << QPoint(300, 412) << "Frame1" << QString();
        QTest::newRow("frame outline") << group25 << QPoint(0, 200) << "Frame1" << QString();
        QTest::newRow("banner") << group25 << QPoint(400, 350) << "Image1" << QString();
        QTest::newRow("banner beside the caption line") << group25 << QPoint(55, 390) << "Image1" << QString();
        QTest::newRow("caption line") << group25 << QPoint(100, 390) << "Label1" << QString();
        QTest::newRow("caption line corner") << group25 << QPoint(56, 380) << "Label1" << QString();
        // The back and exit buttons and the window's own surface leave it.
        QTest::newRow("back button") << group25 << QPoint(170, 440) << "Command63" << groupName(25);
        QTest::newRow("exit button") << group25 << QPoint(530, 440) << "Command64" << groupName(25);
        QTest::newRow("between back and exit") << group25 << QPoint(350, 440) << "Form2" << groupName(25);
        QTest::newRow("below back and exit") << group25 << QPoint(100, 472) << "Form2" << groupName(25);
        QTest::newRow("61 after 25") << group25 << centreOfGroup(61) << "Command61" << groupName(61);
        QTest::newRow("62 after 61") << centreOfGroup(61) << centreOfGroup(62) << "Command62" << groupName(62);
    }
    void thePointerNamesTheGroupOrClears()
    {
        QFETCH(QPoint, before);
        QFETCH(QPoint, at);
        QFETCH(QString, receiver);
        QFETCH(QString, text);
        ProgramFixture f;
        QWidget *menu = enterMenu();
        QVERIFY(menu);
        park(menu);
        if (before != QPoint(-1, -1)) {
            movePointer(menu, before);
            QVERIFY(ProgramFixture::labelText() != QString());
        }
        MoveSpy spy;
        movePointer(menu, at);
        // Exactly one movement, to the topmost control under the pointer;
        // nothing passes it on to the frame or the window.
        QCOMPARE(spy.receivers, QStringList{receiver});
        QCOMPARE(ProgramFixture::labelText(), text);
        QVERIFY(f.reports.empty());
    }

    // A group button's caption is read when the pointer moves over it.
    void theCaptionIsReadAtTheMomentOfTheMovement()
    {
        ProgramFixture f;
        QWidget *menu = enterMenu();
        QVERIFY(menu);
        park(menu);
        auto *b = qobject_cast<QAbstractButton *>(ProgramFixture::control("Form2", QStringLiteral("Command5")));
        QVERIFY(b);
        b->setText(thai("ชุดดินใหม่"));
        movePointer(menu, centreOfGroup(5));
        QCOMPARE(ProgramFixture::labelText(), thai("ชุดดินใหม่"));
        movePointer(menu, centreOfGroup(5) + QPoint(1, 1));
        b->setText(thai("ชุดดินที่ห้า"));
        movePointer(menu, centreOfGroup(5));
        QCOMPARE(ProgramFixture::labelText(), thai("ชุดดินที่ห้า"));
    }

    // Every movement sets the line again, also to what it already shows.
    void everyGroupInTurn()
    {
        ProgramFixture f;
        QWidget *menu = enterMenu();
        QVERIFY(menu);
        park(menu);
        for (int n = 1; n <= 62; ++n) {
            movePointer(menu, centreOfGroup(n));
            QCOMPARE(ProgramFixture::labelText(), groupName(n));
            f.program->form2().setCaption("Label1", "x");
            movePointer(menu, centreOfGroup(n) + QPoint(2, 1));
            QCOMPARE(ProgramFixture::labelText(), groupName(n));
        }
    }

    // The line drawn again, after every group name has been shown since it
    // was first drawn, is the same pixels (only the last few texts are kept
    // drawn).
    void aLineShownLongAgoIsDrawnTheSame()
    {
        ProgramFixture f;
        QWidget *menu = enterMenu();
        QVERIFY(menu);
        const QRect line = pixels(vd::design::menu::CaptionLine);
        const auto shown = [&] { return grabbed(menu).copy(devicePixels(grabbed(menu), line)); };
        park(menu);
        movePointer(menu, centreOfGroup(7));
        const QImage first = shown();
        for (int n = 1; n <= 62; ++n) {
            movePointer(menu, centreOfGroup(n));
            QCOMPARE(ProgramFixture::labelText(), groupName(n));
            if (n == 8)
                QVERIFY(shown() != first);
        }
        movePointer(menu, centreOfGroup(7));
        QCOMPARE(shown(), first);
    }

    // After going back and entering again, the line is empty until the
    // pointer reaches a group button; it shows as the empty orange box.
    void theLineStartsEmptyAfterEveryLoad()
    {
        ProgramFixture f;
        QWidget *menu = enterMenu();
        QVERIFY(menu);
        park(menu);
        movePointer(menu, centreOfGroup(25));
        QCOMPARE(ProgramFixture::labelText(), groupName(25));
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command63")));
        QVERIFY(ProgramFixture::window("Form1"));
        menu = enterMenu();
        QVERIFY(menu);
        QCOMPARE(ProgramFixture::labelText(), QString());
        QCOMPARE(notAllOf(grabbed(menu), pixels(vd::design::menu::CaptionLine), LightOrange), QString());
        park(menu);
        movePointer(menu, centreOfGroup(40));
        QCOMPARE(ProgramFixture::labelText(), groupName(40));
    }

    // While a button is held down the movements go to it, wherever the
    // pointer is.
    void aHeldButtonKeepsTheMovements()
    {
        ProgramFixture f;
        QWidget *menu = enterMenu();
        QVERIFY(menu);
        park(menu);
        movePointer(menu, centreOfGroup(7));
        QTest::mousePress(menu->windowHandle(), Qt::LeftButton, {}, centreOfGroup(7));
        MoveSpy spy;
        QTest::mouseMove(menu->windowHandle(), QPoint(400, 350));
        QCOMPARE(spy.receivers, QStringList{QStringLiteral("Command7")});
        QCOMPARE(ProgramFixture::labelText(), groupName(7));
        QTest::mouseRelease(menu->windowHandle(), Qt::LeftButton, {}, QPoint(400, 350));
        QVERIFY(f.word.calls.empty()); // let go off the button: no click
    }
};

QTEST_MAIN(TestHover)
#include "tst_hover.moc"
