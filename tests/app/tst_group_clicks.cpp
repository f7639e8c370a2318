// What a click on a group button asks of the word processor, and what a
// failure on the way does.
#include "program_fixture.h"

#include "forms/menu/group_document.h"

using vd::testing::ProgramFixture;

namespace {
QStringList calls(const vd::testing::WordLog &log)
{
    QStringList out;
    for (const std::string &c : log.calls)
        out << QString::fromStdString(c);
    return out;
}

void enter(ProgramFixture &)
{
    QVERIFY(ProgramFixture::click("Form1", QStringLiteral("Command2")));
    QVERIFY(ProgramFixture::window("Form2"));
}
} // namespace

class TestGroupClicks : public QObject {
    Q_OBJECT

private slots:
    void theDocumentPaths_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("path");
        QTest::newRow("1") << 1 << R"(c:\Program Files\Velodane\vd1.doc)";
        QTest::newRow("9") << 9 << R"(c:\Program Files\Velodane\vd9.doc)";
        QTest::newRow("10") << 10 << R"(c:\Program Files\Velodane\vd10.doc)";
        QTest::newRow("62") << 62 << R"(c:\Program Files\Velodane\vd62.doc)";
    }
    void theDocumentPaths()
    {
        QFETCH(int, group);
        QFETCH(QString, path);
        QCOMPARE(QString::fromStdString(vd::forms::GroupDocument(group)), path);
    }

    void buttonNamesToGroups_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("group"); // 0: not a group button
        QTest::newRow("first") << "Command1" << 1;
        QTest::newRow("last") << "Command62" << 62;
        QTest::newRow("back") << "Command63" << 0;
        QTest::newRow("exit") << "Command64" << 0;
        QTest::newRow("zero") << "Command0" << 0;
        QTest::newRow("leading zero") << "Command07" << 0;
        QTest::newRow("no number") << "Command" << 0;
        QTest::newRow("trailing text") << "Command5x" << 0;
        QTest::newRow("sign") << "Command-5" << 0;
        QTest::newRow("label") << "Label1" << 0;
        QTest::newRow("huge") << "Command99999999999999999999" << 0;
    }
    void buttonNamesToGroups()
    {
        QFETCH(QString, name);
        QFETCH(int, group);
        const auto found = vd::forms::groupOfButton(name.toStdString());
        QCOMPARE(found.value_or(0), group);
    }

    // Every button, clicked for real, makes the same four calls with its own path.
    void everyGroupButtonOpensItsDocument_data()
    {
        QTest::addColumn<int>("group");
        for (int n = 1; n <= 62; ++n)
            QTest::addRow("group %d", n) << n;
    }
    void everyGroupButtonOpensItsDocument()
    {
        QFETCH(int, group);
        ProgramFixture f;
        enter(f);
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command%1").arg(group)));
        const QString path = QStringLiteral(R"(c:\Program Files\Velodane\vd%1.doc)").arg(group);
        QCOMPARE(calls(f.word), QStringList({"create #1", "#1 put Visible true", "#1 get-or-call documents",
                                             "#1.documents Open \"" + path + "\" (method)"}));
        QVERIFY(f.reports.empty());
        QVERIFY(ProgramFixture::window("Form2"));
    }

    void aSecondClickCreatesASecondObjectAndDropsTheFirst()
    {
        ProgramFixture f;
        enter(f);
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command9")));
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command9")));
        QCOMPARE(f.word.created, 2);
        QCOMPARE(calls(f.word).mid(4),
                 QStringList({"create #2", "#2 put Visible true", "#2 get-or-call documents",
                              R"(#2.documents Open "c:\Program Files\Velodane\vd9.doc" (method))"}));
        QVERIFY(f.word.objects[0].expired()); // dropped, and nothing asked of it
        QVERIFY(!f.word.objects[1].expired());
    }

    // A failure at any one of the four calls: the later calls don't run, the
    // user is told the number and description, and the program goes on.
    void aFailingCallIsReportedAndTheProgramGoesOn_data()
    {
        QTest::addColumn<QString>("failOn");
        QTest::addColumn<int>("callsMade");
        QTest::addColumn<bool>("wordAppReplaced");
        QTest::newRow("create") << "create" << 1 << false;
        QTest::newRow("Visible") << "put Visible" << 2 << true;
        QTest::newRow("documents") << "get-or-call documents" << 3 << true;
        QTest::newRow("documents not an object") << "documents-not-object" << 3 << true;
        QTest::newRow("Open") << "Open" << 4 << true;
    }
    void aFailingCallIsReportedAndTheProgramGoesOn()
    {
        QFETCH(QString, failOn);
        QFETCH(int, callsMade);
        QFETCH(bool, wordAppReplaced);
        ProgramFixture f;
        enter(f);
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command3"))); // a first object
        const vd::automation::ObjectRef before = f.program->form2().WordApp;
        f.word.calls.clear();
        f.word.failOn = failOn.toStdString();

        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command10")));
        QCOMPARE(f.word.calls.size(), std::size_t(callsMade));
        QCOMPARE(f.reports.size(), std::size_t(1));
        const QString report = QString::fromStdString(f.reports.front());
        QVERIFY2(report.contains(failOn == "documents-not-object" ? QStringLiteral("424")
                                 : failOn == "create"             ? QStringLiteral("429")
                                                                  : QStringLiteral("1234")),
                 qPrintable(report));
        QCOMPARE(f.program->form2().WordApp != before, wordAppReplaced);
        QVERIFY(f.program->form2().WordApp);
        QVERIFY(!f.toolkit.ended());
        QVERIFY(ProgramFixture::window("Form2"));

        // The next click works as ever.
        f.word.failOn.clear();
        f.word.calls.clear();
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command11")));
        QCOMPARE(f.word.calls.size(), std::size_t(4));
        QCOMPARE(f.reports.size(), std::size_t(1));
    }

    void openFailureComesAfterVisibleWasSet()
    {
        ProgramFixture f;
        enter(f);
        f.word.failOn = "Open";
        QVERIFY(ProgramFixture::click("Form2", QStringLiteral("Command1")));
        QCOMPARE(calls(f.word).mid(0, 2), QStringList({"create #1", "#1 put Visible true"}));
        QCOMPARE(f.reports.size(), std::size_t(1));
    }

    void classNamesAreMatchedWithoutRegardToCase()
    {
        vd::testing::WordLog log;
        vd::automation::Registry r;
        vd::testing::registerFakeWord(r, log);
        QVERIFY(r.create("word.APPLICATION"));
        QVERIFY(r.create("WORD.application"));
        QCOMPARE(log.created, 2);
        for (const char *other : {"excel.Application", "word.Applicatio", "wordxApplication", ""}) {
            try {
                r.create(other);
                QFAIL(other);
            } catch (const vd::Error &e) {
                QCOMPARE(e.number(), 429L);
            }
        }
        QCOMPARE(log.created, 2);
    }
};

QTEST_MAIN(TestGroupClicks)
#include "tst_group_clicks.moc"
