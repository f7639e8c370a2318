#include "harness.h"

#include "measure.h"

#include "app/program.h"
#include "automation/linux/word_application.h"
#include "forms/menu/group_document.h"
#include "forms/window_measures.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include <fcntl.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vd::bench {

BenchApp::BenchApp(int &argc, char **argv) : QApplication(argc, argv)
{
    guard_.setSingleShot(true);
}

bool BenchApp::notify(QObject *receiver, QEvent *event)
{
    if (watch_ && event->type() == QEvent::Paint && receiver->isWidgetType() &&
        (*watch_)(static_cast<QWidget *>(receiver)))
        seen_ = true;
    ++depth_;
    const bool result = QApplication::notify(receiver, event);
    --depth_;
    // The outermost event is over: the paints it made have been flushed.
    if (depth_ == 0 && seen_) {
        doneNs_ = nowNs();
        seen_ = false;
        watch_ = nullptr;
        if (loop_)
            loop_->quit();
    }
    return result;
}

std::int64_t BenchApp::timeUntilPainted(const std::function<void()> &action,
                                        const std::function<bool(QWidget *)> &painted, int timeoutMs)
{
    QEventLoop loop;
    std::int64_t start = 0;
    bool timedOut = false;
    loop_ = &loop;
    seen_ = false;
    const auto connection = connect(&guard_, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    QMetaObject::invokeMethod(
        &loop,
        [&] {
            watch_ = &painted;
            start = nowNs();
            action();
        },
        Qt::QueuedConnection);
    guard_.start(timeoutMs);
    loop.exec();
    guard_.stop();
    disconnect(connection);
    loop_ = nullptr;
    watch_ = nullptr;
    return timedOut ? -1 : doneNs_ - start;
}

void BenchApp::settle(int ms)
{
    sendPostedEvents(nullptr, QEvent::DeferredDelete);
    processEvents(QEventLoop::AllEvents);
    if (ms > 0) {
        QEventLoop loop;
        const auto connection = connect(&guard_, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard_.start(ms);
        loop.exec();
        disconnect(connection);
    }
    sendPostedEvents(nullptr, QEvent::DeferredDelete);
    processEvents(QEventLoop::AllEvents);
}

QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == name)
            return w;
    return nullptr;
}

QWidget *control(const QString &window, const QString &name)
{
    QWidget *w = topLevel(window);
    return w ? w->findChild<QWidget *>(name) : nullptr;
}

// ---------------------------------------------------------------------------

namespace {

class Velodane final : public Subject {
public:
    Velodane()
    {
        automation::linuxword::registerClasses(classes_);
        program_ = std::make_unique<app::Program>(toolkit_, classes_);
        toolkit_.setMessageHook([this](const std::string &, const std::string &text) { failures_.push_back(text); });
    }

    ~Velodane() override
    {
        program_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString intro() const override { return QStringLiteral("Form1"); }
    QString menu() const override { return QStringLiteral("Form2"); }
    int groups() const override { return 62; }

    void start() override
    {
        toolkit_.dispatch([this] { program_->start(); });
    }

    std::vector<std::string> takeFailures() override { return std::exchange(failures_, {}); }

private:
    qt::QtToolkit toolkit_;
    automation::Registry classes_;
    std::unique_ptr<app::Program> program_;
    std::vector<std::string> failures_;
};

// ---------------------------------------------------------------------------

namespace measures = forms::measures;

// Twips to pixels as the toolkit rounds them: edges, not widths.
int px(int twips)
{
    return static_cast<int>(std::lround(twips / double(measures::TwipsPerPixel)));
}

QRect pixels(const measures::Twips &t)
{
    return {px(t.left), px(t.top), px(t.left + t.width) - px(t.left), px(t.top + t.height) - px(t.top)};
}

QColor colour(const measures::Rgb &rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

// Both floor windows are painted in the menu window's background.

class FloorWindow final : public QWidget {
public:
    FloorWindow(const QString &name, QSize size) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    {
        setObjectName(name);
        setFixedSize(size);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter(this).fillRect(event->rect(), colour(measures::menu::Background));
    }
};

// A plain rectangle that tells of clicks and pointer movement.
class FloorControl final : public QWidget {
public:
    FloorControl(QWidget *parent, const QString &name, QRect rect, QColor colour, std::function<void()> clicked,
                 std::function<void()> moved = {})
        : QWidget(parent), colour_(colour), clicked_(std::move(clicked)), moved_(std::move(moved))
    {
        setObjectName(name);
        setGeometry(rect);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(static_cast<bool>(moved_));
    }

protected:
    void paintEvent(QPaintEvent *event) override { QPainter(this).fillRect(event->rect(), colour_); }
    void mousePressEvent(QMouseEvent *) override {}
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (rect().contains(event->position().toPoint()) && clicked_)
            clicked_();
    }
    void mouseMoveEvent(QMouseEvent *) override
    {
        if (moved_)
            moved_();
    }

private:
    QColor colour_;
    std::function<void()> clicked_;
    std::function<void()> moved_;
};

class Floor final : public Subject {
public:
    Floor()
    {
        if (const char *v = std::getenv("VELODANE_BENCH_VIEWER"))
            viewer_ = v;
        if (const char *d = std::getenv("XDG_DATA_HOME"))
            document_ = std::string(d) + "/velodane/drive_c/Program Files/Velodane/vd1.doc";
    }

