// velodane-sampledocs: 62 RTF stand-ins, never replacing what is there.
#include "sample_documents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run runTool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(VD_SAMPLEDOCS_EXE), args);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The "written N, kept M" counts the tool prints; -1 when missing.
std::pair<int, int> counts(const QString &out)
{
    const auto m = QRegularExpression("written (\\d+), kept (\\d+)").match(out);
    return m.hasMatch() ? std::pair{m.captured(1).toInt(), m.captured(2).toInt()} : std::pair{-1, -1};
}

// The text of the paragraphs of an RTF document: the groups {\fonttbl ...}
// and {\info ...} skipped, \uN? read as UTF-16 units (the "?" fallback
// dropped), \\ \{ \} as themselves, \par as a line end, other control words
// ignored.
QStringList rtfParagraphs(const QByteArray &rtf, bool *wellFormed)
{
    QStringList paragraphs;
    QString current;
    QList<char16_t> units;
    int depth = 0;
    int skipFrom = -1; // depth at which a skipped group began
    *wellFormed = rtf.startsWith("{\\rtf1");
    auto flushUnits = [&] {
        current += QString(reinterpret_cast<const QChar *>(units.constData()), units.size());
        units.clear();
    };
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            ++depth;
            continue;
        }
        if (c == '}') {
            if (skipFrom == depth)
                skipFrom = -1;
            --depth;
            if (depth < 0)
                *wellFormed = false;
            continue;
        }
        if (c == '\\' && i + 1 < rtf.size()) {
            const char next = rtf[i + 1];
            if (next == '\\' || next == '{' || next == '}') {
                ++i;
                if (skipFrom < 0) {
                    flushUnits();
                    current += QChar(next);
                }
                continue;
            }
            qsizetype j = i + 1;
            while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j])))
                ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            qsizetype k = j;
            if (k < rtf.size() && rtf[k] == '-')
                ++k;
            while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k])))
                ++k;
            const QByteArray number = rtf.mid(j, k - j);
            if (k < rtf.size() && rtf[k] == ' ')
                ++k; // the delimiter belongs to the control word
            i = k - 1;
            if (word == "fonttbl" || word == "info")
                skipFrom = depth;
            if (skipFrom >= 0)
                continue;
            if (word == "u") {
                units.push_back(static_cast<char16_t>(number.toInt() & 0xFFFF));
                if (i + 1 < rtf.size() && rtf[i + 1] == '?')
                    ++i;
            } else if (word == "par") {
                flushUnits();
                paragraphs << current;
                current.clear();
            }
            continue;
        }
        if (c == '\n' || c == '\r' || skipFrom >= 0)
            continue;
        flushUnits();
        current += QChar(c);
    }
    if (depth != 0)
        *wellFormed = false;
    return paragraphs;
}

QString windowsPath(int group)
{
    return QString("c:\\Program Files\\Velodane\\vd%1.doc").arg(group);
}

} // namespace

class TestSampleDocs : public QObject {
    Q_OBJECT

private slots:
    void rtfText_data();
    void rtfText();
    void writesAll_data();
    void writesAll();
    void keepsExisting_data();
    void keepsExisting();
    void secondRunChangesNothing();
    void failures_data();
    void failures();
};

void TestSampleDocs::rtfText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("ASCII") << "group 5" << QByteArray("group 5");
    QTest::newRow("RTF specials") << "{a}\\b" << QByteArray("\\{a\\}\\\\b");
    QTest::newRow("Thai") << "กลุ่ม" << QByteArray("\\u3585?\\u3621?\\u3640?\\u3656?\\u3617?");
    QTest::newRow("above 32767") << QString(QChar(0xFFFD)) << QByteArray("\\u-3?");
    QTest::newRow("outside the BMP") << QString::fromUcs4(U"\U0001F600") << QByteArray("\\u-10179?\\u-8704?");
    QTest::newRow("Latin-1") << "é" << QByteArray("\\u233?");
    QTest::newRow("newline") << "a\nb" << QByteArray("a\\line b");
}

void TestSampleDocs::rtfText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, rtf);
    QCOMPARE(QByteArray::fromStdString(vd::sampledocs::rtfText(text.toStdString())), rtf);
}

void TestSampleDocs::writesAll_data()
{
    QTest::addColumn<QString>("folder"); // inside a fresh temporary folder
    QTest::newRow("existing folder") << "";
    QTest::newRow("new nested folders") << "/a/b/drive_c/Program Files/Velodane";
    QTest::newRow("trailing slash") << "/c/";
}

