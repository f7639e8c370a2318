// On a real X server: a window unloaded by the handler that shows the next
// window is destroyed before that window is first painted, so that the
// pixels of both (two backing stores) are never held at once. Run on Qt's
// xcb platform, where a window is exposed by the server some time after it
// is shown, as it is for the user.
#include "program_fixture.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

using vd::testing::ProgramFixture;

namespace {

// Whether the window that goes still existed when the window that comes was
// first painted.
class FirstPaint final : public QObject {
public:
    FirstPaint(QString coming, QPointer<QWidget> going) : coming_(std::move(coming)), going_(std::move(going))
    {
        qApp->installEventFilter(this);
    }
    ~FirstPaint() override { qApp->removeEventFilter(this); }

    bool painted = false;
    bool goingStillThere = false;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *w = qobject_cast<QWidget *>(o);
        if (!painted && e->type() == QEvent::Paint && w && w->window()->objectName() == coming_) {
            painted = true;
            goingStillThere = !going_.isNull();
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    QString coming_;
    QPointer<QWidget> going_;
};

// A click from the running event loop, as the user's is; returns once the
// next window has been painted (or after 10 s).
void clickAndWaitForPaint(QWidget *control, FirstPaint &paint)
{
    QTimer::singleShot(0, control,
                       [control] { QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center()); });
    QTimer::singleShot(10'000, qApp, [] { QCoreApplication::exit(1); });
    QCoreApplication::exec();
    QVERIFY2(paint.painted, "the next window was never painted");
}

} // namespace

class TestWindowRelease : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run through on_xvfb.sh)");
    }

    void theWindowThatGoesIsDestroyedBeforeTheNextIsPainted_data()
    {
        QTest::addColumn<bool>("back");
        QTest::newRow("enter: intro window, then the menu") << false;
        QTest::newRow("back: menu, then the intro window") << true;
    }
    void theWindowThatGoesIsDestroyedBeforeTheNextIsPainted()
    {
        QFETCH(bool, back);
        ProgramFixture f;
        QVERIFY(QTest::qWaitForWindowExposed(ProgramFixture::window("Form1")));
        if (back) {
            QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
            QVERIFY(QTest::qWaitForWindowExposed(ProgramFixture::window("Form2")));
        }
        const char *going = back ? "Form2" : "Form1";
        const char *coming = back ? "Form1" : "Form2";
        QWidget *button =
            ProgramFixture::control(going, back ? QStringLiteral("Command63") : QStringLiteral("Command2"));
        QVERIFY(button);

        FirstPaint paint(QLatin1String(coming), ProgramFixture::window(going));
        clickAndWaitForPaint(button, paint);
        QVERIFY(!paint.goingStillThere);
        // And nothing else changed: the next window is up, the other gone.
        QVERIFY(ProgramFixture::window(coming));
        QVERIFY(!ProgramFixture::window(going));
        QVERIFY(f.reports.empty());
        QVERIFY(!f.toolkit.ended());
    }
};

QTEST_MAIN(TestWindowRelease)
#include "tst_window_release.moc"
