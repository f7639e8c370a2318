// Resolving the documents' Windows paths inside the prefix folders.
#include "automation/linux/document_path.h"

#include "child_report.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vd::automation::linuxword;

namespace {

// An environment made of "NAME=value" entries; "@" in a value stands for `root`.
Environment fakeEnvironment(const QStringList &entries, const QString &root = {})
{
    std::map<std::string, std::string, std::less<>> vars;
    for (const QString &entry : entries) {
        const qsizetype eq = entry.indexOf('=');
        QString value = entry.mid(eq + 1);
        value.replace('@', root);
        vars[entry.left(eq).toStdString()] = value.toStdString();
    }
    return [vars](std::string_view name) -> std::optional<std::string> {
        if (auto it = vars.find(name); it != vars.end())
            return it->second;
        return std::nullopt;
    };
}

const char *stateName(FileState state)
{
    switch (state) {
    case FileState::Readable:
        return "readable";
    case FileState::Missing:
        return "missing";
    case FileState::DanglingLink:
        return "dangling";
    case FileState::Directory:
        return "directory";
    case FileState::NotRegular:
        return "special";
    case FileState::Unreadable:
        return "unreadable";
    case FileState::LinkLoop:
        return "loop";
    case FileState::FolderDenied:
        return "denied";
    case FileState::NameTooLong:
        return "toolong";
    case FileState::TooManyOpenFiles:
        return "toomany";
    case FileState::Failed:
        return "failed";
    }
    return "?";
}

// Builds a tree from instructions, paths relative to root:
//   f:path        a file          d:path   a folder
//   l:path>target a symbolic link p:path   a named pipe
//   u:path        a file nobody may read
//   x:path        a folder, made before, that nobody may enter or list (0)
//   r:path        a folder, made before, that may be entered, not listed (0111)
bool build(const QString &root, const QStringList &steps, QString *why)
{
    for (const QString &step : steps) {
        const QChar kind = step.front();
        QString rest = step.mid(2);
        QString target;
        if (kind == 'l') {
            target = rest.section('>', 1);
            rest = rest.section('>', 0, 0);
        }
        const QString path = root + '/' + rest;
        if (!QDir().mkpath(QFileInfo(path).path())) {
            *why = "mkpath " + path;
            return false;
        }
        bool ok = true;
        if (kind == 'f' || kind == 'u') {
            QFile file(path);
            ok = file.open(QIODevice::WriteOnly) && file.write("{\\rtf1 x}") > 0;
            file.close();
            if (ok && kind == 'u')
                ok = ::chmod(QFile::encodeName(path).constData(), 0) == 0;
        } else if (kind == 'd') {
            ok = QDir().mkpath(path);
        } else if (kind == 'l') {
            ok = ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
        } else if (kind == 'p') {
            ok = ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
        } else if (kind == 'x' || kind == 'r') {
            ok = ::chmod(QFile::encodeName(path).constData(), kind == 'x' ? 0 : 0111) == 0;
        } else {
            ok = false;
        }
        if (!ok) {
            *why = "can't make " + step;
            return false;
        }
    }
    return true;
}

// Folders made inaccessible by build() opened again, so that they can be
// removed.
void reopenFolders(const QString &root, const QStringList &steps)
{
    for (const QString &step : steps)
        if (step.startsWith("x:") || step.startsWith("r:"))
            ::chmod(QFile::encodeName(root + '/' + step.mid(2)).constData(), 0755);
}

// This process's descriptors used up but `left` of them, for as long as it
// lives.
class DescriptorFlood {
public:
    explicit DescriptorFlood(int left)
    {
        if (left < 0 || ::getrlimit(RLIMIT_NOFILE, &old_) != 0)
            return;
        rlimit lower = old_;
        lower.rlim_cur = std::min<rlim_t>(old_.rlim_cur, 256);
        limited_ = ::setrlimit(RLIMIT_NOFILE, &lower) == 0;
        int fd;
        while ((fd = ::fcntl(0, F_DUPFD_CLOEXEC, 0)) >= 0)
            fds_.push_back(fd);
        for (int i = 0; i < left && !fds_.empty(); ++i) {
            ::close(fds_.back());
            fds_.pop_back();
        }
    }
    ~DescriptorFlood()
    {
        for (int fd : fds_)
            ::close(fd);
        if (limited_)
            ::setrlimit(RLIMIT_NOFILE, &old_);
    }
    DescriptorFlood(const DescriptorFlood &) = delete;
    DescriptorFlood &operator=(const DescriptorFlood &) = delete;

private:
    rlimit old_{};
    bool limited_ = false;
    std::vector<int> fds_;
};

// A resolution written down: "valid", the file found (or empty) and
// "state path" for each place searched, with the root as "@".
QStringList describe(const Resolution &resolution, const QString &root)
{
    QStringList lines{resolution.valid ? "valid" : "invalid",
                      resolution.file ? QString::fromStdString(*resolution.file).replace(root, "@") : QString()};
    for (const Candidate &c : resolution.searched)
        lines << QString("%1 %2").arg(stateName(c.state), QString::fromStdString(c.path).replace(root, "@"));
    return lines;
}

// The same resolution made by a child process running as "nobody", for
// the permission cases when the tests run as root (who may read anything).
QStringList describeUnprivileged(const std::string &windowsPath, const Environment &env, const QString &root)
{
    ::chmod(QFile::encodeName(root).constData(), 0755);
    const QByteArray text = vd::test::reportFromChild([&]() -> QByteArray {
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0)
            return describe(resolveDocument(windowsPath, env), root).join('\n').toUtf8();
        return "can't become nobody";
    });
    return QString::fromUtf8(text).split('\n');
}

