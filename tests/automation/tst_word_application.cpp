// The "word.Application" object, the choice of viewer and the detached
// launch, checked with fake viewers: shell scripts on a private PATH that
// write down how they were started.
#include "automation/linux/viewer.h"
#include "automation/linux/word_application.h"
#include "stand_in_contract.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vd::automation;
using namespace vd::automation::linuxword;

namespace {

const QString Group5Document = QStringLiteral("c:\\Program Files\\Velodane\\vd5.doc");
const QString Group5DocumentOnDisk = QStringLiteral("drive_c/Program Files/Velodane/vd5.doc");

Environment fakeEnvironment(std::map<std::string, std::string, std::less<>> vars)
{
    return [vars = std::move(vars)](std::string_view name) -> std::optional<std::string> {
        if (auto it = vars.find(name); it != vars.end())
            return it->second;
        return std::nullopt;
    };
}

bool writeFile(const QString &path, const QByteArray &content, QFile::Permissions permissions)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return false;
    file.close();
    return file.setPermissions(permissions);
}

constexpr QFile::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
constexpr QFile::Permissions Plain = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;

// A viewer that writes, into `records`, one file "rec.<pid>" with its parent
// pid, its arguments, its standard input and the descriptors that a program
// it starts sees (ls lists its own /proc/self/fd, so its own directory handle
// is the one descriptor above 2). With `waitFor`, it first waits, at most
// 30 s, for that file to appear and notes whether it did.
QByteArray fakeViewerScript(const QString &records, const QString &waitFor = {})
{
    QByteArray script = "#!/bin/sh\n"
                        "out='" +
                        QFile::encodeName(records) +
                        "'\n"
                        "stdout=$(readlink /proc/$$/fd/1)\n"
                        "stderr=$(readlink /proc/$$/fd/2)\n"
                        "exec > \"$out/part.$$\"\n";
    if (!waitFor.isEmpty()) {
        script += "n=0\n"
                  "while [ ! -e '" +
                  QFile::encodeName(waitFor) +
                  "' ] && [ $n -lt 600 ]; do sleep 0.05; n=$((n+1)); done\n"
                  "if [ -e '" +
                  QFile::encodeName(waitFor) + "' ]; then echo 'released=yes'; else echo 'released=no'; fi\n";
    }
    script += "echo \"ppid=$PPID\"\n"
              "echo \"session=$(cut -d' ' -f6 /proc/$$/stat)\"\n"
              "grep -E '^Sig(Blk|Ign):' /proc/$$/status | tr -d ' \\t' | tr ':' '='\n"
              "echo \"program=$0\"\n"
              "echo \"argc=$#\"\n"
              "for a in \"$@\"; do printf 'arg=%s\\n' \"$a\"; done\n"
              "printf 'stdin=%s\\n' \"$(readlink /proc/self/fd/0)\"\n"
              "printf 'stdout=%s\\nstderr=%s\\n' \"$stdout\" \"$stderr\"\n"
              "printf 'fds=%s\\n' \"$(ls /proc/self/fd | sort -n | tr '\\n' ' ')\"\n"
              "exec >&-\n"
              "mv \"$out/part.$$\" \"$out/rec.$$\"\n";
    return script;
}

struct Record {
    QString ppid, program, stdinTarget, stdoutTarget, stderrTarget, fds, released, session, sigBlk, sigIgn;
    QStringList args;
    int argc = -1;
};

Record parseRecord(const QString &path)
{
    Record r;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return r;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QString key = line.section('=', 0, 0);
        const QString value = line.section('=', 1);
        if (key == "ppid")
            r.ppid = value;
        else if (key == "program")
            r.program = value;
        else if (key == "argc")
            r.argc = value.toInt();
        else if (key == "arg")
            r.args << value;
        else if (key == "stdin")
            r.stdinTarget = value;
        else if (key == "stdout")
            r.stdoutTarget = value;
        else if (key == "stderr")
            r.stderrTarget = value;
        else if (key == "fds")
            r.fds = value.trimmed();
        else if (key == "released")
            r.released = value;
        else if (key == "session")
            r.session = value;
        else if (key == "SigBlk")
            r.sigBlk = value;
        else if (key == "SigIgn")
            r.sigIgn = value;
    }
    return r;
}

QStringList recordFiles(const QString &records)
{
    QStringList files;
    for (const QString &name : QDir(records).entryList({"rec.*"}, QDir::Files))
        files << records + '/' + name;
    return files;
}

int countOpenDescriptors()
{
    DIR *dir = ::opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent *entry = ::readdir(dir))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(dir);
    return count;
}

