// varnel-cli through its real process, on real files in a program folder of
// its own: each command, each exit status, and what it leaves on the disk.

#include "containerbytes.h"
#include "fieldtable.h"
#include "preset.h"
#include "readablefile.h"
#include "readonly.h"
#include "reliabilitylog.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace testfiles;

class tst_Cli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QByteArray m_plain = gamefile::unpackContainer(readFile(SAMPLE_PATH));
    QString m_program = m_dir.filePath("program/varnel-cli");

    // Runs it in the games folder; "exit N" then what it wrote to stdout and stderr.
    QStringList run(const QStringList& arguments)
    {
        QProcess cli;
        cli.setWorkingDirectory(m_dir.filePath("games"));
        cli.start(m_program, arguments);
        cli.waitForFinished(60000);
        return {QStringLiteral("exit %1").arg(cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1),
                cli.readAllStandardOutput(), cli.readAllStandardError()};
    }
    QByteArray game(const QString& name) const { return readFile(m_dir.filePath("games/" + name)); }

private slots:
    void init()
    {
        QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.filePath("program")) &&
                QDir().mkpath(m_dir.filePath("games")) && QFile::copy(VARNEL_CLI_PATH, m_program));
        for (const QString name : {"a.bin", "my \"best\" board.bin", "c.bin", "-it.bin"})
            QVERIFY(writeFile(m_dir.filePath("games/" + name), readFile(SAMPLE_PATH)));
        QFile huge(m_dir.filePath("games/huge.bin")); // sparse: no room taken
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(gamefile::kMaxGameFileSize + 1));
        layout::Record preset{};
        for (int i = 0; i < layout::kFieldCount; ++i)
            preset[std::size_t(i)] = qint16(i * 1487 - 32768); // 44 distinct values, both extremes near
        QVERIFY(writeFile(m_dir.filePath("games/preset.json"), gamefile::presetText(preset)));
    }

    // Every command's exit status, what it says, and which files it changes.
    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("said"); // exit status, then patterns of stdout and stderr
        QTest::addColumn<QStringList>("changed"); // the game files written
        const QString usage = "^varnel-cli: .*\\nusage: varnel-cli show";
        const auto row = [](const char* tag, QStringList arguments, QStringList said, QStringList changed = {}) {
            QTest::newRow(tag) << arguments << said << changed;
        };
        row("show", {"show", "a.bin"}, {"exit 0", "^left_shape.x 24\\n(.+ -?\\d+\\n){42}clock.colon.y 22\\n$", "^$"});
        row("show --json", {"show", "--json", "a.bin"}, {"exit 0", "\"format\": \"varnel-layout\"", "^$"});
        row("set", {"set", "my \"best\" board.bin", "left_shape.x=-32768", "home.d.y=32767"},
            {"exit 0", "^$", "^$"}, {"my \"best\" board.bin"});
        row("apply", {"apply", "preset.json", "a.bin", "my \"best\" board.bin"}, {"exit 0", "^$", "^$"},
            {"a.bin", "my \"best\" board.bin"});
        row("--help", {"--help"}, {"exit 0", "^usage: varnel-cli show", "^$"});
        row("--version", {"--version"}, {"exit 0", "^varnel-cli \\d+\\.\\d+\\n$", "^$"});
        row("no command", {}, {"exit 2", "^$", usage});
        row("unknown command", {"list", "a.bin"}, {"exit 2", "^$", usage});
        row("show without a file", {"show"}, {"exit 2", "^$", usage});
        row("apply without files", {"apply", "preset.json"}, {"exit 2", "^$", usage});
        row("an argument without =", {"set", "a.bin", "left_shape.x"}, {"exit 2", "^$", usage});
        row("unknown key", {"set", "a.bin", "left.x=1"},
            {"exit 2", "^$", "^varnel-cli: unknown key \"left.x\"\nusage"});
        row("value with a fraction", {"set", "a.bin", "left_shape.x=1.5"},
            {"exit 2", "^$", "not a whole number"});
        row("value out of range", {"set", "a.bin", "home.a.x=32768"}, {"exit 2", "^$", "not a whole number"});
        row("value and a newline", {"set", "a.bin", "home.a.x=12\n"}, {"exit 2", "^$", "not a whole number"});
        row("a key given twice", {"set", "a.bin", "home.a.x=1", "home.a.x=2"},
            {"exit 2", "^$", "^varnel-cli: \"home.a.x\" is given twice\nusage"});
        row("-h", {"-h"}, {"exit 0", "^usage: varnel-cli show[^$]*restore FILE", "^$"});
        row("unknown option", {"show", "-j", "a.bin"},
            {"exit 2", "^$", "^varnel-cli: unknown option \"-j\"\nusage"});
        row("-- before a name with a dash", {"set", "--", "-it.bin", "left_shape.x=5"},
            {"exit 0", "^$", "^$"}, {"-it.bin"});
        row("an empty file name", {"show", "--json", ""},
            {"exit 2", "^$", "^varnel-cli: a file name is empty\n"});
        row("a device", {"show", "/dev/zero"},
            {"exit 1", "^$", "zero: reading the game file: it is not a regular"});
        row("a device as preset", {"apply", "/dev/zero", "a.bin"},
            {"exit 1", "^$", "zero: cannot read: it is not a"});
        row("oversized", {"show", "huge.bin"},
            {"exit 1", "^$", "reading the game file: it is larger than the 256 MiB"});
        row("missing file", {"show", "nothing.bin"},
            {"exit 1", "^$", "nothing.bin: reading the game file: it does not"});
        row("damaged file among good ones", {"apply", "preset.json", "a.bin", "damaged.bin", "c.bin"},
            {"exit 1", "^$", "damaged.bin: decoding the game file: \\w"});
        row("data too short", {"show", "short.bin"}, {"exit 1", "^$", "short.bin: reading the layout: .*3000 bytes"});
        row("bad preset", {"apply", "bad.json", "a.bin"}, {"exit 1", "^$", "bad.json: \"clock.colon.y\" is missing"});
        row("read-only file among good ones", {"apply", "preset.json", "a.bin", "c.bin"},
            {"exit 1", "^$", "c.bin: checking the game file: it is read-only"});
        row("read-only folder among good ones", {"apply", "preset.json", "a.bin", "locked/d.bin", "c.bin"},
            {"exit 1", "^$", "d.bin: checking the game file: its folder .*locked is read-only"});
    }
    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, said);
        QFETCH(QStringList, changed);
        QByteArray damaged = readFile(SAMPLE_PATH);
        damaged[40] = char(damaged[40] ^ 0x10);
        QByteArray preset = game("preset.json");
        preset.replace(preset.lastIndexOf(','), preset.size(), "}}");
        QVERIFY(writeFile(m_dir.filePath("games/damaged.bin"), damaged));
        QVERIFY(writeFile(m_dir.filePath("games/bad.json"), preset));
        QVERIFY(writeFile(m_dir.filePath("games/short.bin"), gamefile::packContainer(m_plain.left(3000))));
        QVERIFY(QDir().mkpath(m_dir.filePath("games/locked")) &&
                writeFile(m_dir.filePath("games/locked/d.bin"), readFile(SAMPLE_PATH)));
        std::optional<ReadOnly> readOnly;
        const QString tag = QTest::currentDataTag();
        if (tag.startsWith("read-only"))
            if (const QString why = readOnly.emplace(m_dir.filePath(tag.contains("folder") ? "games/locked" : "games/c.bin")).whyNot;
                !why.isEmpty())
                QSKIP(qPrintable(why));

        const QStringList seen = run(arguments);
        if (said[0] != "exit 0")
            reliabilitylog::record("varnel-cli given bad input", QTest::currentDataTag(),
                                   seen[0] + ": " + seen[2].section("\nusage:", 0, 0).section(": ", 1));
        QCOMPARE(seen[0], said[0]);
        for (int stream : {1, 2})
            QVERIFY2(QRegularExpression(said[stream]).match(seen[stream]).hasMatch(), qPrintable(seen[stream]));
        // Only the named files change, each only in the 96 bytes a Save writes,
        // and each keeps its original.
        const QStringList kept = QDir(m_dir.filePath("program/originals")).entryList(QDir::Files);
        QCOMPARE(kept.size(), changed.size());
        for (const QString name : {"a.bin", "my \"best\" board.bin", "c.bin", "-it.bin"}) {
            const QByteArray now = gamefile::unpackContainer(game(name));
            QCOMPARE(now == m_plain, !changed.contains(name));
            QByteArray outside = now;
            for (const layout::Block& block : layout::kWriteBlocks)
                outside.replace(block.offset, block.size, m_plain.mid(block.offset, block.size));
            QVERIFY2(outside == m_plain, qPrintable(name));
        }
        if (!changed.isEmpty() && arguments[0] == "apply")
            QCOMPARE(run({"show", "--json", changed[0]})[1].toUtf8(), game("preset.json"));
        for (const QString& assignment : changed.isEmpty() ? QStringList() : arguments.mid(2).filter("="))
            QVERIFY(
                run({"show", "--", changed[0]})[1].contains(QString(assignment).replace('=', ' ') + "\n"));
    }

    // restore puts every file back as it was before its first write, and
    // touches none when one of them cannot be put back. A file reached
    // through a linked folder has the same original.
    void restore()
    {
        QVERIFY(QFile::link(m_dir.filePath("games"), m_dir.filePath("linked")));
        for (const QString set :
             {"a.bin left_shape.x=1", "c.bin left_shape.x=2", "../linked/a.bin left_shape.x=3"})
            QCOMPARE(run(QStringList{"set"} + set.split(' '))[0], "exit 0");
        QCOMPARE(QDir(m_dir.filePath("program/originals")).entryList(QDir::Files).size(), 2);
        const QByteArray changedA = game("a.bin");
        QStringList seen = run({"restore", "a.bin", "my \"best\" board.bin"});
        QVERIFY(seen[0] == "exit 1" && seen[2].contains("board.bin: finding its original: none is kept in "));
        reliabilitylog::record("varnel-cli given bad input", "restore of two files, one without an original",
                               seen[0] + ", neither file touched: " + seen[2].section(": ", 2).trimmed());
        std::optional<ReadOnly> readOnly(m_dir.filePath("games/c.bin"));
        seen = readOnly->whyNot.isEmpty() ? run({"restore", "a.bin", "c.bin"})
                                          : QStringList{"exit 1", "", "read-only"};
        QVERIFY(seen[0] == "exit 1" && seen[2].contains("read-only") && game("a.bin") == changedA);
        readOnly.reset();
        QCOMPARE(run({"restore", "a.bin", "c.bin"}), QStringList({"exit 0", "", ""}));
        QVERIFY(QFile::remove(m_dir.filePath("games/a.bin"))); // the original stays, for a file gone too
        QCOMPARE(run({"restore", "a.bin"}), QStringList({"exit 0", "", ""}));
        QVERIFY(game("a.bin") == readFile(SAMPLE_PATH) && game("c.bin") == readFile(SAMPLE_PATH));
        QCOMPARE(run({"restore"})[0], "exit 2");
    }

    // An answer that cannot be written is a failure, not an empty success.
    void answerThatCannotBeWritten()
    {
        QProcess cli;
        cli.setWorkingDirectory(m_dir.filePath("games"));
        cli.setStandardOutputFile(QStringLiteral("/dev/full"));
        cli.start(m_program, {"show", "--json", "a.bin"});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 1);
        QVERIFY(cli.readAllStandardError().startsWith("varnel-cli: writing to the standard output: "));
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
