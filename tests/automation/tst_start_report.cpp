// Which display the program looks for before Qt starts, by the platform
// asked for: platforms without a display are left to Qt; X11 and Wayland
// are tried in Qt's order, and each one that fails is named.
#include "main/start_report.h"

#include <QtTest>

class StartReportTest : public QObject {
    Q_OBJECT
private slots:
    void missingDisplay_data()
    {
        QTest::addColumn<QByteArray>("platform"); // QT_QPA_PLATFORM
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("session"); // XDG_SESSION_TYPE
        QTest::addColumn<QString>("english");    // what the report says, or "" for none
        const QString noX = "(DISPLAY is not set)";
        QTest::newRow("no platform asked") << QByteArray() << QStringList() << QByteArray() << noX;
        QTest::newRow("offscreen") << QByteArray("offscreen") << QStringList() << QByteArray() << QString();
        QTest::newRow("-platform vnc") << QByteArray() << QStringList{"-platform", "vnc"} << QByteArray() << QString();
        QTest::newRow("--platform over the variable")
            << QByteArray("xcb") << QStringList{"--platform", "minimal"} << QByteArray() << QString();
        QTest::newRow("a list with offscreen")
            << QByteArray("xcb;offscreen") << QStringList() << QByteArray() << QString();
        QTest::newRow("xcb with options") << QByteArray("xcb:nograb") << QStringList() << QByteArray() << noX;
        QTest::newRow("-display") << QByteArray() << QStringList{"-display", "/nowhere/x"} << QByteArray()
                                  << "(cannot connect to the X11 display \"/nowhere/x\")";
        QTest::newRow("Wayland session, then X11")
            << QByteArray() << QStringList() << QByteArray("wayland")
            << "(cannot connect to the Wayland display \"wayland-0\"; DISPLAY is not set)";
        QTest::newRow("wayland asked") << QByteArray("wayland") << QStringList() << QByteArray()
                                       << "(cannot connect to the Wayland display \"wayland-0\")";
    }
    void missingDisplay()
    {
        QFETCH(QByteArray, platform);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, session);
        QFETCH(QString, english);
        const QTemporaryDir runtime; // no compositor's socket in it
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        platform.isNull() ? qunsetenv("QT_QPA_PLATFORM") : qputenv("QT_QPA_PLATFORM", platform);
        session.isNull() ? qunsetenv("XDG_SESSION_TYPE") : qputenv("XDG_SESSION_TYPE", session);
        std::vector<std::string> args{"velodane"};
        for (const QString &a : arguments)
            args.push_back(a.toStdString());

        const auto report = vd::posix::checkDisplay(args, "./velodane").missing;
        QCOMPARE(report.has_value(), !english.isEmpty());
        if (!report)
            return;
        QVERIFY2(QString::fromStdString(report->english)
                     .contains(english + "; on a machine without a screen, run "
                                         "it under a virtual display: xvfb-run -a "
                                         "./velodane"),
                 report->english.c_str());
        QVERIFY2(QString::fromStdString(report->thai).contains("xvfb-run -a ./velodane"), report->thai.c_str());
    }
};

QTEST_GUILESS_MAIN(StartReportTest)
#include "tst_start_report.moc"