// Children of this process, as "pid state" from /proc/<pid>/stat.
QStringList childrenOfThisProcess(bool zombiesOnly)
{
    QStringList children;
    const QString self = QString::number(::getpid());
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
        bool numeric = false;
        pid.toInt(&numeric);
        if (!numeric)
            continue;
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(stat.readAll());
        // "pid (comm) state ppid ...": comm may hold blanks, so split after ')'.
        const QStringList rest = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1 && rest[1] == self && (!zombiesOnly || rest[0] == "Z"))
            children << pid + " " + rest[0];
    }
    return children;
}

Value toValue(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
        return static_cast<long>(v.toLongLong());
    case QMetaType::QString:
        return v.toString().toStdString();
    default:
        return std::monostate{};
    }
}

// A temporary folder with a PATH folder for fake viewers, a folder for their
// records and a prefix holding group 5's document.
struct Sandbox {
    QTemporaryDir dir;
    QString bin, records, prefix;

    Sandbox()
    {
        bin = dir.path() + "/bin";
        records = dir.path() + "/records";
        prefix = dir.path() + "/prefix";
        QDir().mkpath(bin);
        QDir().mkpath(records);
        writeFile(prefix + '/' + Group5DocumentOnDisk, "{\\rtf1 vd5}", Plain);
    }
    bool valid() const { return dir.isValid() && QFileInfo(prefix + '/' + Group5DocumentOnDisk).isFile(); }

    QString installViewer(const QString &name, const QString &waitFor = {}) const
    {
        const QString path = bin + '/' + name;
        return writeFile(path, fakeViewerScript(records, waitFor), Executable) ? path : QString();
    }

    Environment environment() const
    {
        return fakeEnvironment({{"PATH", bin.toStdString()},
                                {"WINEPREFIX", prefix.toStdString()},
                                {"XDG_DATA_HOME", (dir.path() + "/nohome").toStdString()},
                                {"XDG_DATA_DIRS", (dir.path() + "/nodata").toStdString()}});
    }

    QString documentOnDisk() const { return prefix + '/' + Group5DocumentOnDisk; }
};

// The calls that a group click makes, through the registry.
void openAsTheProgramDoes(const Options &options, const QString &document)
{
    Registry registry;
    registerClasses(registry, options);
    ObjectRef app = registry.create("word.Application");
    vd::automation::setProperty(*app, "Visible", true);
    ObjectRef documents = getObject(*app, "documents");
    call(*documents, "Open", {document.toStdString()});
}

} // namespace

class TestWordApplication : public QObject {
    Q_OBJECT

private slots:
    void findViewer_data();
    void findViewer();
    void createWithoutViewer_data();
    void createWithoutViewer();
    void standInContract();
    void members_data();
    void members();
    void visibleRoundTrip_data();
    void visibleRoundTrip();
    void openFailsWithoutLaunching_data();
    void openFailsWithoutLaunching();
    void reportFitsOnScreen_data();
    void reportFitsOnScreen();
    void prefixesFoundOnce();
    void launchedArguments_data();
    void launchedArguments();
    void openReturnsWhileViewerRuns();
    void execFailureReported_data();
    void execFailureReported();
    void noZombieNoLeak_data();
    void noZombieNoLeak();
};

void TestWordApplication::findViewer_data()
{
    QTest::addColumn<QStringList>("pathDirs"); // folder names under the sandbox, in PATH order; "" = empty entry
    QTest::addColumn<QStringList>("files");    // "dir/name:x" executable, ":n" not executable, ":d" a folder
    QTest::addColumn<QString>("expected");     // "dir/name" or empty for none
    QTest::addColumn<bool>("libreOffice");

    QTest::newRow("soffice") << QStringList{"a"} << QStringList{"a/soffice:x"} << "a/soffice" << true;
    QTest::newRow("libreoffice") << QStringList{"a"} << QStringList{"a/libreoffice:x"} << "a/libreoffice" << true;
    QTest::newRow("xdg-open") << QStringList{"a"} << QStringList{"a/xdg-open:x"} << "a/xdg-open" << false;
    QTest::newRow("soffice before libreoffice in the same folder")
        << QStringList{"a"} << QStringList{"a/libreoffice:x", "a/soffice:x"} << "a/soffice" << true;
    QTest::newRow("soffice preferred to an earlier libreoffice")
        << QStringList{"a", "b"} << QStringList{"a/libreoffice:x", "b/soffice:x"} << "b/soffice" << true;
    QTest::newRow("LibreOffice preferred to an earlier xdg-open")
        << QStringList{"a", "b"} << QStringList{"a/xdg-open:x", "b/libreoffice:x"} << "b/libreoffice" << true;
    QTest::newRow("PATH order among equals")
        << QStringList{"b", "a"} << QStringList{"a/soffice:x", "b/soffice:x"} << "b/soffice" << true;
    QTest::newRow("not executable skipped")
        << QStringList{"a", "b"} << QStringList{"a/soffice:n", "b/soffice:x"} << "b/soffice" << true;
    QTest::newRow("folder skipped") << QStringList{"a"} << QStringList{"a/soffice:d", "a/libreoffice:x"}
                                    << "a/libreoffice" << true;
    QTest::newRow("only unusable LibreOffice, then xdg-open")
        << QStringList{"a"} << QStringList{"a/soffice:n", "a/libreoffice:d", "a/xdg-open:x"} << "a/xdg-open" << false;
    QTest::newRow("empty entries skipped")
        << QStringList{"", "a", ""} << QStringList{"a/soffice:x"} << "a/soffice" << true;
    QTest::newRow("missing folder skipped")
        << QStringList{"nowhere", "a"} << QStringList{"a/xdg-open:x"} << "a/xdg-open" << false;
    QTest::newRow("none") << QStringList{"a"} << QStringList{"a/other:x"} << QString() << false;
    QTest::newRow("none executable") << QStringList{"a"} << QStringList{"a/soffice:n", "a/xdg-open:n"} << QString()
                                     << false;
}

