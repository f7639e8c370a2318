// The program's start on Linux before the toolkit: closed standard
// descriptors reopened, and the environment that keeps Qt and libdbus from
// creating a runtime folder or launching a session bus.
#include "main/posix_start.h"

#include "child_report.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What a child process reports after closing `closed`, reopening and
// opening one more file: for each of 0, 1, 2 where it leads, then the
// number of that new file.
QString reopenInChild(const QList<int> &closed)
{
    return QString::fromUtf8(vd::test::reportFromChild([&] {
        for (int fd : closed)
            ::close(fd);
        QByteArray text = vd::posix::reopenStandardDescriptors() ? "ok" : "failed";
        for (int fd = 0; fd <= 2; ++fd) {
            char target[256] = {};
            const std::string link = "/proc/self/fd/" + std::to_string(fd);
            const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
            text += ' ' + (n > 0 ? QByteArray(target, static_cast<int>(n)) : QByteArray("closed"));
        }
        const int next = ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
        text += ' ' + QByteArray::number(next > 2 ? 3 : next);
        return text;
    }));
}

bool makeSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || static_cast<size_t>(name.size()) >= sizeof address.sun_path)
        return false;
    std::copy(name.begin(), name.end(), address.sun_path);
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// A folder in one of the states the runtime folders are tested in.
bool makeFolder(const QString &path, const QString &state, bool withBus)
{
    if (state == "none" || state == "unset" || state == "empty" || state == "missing")
        return true;
    if (state == "file") {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
    if (!QDir().mkpath(path) || ::chmod(QFile::encodeName(path).constData(), state == "open" ? 0755 : 0700) != 0)
        return false;
    return !withBus || makeSocket(path + "/bus");
}

const char *const Variables[] = {"XDG_RUNTIME_DIR", "TMPDIR", "DBUS_SESSION_BUS_ADDRESS"};

// "-" for unset, else the value.
QString current(const char *name)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name) : QString("-");
}

} // namespace

class TestPosixStart : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void descriptors_data();
    void descriptors();
    void environment_data();
    void environment();

private:
    QList<std::optional<QByteArray>> saved_;
};

