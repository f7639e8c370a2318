// The benchmark's probe, preloaded (LD_PRELOAD) into a whole program that
// the benchmark starts: the program itself is not changed. It follows a list
// of steps given in the environment and reports to a descriptor:
//
//   VELODANE_PROBE_FD     the descriptor to write the report lines to
//   VELODANE_PROBE_STEPS  steps separated by ";":
//       wait:<Window>           until a paint of the top-level widget of that
//                               object name (or of a widget in it) has been
//                               handled and flushed; reports
//                               "painted <Window> <CLOCK_MONOTONIC ns>"
//       click:<Window>/<Control>  a pointer click on that control
//       hwm                     reports "hwm <VmHWM kB>"
//   after the last step it reports "done" and ends the process at once.
//
// A failure report shown by the program (a message box), a step that cannot
// be done or 60 s without progress are reported as "error <text>", and the
// process ends with status 3.
#include "measure.h"
#include "pointer.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace vd::bench {
namespace {

struct Step {
    enum class Kind { Wait, Click, Hwm } kind;
    QString window;
    QString control;
};

class Probe final : public QObject {
public:
    Probe(int fd, QList<Step> steps) : fd_(fd), steps_(std::move(steps))
    {
        watchdog_.setSingleShot(true);
        watchdog_.setInterval(60'000);
        QObject::connect(&watchdog_, &QTimer::timeout, this, [this] { fail("no progress for 60 s"); });
        qApp->installEventFilter(this);
        // The first step must be a wait: clicks come from the event loop, as
        // a real pointer's do.
        run();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            if (armed_ && watched->isWidgetType() &&
                static_cast<QWidget *>(watched)->window()->objectName() == steps_[next_].window) {
                armed_ = false;
                // Runs once the paint that is being handled is finished and
                // flushed to the screen.
                QMetaObject::invokeMethod(
                    this, [this] { painted(); }, Qt::QueuedConnection);
            }
        } else if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched))
                fail("the program reported a failure: " + box->text().simplified().toStdString());
        }
        return false;
    }

private:
    void write(const std::string &line)
    {
        const std::string text = line + "\n";
        [[maybe_unused]] const ssize_t n = ::write(fd_, text.data(), text.size());
    }

    [[noreturn]] void fail(const std::string &why)
    {
        write("error " + why);
        std::_Exit(3);
    }

    void painted()
    {
        write("painted " + steps_[next_].window.toStdString() + " " + std::to_string(nowNs()));
        ++next_;
        run();
    }

    QWidget *find(const QString &window, const QString &control) const
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() == window && top->isVisible())
                return control.isEmpty() ? top : top->findChild<QWidget *>(control);
        }
        return nullptr;
    }

    // Takes the steps up to the next wait, which is armed.
    void run()
    {
        watchdog_.start();
        while (next_ < steps_.size()) {
            const Step &step = steps_[next_];
            switch (step.kind) {
            case Step::Kind::Wait:
                armed_ = true;
                return;
            case Step::Kind::Hwm:
                write("hwm " + std::to_string(selfStatusKb("VmHWM")));
                ++next_;
                break;
            case Step::Kind::Click: {
                QWidget *control = find(step.window, step.control);
                if (!control || !control->window()->windowHandle())
                    fail("no control " + step.control.toStdString() + " in a visible " + step.window.toStdString());
                pointer_.click(control);
                ++next_;
                // Lets the click's own repaints happen before the next click.
                if (next_ < steps_.size() && steps_[next_].kind == Step::Kind::Click) {
                    QTimer::singleShot(0, this, [this] { run(); });
                    return;
                }
                break;
            }
            }
        }
        write("done");
        std::_Exit(0);
    }

    int fd_;
    QList<Step> steps_;
    qsizetype next_ = 0;
    bool armed_ = false;
    Pointer pointer_;
    QTimer watchdog_;
};

QList<Step> parseSteps(const QString &text)
{
    QList<Step> steps;
    for (const QString &item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString verb = item.section(QLatin1Char(':'), 0, 0);
        const QString what = item.section(QLatin1Char(':'), 1);
        if (verb == QLatin1String("wait"))
            steps.push_back({Step::Kind::Wait, what, {}});
        else if (verb == QLatin1String("click"))
            steps.push_back(
                {Step::Kind::Click, what.section(QLatin1Char('/'), 0, 0), what.section(QLatin1Char('/'), 1)});
        else if (verb == QLatin1String("hwm"))
            steps.push_back({Step::Kind::Hwm, {}, {}});
    }
    return steps;
}

// Called by QCoreApplication's constructor, before the program's own code
// after it.
void start()
{
    const char *fdText = std::getenv("VELODANE_PROBE_FD");
    const char *stepsText = std::getenv("VELODANE_PROBE_STEPS");
    // Programs that the program starts (the document viewer) are left alone.
    ::unsetenv("LD_PRELOAD");
    if (!fdText || !stepsText)
        return;
    const int fd = std::atoi(fdText);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::unsetenv("VELODANE_PROBE_FD");
    ::unsetenv("VELODANE_PROBE_STEPS");
    QList<Step> steps = parseSteps(QString::fromUtf8(stepsText));
    if (steps.isEmpty() || steps.front().kind != Step::Kind::Wait) {
        const char text[] = "error the first step must be a wait\n";
        [[maybe_unused]] const ssize_t n = ::write(fd, text, sizeof text - 1);
        std::_Exit(3);
    }
    new Probe(fd, std::move(steps)); // lives as long as the process
}

} // namespace
} // namespace vd::bench

namespace {
void startProbe()
{
    vd::bench::start();
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(startProbe)
