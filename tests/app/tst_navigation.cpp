// Moving between the two windows and ending the program, driven through the
// real buttons of the real windows.
#include "program_fixture.h"

#include <QPointer>

using vd::testing::ProgramFixture;

namespace {

// Records when top-level windows become visible and go, in order.
class WindowEvents final : public QObject {
public:
    QStringList seen;
    WindowEvents() { qApp->installEventFilter(this); }
    ~WindowEvents() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && w->isWindow() && !w->objectName().isEmpty()) {
            if (e->type() == QEvent::Show)
                seen << QStringLiteral("show ") + w->objectName();
            else if (e->type() == QEvent::Hide)
                seen << QStringLiteral("hide ") + w->objectName();
        }
        return false;
    }
};

} // namespace

class TestNavigation : public QObject {
    Q_OBJECT

private slots:
    void startShowsOnlyTheIntroWindow()
    {
        ProgramFixture f;
        QVERIFY(ProgramFixture::window("Form1"));
        QVERIFY(f.program->form1().isLoaded());
        QVERIFY(!f.program->hasForm2()); // the menu's instance is created on first entry
        QVERIFY(!f.toolkit.ended());
        QVERIFY(f.reports.empty());
    }

    void enterShowsTheMenuBeforeTheIntroGoes()
    {
        ProgramFixture f;
        QPointer<QWidget> intro = ProgramFixture::window("Form1");
        WindowEvents events;
        QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
        QCOMPARE(events.seen, QStringList({"show Form2", "hide Form1"}));
        QVERIFY(intro.isNull()); // the intro window and its controls are destroyed
        QVERIFY(!f.program->form1().isLoaded());
        QVERIFY(f.program->form2().isLoaded());
        QVERIFY(ProgramFixture::window("Form2"));
        QVERIFY(f.reports.empty());
    }

    void backShowsTheIntroBeforeTheMenuGoes()
    {
        ProgramFixture f;
        QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
        QPointer<QWidget> menu = ProgramFixture::window("Form2");
        WindowEvents events;
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command63")));
        QCOMPARE(events.seen, QStringList({"show Form1", "hide Form2"}));
        QVERIFY(menu.isNull());
        QVERIFY(f.program->form1().isLoaded());
        QVERIFY(!f.program->form2().isLoaded());
        QVERIFY(!f.toolkit.ended());
    }

    void enteringAgainRebuildsTheMenuAndKeepsWordApp()
    {
        ProgramFixture f;
        QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command5")));
        const vd::automation::ObjectRef first = f.program->form2().WordApp;
        QVERIFY(first);
        QPointer<QWidget> firstMenu = ProgramFixture::window("Form2");
        f.program->form2().setCaption("Label1", "left over");
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command63")));
        QVERIFY(firstMenu.isNull());
        QCOMPARE(f.program->form2().WordApp, first); // survives the unloading

        QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
        QVERIFY(ProgramFixture::window("Form2"));
        QCOMPARE(ProgramFixture::labelText(), QString()); // built afresh
        QCOMPARE(f.program->form2().WordApp, first);
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command5")));
        QVERIFY(f.program->form2().WordApp != first); // the click dropped it
    }

    void goingBackRebuildsTheIntroWindow()
    {
        ProgramFixture f;
        QPointer<QWidget> firstIntro = ProgramFixture::window("Form1");
        QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command63")));
        QVERIFY(firstIntro.isNull());
        QWidget *intro = ProgramFixture::window("Form1");
        QVERIFY(intro);
        for (const char *name : {"Command1", "Command2", "Image1"})
            QVERIFY2(intro->findChild<QWidget *>(QLatin1String(name)), name);
    }

    void exitButtonsEndTheProgram_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("intro Command1") << false;
        QTest::newRow("menu Command64") << true;
    }
    void exitButtonsEndTheProgram()
    {
        QFETCH(bool, fromMenu);
        ProgramFixture f;
        if (fromMenu) {
            QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
            QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command5"))); // a document is open
            QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command64")));
        } else {
            QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command1")));
        }
        QVERIFY(f.toolkit.ended());
        QVERIFY(!ProgramFixture::window("Form1"));
        QVERIFY(!ProgramFixture::window("Form2"));
        QVERIFY(f.reports.empty());
        // Nothing was asked of the word processor at the end: no close, no quit.
        for (const std::string &call : f.word.calls) {
            QVERIFY2(call.find("Quit") == std::string::npos, call.c_str());
            QVERIFY2(call.find("Close") == std::string::npos, call.c_str());
        }
        // After the end, no event reaches the program any more.
        const auto calls = f.word.calls.size();
        f.toolkit.dispatch([&] { f.program->form2().openGroup(1); });
        QCOMPARE(f.word.calls.size(), calls);
    }

    void systemCloseOfEitherWindowEndsTheProgram_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::newRow("intro window") << false;
        QTest::newRow("menu window") << true;
    }
    void systemCloseOfEitherWindowEndsTheProgram()
    {
        QFETCH(bool, menu);
        ProgramFixture f;
        if (menu)
            QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
        QWidget *w = ProgramFixture::window(menu ? "Form2" : "Form1");
        QVERIFY(w);
        QVERIFY(w->close()); // as the window manager asks it to
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.toolkit.ended());
        QVERIFY(!f.program->form1().isLoaded()); // the menu never returns to the intro window
        QVERIFY(!f.program->hasForm2() || !f.program->form2().isLoaded());
        QVERIFY(!ProgramFixture::window("Form1"));
        QVERIFY(!ProgramFixture::window("Form2"));
        QVERIFY(f.reports.empty());
    }

    void keyboardEnterRightAfterShowingEndsTheProgram()
    {
        ProgramFixture f;
        QWidget *intro = ProgramFixture::window("Form1");
        QVERIFY(intro);
        QWidget *focused = intro->focusWidget();
        QVERIFY(focused);
        QCOMPARE(focused->objectName(), QStringLiteral("Command1"));
        QTest::keyClick(focused, Qt::Key_Return);
        QVERIFY(f.toolkit.ended());
    }

    void aHandlerUsingItsUnloadedWindowIsReported()
    {
        ProgramFixture f;
        // Touching a control of a window that isn't loaded is a failure of its
        // own, reported at the top level; the program goes on.
        f.toolkit.dispatch([&] { f.program->form2().setCaption("Label1", "x"); });
        QCOMPARE(f.reports.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(f.reports.front()).contains(QStringLiteral("424")));
        QVERIFY(!f.toolkit.ended());
        QVERIFY(ProgramFixture::window("Form1"));
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
