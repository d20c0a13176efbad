// The real zlibtool on real files, on the files of containercases.h: the one
// built beside this test, or the command in VARNEL_ZLIBTOOL, such as "wine64
// build-windows/program/zlib/zlibtool.exe" (scripts/test-windows.sh).

#include "containercases.h"
#include "reliabilitylog.h"
#include "testfiles.h"

#include <QtTest>

#include <algorithm>

using namespace containercases;
using testfiles::readFile, testfiles::writeFile;

enum Trouble { BadData, Usage, Missing, InputFolder, TooLarge, OutputFolder };

static QByteArray bytes(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

static const QStringList kTool = qEnvironmentVariableIsEmpty("VARNEL_ZLIBTOOL")
                                     ? QStringList{ZLIBTOOL_PATH}
                                     : QProcess::splitCommand(qEnvironmentVariable("VARNEL_ZLIBTOOL"));

static QStringList listing(const QString& dir) // hidden files too: stray temporary files must show
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

static QString runTool(const QStringList& args, const QString& workDir = {}) // "exit N: STDOUT|STDERR"
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(kTool.first(), kTool.mid(1) + args);
    p.waitForFinished(-1);
    const int code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1; // -1: it crashed
    return QString("exit %1: ").arg(code) + p.readAllStandardOutput() + "|" + p.readAllStandardError();
}

class tst_zlibtool : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data() // the row names the file
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("level"); // of a stream from zlib that must decompress as well
        for (const RoundTrip& row : roundTrips())
            QTest::newRow(row.name.c_str()) << bytes(row.plain) << row.level;
    }
    void roundTrip()
    {
        QFETCH(QByteArray, plain);
        QFETCH(int, level);
        const QString name = QString::fromUtf8(QTest::currentDataTag());
        if (kTool.last().endsWith(".exe") && name.contains('"'))
            QSKIP("a Windows file name cannot hold a double quote");
        QTemporaryDir dir;
        const auto path = [&dir, &name](const char* suffix) { return dir.filePath(name + suffix); };
        QVERIFY(writeFile(path(""), plain));
        // Old outputs, longer than the small rows' and shorter than the large ones', are replaced.
        for (const char* old : {".zlib", ".zlib.unzlib", ".z.unzlib"})
            QVERIFY(writeFile(path(old), QByteArray(5000, 'o')));
        // A relative name reaches the tool as it is, leading dash and all. The stream is zlib's at level 9.
        QCOMPARE(runTool({name}, dir.path()), "exit 0: |");
        const Bytes plainBytes(plain.begin(), plain.end());
        QCOMPARE(readFile(path(".zlib")), bytes(container(zlibStream(plainBytes, 9), quint32(plain.size()))));
        QCOMPARE(runTool({name + ".zlib", "-d"}, dir.path()), "exit 0: |");
        QVERIFY(writeFile(path(".z"), bytes(zlibStream(plainBytes, level)))); // bare, from another level
        QCOMPARE(runTool({path(".z"), "-draw"}), "exit 0: |");                // the whole path, this time
        QCOMPARE(readFile(path(".z.unzlib")), plain);
        // A failure names the file as it was given and leaves the earlier output alone.
        QCOMPARE(runTool({name + ".zlib", "-draw"}, dir.path()),
                 "exit 1: |zlibtool: " + name + ".zlib: stream is corrupt: incorrect header check\n");
        QCOMPARE(readFile(path(".zlib.unzlib")), plain);
        QCOMPARE(listing(dir.path()).size(), 5);
    }

    void refusesBadInput_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("args"); // "F" stands for the input file
        QTest::addColumn<int>("trouble");
        QTest::addColumn<QString>("message"); // of the tool, or the start of it; damaged files: the codec's
        for (const Damaged& row : damaged())  // the tool must say what the codec says
            QTest::newRow(row.name.c_str()) << bytes(row.input) << QStringList{"F", row.bare ? "-draw" : "-d"}
                                            << int(BadData) << QString::fromStdString(refusal(row));
        const Bytes data = randomBytes(3322, 7, 3), stream = zlibStream(data, 9);
        const QByteArray plain = bytes(data), bare = bytes(stream), good = bytes(container(stream, 3322));
        const auto add = [](Trouble t, const QString& option, const QByteArray& input, const QString& what) {
            QTest::addRow("[F%s] %s", qPrintable(option), qPrintable(what))
                << input << QString("F" + option).split('|') << int(t) << what;
        };
        add(Missing, "|-d", {}, "cannot read: No such file or directory");
        add(InputFolder, "", {}, "cannot read: Is a directory");
        add(TooLarge, "", {}, "file of 268435457 bytes is above the 256 MiB limit");
        add(TooLarge, "|-draw", {}, "file of 536870913 bytes is above the 512 MiB limit");
        add(OutputFolder, "", plain, "cannot write: Is a directory");
        add(OutputFolder, "|-d", good, "cannot write: Is a directory");
        add(OutputFolder, "|-draw", bare, "cannot write: Is a directory");
        // Wrong usage: the start of what the tool says.
        QTest::newRow("none") << QByteArray() << QStringList() << int(Usage)
                              << "exit 0: usage: zlibtool FILE ";
        for (const char* args : {"F|-d|-draw", "F|-d|F", "F|-x", "F|-D", "F|--d", "F|", "", "|-d"})
            QTest::addRow("[%s]", args)
                << good << QString(args).split('|') << int(Usage) << "exit 1: |zlibtool: ";
    }
    void refusesBadInput()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, args);
        QFETCH(int, trouble);
        QFETCH(QString, message);
        QVERIFY2(!message.isEmpty(), "the codec took the damaged file");
        QTemporaryDir dir;
        const QString option = args.value(1);
        const QString file = dir.filePath("in"), output = file + (option.isEmpty() ? ".zlib" : ".unzlib");
        std::ranges::replace(args, QString("F"), file);
        QVERIFY(trouble == Missing || (trouble == InputFolder ? QDir().mkdir(file) : writeFile(file, input)));
        // Sparse: it costs no disk space, and the tool must refuse it before reading.
        QVERIFY(trouble != TooLarge ||
                QFile::resize(file, (option.isEmpty() ? 1ll : 2ll) * zlibcodec::kMaxDeclaredSize + 1));
        QVERIFY(trouble != OutputFolder || QDir().mkpath(output + "/keep"));
        const QStringList before = listing(dir.path());
        // The tool says what the codec says, in one line that names the file, and leaves all as it was.
        const QString named = trouble == OutputFolder ? output : file;
        QString seen = runTool(args, dir.path());
        const QString want =
            trouble == Usage ? message : "exit 1: |zlibtool: " + named + ": " + message + "\n";
        QVERIFY2(seen.startsWith(want) && seen.count('\n') == (args.isEmpty() ? 3 : 1), qPrintable(seen));
        reliabilitylog::record("zlibtool given bad input", QTest::currentDataTag(),
                               seen.remove(named + ":").remove(" |zlibtool:"));
        QCOMPARE(listing(dir.path()), before);
        QVERIFY(trouble == OutputFolder ? QFileInfo(output + "/keep").isDir()
                                        : trouble == TooLarge || readFile(file) == input);
    }
};

QTEST_GUILESS_MAIN(tst_zlibtool)
#include "tst_zlibtool.moc"