// Builds the tree, resolves the path and compares; "@" stands for a fresh
// temporary folder. With `unprivileged`, the resolution is made as a user
// without special privileges; with `descriptorsLeft` >= 0, with only that
// many descriptors free.
void checkResolution(const QStringList &env, const QStringList &tree, QString windowsPath, const QString &found,
                     const QStringList &searched, bool unprivileged, int descriptorsLeft = -1)
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    QStringList steps;
    for (QString step : tree)
        steps << step.replace('@', root);
    QString why;
    const bool built = build(root, steps, &why);
    struct Reopen {
        const QString &root;
        const QStringList &steps;
        ~Reopen() { reopenFolders(root, steps); }
    } reopen{root, steps};
    QVERIFY2(built, qPrintable(why));

    windowsPath.replace('@', root);
    const std::string path = windowsPath.toStdString();
    const Environment environment = fakeEnvironment(env, root);
    QStringList actual;
    if (unprivileged && ::geteuid() == 0) {
        actual = describeUnprivileged(path, environment, root);
    } else {
        std::optional<Resolution> resolution;
        {
            const DescriptorFlood flood(descriptorsLeft);
            resolution = resolveDocument(path, environment);
        }
        actual = describe(*resolution, root);
    }

    QCOMPARE(actual.takeFirst(), QString(searched.isEmpty() ? "invalid" : "valid"));
    const QString file = actual.takeFirst();
    QCOMPARE(actual, searched);
    QCOMPARE(file, found);
    if (!file.isEmpty())
        QVERIFY(QFileInfo(QString(file).replace('@', root)).isFile());
}

} // namespace

class TestDocumentPath : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void prefixes_data();
    void prefixes();
    void resolve_data();
    void resolve();
    void fileStates_data();
    void fileStates();
    void nameMatching_data();
    void nameMatching();
    void processEnvironment_data();
    void processEnvironment();
};