void TestSampleDocs::writesAll()
{
    QFETCH(QString, folder);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.path() + folder;

    const Run run = runTool({target});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(counts(run.out), (std::pair{62, 0}));

    // Exactly vd1.doc .. vd62.doc, no leading zeros, no temporary files left.
    QStringList expected;
    for (int n = 1; n <= 62; ++n)
        expected << QString("vd%1.doc").arg(n);
    QStringList actual = QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    QCOMPARE(actual, expected);

    for (int n = 1; n <= 62; ++n) {
        QFile file(target + QString("/vd%1.doc").arg(n));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        QVERIFY(rtf.contains("\\fcharset222"));
        bool wellFormed = false;
        const QStringList paragraphs = rtfParagraphs(rtf, &wellFormed);
        QVERIFY2(wellFormed, qPrintable(file.fileName()));
        QVERIFY2(paragraphs.size() >= 2, qPrintable(file.fileName()));
        QCOMPARE(paragraphs[0].trimmed(), QString("เอกสารตัวอย่างของกลุ่มชุดดินที่ %1").arg(n));
        QVERIFY2(paragraphs[1].contains(windowsPath(n)), qPrintable(paragraphs[1]));
        QVERIFY2(paragraphs[1].contains(QString("กลุ่มชุดดินที่ %1 ").arg(n)), qPrintable(paragraphs[1]));
    }
}

void TestSampleDocs::keepsExisting_data()
{
    QTest::addColumn<QStringList>("existing"); // "vdN.doc" a file, "vdN.doc/" a folder, "vdN.doc>" a dangling link
    QTest::newRow("one file") << QStringList{"vd5.doc"};
    QTest::newRow("first and last") << QStringList{"vd1.doc", "vd62.doc"};
    QTest::newRow("dangling link") << QStringList{"vd7.doc>"};
    QTest::newRow("folder") << QStringList{"vd10.doc/"};
    QStringList all;
    for (int n = 1; n <= 62; ++n)
        all << QString("vd%1.doc").arg(n);
    QTest::newRow("all") << all;
}

void TestSampleDocs::keepsExisting()
{
    QFETCH(QStringList, existing);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString gone = dir.path() + "/nowhere/real.doc";
    for (const QString &e : existing) {
        const QString name = dir.path() + '/' + e.chopped(e.endsWith('/') || e.endsWith('>') ? 1 : 0);
        if (e.endsWith('/'))
            QVERIFY(QDir().mkpath(name));
        else if (e.endsWith('>'))
            QVERIFY(QFile::link(gone, name));
        else {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("mine: " + e.toUtf8());
        }
    }

    const Run run = runTool({dir.path()});
    QCOMPARE(run.exitCode, 0);
    const int kept = static_cast<int>(existing.size());
    QCOMPARE(counts(run.out), (std::pair{62 - kept, kept}));

    for (const QString &e : existing) {
        const QString name = dir.path() + '/' + e.chopped(e.endsWith('/') || e.endsWith('>') ? 1 : 0);
        const QFileInfo info(name);
        if (e.endsWith('/')) {
            QVERIFY(info.isDir());
            QVERIFY(QDir(name).isEmpty());
        } else if (e.endsWith('>')) {
            QVERIFY(info.isSymLink());
            QCOMPARE(info.symLinkTarget(), gone);
            QVERIFY(!QFileInfo::exists(gone));
        } else {
            QFile file(name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), "mine: " + e.toUtf8());
        }
    }
    // The others were written.
    for (int n = 1; n <= 62; ++n) {
        const QString name = QString("vd%1.doc").arg(n);
        if (std::none_of(existing.begin(), existing.end(),
                         [&](const QString &e) { return e.startsWith(name) && e.size() <= name.size() + 1; })) {
            QFile file(dir.path() + '/' + name);
            QVERIFY2(file.open(QIODevice::ReadOnly) && file.readAll().startsWith("{\\rtf1"), qPrintable(name));
        }
    }
    QCOMPARE(QDir(dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList{});
}

void TestSampleDocs::secondRunChangesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(runTool({dir.path()}).exitCode, 0);
    QMap<QString, QByteArray> first;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files)) {
        QFile file(dir.path() + '/' + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        first[name] = file.readAll();
    }
    QCOMPARE(first.size(), 62);
    // Marks a file so that a rewrite would show.
    {
        QFile file(dir.path() + "/vd9.doc");
        QVERIFY(file.open(QIODevice::Append));
        file.write("% edited\n");
        first["vd9.doc"] += "% edited\n";
    }

    const Run again = runTool({dir.path()});
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(counts(again.out), (std::pair{0, 62}));
    for (auto it = first.cbegin(); it != first.cend(); ++it) {
        QFile file(dir.path() + '/' + it.key());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), it.value());
    }
}

void TestSampleDocs::failures_data()
{
    QTest::addColumn<QStringList>("args"); // "@" is a temporary folder holding a file "file"
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no folder") << QStringList{} << 2;
    QTest::newRow("two folders") << QStringList{"@/a", "@/b"} << 2;
    QTest::newRow("empty name") << QStringList{""} << 2;
    QTest::newRow("folder under a file") << QStringList{"@/file/sub"} << 1;
    QTest::newRow("a file, not a folder") << QStringList{"@/file"} << 1;
}

void TestSampleDocs::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    {
        QFile file(dir.path() + "/file");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    for (QString &a : args)
        a.replace('@', dir.path());
    const Run run = runTool(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(!run.err.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"file"});
}

QTEST_GUILESS_MAIN(TestSampleDocs)
#include "tst_sampledocs.moc"