void TestWordApplication::findViewer()
{
    QFETCH(QStringList, pathDirs);
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    QFETCH(bool, libreOffice);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &f : files) {
        const QString path = dir.path() + '/' + f.section(':', 0, 0);
        const QString kind = f.section(':', 1);
        if (kind == "d")
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(writeFile(path, "#!/bin/sh\n", kind == "x" ? Executable : Plain));
    }
    QStringList entries;
    for (const QString &d : pathDirs)
        entries << (d.isEmpty() ? QString() : dir.path() + '/' + d);

    const auto viewer = linuxword::findViewer(fakeEnvironment({{"PATH", entries.join(':').toStdString()}}));
    QCOMPARE(viewer ? QString::fromStdString(viewer->program) : QString(),
             expected.isEmpty() ? QString() : dir.path() + '/' + expected);
    if (viewer)
        QCOMPARE(viewer->kind == Viewer::Kind::LibreOffice, libreOffice);
}

void TestWordApplication::createWithoutViewer_data()
{
    QTest::addColumn<QString>("path"); // "@" stands for an empty folder
    QTest::newRow("empty folder") << "@";
    QTest::newRow("empty PATH") << "";
    QTest::newRow("missing folders") << "@/nowhere:@/neither";
}

void TestWordApplication::createWithoutViewer()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    path.replace('@', dir.path());

    int launches = 0;
    Registry registry;
    registerClasses(registry, Options{fakeEnvironment({{"PATH", path.toStdString()}}),
                                      [&launches](const std::vector<std::string> &) { ++launches; }});
    try {
        registry.create("word.Application");
        QFAIL("created without a viewer");
    } catch (const vd::Error &e) {
        QCOMPARE(e.number(), 429L);
        const QString text = QString::fromStdString(e.description());
        QVERIFY2(text.contains("LibreOffice") && text.contains("xdg-open") && text.contains("ไม่พบ"), qPrintable(text));
    }
    QCOMPARE(launches, 0);
}

void TestWordApplication::members_data()
{
    QTest::addColumn<QString>("target"); // "app" or "documents"
    QTest::addColumn<QString>("member");
    QTest::addColumn<unsigned>("how");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<long>("error");     // 0: succeeds
    QTest::addColumn<QString>("result"); // "object", "false", "nothing"
    QTest::addColumn<int>("launches");

    // The calls every stand-in answers alike are standInContract's; these
    // are the ones that open a document on Linux.
    const unsigned method = Method;
    const QString doc = Group5Document;
    QTest::newRow("Open") << "documents"
                          << "Open" << method << QVariantList{doc} << 0L << "nothing" << 1;
    QTest::newRow("open any case") << "documents"
                                   << "oPEN" << method << QVariantList{doc} << 0L << "nothing" << 1;
    QTest::newRow("Open with Word's optional arguments")
        << "documents"
        << "Open" << method
        << QVariantList{doc, false, true, false, "", "", false, "", "", 0, 0, true, false, 0, false, ""} << 0L
        << "nothing" << 1;
    QTest::newRow("Open a bad name") << "documents"
                                     << "Open" << method << QVariantList{"vd5.doc"} << 5152L << "" << 0;
}

void TestWordApplication::standInContract()
{
    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    QVERIFY(!sandbox.installViewer("soffice").isEmpty());
    QStringList failures;
    vd::testing::checkStandIn(
        [&] {
            return createApplication(Options{sandbox.environment(), [](const std::vector<std::string> &) {}});
        },
        [&](const std::string &what) { failures << QString::fromStdString(what); });
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
}