void TestDocumentPath::parse_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QStringList>("components");

    QTest::newRow("group document") << QByteArray("c:\\Program Files\\Velodane\\vd5.doc") << true << "c"
                                    << QStringList{"Program Files", "Velodane", "vd5.doc"};
    QTest::newRow("upper-case drive") << QByteArray("C:\\A\\b") << true << "c" << QStringList{"A", "b"};
    QTest::newRow("other drive") << QByteArray("z:\\x.doc") << true << "z" << QStringList{"x.doc"};
    QTest::newRow("forward slashes") << QByteArray("d:/a/b") << true << "d" << QStringList{"a", "b"};
    QTest::newRow("mixed separators") << QByteArray("c:\\a/b\\c") << true << "c" << QStringList{"a", "b", "c"};
    QTest::newRow("thai name") << QByteArray("c:\\เอกสาร\\ดิน.doc") << true << "c" << QStringList{"เอกสาร", "ดิน.doc"};
    QTest::newRow("dots inside a name") << QByteArray("c:\\a..b\\.hidden") << true << "c"
                                        << QStringList{"a..b", ".hidden"};

    const char *invalid[] = {
        "",
        "c",
        "c:",
        "c:\\",
        "c:foo",
        "c:foo\\bar",
        "\\\\server\\share\\x.doc",
        "\\a\\b",
        "/etc/passwd",
        "1:\\a",
        "cc:\\a",
        "::\\a",
        "c;\\a",
        "c:\\..\\etc\\passwd",
        "c:\\a\\..\\b",
        "c:\\a\\..",
        "c:\\.\\a",
        "c:\\a\\.",
        "c:\\...\\a",
        "c:\\a\\\\b",
        "c:\\a\\",
        "c:\\\\a",
        "c:\\a/../b",
        "c:\\a:b",
        "c:\\a*b",
        "c:\\a?b",
        "c:\\a<b",
        "c:\\a>b",
        "c:\\a|b",
        "c:\\a\"b",
        "c:\\a\tb",
        "c:\\a\nb",
    };
    for (const char *path : invalid) {
        const QByteArray name = QByteArray("invalid ").append(path).replace('\t', "<TAB>").replace('\n', "<LF>");
        QTest::newRow(name.constData()) << QByteArray(path) << false << QString() << QStringList();
    }
    QTest::newRow("invalid embedded NUL") << QByteArray("c:\\a\0b", 6) << false << QString() << QStringList();
    QTest::newRow("invalid non-ASCII drive") << QByteArray("ก:\\a") << false << QString() << QStringList();
}

void TestDocumentPath::parse()
{
    QFETCH(QByteArray, path);
    QFETCH(bool, valid);
    QFETCH(QString, drive);
    QFETCH(QStringList, components);

    const auto parsed = parseWindowsPath(std::string_view(path.constData(), static_cast<std::size_t>(path.size())));
    QCOMPARE(parsed.has_value(), valid);
    if (!parsed)
        return;
    QCOMPARE(QString(QChar(parsed->drive)), drive);
    QStringList actual;
    for (const std::string &c : parsed->components)
        actual << QString::fromStdString(c);
    QCOMPARE(actual, components);
}

void TestDocumentPath::prefixes_data()
{
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QStringList>("expected");

    const QStringList defaults{"/usr/local/share/velodane", "/usr/share/velodane"};
    QTest::newRow("nothing set") << QStringList{} << defaults;
    QTest::newRow("HOME only") << QStringList{"HOME=/home/u"}
                               << (QStringList{"/home/u/.local/share/velodane"} + defaults);
    QTest::newRow("HOME with trailing slash")
        << QStringList{"HOME=/home/u/"} << (QStringList{"/home/u/.local/share/velodane"} + defaults);
    QTest::newRow("HOME empty") << QStringList{"HOME="} << defaults;
    QTest::newRow("HOME relative") << QStringList{"HOME=home/u"} << defaults;
    QTest::newRow("XDG_DATA_HOME over HOME")
        << QStringList{"HOME=/home/u", "XDG_DATA_HOME=/data"} << (QStringList{"/data/velodane"} + defaults);
    QTest::newRow("XDG_DATA_HOME empty") << QStringList{"HOME=/home/u", "XDG_DATA_HOME="}
                                         << (QStringList{"/home/u/.local/share/velodane"} + defaults);
    QTest::newRow("XDG_DATA_HOME relative") << QStringList{"HOME=/home/u", "XDG_DATA_HOME=data"}
                                            << (QStringList{"/home/u/.local/share/velodane"} + defaults);
    QTest::newRow("XDG_DATA_HOME without HOME")
        << QStringList{"XDG_DATA_HOME=/data"} << (QStringList{"/data/velodane"} + defaults);
    QTest::newRow("WINEPREFIX first") << QStringList{"HOME=/home/u", "WINEPREFIX=/home/u/.wine"}
                                      << (QStringList{"/home/u/.wine", "/home/u/.local/share/velodane"} + defaults);
    QTest::newRow("WINEPREFIX empty") << QStringList{"WINEPREFIX=", "HOME=/h"}
                                      << (QStringList{"/h/.local/share/velodane"} + defaults);
    QTest::newRow("WINEPREFIX trailing slash") << QStringList{"WINEPREFIX=/w//"} << (QStringList{"/w"} + defaults);
    QTest::newRow("XDG_DATA_DIRS replaces defaults")
        << QStringList{"XDG_DATA_DIRS=/a:/b"} << QStringList{"/a/velodane", "/b/velodane"};
    QTest::newRow("XDG_DATA_DIRS empty and relative entries")
        << QStringList{"XDG_DATA_DIRS=:/a::rel:/b/:"} << QStringList{"/a/velodane", "/b/velodane"};
    QTest::newRow("XDG_DATA_DIRS empty") << QStringList{"XDG_DATA_DIRS="} << defaults;
    QTest::newRow("XDG_DATA_DIRS only relative") << QStringList{"XDG_DATA_DIRS=a:b"} << QStringList{};
    QTest::newRow("duplicates once") << QStringList{"XDG_DATA_HOME=/usr/share", "XDG_DATA_DIRS=/usr/share:/opt"}
                                     << QStringList{"/usr/share/velodane", "/opt/velodane"};
    QTest::newRow("all three") << QStringList{"WINEPREFIX=/w", "XDG_DATA_HOME=/d", "HOME=/h", "XDG_DATA_DIRS=/s"}
                               << QStringList{"/w", "/d/velodane", "/s/velodane"};
}

