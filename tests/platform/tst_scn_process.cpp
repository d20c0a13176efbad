#include "scn_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPaintEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool writeScript(const QString& path, const QByteArray& body)
{
    if (!writeFile(path, "#!/bin/sh\n" + body))
        return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Ends the test run if Run_Process never comes back, instead of hanging
// until the test driver gives up. Far beyond anything these children take.
class HangGuard {
public:
    HangGuard()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [] { qFatal("Run_Process did not return"); });
        m_timer.start(60000);
    }

private:
    QTimer m_timer;
};

// Counts the paint events it receives.
class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        QWidget::paintEvent(event);
    }
};

} // namespace

class TestScnProcess : public QObject {
    Q_OBJECT

private slots:
    void init();

    void splitCommandLine_data();
    void splitCommandLine();

    void waitsForTheEnd_data();
    void waitsForTheEnd();
    void childIsReapedAfterTheWait();
    void windowKeepsWorkingDuringTheWait_data();
    void windowKeepsWorkingDuringTheWait();
    void programThatCannotStart_data();
    void programThatCannotStart();
    void emptyCommandLine_data();
    void emptyCommandLine();
    void quotedPathsReachTheProgram();
    void quotedProgramPathWithArguments();
    void outputAndInputGoNowhere();
    void plentifulOutputDoesNotStallTheChild();

private:
    // A fresh folder for every test function and row.
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
};

void TestScnProcess::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestScnProcess::splitCommandLine_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("blanks only") << QStringLiteral("   \t  ") << QStringList{};
    QTest::newRow("program only") << QStringLiteral("/bin/true") << QStringList{"/bin/true"};
    QTest::newRow("quoted program only") << QStringLiteral("\"/bin/true\"") << QStringList{"/bin/true"};
    QTest::newRow("tool call with blanks and a trailing option")
        << QStringLiteral(R"("/opt/my tools/zlib/zlibtool" "/opt/my tools/zlib/temp/unnamed_278.bin" -d)")
        << QStringList{"/opt/my tools/zlib/zlibtool", "/opt/my tools/zlib/temp/unnamed_278.bin", "-d"};
    QTest::newRow("single quote inside a quoted path")
        << QStringLiteral(R"("/opt/it's here/tool" "/home/o'neil/a b.bin")")
        << QStringList{"/opt/it's here/tool", "/home/o'neil/a b.bin"};
    QTest::newRow("single quotes do not group")
        << QStringLiteral("tool 'a b' it's") << QStringList{"tool", "'a", "b'", "it's"};
    QTest::newRow("runs of blanks and tabs")
        << QStringLiteral("  a \t  b\t\tc  ") << QStringList{"a", "b", "c"};
    QTest::newRow("empty quoted argument")
        << QStringLiteral(R"(tool "" -x)") << QStringList{"tool", "", "-x"};
    QTest::newRow("quotes inside a word")
        << QStringLiteral(R"(pre"a b"post x)") << QStringList{"prea bpost", "x"};
    QTest::newRow("quoted pieces side by side")
        << QStringLiteral(R"("a b""c d")") << QStringList{"a bc d"};
    QTest::newRow("quote left open runs to the end")
        << QStringLiteral(R"(tool "/opt/my tools/x -d)") << QStringList{"tool", "/opt/my tools/x -d"};
    QTest::newRow("backslashes are ordinary")
        << QStringLiteral(R"("C:\my tools\" a\b)") << QStringList{R"(C:\my tools\)", R"(a\b)"};
    QTest::newRow("tab inside quotes kept")
        << QStringLiteral("\"a\tb\" c") << QStringList{"a\tb", "c"};
    QTest::newRow("non-ASCII") << QStringLiteral(u"\"/tmp/Daten für dich/ä.bin\" -d")
                               << QStringList{QStringLiteral(u"/tmp/Daten für dich/ä.bin"), "-d"};
}

void TestScnProcess::splitCommandLine()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, expected);
    QCOMPARE(Scn_Process::splitCommandLine(commandLine), expected);
}

void TestScnProcess::waitsForTheEnd_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("windowStyle");

    // The point of "exit 259" is a child that ends with a code other than 0;
    // Linux keeps only the low 8 bits, so the child really ends with 3.
    QTest::newRow("exit 0") << QStringLiteral("exit 0") << 0;
    QTest::newRow("exit 1") << QStringLiteral("exit 1") << 0;
    QTest::newRow("exit 259") << QStringLiteral("exit 259") << 0;
    QTest::newRow("killed") << QStringLiteral("kill -KILL $$") << 0;
    QTest::newRow("normal window style") << QStringLiteral("exit 0") << 1;
}

void TestScnProcess::waitsForTheEnd()
{
    QFETCH(QString, ending);
    QFETCH(int, windowStyle);

    // The child writes its marker only near its end, so the marker is there
    // on return only if Run_Process waited for that end.
    const QString marker = path("marker.txt");
    const QString script = QStringLiteral("sleep 0.3; echo done > '%1'; %2").arg(marker, ending);

    HangGuard guard;
    Scn_Process process;
    process.Run_Process(quoted("/bin/sh") + " -c " + quoted(script), windowStyle);

    QCOMPARE(readFile(marker), QByteArray("done\n"));
}