void TestWordApplication::members()
{
    QFETCH(QString, target);
    QFETCH(QString, member);
    QFETCH(unsigned, how);
    QFETCH(QVariantList, args);
    QFETCH(long, error);
    QFETCH(QString, result);
    QFETCH(int, launches);

    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    QVERIFY(!sandbox.installViewer("soffice").isEmpty());
    std::vector<std::vector<std::string>> launched;
    ObjectRef app = createApplication(
        Options{sandbox.environment(), [&launched](const std::vector<std::string> &c) { launched.push_back(c); }});
    ObjectRef object = app;
    if (target == "documents")
        object = getObject(*app, "Documents");

    std::vector<Value> values;
    for (const QVariant &a : args)
        values.push_back(toValue(a));
    try {
        const Value value = object->invoke(member.toStdString(), how, values);
        QCOMPARE(0L, error);
        if (result == "object") {
            QVERIFY(std::holds_alternative<ObjectRef>(value) && std::get<ObjectRef>(value));
        } else if (result == "false") {
            QVERIFY(std::holds_alternative<bool>(value));
            QCOMPARE(std::get<bool>(value), false);
        } else {
            QVERIFY(std::holds_alternative<std::monostate>(value));
        }
    } catch (const vd::Error &e) {
        QCOMPARE(e.number(), error);
        const QString text = QString::fromStdString(e.description());
        // A bad file name is named; a member never is (the reader can't act
        // on its name).
        if (error == 5152)
            QVERIFY2(text.contains(args.first().toString()), qPrintable(text));
        else
            QVERIFY2(!text.contains(member) && text.contains("โปรแกรมประมวลผลคำ"), qPrintable(text));
    }
    QCOMPARE(static_cast<int>(launched.size()), launches);
    for (const auto &command : launched)
        QCOMPARE(command.back(), sandbox.documentOnDisk().toStdString());
}

void TestWordApplication::visibleRoundTrip_data()
{
    QTest::addColumn<QStringList>("puts"); // values put in order
    QTest::addColumn<bool>("expected");
    QTest::newRow("true") << QStringList{"true"} << true;
    QTest::newRow("false") << QStringList{"false"} << false;
    QTest::newRow("true then false") << QStringList{"true", "false"} << false;
    QTest::newRow("false then true") << QStringList{"false", "true"} << true;
    QTest::newRow("rejected put keeps value") << QStringList{"true", "bad"} << true;
}

void TestWordApplication::visibleRoundTrip()
{
    QFETCH(QStringList, puts);
    QFETCH(bool, expected);
    Sandbox sandbox;
    QVERIFY(!sandbox.installViewer("xdg-open").isEmpty());
    ObjectRef app = createApplication(Options{sandbox.environment(), [](const std::vector<std::string> &) {}});
    for (const QString &p : puts) {
        try {
            vd::automation::setProperty(*app, "visible", p == "bad" ? Value(std::string("yes")) : Value(p == "true"));
            QVERIFY(p != "bad");
        } catch (const vd::Error &e) {
            QCOMPARE(e.number(), 13L);
        }
    }
    const Value value = getProperty(*app, "VISIBLE");
    QVERIFY(std::holds_alternative<bool>(value));
    QCOMPARE(std::get<bool>(value), expected);
    // The collection is one object, as in Word.
    QCOMPARE(getObject(*app, "Documents"), getObject(*app, "documents"));
}

void TestWordApplication::openFailsWithoutLaunching_data()
{
    QTest::addColumn<QString>("setup"); // what lies at the document's place in the prefix
    QTest::addColumn<QString>("path");
    QTest::addColumn<long>("error");
    QTest::addColumn<QString>("stateText");

    QTest::newRow("missing") << "nothing"
                             << "c:\\Program Files\\Velodane\\vd61.doc" << 5174L << "ไม่มีไฟล์นี้";
    QTest::newRow("missing folder") << "nothing"
                                    << "c:\\Other\\vd5.doc" << 5174L << "ไม่มีไฟล์นี้";
    QTest::newRow("folder") << "folder"
                            << "c:\\Program Files\\Velodane\\vd61.doc" << 5174L << "โฟลเดอร์";
    QTest::newRow("dangling link") << "dangling"
                                   << "c:\\Program Files\\Velodane\\vd61.doc" << 5174L << "ลิงก์";
    QTest::newRow("unreadable") << "unreadable"
                                << "c:\\Program Files\\Velodane\\vd61.doc" << 5174L << "สิทธิ์อ่าน";
    QTest::newRow("link loop") << "loop"
                               << "c:\\Program Files\\Velodane\\vd61.doc" << 5174L << "วนกัน";
    QTest::newRow("other drive") << "nothing"
                                 << "d:\\Program Files\\Velodane\\vd5.doc" << 5174L << "ไม่มีไฟล์นี้";
    QTest::newRow("climbing out") << "nothing"
                                  << "c:\\Program Files\\..\\Program Files\\Velodane\\vd5.doc" << 5152L << "";
    QTest::newRow("relative") << "nothing"
                              << "Program Files\\Velodane\\vd5.doc" << 5152L << "";
    QTest::newRow("Linux path") << "nothing"
                                << "/etc/passwd" << 5152L << "";
}