void TestDocumentPath::prefixes()
{
    QFETCH(QStringList, env);
    QFETCH(QStringList, expected);
    QStringList actual;
    for (const std::string &p : documentPrefixes(fakeEnvironment(env)))
        actual << QString::fromStdString(p);
    QCOMPARE(actual, expected);
}

void TestDocumentPath::resolve_data()
{
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<QString>("found");        // "@/..." or empty
    QTest::addColumn<QStringList>("searched"); // "state @/..." in order
    QTest::addColumn<bool>("needsUnprivileged");

    const QString doc = "c:\\Program Files\\Velodane\\vd5.doc";
    const QStringList env{"HOME=@/home", "XDG_DATA_DIRS=@/sys1:@/sys2"};
    const QString home = "@/home/.local/share/velodane";
    const QString tail = "/drive_c/Program Files/Velodane/vd5.doc";

    QTest::newRow("in the home prefix") << env << QStringList{"f:home/.local/share/velodane" + tail} << doc
                                        << home + tail << QStringList{"readable " + home + tail} << false;
    QTest::newRow("names in other letter case")
        << env << QStringList{"f:home/.local/share/velodane/drive_c/PROGRAM FILES/velodane/VD5.DOC"} << doc
        << home + "/drive_c/PROGRAM FILES/velodane/VD5.DOC"
        << QStringList{"readable " + home + "/drive_c/PROGRAM FILES/velodane/VD5.DOC"} << false;
    QTest::newRow("upper-case drive letter")
        << env << QStringList{"f:home/.local/share/velodane" + tail} << "C:\\program files\\velodane\\VD5.doc"
        << home + tail << QStringList{"readable " + home + tail} << false;
    QTest::newRow("exact name preferred") << env
                                          << QStringList{"f:home/.local/share/velodane/drive_c/Program Files/x.doc",
                                                         "f:home/.local/share/velodane/drive_c/program files/x.doc"}
                                          << "c:\\program files\\x.doc" << home + "/drive_c/program files/x.doc"
                                          << QStringList{"readable " + home + "/drive_c/program files/x.doc"} << false;
    QTest::newRow("first case match in byte order")
        << env
        << QStringList{"f:home/.local/share/velodane/drive_c/program files/x.doc",
                       "f:home/.local/share/velodane/drive_c/Program Files/x.doc"}
        << "c:\\PROGRAM FILES\\x.doc" << home + "/drive_c/Program Files/x.doc"
        << QStringList{"readable " + home + "/drive_c/Program Files/x.doc"} << false;
    QTest::newRow("case match skips a missing exact file, goes on in the folder")
        << env << QStringList{"f:home/.local/share/velodane/drive_c/Program Files/Velodane/Vd5.Doc"} << doc
        << home + "/drive_c/Program Files/Velodane/Vd5.Doc"
        << QStringList{"readable " + home + "/drive_c/Program Files/Velodane/Vd5.Doc"} << false;
    QTest::newRow("dosdevices link before drive_c")
        << env
        << QStringList{"f:home/.local/share/velodane/real-c/Program Files/Velodane/vd5.doc",
                       "l:home/.local/share/velodane/dosdevices/c:>../real-c", "f:home/.local/share/velodane" + tail}
        << doc << home + "/dosdevices/c:/Program Files/Velodane/vd5.doc"
        << QStringList{"readable " + home + "/dosdevices/c:/Program Files/Velodane/vd5.doc"} << false;
    QTest::newRow("dosdevices without this drive")
        << env
        << QStringList{"l:home/.local/share/velodane/dosdevices/d:>../drive_d", "f:home/.local/share/velodane" + tail}
        << doc << home + tail << QStringList{"readable " + home + tail} << false;
    QTest::newRow("dosdevices entry dangling")
        << env
        << QStringList{"l:home/.local/share/velodane/dosdevices/c:>../gone", "f:home/.local/share/velodane" + tail}
        << doc << home + tail << QStringList{"readable " + home + tail} << false;
    QTest::newRow("dosdevices lower-case letter only")
        << env
        << QStringList{"l:home/.local/share/velodane/dosdevices/C:>../upper",
                       "f:home/.local/share/velodane/upper/x.doc", "f:home/.local/share/velodane/drive_c/x.doc"}
        << "C:\\x.doc" << home + "/drive_c/x.doc" << QStringList{"readable " + home + "/drive_c/x.doc"} << false;
    QTest::newRow("WINEPREFIX before home") << (env + QStringList{"WINEPREFIX=@/wine"})
                                            << QStringList{"f:wine" + tail, "f:home/.local/share/velodane" + tail}
                                            << doc << "@/wine" + tail << QStringList{"readable @/wine" + tail} << false;
    QTest::newRow("WINEPREFIX without the file")
        << (env + QStringList{"WINEPREFIX=@/wine"})
        << QStringList{"d:wine/drive_c", "f:home/.local/share/velodane" + tail} << doc << home + tail
        << QStringList{"missing @/wine" + tail, "readable " + home + tail} << false;
    QTest::newRow("XDG_DATA_HOME over HOME")
        << (env + QStringList{"XDG_DATA_HOME=@/data"})
        << QStringList{"f:data/velodane" + tail, "f:home/.local/share/velodane" + tail} << doc
        << "@/data/velodane" + tail << QStringList{"readable @/data/velodane" + tail} << false;
    QTest::newRow("second data dir") << env << QStringList{"f:sys2/velodane" + tail} << doc << "@/sys2/velodane" + tail
                                     << QStringList{"missing " + home + tail, "missing @/sys1/velodane" + tail,
                                                    "readable @/sys2/velodane" + tail}
                                     << false;
    QTest::newRow("first data dir wins") << env << QStringList{"f:sys1/velodane" + tail, "f:sys2/velodane" + tail}
                                         << doc << "@/sys1/velodane" + tail
                                         << QStringList{"missing " + home + tail, "readable @/sys1/velodane" + tail}
                                         << false;
    QTest::newRow("no HOME, no XDG_DATA_HOME")
        << QStringList{"XDG_DATA_DIRS=@/sys1"} << QStringList{"f:sys1/velodane" + tail} << doc
        << "@/sys1/velodane" + tail << QStringList{"readable @/sys1/velodane" + tail} << false;
    QTest::newRow("default data dirs")
        << QStringList{"XDG_DATA_HOME=@/data"} << QStringList{} << "c:\\velodane-test-nowhere\\vd5.doc" << QString()
        << QStringList{"missing @/data/velodane/drive_c/velodane-test-nowhere/vd5.doc",
                       "missing /usr/local/share/velodane/drive_c/velodane-test-nowhere/vd5.doc",
                       "missing /usr/share/velodane/drive_c/velodane-test-nowhere/vd5.doc"}
        << false;
    QTest::newRow("missing everywhere") << env
                                        << QStringList{"d:home/.local/share/velodane/drive_c/Program Files/Velodane"}
                                        << doc << QString()
                                        << QStringList{"missing " + home + tail, "missing @/sys1/velodane" + tail,
                                                       "missing @/sys2/velodane" + tail}
                                        << false;
    QTest::newRow("a folder, not a file")
        << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"} << QStringList{"d:home/.local/share/velodane" + tail}
        << doc << QString() << QStringList{"directory " + home + tail, "missing @/sys1/velodane" + tail} << false;
    QTest::newRow("folder first, file later")
        << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}
        << QStringList{"d:home/.local/share/velodane" + tail, "f:sys1/velodane" + tail} << doc
        << "@/sys1/velodane" + tail << QStringList{"directory " + home + tail, "readable @/sys1/velodane" + tail}
        << false;
    QTest::newRow("dangling link") << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}
                                   << QStringList{"l:home/.local/share/velodane" + tail +
                                                  ">/velodane-test-nowhere/vd5.doc"}
                                   << doc << QString()
                                   << QStringList{"dangling " + home + tail, "missing @/sys1/velodane" + tail} << false;
    QTest::newRow("link to a file") << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}
                                    << QStringList{"f:elsewhere/doc.rtf",
                                                   "l:home/.local/share/velodane" + tail + ">@/elsewhere/doc.rtf"}
                                    << doc << home + tail << QStringList{"readable " + home + tail} << false;
    QTest::newRow("named pipe") << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}
                                << QStringList{"p:home/.local/share/velodane" + tail} << doc << QString()
                                << QStringList{"special " + home + tail, "missing @/sys1/velodane" + tail} << false;
    QTest::newRow("unreadable file") << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}
                                     << QStringList{"u:home/.local/share/velodane" + tail} << doc << QString()
                                     << QStringList{"unreadable " + home + tail, "missing @/sys1/velodane" + tail}
                                     << true;
    QTest::newRow("a file where a folder should be")
        << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}
        << QStringList{"f:home/.local/share/velodane/drive_c/Program Files"} << doc << QString()
        << QStringList{"missing " + home + tail, "missing @/sys1/velodane" + tail} << false;
    QTest::newRow("parent folder never climbed")
        << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"} << QStringList{"f:home/.local/share/velodane/secret.doc"}
        << "c:\\..\\secret.doc" << QString() << QStringList{} << false;
    QTest::newRow("not a drive path") << QStringList{"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}
                                      << QStringList{"f:home/.local/share/velodane/x.doc"}
                                      << "@/home/.local/share/velodane/x.doc" << QString() << QStringList{} << false;
}