void TestScnProcess::childIsReapedAfterTheWait()
{
    const QString pidFile = path("pid.txt");
    HangGuard guard;
    Scn_Process process;
    process.Run_Process(R"("/bin/sh" -c "echo $$ > ')" + pidFile + R"('")");

    bool ok = false;
    const qint64 pid = readFile(pidFile).trimmed().toLongLong(&ok);
    QVERIFY(ok);
    QVERIFY(pid > 0);
    // No zombie left behind: the process has been waited for and is gone.
    QVERIFY2(!QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)),
             qPrintable(QStringLiteral("process %1 still listed").arg(pid)));
}

void TestScnProcess::windowKeepsWorkingDuringTheWait_data()
{
    QTest::addColumn<QString>("commandLine");

    QTest::newRow("sleep") << QStringLiteral(R"("/bin/sleep" 1)");
    QTest::newRow("shell") << QStringLiteral(R"("/bin/sh" -c "sleep 1")");
}

void TestScnProcess::windowKeepsWorkingDuringTheWait()
{
    QFETCH(QString, commandLine);

    PaintCounter window;
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, &window, [&] {
        ++ticks;
        window.update();
    });
    window.paints = 0;
    timer.start(20);

    HangGuard guard;
    Scn_Process process;
    process.Run_Process(commandLine);
    const int ticksDuringWait = ticks;
    const int paintsDuringWait = window.paints;
    timer.stop();

    QVERIFY2(ticksDuringWait >= 5, qPrintable(QStringLiteral("%1 timer ticks").arg(ticksDuringWait)));
    QVERIFY2(paintsDuringWait >= 1, qPrintable(QStringLiteral("%1 paints").arg(paintsDuringWait)));
}

void TestScnProcess::programThatCannotStart_data()
{
    QTest::addColumn<QString>("program");

    QTest::newRow("no such path") << path("no such folder/no such tool");
    QTest::newRow("no such name in PATH") << QStringLiteral("varnel-no-such-tool-anywhere");
    QTest::newRow("not executable") << path("plain file.txt");
    QTest::newRow("a folder") << path("a folder");
}

void TestScnProcess::programThatCannotStart()
{
    QFETCH(QString, program);
    QVERIFY(writeFile(path("plain file.txt"), "not a program\n"));
    QVERIFY(QDir().mkpath(path("a folder")));

    // Silently: not a word on the log either.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    HangGuard guard;
    bool threw = false;
    try {
        Scn_Process process;
        process.Run_Process(quoted(program) + " " + quoted(path("out.bin")) + " -d");
    } catch (...) {
        threw = true;
    }
    QVERIFY(!threw);
    QVERIFY(!QFileInfo::exists(path("out.bin")));
}

void TestScnProcess::emptyCommandLine_data()
{
    QTest::addColumn<QString>("commandLine");

    QTest::newRow("null") << QString();
    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("blanks") << QStringLiteral("   ");
    QTest::newRow("tab") << QStringLiteral("\t");
}

void TestScnProcess::emptyCommandLine()
{
    QFETCH(QString, commandLine);

    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    HangGuard guard;
    Scn_Process process;
    process.Run_Process(commandLine);
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void TestScnProcess::quotedPathsReachTheProgram()
{
    const QString folder = path("my tools");
    QVERIFY(QDir().mkpath(folder));
    const QString source = folder + "/it's the source.bin";
    const QString target = folder + "/copy of it's.bin";
    const QByteArray bytes("\x00\x01 some bytes \xff", 16);
    QVERIFY(writeFile(source, bytes));

    HangGuard guard;
    Scn_Process process;
    process.Run_Process(quoted("/bin/cp") + " " + quoted(source) + " " + quoted(target));

    QCOMPARE(readFile(target), bytes);
}

void TestScnProcess::quotedProgramPathWithArguments()
{
    // Laid out like the zlib tool's call: a program in a folder with blanks,
    // a quoted file argument, and a bare option at the end.
    const QString folder = path("my tools/zlib");
    QVERIFY(QDir().mkpath(folder + "/temp"));
    const QString tool = folder + "/arg tool";
    const QString argsFile = path("args.txt");
    QVERIFY(writeScript(tool, "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" + argsFile.toUtf8() + "'\n"));

    const QString data = folder + "/temp/unnamed_278.bin";
    HangGuard guard;
    Scn_Process process;
    process.Run_Process(quoted(tool) + " " + quoted(data) + " \"it's\" -d");

    QCOMPARE(QString::fromUtf8(readFile(argsFile)), u'[' + data + "]\n[it's]\n[-d]\n");
}

void TestScnProcess::outputAndInputGoNowhere()
{
    const QString linksFile = path("links.txt");
    HangGuard guard;
    Scn_Process process;
    // Read inside $(...): a lone command with a redirection may take over the
    // shell's own process and report its own redirection instead.
    process.Run_Process(R"("/bin/sh" -c "links=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); )"
                        R"(printf '%s\n' $links > ')" +
                        linksFile + R"('")");

    QCOMPARE(readFile(linksFile), QByteArray("/dev/null\n/dev/null\n/dev/null\n"));
}

void TestScnProcess::plentifulOutputDoesNotStallTheChild()
{
    // Far more than a pipe holds, on both channels, and a read from stdin
    // that must end at once.
    const QString marker = path("marker.txt");
    HangGuard guard;
    Scn_Process process;
    process.Run_Process(R"("/bin/sh" -c "head -c 4000000 /dev/zero; head -c 4000000 /dev/zero >&2; cat; )"
                        R"(echo done > ')" +
                        marker + R"('")");

    QCOMPARE(readFile(marker), QByteArray("done\n"));
}

QTEST_MAIN(TestScnProcess)
#include "tst_scn_process.moc"