    ~Floor() override
    {
        delete current_;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        reap();
    }

    QString intro() const override { return QStringLiteral("FloorA"); }
    QString menu() const override { return QStringLiteral("FloorB"); }
    int groups() const override { return 2; }

    void start() override { showIntro(); }

    void reap() override
    {
        for (pid_t pid : children_) {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
        children_.clear();
    }

    std::vector<std::string> takeFailures() override { return std::exchange(failures_, {}); }

private:
    void replaceBy(FloorWindow *next)
    {
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), next->size());
            frame.moveCenter(screen->availableGeometry().center());
            next->move(frame.topLeft());
        }
        next->show();
        if (current_) {
            current_->hide();
            current_->deleteLater();
        }
        current_ = next;
    }

    void showIntro()
    {
        namespace introWindow = measures::intro;
        auto *w = new FloorWindow(intro(), {px(introWindow::Width), px(introWindow::Height)});
        new FloorControl(w, QStringLiteral("Command2"), pixels(introWindow::EnterButton),
                         colour(introWindow::EnterBackground), [this] { showMenu(); });
        replaceBy(w);
    }

    void showMenu()
    {
        namespace menuWindow = measures::menu;
        auto *w = new FloorWindow(menu(), {px(menuWindow::Width), px(menuWindow::Height)});
        auto *label = new QLabel(w);
        label->setObjectName(QStringLiteral("Label1"));
        label->setGeometry(pixels(menuWindow::CaptionLine));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setAutoFillBackground(true);
        // Groups 1 and 2, the first two rows of the first column.
        for (int n = 1; n <= 2; ++n) {
            const QString caption = QString::fromStdString(forms::groupName(n));
            const menuWindow::Row &row = menuWindow::Rows[static_cast<std::size_t>(n - 1)];
            new FloorControl(
                w, QStringLiteral("Command%1").arg(n),
                pixels({menuWindow::BlockLeft, row.top, menuWindow::ColumnWidth, row.height}), colour(row.background),
                [this] { spawnViewer(); }, [label, caption] { label->setText(caption); });
        }
        new FloorControl(w, QStringLiteral("Command63"), pixels(menuWindow::BackButton),
                         colour(menuWindow::BackBackground), [this] { showIntro(); });
        replaceBy(w);
    }

    // One program started the cheapest way (vfork and exec), not waited for;
    // in a session of its own when asked.
    void spawnViewer()
    {
        std::string program = viewer_, nologo = "--nologo", view = "--view", document = document_;
        char *argv[] = {program.data(), nologo.data(), view.data(), document.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        pid_t pid = 0;
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        if (session_)
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        const int error = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0)
            failures_.push_back("posix_spawn " + program + ": " + std::to_string(error));
        else
            children_.push_back(pid);
    }

    QPointer<FloorWindow> current_;
    std::string viewer_ = "/bin/true";
    bool session_ = std::getenv("VELODANE_BENCH_FLOOR_SESSION") != nullptr;
    std::string document_ = "/dev/null";
    std::vector<pid_t> children_;
    std::vector<std::string> failures_;
};

} // namespace

std::unique_ptr<Subject> makeVelodane()
{
    return std::make_unique<Velodane>();
}

std::unique_ptr<Subject> makeFloor()
{
    return std::make_unique<Floor>();
}

} // namespace vd::bench