void TestDocumentPath::resolve()
{
    QFETCH(QStringList, env);
    QFETCH(QStringList, tree);
    QFETCH(QString, windowsPath);
    QFETCH(QString, found);
    QFETCH(QStringList, searched);
    QFETCH(bool, needsUnprivileged);
    checkResolution(env, tree, windowsPath, found, searched, needsUnprivileged);
}

void TestDocumentPath::fileStates_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QStringList>("searched");
    QTest::addColumn<bool>("unprivileged");
    QTest::addColumn<int>("descriptorsLeft"); // -1: as many as there are

    const QString doc = "c:\\Program Files\\Velodane\\vd5.doc";
    const QString home = "home/.local/share/velodane";
    const QString folder = "/drive_c/Program Files/Velodane";
    const QString tail = folder + "/vd5.doc";
    const QString sys = "missing @/sys1/velodane" + tail;

    QTest::newRow("link to itself") << QStringList{"l:" + home + tail + ">vd5.doc"} << doc << QString()
                                    << QStringList{"loop @/" + home + tail, sys} << false << -1;
    QTest::newRow("two links in a loop") << QStringList{"l:" + home + tail + ">vd6.doc",
                                                        "l:" + home + folder + "/vd6.doc>vd5.doc"}
                                         << doc << QString() << QStringList{"loop @/" + home + tail, sys} << false
                                         << -1;
    QTest::newRow("loop on the way") << QStringList{"l:" + home + "/drive_c/Program Files>Program Files"} << doc
                                     << QString() << QStringList{"loop @/" + home + tail, sys} << false << -1;
    QTest::newRow("folder on the way nobody may enter")
        << QStringList{"f:" + home + tail, "x:" + home + "/drive_c/Program Files"} << doc << QString()
        << QStringList{"denied @/" + home + tail, sys} << true << -1;
    QTest::newRow("document's folder nobody may enter")
        << QStringList{"f:" + home + tail, "x:" + home + folder} << doc << QString()
        << QStringList{"denied @/" + home + tail, sys} << true << -1;
    QTest::newRow("folder that can't be listed, name as written")
        << QStringList{"f:" + home + tail, "r:" + home + folder} << doc << "@/" + home + tail
        << QStringList{"readable @/" + home + tail} << true << -1;
    QTest::newRow("folder that can't be listed, name in other case")
        << QStringList{"f:" + home + folder + "/VD5.DOC", "r:" + home + folder} << doc << QString()
        << QStringList{"denied @/" + home + tail, sys} << true << -1;
    QTest::newRow("denied, then readable in the next prefix")
        << QStringList{"f:" + home + tail, "x:" + home + folder, "f:sys1/velodane" + tail} << doc
        << "@/sys1/velodane" + tail << QStringList{"denied @/" + home + tail, "readable @/sys1/velodane" + tail} << true
        << -1;

    const QString longName = QString(300, 'a') + ".doc";
    QTest::newRow("name longer than the system allows")
        << QStringList{"d:" + home + folder} << "c:\\Program Files\\Velodane\\" + longName << QString()
        << QStringList{"toolong @/" + home + folder + "/" + longName,
                       "missing @/sys1/velodane" + folder + "/" + longName}
        << false << -1;
    QStringList parts(20, QString(220, 'b'));
    QTest::newRow("path longer than the system allows")
        << QStringList{"d:" + home + "/drive_c/" + parts.first()} << "c:\\" + parts.join('\\') << QString()
        << QStringList{"toolong @/" + home + "/drive_c/" + parts.join('/'),
                       "toolong @/sys1/velodane/drive_c/" + parts.join('/')}
        << false << -1;

    QTest::newRow("no descriptor left") << QStringList{"f:" + home + tail} << doc << QString()
                                        << QStringList{"toomany @/" + home + tail, "toomany @/sys1/velodane" + tail}
                                        << false << 0;
    QTest::newRow("no descriptor left to list a folder")
        << QStringList{"f:" + home + folder + "/VD5.DOC"} << doc << QString()
        << QStringList{"toomany @/" + home + tail, "toomany @/sys1/velodane" + tail} << false << 0;
    QTest::newRow("one descriptor is enough")
        << QStringList{"f:" + home + folder + "/VD5.DOC"} << doc << "@/" + home + folder + "/VD5.DOC"
        << QStringList{"readable @/" + home + folder + "/VD5.DOC"} << false << 1;
}

