// Velodane on Linux: Qt Widgets, the "word.Application" component that shows
// documents in LibreOffice Writer, and the program.
#include "app/run.h"
#include "automation/linux/word_application.h"
#include "main/posix_start.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Before anything opens a descriptor or reads the environment.
    vd::posix::reopenStandardDescriptors();
    const vd::posix::ToolkitStart start = vd::posix::preventUnaskedSideEffects();
    QApplication application(argc, argv);
    vd::posix::toolkitStarted(start);
    QApplication::setApplicationName(QStringLiteral("Velodane"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("velodane"));

    vd::qt::QtToolkit toolkit;
    vd::automation::Registry classes;
    vd::automation::linuxword::registerClasses(classes);
    return vd::app::run(toolkit, classes);
}