void TestWordApplication::openFailsWithoutLaunching()
{
    QFETCH(QString, setup);
    QFETCH(QString, path);
    QFETCH(long, error);
    QFETCH(QString, stateText);

    if (setup == "unreadable" && ::geteuid() == 0)
        QSKIP("root reads any file");
    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    QVERIFY(!sandbox.installViewer("soffice").isEmpty());
    const QString place = sandbox.prefix + "/drive_c/Program Files/Velodane/vd61.doc";
    if (setup == "folder")
        QVERIFY(QDir().mkpath(place));
    else if (setup == "dangling")
        QVERIFY(QFile::link(sandbox.dir.path() + "/gone.doc", place));
    else if (setup == "unreadable")
        QVERIFY(writeFile(place, "x", {}));
    else if (setup == "loop")
        QVERIFY(QFile::link(place, place));

    int launches = 0;
    const Options options{sandbox.environment(), [&launches](const std::vector<std::string> &) { ++launches; }};
    try {
        openAsTheProgramDoes(options, path);
        QFAIL("Open succeeded");
    } catch (const vd::Error &e) {
        QCOMPARE(e.number(), error);
        const QString text = QString::fromStdString(e.description());
        QVERIFY2(text.contains(path), qPrintable(text));
        if (error == 5174) {
            // Every prefix searched is named, with what was found there.
            const QString tail = QString(path).mid(3).replace('\\', '/');
            const QString drive = "/drive_" + path.left(1) + "/";
            for (const QString &prefix :
                 {sandbox.prefix, sandbox.dir.path() + "/nohome/velodane", sandbox.dir.path() + "/nodata/velodane"})
                QVERIFY2(text.contains(prefix + drive + tail), qPrintable(text));
            QVERIFY2(text.contains(stateText), qPrintable(text));
        }
    }
    QCOMPARE(launches, 0);
}

void TestWordApplication::reportFitsOnScreen_data()
{
    QTest::addColumn<int>("dataFolders");    // in XDG_DATA_DIRS, after the home one: @/d0, @/d1, ...
    QTest::addColumn<QList<int>>("found");   // those holding a folder where the document should be
    QTest::addColumn<QByteArray>("oddName"); // the name of d0 instead, when not empty
    QTest::addColumn<int>("placesShown");    // lines naming a place
    QTest::addColumn<QString>("more");       // the last line, when some aren't named
    QTest::addColumn<QString>("marks");      // what the text must hold besides

    QTest::newRow("two places") << 1 << QList<int>{} << QByteArray() << 2 << QString() << QString();
    QTest::newRow("five places") << 4 << QList<int>{} << QByteArray() << 5 << QString() << QString();
    QTest::newRow("six places") << 5 << QList<int>{} << QByteArray() << 4 << "และอีก 2 ตำแหน่ง (ไม่มีไฟล์นี้)" << QString();
    QTest::newRow("25 data folders") << 25 << QList<int>{} << QByteArray() << 4 << "และอีก 22 ตำแหน่ง (ไม่มีไฟล์นี้)"
                                     << QString();
    QTest::newRow("15000 data folders") << 15000 << QList<int>{} << QByteArray() << 4 << "และอีก 14997 ตำแหน่ง (ไม่มีไฟล์นี้)"
                                        << QString();
    QTest::newRow("places with something there named first")
        << 25 << QList<int>{19, 24} << QByteArray() << 4 << "และอีก 22 ตำแหน่ง (ไม่มีไฟล์นี้)"
        << "โฟลเดอร์";
    QTest::newRow("more places with something there than are named")
        << 25 << QList<int>{1, 3, 5, 7, 9, 11} << QByteArray() << 4 << "และอีก 22 ตำแหน่ง"
        << "โฟลเดอร์";
    QTest::newRow("very long folder name") << 1 << QList<int>{} << QByteArray(3000, 'x') << 2 << QString() << "…";
    // Cut between whole letters wherever the cuts fall: "ดิน" is a letter,
    // a vowel mark on it and a letter.
    for (const QString shift : {"", "x", "xx"})
        QTest::addRow("long Thai folder name, shifted by %d", int(shift.size()))
            << 1 << QList<int>{} << (shift + QString("ดิน").repeated(200)).toUtf8() << 2 << QString() << "…";
    QTest::newRow("line breaks in a folder name") << 1 << QList<int>{}
                                                  << QByteArray("a\nb\r\nc\td\xe2\x80\xa8"
                                                                "e\xc2\x85")
                                                  << 2 << QString() << "\uFFFD";
    QTest::newRow("bytes that aren't UTF-8")
        << 1 << QList<int>{} << QByteArray("\xff\xfe\xc0\xaf\xed\xa0\x80z") << 2 << QString() << "\uFFFD";
}

