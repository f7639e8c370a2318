// What the in-process measurements stand on: an application that sees the
// end of every paint, and the two subjects measured the same way, the real
// program and a floor of bare Qt windows.
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vd::bench {

class BenchApp final : public QApplication {
public:
    BenchApp(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Runs `action` from the event loop, then the loop until the event in
    // which a widget matching `painted` received a paint event has been
    // handled in full (painted and flushed). Returns the nanoseconds from the
    // start of the action to then, or -1 after `timeoutMs`.
    std::int64_t timeUntilPainted(const std::function<void()> &action, const std::function<bool(QWidget *)> &painted,
                                  int timeoutMs = 10'000);

    // Handles what is pending: posted events and deferred deletions, and
    // for `ms` more what else arrives (from the display server).
    void settle(int ms = 0);

private:
    int depth_ = 0;
    const std::function<bool(QWidget *)> *watch_ = nullptr;
    bool seen_ = false;
    std::int64_t doneNs_ = 0;
    QEventLoop *loop_ = nullptr;
    QTimer guard_;
};

// A visible top-level widget of that object name, or nullptr.
QWidget *topLevel(const QString &name);
// Its child of that object name, or nullptr.
QWidget *control(const QString &window, const QString &name);

// What the in-process measurements drive: an intro window with the enter
// button Command2, a menu window with the back button Command63, group
// buttons Command1 to Command<groups()> and the caption line Label1.
class Subject {
public:
    virtual ~Subject() = default;
    virtual QString intro() const = 0; // window names
    virtual QString menu() const = 0;
    virtual int groups() const = 0;
    // Shows the intro window.
    virtual void start() = 0;
    // Reaps the viewers that the subject started itself and waits for (the
    // floor); the program's are detached and not its children.
    virtual void reap() {}
    // The failures reported so far, emptied.
    virtual std::vector<std::string> takeFailures() { return {}; }
};

// The real program: the Qt toolkit, the real Linux "word.Application"
// component, the program, its failure reports collected.
std::unique_ptr<Subject> makeVelodane();
// Bare windows of the same sizes, controls at the same places, doing the
// least Qt needs for the same visible effect.
std::unique_ptr<Subject> makeFloor();

} // namespace vd::bench