void TestPosixStart::init()
{
    saved_.clear();
    for (const char *name : Variables)
        saved_ << (qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
}

void TestPosixStart::cleanup()
{
    for (qsizetype i = 0; i < saved_.size(); ++i) {
        if (saved_[i])
            qputenv(Variables[i], *saved_[i]);
        else
            qunsetenv(Variables[i]);
    }
}

void TestPosixStart::descriptors_data()
{
    QTest::addColumn<QList<int>>("closed");
    QTest::newRow("none closed") << QList<int>{};
    QTest::newRow("input closed") << QList<int>{0};
    QTest::newRow("output closed") << QList<int>{1};
    QTest::newRow("error closed") << QList<int>{2};
    QTest::newRow("output and error closed") << QList<int>{1, 2};
    QTest::newRow("input and error closed") << QList<int>{0, 2};
    QTest::newRow("all three closed") << QList<int>{0, 1, 2};
}

void TestPosixStart::descriptors()
{
    QFETCH(QList<int>, closed);
    // Our own three lead somewhere other than /dev/null, so that a wrongly
    // reopened one shows.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString marker = dir.path() + "/marker";
    const int markerFd = ::open(QFile::encodeName(marker).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(markerFd >= 0);
    int saved[3];
    for (int fd = 0; fd <= 2; ++fd) {
        saved[fd] = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
        QVERIFY(saved[fd] >= 0);
        QCOMPARE(::dup2(markerFd, fd), fd);
    }
    ::close(markerFd);

    const QString report = reopenInChild(closed);

    for (int fd = 0; fd <= 2; ++fd) {
        ::dup2(saved[fd], fd);
        ::close(saved[fd]);
    }
    QStringList expected{"ok"};
    for (int fd = 0; fd <= 2; ++fd)
        expected << (closed.contains(fd) ? QString("/dev/null") : marker);
    expected << "3"; // the next file opened is never a standard stream
    QCOMPARE(report, expected.join(' '));
}

void TestPosixStart::environment_data()
{
    // Each row, in words separated by blanks ("-" for unset):
    //   before: XDG_RUNTIME_DIR's folder ("unset", "empty", "private": mode
    //           0700, "open": 0755, "missing", "file"), the session's
    //           folder <root>/<uid> ("none", "private", "open"), "bus" when
    //           the private folders hold a bus socket else "nobus",
    //           DBUS_SESSION_BUS_ADDRESS ("''" for empty), TMPDIR;
    //   during: XDG_RUNTIME_DIR ("=" as before when it was set,
    //           "@session"), TMPDIR and DBUS_SESSION_BUS_ADDRESS while the
    //           toolkit starts;
    //   after:  XDG_RUNTIME_DIR and TMPDIR once it has started.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("during");
    QTest::addColumn<QString>("after");
    auto row = [](const char *name, const char *before, const char *during, const char *after) {
        QTest::newRow(name) << before << during << after;
    };
    row("session as it should be", "private none bus unix:path=/x /t", "= /t unix:path=/x", "= /t");
    row("its bus socket, no address", "private none bus - /t", "= /t -", "= /t");
    row("runtime folder without a bus", "private none nobus - -", "= - disabled:", "= -");
    row("empty bus address", "private none nobus '' -", "= - disabled:", "= -");
    row("unset, the session's folder", "unset private bus - /t", "@session /t -", "@session /t");
    row("empty, the session's folder", "empty private nobus - /t", "@session /t disabled:", "@session /t");
    row("unset, no session folder", "unset none nobus - /t", "- /dev/null disabled:", "- /t");
    row("unset, no session folder, no TMPDIR", "unset none nobus - -", "- /dev/null disabled:", "- -");
    row("the session's folder open to others", "unset open nobus unix:path=/x /t", "- /dev/null unix:path=/x", "- /t");
    row("missing folder, which Qt would make", "missing none nobus - /t", "- /dev/null disabled:", "= /t");
    row("folder open to others", "open private nobus - /t", "@session /t disabled:", "@session /t");
    row("a file, not a folder", "file none nobus - -", "- /dev/null disabled:", "= -");
}

void TestPosixStart::environment()
{
    QFETCH(QString, before);
    QFETCH(QString, during);
    QFETCH(QString, after);
    const QStringList given = before.split(' ');
    const QString runtime = given[0], session = given[1], bus = given[3] == "''" ? "" : given[3], tmpdir = given[4];

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString runtimePath = dir.path() + "/runtime";
    const QString sessionRoot = dir.path() + "/run-user";
    const QString sessionPath = sessionRoot + "/" + QString::number(::geteuid());
    QVERIFY(makeFolder(runtimePath, runtime, given[2] == "bus"));
    QVERIFY(makeFolder(sessionPath, session, given[2] == "bus"));

    auto set = [](const char *name, const QString &value) {
        if (value == "-")
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    };
    set("XDG_RUNTIME_DIR", runtime == "unset" ? "-" : runtime == "empty" ? "" : runtimePath);
    set("TMPDIR", tmpdir);
    set("DBUS_SESSION_BUS_ADDRESS", bus);
    const QString runtimeBefore = current("XDG_RUNTIME_DIR");
    // The variables now, in the words of the row.
    auto now = [&](int count) {
        QStringList words{current("XDG_RUNTIME_DIR"), current("TMPDIR"), current("DBUS_SESSION_BUS_ADDRESS")};
        if (runtimeBefore.startsWith('/') && words[0] == runtimeBefore)
            words[0] = "=";
        return words.mid(0, count).join(' ').replace(sessionPath, "@session");
    };

    const vd::posix::ToolkitStart start = vd::posix::preventUnaskedSideEffects(sessionRoot.toStdString());
    QCOMPARE(now(3), during);
    vd::posix::toolkitStarted(start);
    QCOMPARE(now(2), after);
    QCOMPARE(current("DBUS_SESSION_BUS_ADDRESS"), during.section(' ', 2)); // kept for the whole run
    // Nothing was made in the folders looked at.
    if (runtime == "missing")
        QVERIFY(!QFileInfo::exists(runtimePath));
    if (session == "none")
        QVERIFY(!QFileInfo::exists(sessionRoot));
}

QTEST_GUILESS_MAIN(TestPosixStart)
#include "tst_posix_start.moc"
