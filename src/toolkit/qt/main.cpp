// Velodane on Qt: the toolkit, the automation classes of this machine and
// the program.
#include "app/program.h"
#include "automation/linux/word_application.h"
#include "forms/intro/form1.h"
#include "main/posix_start.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
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
    vd::app::Program program(toolkit, classes);

    toolkit.dispatch([&] { program.start(); });
    if (toolkit.ended())
        return 0;
    if (!program.form1().isLoaded())
        return 1; // the start-up window could not be shown; the user was told why
    return QApplication::exec();
}