void TestDocumentPath::fileStates()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, windowsPath);
    QFETCH(QString, found);
    QFETCH(QStringList, searched);
    QFETCH(bool, unprivileged);
    QFETCH(int, descriptorsLeft);
    checkResolution({"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}, tree, windowsPath, found, searched, unprivileged,
                    descriptorsLeft);
}

void TestDocumentPath::nameMatching_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QStringList>("searched");
    QTest::addColumn<bool>("unprivileged");

    const QString doc = "c:\\Program Files\\Velodane\\vd5.doc";
    const QString home = "home/.local/share/velodane";
    const QString folder = "@/" + home + "/drive_c/Program Files/Velodane";
    const QString made = home + "/drive_c/Program Files/Velodane";
    const QString sys = "missing @/sys1/velodane/drive_c/Program Files/Velodane/vd5.doc";

    QTest::newRow("dangling VD5.DOC beside readable Vd5.doc")
        << QStringList{"l:" + made + "/VD5.DOC>gone.doc", "f:" + made + "/Vd5.doc"} << doc << folder + "/Vd5.doc"
        << QStringList{"readable " + folder + "/Vd5.doc"} << false;
    QTest::newRow("folder VD5.doc beside readable vd5.DOC")
        << QStringList{"d:" + made + "/VD5.doc", "f:" + made + "/vd5.DOC"} << doc << folder + "/vd5.DOC"
        << QStringList{"readable " + folder + "/vd5.DOC"} << false;
    QTest::newRow("name as written unusable, other case readable")
        << QStringList{"d:" + made + "/vd5.doc", "f:" + made + "/VD5.DOC"} << doc << folder + "/VD5.DOC"
        << QStringList{"readable " + folder + "/VD5.DOC"} << false;
    QTest::newRow("unreadable before readable in byte order")
        << QStringList{"u:" + made + "/VD5.DOC", "f:" + made + "/vd5.DOC"} << doc << folder + "/vd5.DOC"
        << QStringList{"readable " + folder + "/vd5.DOC"} << true;
    QTest::newRow("empty folder as written, document under other case")
        << QStringList{"d:" + home + "/drive_c/Program Files", "f:" + home + "/drive_c/PROGRAM FILES/Velodane/vd5.doc"}
        << doc << "@/" + home + "/drive_c/PROGRAM FILES/Velodane/vd5.doc"
        << QStringList{"readable @/" + home + "/drive_c/PROGRAM FILES/Velodane/vd5.doc"} << false;
    QTest::newRow("file where the folder should be, folder in other case")
        << QStringList{"f:" + home + "/drive_c/Program Files", "f:" + home + "/drive_c/program files/Velodane/vd5.doc"}
        << doc << "@/" + home + "/drive_c/program files/Velodane/vd5.doc"
        << QStringList{"readable @/" + home + "/drive_c/program files/Velodane/vd5.doc"} << false;
    QTest::newRow("first folder in byte order without it, the next with it")
        << QStringList{"d:" + home + "/drive_c/PROGRAM FILES/Velodane",
                       "f:" + home + "/drive_c/program files/VELODANE/VD5.DOC"}
        << "c:\\Program files\\velodane\\vd5.doc"
        << "@/" + home + "/drive_c/program files/VELODANE/VD5.DOC"
        << QStringList{"readable @/" + home + "/drive_c/program files/VELODANE/VD5.DOC"} << false;
    QTest::newRow("none usable: the first in order reported")
        << QStringList{"d:" + made + "/Vd5.doc", "l:" + made + "/VD5.DOC>gone.doc"} << doc << QString()
        << QStringList{"dangling " + folder + "/VD5.DOC", sys} << false;
    QTest::newRow("none usable: the name as written reported first")
        << QStringList{"p:" + made + "/VD5.DOC", "d:" + made + "/vd5.doc"} << doc << QString()
        << QStringList{"directory " + folder + "/vd5.doc", sys} << false;
    QTest::newRow("none usable on the way: the first folder's reason")
        << QStringList{"d:" + home + "/drive_c/PROGRAM FILES/Velodane/vd5.doc", "f:" + home + "/drive_c/Program files"}
        << doc << QString() << QStringList{"directory @/" + home + "/drive_c/PROGRAM FILES/Velodane/vd5.doc", sys}
        << false;
}

