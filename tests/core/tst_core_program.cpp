// The top level on any toolkit: the dispatcher's ladder of failures and the
// program's start and exit status, on a fake toolkit.
#include "app/program.h"
#include "app/run.h"

#include <QTest>

#include <new>
#include <stdexcept>

using namespace vd;
using namespace vd::tk;

namespace {

class FakeWindow final : public Window {
public:
    explicit FakeWindow(std::function<void()> onShow) : onShow_(std::move(onShow)) {}
    void show() override { onShow_(); }
    bool isVisible() const override { return true; }
    std::string caption(std::string_view) const override { return {}; }
    void setCaption(std::string_view, std::string_view) override {}

private:
    std::function<void()> onShow_;
};

struct FakeToolkit final : Toolkit {
    bool failToBuild = false, endOnShow = false;
    int execs = 0, leaves = 0;
    QStringList built, shown; // class names; title and text of each failure shown

    std::unique_ptr<Window> build(const WindowLayout &layout, EventSink &) override
    {
        if (failToBuild)
            throw Error(errors::ImageNotFound, "no picture");
        built << QString::fromStdString(layout.className);
        return std::make_unique<FakeWindow>([this] {
            if (endOnShow)
                endProgram();
        });
    }
    void showFailure(std::string_view title, std::string_view text) override
    {
        shown << QString::fromStdString(std::string(title)) << QString::fromStdString(std::string(text));
    }
    int exec() override
    {
        ++execs;
        return 3;
    }
    void leaveEventLoop() override { ++leaves; }
};

} // namespace

class TestCoreProgram : public QObject {
    Q_OBJECT

private slots:
    // Numbers of Word and the automation as they are; the system's status
    // codes in hexadecimal, as Windows documents them.
    void reportedNumber_data()
    {
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Word's") << 5174L << "5174";
        QTest::newRow("the automation's") << 429L << "429";
        QTest::newRow("zero") << 0L << "0";
        QTest::newRow("call rejected") << -2147418111L << "0x80010001";
        QTest::newRow("retry later") << -2147417846L << "0x8001010A";
        QTest::newRow("failure") << -2147467259L << "0x80004005";
    }
    void reportedNumber()
    {
        QFETCH(long, number);
        QFETCH(QString, shown);
        QCOMPARE(QString::fromStdString(app::errorNumberText(number)), shown);
        QVERIFY(QString::fromStdString(app::failureText(Error(number, "x")))
                    .startsWith("เกิดข้อผิดพลาดหมายเลข " + shown + "\n"));
    }

    void theLadder_data()
    {
        QTest::addColumn<int>("thrown");
        QTest::addColumn<long>("number"); // 0: nothing reported
        QTest::addColumn<QString>("description");
        QTest::newRow("Error") << 0 << 438L << "แฟ้มเสีย";
        QTest::newRow("out of memory") << 1 << 7L << "หน่วยความจำไม่พอ";
        QTest::newRow("std::exception") << 2 << 51L << "ข้อผิดพลาดภายในโปรแกรม: boom";
        QTest::newRow("anything else") << 3 << 51L << "ข้อผิดพลาดภายในโปรแกรม";
        QTest::newRow("the end") << 4 << 0L << "";
    }
    void theLadder()
    {
        QFETCH(int, thrown);
        QFETCH(long, number);
        QFETCH(QString, description);
        FakeToolkit toolkit;
        QStringList reported;
        toolkit.setFailureReport([&](const Error &e) {
            reported << QString::number(e.number()) + " " + QString::fromStdString(e.description());
        });
        bool inside = false;
        toolkit.dispatch([&] {
            inside = toolkit.dispatching();
            switch (thrown) {
            case 0:
                throw Error(438, "แฟ้มเสีย");
            case 1:
                throw std::bad_alloc();
            case 2:
                throw std::runtime_error("boom");
            case 3:
                throw 42;
            default:
                toolkit.endProgram();
            }
        });
        QVERIFY(inside && !toolkit.dispatching());
        QCOMPARE(reported.join(QString()), number ? QString::number(number) + " " + description : QString());
        QCOMPARE(toolkit.ended(), number == 0);
        QCOMPARE(toolkit.leaves, number == 0 ? 1 : 0);
        // After the end nothing runs; before it, the next event does.
        bool ran = false;
        toolkit.dispatch([&] { ran = true; });
        QCOMPARE(ran, number != 0);
    }

    // A report that fails goes no further.
    void aFailingReportStaysInside()
    {
        FakeToolkit toolkit;
        toolkit.setFailureReport([](const Error &) { throw std::bad_alloc(); });
        toolkit.dispatch([] { throw Error(13, "x"); });
        QVERIFY(!toolkit.ended() && !toolkit.dispatching());
    }

    void run_data()
    {
        QTest::addColumn<bool>("failToBuild");
        QTest::addColumn<bool>("endOnShow");
        QTest::addColumn<int>("status");
        QTest::newRow("started: the event loop's status") << false << false << 3;
        QTest::newRow("could not start") << true << false << 1;
        QTest::newRow("ended while starting") << false << true << 0;
    }
    void run()
    {
        QFETCH(bool, failToBuild);
        QFETCH(bool, endOnShow);
        QFETCH(int, status);
        FakeToolkit toolkit;
        toolkit.failToBuild = failToBuild;
        toolkit.endOnShow = endOnShow;
        automation::Registry classes;
        QCOMPARE(app::run(toolkit, classes), status);
        QCOMPARE(toolkit.execs, status == 3 ? 1 : 0);
        QCOMPARE(toolkit.built.join(QString()), failToBuild ? QString() : QStringLiteral("Form1"));
        // The user is told why the program could not start.
        const Error why(errors::ImageNotFound, "no picture");
        QStringList told;
        if (failToBuild)
            told << QString::fromStdString(app::failureTitle()) << QString::fromStdString(app::startFailureText(why));
        QCOMPARE(toolkit.shown, told);
    }
};

QTEST_APPLESS_MAIN(TestCoreProgram)
#include "tst_core_program.moc"
