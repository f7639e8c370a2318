// A seeded storm of real input over whichever window is shown, with a word
// processor that fails at random at each of its calls. Set VELODANE_STORM_SEED
// to replay a run, VELODANE_STORM_EVENTS to change its length.
#include "app/program.h"
#include "automation/automation.h"
#include "forms/intro/form1.h"
#include "forms/menu/form2.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>
#include <random>

namespace {

using vd::automation::Object;
using vd::automation::ObjectRef;
using vd::automation::Value;

struct Faults {
    std::mt19937 *random = nullptr;
    long injected = 0;
    void maybeFail(const char *where)
    {
        if (std::uniform_int_distribution<int>(0, 4)(*random) == 0) {
            ++injected;
            throw vd::Error(9000 + injected % 100, std::string("storm failure in ") + where);
        }
    }
};

class Flaky final : public Object {
public:
    Flaky(Faults &faults, bool documents) : faults_(faults), documents_(documents) {}
    Value invoke(std::string_view member, unsigned, std::span<const Value>) override
    {
        faults_.maybeFail(documents_ ? "Open" : std::string(member).c_str());
        if (!documents_ && vd::automation::sameName(member, "documents"))
            return std::make_shared<Flaky>(faults_, true);
        return {};
    }

private:
    Faults &faults_;
    bool documents_;
};

QWidget *shownWindow(int *count)
{
    QWidget *shown = nullptr;
    *count = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() &&
            (w->objectName() == QLatin1String("Form1") || w->objectName() == QLatin1String("Form2"))) {
            shown = w;
            ++*count;
        }
    }
    return shown;
}

// The offscreen platform says this at every window shown; nothing else is dropped.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.contains(QLatin1String("does not support raise()")))
        previousHandler(type, context, message);
}

} // namespace

class TestStorm : public QObject {
    Q_OBJECT

private slots:
    void survivesAStormOfInput()
    {
        const quint32 seed = qEnvironmentVariableIsSet("VELODANE_STORM_SEED")
                                 ? qEnvironmentVariable("VELODANE_STORM_SEED").toUInt()
                                 : std::random_device{}();
        const long events = qEnvironmentVariableIsSet("VELODANE_STORM_EVENTS")
                                ? qEnvironmentVariable("VELODANE_STORM_EVENTS").toLong()
                                : 50000;
        previousHandler = qInstallMessageHandler(quietHandler);
        qInfo("storm seed %u (replay with VELODANE_STORM_SEED=%u), %ld events", seed, seed, events);
        std::mt19937 random(seed);
        Faults faults{&random};
        vd::automation::Registry classes;
        classes.add("word.Application", [&faults]() -> ObjectRef {
            faults.maybeFail("create");
            return std::make_shared<Flaky>(faults, false);
        });

        long reports = 0, runs = 0, ends = 0, clicks = 0, moves = 0, keys = 0, closes = 0;
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };

        for (long done = 0; done < events;) {
            vd::qt::QtToolkit toolkit;
            toolkit.setMessageHook([&](const std::string &, const std::string &) { ++reports; });
            auto program = std::make_unique<vd::app::Program>(toolkit, classes);
            toolkit.dispatch([&] { program->start(); });
            ++runs;
            while (done < events && !toolkit.ended()) {
                int shownCount = 0;
                QWidget *window = shownWindow(&shownCount);
                QCOMPARE(shownCount, 1);
                const int what = pick(1000);
                if (what < 600) {
                    const QPoint p(pick(window->width()), pick(window->height()));
                    QWidget *target = window->childAt(p) ? window->childAt(p) : window;
                    QTest::mouseMove(target, target->mapFrom(window, p));
                    QMouseEvent move(QEvent::MouseMove, target->mapFrom(window, p), window->mapToGlobal(p),
                                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                    QApplication::sendEvent(target, &move);
                    ++moves;
                } else if (what < 900) {
                    const QPoint p(pick(window->width()), pick(window->height()));
                    QWidget *target = window->childAt(p) ? window->childAt(p) : window;
                    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, p));
                    ++clicks;
                } else if (what < 999) {
                    static constexpr Qt::Key Keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Tab, Qt::Key_Space,
                                                       Qt::Key_Return};
                    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
                    QTest::keyClick(target, Keys[pick(5)]);
                    ++keys;
                } else {
                    window->close();
                    ++closes;
                }
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                ++done;
                if (!toolkit.ended()) {
                    int count = 0;
                    shownWindow(&count);
                    QVERIFY2(count == 1,
                             qPrintable(QStringLiteral("%1 windows shown after event %2").arg(count).arg(done)));
                }
            }
            if (toolkit.ended()) {
                ++ends;
                int count = 0;
                shownWindow(&count);
                QCOMPARE(count, 0);
            }
            program.reset();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        qInfo("runs %ld, ended %ld, moves %ld, clicks %ld, keys %ld, closes %ld, failures %ld, reports %ld", runs, ends,
              moves, clicks, keys, closes, faults.injected, reports);
        QVERIFY(faults.injected > 0);
        // Every failure reached the top level and was reported, and nothing else was.
        QCOMPARE(reports, faults.injected);
    }
};

QTEST_MAIN(TestStorm)
#include "tst_storm.moc"
