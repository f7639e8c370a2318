// Both windows stay reachable on any screen: centred on the available area
// where they fit, and where they don't, placed at its top-left corner, so
// that as much of the window as fits is on the screen from its top-left:
// the first row of groups and the first buttons can always be reached.
// Run on small screens (see CMakeLists.txt).
#include "look.h"

#include <QScreen>

using vd::testing::ProgramFixture;

class TestPlacement : public QObject {
    Q_OBJECT

    static void checkPlaced(QWidget *window)
    {
        QVERIFY(window);
        const QRect area = window->screen()->availableGeometry();
        const QRect frame = window->frameGeometry();
        auto axis = [](int start, int size, int areaStart, int room) {
            return size > room ? start == areaStart : start >= areaStart && start + size <= areaStart + room;
        };
        QVERIFY2(axis(frame.x(), frame.width(), area.x(), area.width()) &&
                     axis(frame.y(), frame.height(), area.y(), area.height()),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 on %6x%7")
                                .arg(window->objectName())
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())
                                .arg(area.width())
                                .arg(area.height())));
    }

private slots:
    void bothWindowsStayReachable()
    {
        ProgramFixture f;
        checkPlaced(ProgramFixture::window("Form1"));
        checkPlaced(vd::testing::enterMenu());
    }
};

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
