// Velodane on Linux: Qt Widgets, the "word.Application" component that shows
// documents in LibreOffice Writer, and the program.
#include "app/run.h"
#include "automation/linux/word_application.h"
#include "main/posix_start.h"
#include "main/start_report.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QApplication>
#include <QScreen>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Qt's own handler of messages, which ours passes them on to.
QtMessageHandler &qtHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

// A thread that Qt can't start is one it then waits for without end (the
// display connection's reader, the session bus's, the painting workers): the
// program would hang without a word, no window shown or none answering. Qt
// tells of it only in this warning; the user is told why the program stops,
// and it ends.
void onQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const QString refused = QStringLiteral("QThread::start: Thread creation error");
    if (message.startsWith(refused)) {
        QString reason = message.mid(refused.size()).trimmed(); // "(the system's words)"
        if (reason.startsWith(u'(') && reason.endsWith(u')'))
            reason = reason.mid(1, reason.size() - 2);
        vd::posix::writeReport(vd::posix::threadRefused(reason.toStdString()));
        std::_Exit(1);
    }
    qtHandler()(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    // Before anything opens a descriptor or reads the environment.
    vd::posix::reopenStandardDescriptors();
    const vd::posix::ToolkitStart start = vd::posix::preventUnaskedSideEffects();
    // Qt would abort, with a core file and a message of its own, where there
    // is no display to open.
    const std::vector<std::string> arguments(argv, argv + argc);
    vd::posix::DisplayCheck display = vd::posix::checkDisplay(arguments, argc > 0 ? argv[0] : "velodane");
    if (display.missing) {
        vd::posix::writeReport(*display.missing);
        return 1;
    }
    qtHandler() = qInstallMessageHandler(onQtMessage);
    QApplication application(argc, argv);
    display.kept.reset(); // the toolkit has its own connection now
    vd::posix::toolkitStarted(start);
    if (!vd::qt::screenDrawable()) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        vd::posix::writeReport(vd::posix::unsupportedDepth(screen ? screen->depth() : 0));
        return 1;
    }
    QApplication::setApplicationName(QStringLiteral("Velodane"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("velodane"));

    vd::qt::QtToolkit toolkit;
    vd::automation::Registry classes;
    vd::automation::linuxword::registerClasses(classes);
    return vd::app::run(toolkit, classes);
}