void TestWordApplication::reportFitsOnScreen()
{
    QFETCH(int, dataFolders);
    QFETCH(QList<int>, found);
    QFETCH(QByteArray, oddName);
    QFETCH(int, placesShown);
    QFETCH(QString, more);
    QFETCH(QString, marks);

    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    QVERIFY(!sandbox.installViewer("soffice").isEmpty());
    const std::string root = QFile::encodeName(sandbox.dir.path()).toStdString();
    auto dataFolder = [&](int i) {
        return root + "/" + (i == 0 && !oddName.isEmpty() ? oddName.toStdString() : "d" + std::to_string(i));
    };
    const QString tail = "/velodane/drive_c/Program Files/Velodane/vd61.doc";
    std::string dirs;
    for (int i = 0; i < dataFolders; ++i)
        dirs += (i ? ":" : "") + dataFolder(i);
    for (int i : found)
        QVERIFY(QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(dataFolder(i))) + tail));
    const Environment env = fakeEnvironment(
        {{"PATH", sandbox.bin.toStdString()}, {"XDG_DATA_HOME", root + "/home"}, {"XDG_DATA_DIRS", dirs}});

    QByteArray bytes;
    try {
        openAsTheProgramDoes(Options{env, [](const std::vector<std::string> &) {}},
                             "c:\\Program Files\\Velodane\\vd61.doc");
        QFAIL("Open succeeded");
    } catch (const vd::Error &e) {
        QCOMPARE(e.number(), 5174L);
        bytes = QByteArray::fromStdString(e.description());
    }
    const QString text = QString::fromUtf8(bytes);
    QCOMPARE(text.toUtf8(), bytes); // valid UTF-8 throughout
    const QStringList lines = text.split('\n');
    QCOMPARE(lines.size(), 1 + placesShown + (more.isEmpty() ? 0 : 1));
    if (!more.isEmpty())
        QCOMPARE(lines.last(), more);
    for (const QString &line : lines)
        QVERIFY2(line.size() <= 200, qPrintable(line));
    // Places where something was found come first among those named.
    for (qsizetype i = 0; i < std::min<qsizetype>(found.size(), placesShown - 1); ++i)
        QVERIFY2(text.contains(QString::fromStdString(dataFolder(found[i])) + tail + " (เป็นโฟลเดอร์"), qPrintable(text));
    QVERIFY2(text.contains(marks), qPrintable(text));
    // A shortened path keeps a beginning and an end of the real one, and
    // neither cut parts a letter from its marks.
    const QString original = QFile::decodeName(QByteArray::fromStdString(dataFolder(0))) + tail;
    for (const QString &line : lines) {
        const qsizetype cut = line.indexOf("…");
        if (cut < 0)
            continue;
        const QString head = line.left(cut);
        const QString end = line.mid(cut + 1).section(" (", 0, 0);
        QVERIFY2(original.startsWith(head) && original.endsWith(end), qPrintable(line));
        QVERIFY2(!original.at(head.size()).isMark() && !end.front().isMark(), qPrintable(line));
    }
}

void TestWordApplication::prefixesFoundOnce()
{
    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    QVERIFY(!sandbox.installViewer("soffice").isEmpty());
    const Environment inner = sandbox.environment();
    auto lookups = std::make_shared<int>(0);
    const Environment counting = [inner, lookups](std::string_view name) {
        if (name == "XDG_DATA_DIRS")
            ++*lookups;
        return inner(name);
    };
    Registry registry;
    registerClasses(registry, Options{counting, [](const std::vector<std::string> &) {}});
    for (const char *document : {"c:\\Program Files\\Velodane\\vd5.doc", "c:\\Program Files\\Velodane\\vd61.doc",
                                 "c:\\Program Files\\Velodane\\vd5.doc"}) {
        ObjectRef app = registry.create("word.Application");
        ObjectRef documents = getObject(*app, "Documents");
        try {
            call(*documents, "Open", {std::string(document)});
        } catch (const vd::Error &e) {
            QCOMPARE(e.number(), 5174L);
        }
    }
    QCOMPARE(*lookups, 1);
}