void TestDocumentPath::nameMatching()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, windowsPath);
    QFETCH(QString, found);
    QFETCH(QStringList, searched);
    QFETCH(bool, unprivileged);
    checkResolution({"HOME=@/home", "XDG_DATA_DIRS=@/sys1"}, tree, windowsPath, found, searched, unprivileged);
}

void TestDocumentPath::processEnvironment_data()
{
    QTest::addColumn<bool>("set");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("set") << true << QByteArray("/some/where");
    QTest::newRow("set empty") << true << QByteArray();
    QTest::newRow("unset") << false << QByteArray();
}

void TestDocumentPath::processEnvironment()
{
    QFETCH(bool, set);
    QFETCH(QByteArray, value);
    const char *name = "VELODANE_TEST_ENVIRONMENT_LOOKUP";
    const bool wasSet = qEnvironmentVariableIsSet(name);
    const QByteArray old = qgetenv(name);
    if (set)
        qputenv(name, value);
    else
        qunsetenv(name);

    const std::optional<std::string> seen = vd::automation::linuxword::processEnvironment()(name);

    if (wasSet)
        qputenv(name, old);
    else
        qunsetenv(name);

    QCOMPARE(seen.has_value(), set);
    if (seen)
        QCOMPARE(QByteArray::fromStdString(*seen), value);
}

QTEST_GUILESS_MAIN(TestDocumentPath)
#include "tst_document_path.moc"
