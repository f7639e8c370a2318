// Velodane on Linux: Qt Widgets, the "word.Application" component that shows
// documents in LibreOffice Writer, and the program.
#include "app/run.h"
#include "automation/linux/word_application.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velodane"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("velodane"));

    vd::qt::QtToolkit toolkit;
    vd::automation::Registry classes;
    vd::automation::linuxword::registerClasses(classes);
    return vd::app::run(toolkit, classes);
}