void TestWordApplication::launchedArguments_data()
{
    QTest::addColumn<QStringList>("viewers"); // installed on PATH
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("document");     // Windows path
    QTest::addColumn<QString>("onDisk");       // relative to the prefix
    QTest::addColumn<QStringList>("expected"); // arguments after the program; "@" is the document's Linux path

    QTest::newRow("soffice") << QStringList{"soffice", "libreoffice", "xdg-open"} << "soffice" << Group5Document
                             << Group5DocumentOnDisk << QStringList{"--nologo", "--norestore", "--view", "@"};
    QTest::newRow("libreoffice") << QStringList{"libreoffice", "xdg-open"} << "libreoffice" << Group5Document
                                 << Group5DocumentOnDisk << QStringList{"--nologo", "--norestore", "--view", "@"};
    QTest::newRow("xdg-open fallback") << QStringList{"xdg-open"} << "xdg-open" << Group5Document
                                       << Group5DocumentOnDisk << QStringList{"@"};
    QTest::newRow("names as found on disk")
        << QStringList{"soffice"} << "soffice"
        << "C:\\SOIL DATA\\velodane\\VD62.DOC"
        << "drive_c/Soil Data/VELODANE/vd62.doc" << QStringList{"--nologo", "--norestore", "--view", "@"};
    QTest::newRow("awkward characters") << QStringList{"soffice"} << "soffice"
                                        << "c:\\a 'b' $c `d`\\-e; f&g.doc"
                                        << "drive_c/a 'b' $c `d`/-e; f&g.doc"
                                        << QStringList{"--nologo", "--norestore", "--view", "@"};
}

void TestWordApplication::launchedArguments()
{
    QFETCH(QStringList, viewers);
    QFETCH(QString, chosen);
    QFETCH(QString, document);
    QFETCH(QString, onDisk);
    QFETCH(QStringList, expected);

    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    QString program;
    for (const QString &v : viewers) {
        const QString path = sandbox.installViewer(v);
        QVERIFY(!path.isEmpty());
        if (v == chosen)
            program = path;
    }
    const QString linuxPath = sandbox.prefix + '/' + onDisk;
    QVERIFY(writeFile(linuxPath, "{\\rtf1 x}", Plain));

    // A descriptor of ours without close-on-exec, which must not reach the
    // viewer, and a standard input of ours that isn't /dev/null.
    const int marker = ::open(QFile::encodeName(sandbox.dir.path() + "/marker").constData(), O_RDWR | O_CREAT, 0600);
    QVERIFY(marker >= 0);
    QVERIFY(::dup2(marker, 77) == 77);
    const int savedStdin = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 10);
    QVERIFY(savedStdin >= 0);
    QVERIFY(::dup2(marker, STDIN_FILENO) == STDIN_FILENO);
    ::close(marker);

    // A signal ignored and one blocked here, which the viewer gets at their
    // defaults.
    sigset_t blocked, saved;
    ::sigemptyset(&blocked);
    ::sigaddset(&blocked, SIGUSR2);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &saved);
    const auto savedUsr1 = ::signal(SIGUSR1, SIG_IGN);

    bool opened = false;
    try {
        openAsTheProgramDoes(Options{sandbox.environment(), launchDetached}, document);
        opened = true;
    } catch (const vd::Error &e) {
        qWarning("%s", e.what());
    }
    ::signal(SIGUSR1, savedUsr1);
    ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    ::dup2(savedStdin, STDIN_FILENO);
    ::close(savedStdin);
    ::close(77);
    QVERIFY(opened);

    QTRY_COMPARE_WITH_TIMEOUT(recordFiles(sandbox.records).size(), 1, 30000);
    const Record r = parseRecord(recordFiles(sandbox.records).first());
    QCOMPARE(r.program, program);
    for (QString &e : expected)
        if (e == "@")
            e = linuxPath;
    QCOMPARE(r.argc, static_cast<int>(expected.size()));
    QCOMPARE(r.args, expected);
    QCOMPARE(r.stdinTarget, QString("/dev/null"));
    // Nothing the viewer or what it leaves behind writes reaches our
    // terminal or holds a pipe of ours open.
    QCOMPARE(r.stdoutTarget, QString("/dev/null"));
    QCOMPARE(r.stderrTarget, QString("/dev/null"));
    // 0, 1 and 2, and ls's own handle on /proc/self/fd.
    QCOMPARE(r.fds, QString("0 1 2 3"));
    QVERIFY(!r.ppid.isEmpty());
    QVERIFY2(r.ppid != QString::number(::getpid()), "the viewer is a child of ours");
    // It is in a session of its own, with no signal blocked or ignored.
    QVERIFY(!r.session.isEmpty() && r.session != QString::number(::getsid(0)));
    QCOMPARE(r.sigBlk, QString("0000000000000000"));
    QCOMPARE(r.sigIgn, QString("0000000000000000"));
}

void TestWordApplication::openReturnsWhileViewerRuns()
{
    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    const QString release = sandbox.dir.path() + "/release";
    QVERIFY(!sandbox.installViewer("soffice", release).isEmpty());

    QVERIFY_THROWS_NO_EXCEPTION(openAsTheProgramDoes(Options{sandbox.environment(), launchDetached}, Group5Document));
    // Open has returned while the viewer waits: only now may it go on.
    QVERIFY(recordFiles(sandbox.records).isEmpty());
    QVERIFY(writeFile(release, "", Plain));

    QTRY_COMPARE_WITH_TIMEOUT(recordFiles(sandbox.records).size(), 1, 40000);
    QCOMPARE(parseRecord(recordFiles(sandbox.records).first()).released, QString("yes"));
}

