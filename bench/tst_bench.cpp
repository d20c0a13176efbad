#include "childprocess.h"
#include "editorpanel.h"
#include "frmmain.h"
#include "gamefiles.h"
#include "pollingrunner.h"
#include "scn_common_dialog.h"
#include "testfiles.h"
#include "ucupdownbox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

using testfiles::readFile;
using testfiles::writeFile;

QString quoted(const QString& path) { return '"' + path + '"'; }

QMap<QByteArray, long long> report(const QByteArray& output)
{
    QMap<QByteArray, long long> values;
    for (const QByteArray& line : output.split('\n'))
        if (const qsizetype blank = line.indexOf(' '); blank > 0)
            values.insert(line.left(blank), line.mid(blank + 1).toLongLong());
    return values;
}

} // namespace

class tst_Bench : public QObject {
    Q_OBJECT

private slots:
    void init();

    void pollingRunnerWaitsForTheToolsOutput();
    void pollingRunnerMakesOnePassForAProgramThatEndsAtOnce();
    void pollingRunnerPollsUntilTheEnd();
    void pollingRunnerLetsEventsRun();
    void pollingRunnerReturnsWhenNothingStarts();
    void windowRunsTheToolThroughTheRunnerItIsGiven();
    void largeFileKeepsTheLayoutAtItsOffsets();
    void probesReportStartUpAndMemory();
    void editorProbeOpensTheFileItIsGiven();

private:
    QTemporaryDir m_dir;
    QByteArray m_samplePlain;
};

void tst_Bench::init()
{
    QVERIFY(m_dir.isValid());
    m_samplePlain = gamefiles::samplePlain(SAMPLE_PATH);
    QCOMPARE(m_samplePlain.size(), 4096);
}

void tst_Bench::pollingRunnerWaitsForTheToolsOutput()
{
    const QString plain = m_dir.path() + "/large.bin";
    const QByteArray large = gamefiles::largePlain(m_samplePlain);
    QVERIFY(writeFile(plain, large));
    QFile::remove(plain + ".zlib");

    PollingRunner runner;
    runner.run(quoted(ZLIBTOOL_PATH) + ' ' + quoted(plain));
    // The output is complete the moment the wait ends.
    QCOMPARE(gamefiles::unpack(readFile(plain + ".zlib")), large);
    QVERIFY(runner.passes() >= 1);
}

void tst_Bench::pollingRunnerMakesOnePassForAProgramThatEndsAtOnce()
{
    PollingRunner runner;
    runner.run(quoted(ZLIBTOOL_PATH)); // prints its usage and ends
    QVERIFY(runner.passes() >= 1);
}

void tst_Bench::pollingRunnerPollsUntilTheEnd()
{
    // Each pass sleeps 100 ms, so a program of 350 ms is seen running by at
    // least three polls and ended by a fourth.
    PollingRunner runner;
    runner.run("/bin/sleep 0.35");
    QVERIFY2(runner.passes() >= 4, qPrintable(QString::number(runner.passes())));
}

void tst_Bench::pollingRunnerLetsEventsRun()
{
    bool ran = false;
    QTimer::singleShot(0, this, [&ran] { ran = true; });
    PollingRunner runner;
    runner.run("/bin/sleep 0.05");
    QVERIFY(ran);
}

void tst_Bench::pollingRunnerReturnsWhenNothingStarts()
{
    PollingRunner runner;
    runner.run(quoted(m_dir.path() + "/no such tool") + " x");
    runner.run(QString());
    QCOMPARE(runner.passes(), 0);
}

void tst_Bench::windowRunsTheToolThroughTheRunnerItIsGiven()
{
    const QString program = m_dir.path() + "/program";
    QVERIFY(QDir().mkpath(program + "/zlib/temp"));
    QVERIFY(QDir().mkpath(program + "/doc"));
    QFile::remove(program + "/zlib/zlibtool");
    QVERIFY(QFile::copy(ZLIBTOOL_PATH, program + "/zlib/zlibtool"));
    const QString game = m_dir.path() + "/unnamed_278.bin";
    QVERIFY(writeFile(game, gamefiles::container(m_samplePlain)));

    QueuedFileDialogBackend dialog;
    ScopedFileDialogBackend answered(dialog);
    frmMain window(program);
    QStringList commandLines;
    PollingRunner polling;
    window.setProcessRunner([&](const QString& line) {
        commandLines << line;
        polling.run(line);
    });
    window.show();

    dialog.enqueue(game);
    window.findChild<QAction*>("MnuFileOpen")->trigger();
    QVERIFY(window.baza().Loaded());
    QCOMPARE(window.panel()->box(1)->Value(), 24); // the sample's PozycjaX
    window.panel()->box(1)->setValue(30);
    window.findChild<QAction*>("cmdZapisz")->trigger();

    const QString tool = QDir::toNativeSeparators(program + "/zlib/zlibtool");
    const QString working = QDir::toNativeSeparators(program + "/zlib/temp/unnamed_278.bin");
    QCOMPARE(commandLines,
             QStringList({quoted(tool) + ' ' + quoted(working) + " -d", quoted(tool) + ' ' + quoted(working + ".unzlib")}));
    QByteArray expected = m_samplePlain;
    expected[2096] = 30;
    QCOMPARE(gamefiles::unpack(readFile(game)), expected);
}

void tst_Bench::largeFileKeepsTheLayoutAtItsOffsets()
{
    const QByteArray large = gamefiles::largePlain(m_samplePlain);
    QCOMPARE(large.size(), gamefiles::kLargeSize);
    QCOMPARE(large.left(4096), m_samplePlain);
    QCOMPARE(gamefiles::largePlain(m_samplePlain), large); // the same every time
    QCOMPARE(gamefiles::unpack(gamefiles::container(large)), large);
}

void tst_Bench::probesReportStartUpAndMemory()
{
    for (const QStringList& probe : {QStringList{EDITOR_PROBE_PATH}, QStringList{EMPTY_PROBE_PATH},
                                     QStringList{TEXT_WINDOW_PROBE_PATH, "1034", "573"}}) {
        const ChildRun run = runChild(probe);
        QVERIFY2(run.exitedCleanly, qPrintable(probe.first()));
        const auto values = report(run.output);
        QVERIFY2(values.value("idle_ns") > run.startedNs, run.output.constData());
        QVERIFY2(values.value("hwm_kib") > 0, run.output.constData());
    }
}

void tst_Bench::editorProbeOpensTheFileItIsGiven()
{
    const QString game = m_dir.path() + "/probe/unnamed_278.bin";
    QVERIFY(QDir().mkpath(m_dir.path() + "/probe"));
    QVERIFY(writeFile(game, gamefiles::container(m_samplePlain)));
    const ChildRun opened = runChild({EDITOR_PROBE_PATH, game});
    QVERIFY(opened.exitedCleanly);
    QVERIFY(report(opened.output).value("hwm_kib") > 0);

    // A file that cannot be opened makes the probe fail instead of reporting.
    const ChildRun missing = runChild({EDITOR_PROBE_PATH, m_dir.path() + "/missing.bin"});
    QVERIFY(!missing.exitedCleanly);
    QVERIFY(missing.output.isEmpty());
}

QTEST_MAIN(tst_Bench)
#include "tst_bench.moc"