void TestWordApplication::execFailureReported_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("errnoValue");
    QTest::newRow("not executable") << "chmod" << EACCES;
    QTest::newRow("vanished") << "remove" << ENOENT;
    QTest::newRow("replaced by a folder") << "folder" << EACCES;
    QTest::newRow("missing interpreter") << "interpreter" << ENOENT;
    QTest::newRow("not a program") << "garbage" << ENOEXEC;
}

void TestWordApplication::execFailureReported()
{
    QFETCH(QString, fault);
    QFETCH(int, errnoValue);

    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    const QString program = sandbox.installViewer("soffice");
    QVERIFY(!program.isEmpty());
    Registry registry;
    registerClasses(registry, Options{sandbox.environment(), launchDetached});
    ObjectRef app = registry.create("word.application"); // finds the viewer now
    ObjectRef documents = getObject(*app, "Documents");

    if (fault == "chmod")
        QVERIFY(QFile::setPermissions(program, Plain));
    else if (fault == "remove")
        QVERIFY(QFile::remove(program));
    else if (fault == "folder")
        QVERIFY(QFile::remove(program) && QDir().mkpath(program));
    else if (fault == "interpreter")
        QVERIFY(writeFile(program, "#!/velodane-test-nowhere/sh\necho hi\n", Executable));
    else if (fault == "garbage")
        QVERIFY(writeFile(program, QByteArray("\x01\x02\x03 not a program\n"), Executable));

    const int before = countOpenDescriptors();
    try {
        call(*documents, "Open", {Group5Document.toStdString()});
        QFAIL("Open succeeded");
    } catch (const vd::Error &e) {
        QCOMPARE(e.number(), 429L);
        const QString text = QString::fromStdString(e.description());
        QVERIFY2(text.contains(program), qPrintable(text));
        QVERIFY2(text.contains("เรียกใช้โปรแกรมไม่ได้"), qPrintable(text));
        QVERIFY2(text.contains("(รหัสข้อผิดพลาดของระบบ " + QString::number(errnoValue) + ")"), qPrintable(text));
    }
    QCOMPARE(countOpenDescriptors(), before);
    QCOMPARE(childrenOfThisProcess(false), QStringList{});
    QVERIFY(recordFiles(sandbox.records).isEmpty());
}

void TestWordApplication::noZombieNoLeak_data()
{
    QTest::addColumn<QString>("viewer");
    QTest::addColumn<int>("launches");
    QTest::newRow("soffice, 100 launches") << "soffice" << 100;
    QTest::newRow("xdg-open, 30 launches") << "xdg-open" << 30;
}

void TestWordApplication::noZombieNoLeak()
{
    QFETCH(QString, viewer);
    QFETCH(int, launches);

    Sandbox sandbox;
    QVERIFY(sandbox.valid());
    QVERIFY(!sandbox.installViewer(viewer).isEmpty());
    Registry registry;
    registerClasses(registry, Options{sandbox.environment(), launchDetached});

    const int before = countOpenDescriptors();
    QVERIFY(before > 0);
    for (int i = 0; i < launches; ++i) {
        ObjectRef app = registry.create("word.Application");
        vd::automation::setProperty(*app, "Visible", true);
        QVERIFY_THROWS_NO_EXCEPTION(call(*getObject(*app, "Documents"), "Open", {Group5Document.toStdString()}));
    }
    QCOMPARE(countOpenDescriptors(), before);
    QCOMPARE(childrenOfThisProcess(true), QStringList{});

    QTRY_COMPARE_WITH_TIMEOUT(recordFiles(sandbox.records).size(), launches, 120000);
    const QString self = QString::number(::getpid());
    for (const QString &file : recordFiles(sandbox.records)) {
        const Record r = parseRecord(file);
        QCOMPARE(r.args.last(), sandbox.documentOnDisk());
        QCOMPARE(r.fds, QString("0 1 2 3"));
        QCOMPARE(r.stdinTarget, QString("/dev/null"));
        // Nothing the viewer or what it leaves behind writes reaches our
        // terminal or holds a pipe of ours open.
        QCOMPARE(r.stdoutTarget, QString("/dev/null"));
        QCOMPARE(r.stderrTarget, QString("/dev/null"));
        QVERIFY(!r.ppid.isEmpty() && r.ppid != self);
    }
    // The viewers have ended by now; none of them was left to us.
    QCOMPARE(childrenOfThisProcess(true), QStringList{});
    QCOMPARE(childrenOfThisProcess(false), QStringList{});
}

QTEST_GUILESS_MAIN(TestWordApplication)
#include "tst_word_application.moc"
