// The game-file steps on real files, without a window: the paths they work
// on, and replacing a file whole. The window's reliability tests drive every
// step under injected faults.

#include "filereplace.h"
#include "filesizelimit.h"
#include "gamefilesteps.h"
#include "preset.h"
#include "readonly.h"
#include "testfiles.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace testfiles;

class tst_Gamefile : public QObject {
    Q_OBJECT

private slots:
    // A program in the root folder gets exactly one separator; a title
    // without an extension gets data, data.unzlib and data.unzlib.zlib.
    void paths()
    {
        const gamefile::ProgramFolder root(QStringLiteral("/"));
        QCOMPARE(QStringList({root.toolPath(), root.readmePath()}), QStringList({"/zlib/zlibtool", "/doc/Readmy.txt"}));
        QTemporaryDir dir;
        const QString at = dir.path() + "/";
        const gamefile::WorkingFiles files = gamefile::ProgramFolder(dir.path()).workingFilesFor(QStringLiteral("data"));
        const gamefile::WorkingFiles again = gamefile::WorkingFiles::ofDecompressed(files.decompressed);
        QCOMPARE(QStringList({files.plainCopy, files.decompressed, files.compressed, again.plainCopy, again.compressed}),
                 QStringList({at + "zlib/temp/data", at + "zlib/temp/data.unzlib", at + "zlib/temp/data.unzlib.zlib",
                              at + "zlib/temp/data", at + "zlib/temp/data.unzlib.zlib"}));
        QCOMPARE(gamefile::ProgramFolder(QStringLiteral("/opt/a b/")).path(), QStringLiteral("/opt/a b/"));
        QCOMPARE(gamefile::ProgramFolder(QStringLiteral("rel")).path(), QDir::current().filePath("rel") + "/");
        // A program folder that cannot be written to, as installed: the working
        // files and the originals go to the user's data folder.
        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir installed;
        const ReadOnly readOnly(installed.path());
        if (!readOnly.whyNot.isEmpty())
            QSKIP(qPrintable(readOnly.whyNot));
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/varnel/";
        const gamefile::ProgramFolder program(installed.path());
        QCOMPARE(QStringList({program.toolPath(), program.workingFolder(), program.originalsFolder()}),
                 QStringList({installed.path() + "/zlib/zlibtool", data + "zlib/temp/", data + "originals/"}));
        QVERIFY(QFileInfo(data + "zlib/temp").isDir());
    }

    // A preset round trip is exact for every field, extremes included; a bad
    // preset is refused with the file and its first problem, and nothing read.
    void presets_data()
    {
        QTest::addColumn<QByteArray>("from"); // in the good preset's text
        QTest::addColumn<QByteArray>("to");   // empty: the whole text
        QTest::addColumn<QString>("problem"); // empty: read
        QTest::newRow("round trip") << QByteArray() << QByteArray() << "";
        QTest::newRow("other members") << QByteArray("{\n    \"format") << QByteArray("{\"name\": [1.5], \"a\": {}, \"format")
                                       << "";
        // As some Windows editors save UTF-8.
        QTest::newRow("byte order mark") << QByteArray("{\n    \"format") << QByteArray("\xEF\xBB\xBF{\n    \"format")
                                         << "";
        QTest::newRow("UTF-16") << QByteArray() << QByteArray("\xFF\xFE{\0") << "saved as UTF-16";
        QTest::newRow("values twice") << QByteArray("\"version\": 1,") << QByteArray("\"version\": 1, \"values\": {},")
                                      << "\"values\" is given twice";
        QTest::newRow("not JSON") << QByteArray() << QByteArray("{\"format\": ") << "not JSON: ";
        QTest::newRow("not an object") << QByteArray() << QByteArray("[1]") << "not a JSON object";
        QTest::newRow("other format") << QByteArray("varnel-layout") << QByteArray("layout") << "its format is \"layout\"";
        QTest::newRow("version 2") << QByteArray("\"version\": 1") << QByteArray("\"version\": 2") << "version 2 is";
        QTest::newRow("version 1.0") << QByteArray("\"version\": 1") << QByteArray("\"version\": 1.0") << "version 1.0 ";
        QTest::newRow("no values") << QByteArray("\"values\"") << QByteArray("\"value\"") << "no \"values\" object";
        QTest::newRow("unknown key") << QByteArray("home.a.x") << QByteArray("home.e.x") << "unknown key \"home.e.x\"";
        QTest::newRow("missing key") << QByteArray("\"home.a.x\": 10,") << QByteArray() << "\"home.a.x\" is missing";
        QTest::newRow("key twice") << QByteArray("\"home.a.x\": 10") << QByteArray("\"home.a.x\": 10, \"home.a.x\": 10")
                                   << "\"home.a.x\" is given twice";
        for (const char* value : {"1.5", "1e2", "32768", "-32769", "\"7\"", "true", "null"})
            QTest::addRow("value %s", value) << QByteArray("\"home.a.x\": 10") << "\"home.a.x\": " + QByteArray(value)
                                             << "\"home.a.x\" is " + QString(value) + ", not a whole number";
    }
    void presets()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, problem);
        layout::Record record{};
        for (int i = 0; i < layout::kFieldCount; ++i) // distinct, both extremes, home.a.x at 10
            record[std::size_t(i)] = qint16(i == 0 ? -32768 : i == 43 ? 32767 : i == 26 ? 10 : 1000 * i - 21000);
        QByteArray text = gamefile::presetText(record);
        text = from.isEmpty() ? (to.isEmpty() ? text : to) : text.replace(from, to);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("p.json"), text));
        QString said;
        const std::optional<layout::Record> read = gamefile::readPreset(dir.filePath("p.json"), &said);
        QCOMPARE(read.has_value(), problem.isEmpty());
        QVERIFY2(problem.isEmpty() ? *read == record : said.startsWith(dir.filePath("p.json") + ": ") && said.contains(problem),
                 qPrintable(said));
    }

    // The game file is replaced whole or not at all; a set-aside file comes
    // back unless the new one is kept.
    void replaceAndSetAside()
    {
        QTemporaryDir dir;
        const gamefile::WorkingFiles files{{}, {}, dir.filePath("new.zlib")};
        const QString game = dir.filePath("game.bin");
        QVERIFY(writeFile(files.compressed, "new") && writeFile(game, "old") && QDir().mkpath(game + ".d"));
        const gamefile::StepResult folder = gamefile::replaceGameFile(files, game + ".d");
        QCOMPARE(folder.step() + ": " + folder.reason(), "replacing the game file: " + game + ".d is a folder");
        QVERIFY(gamefile::replaceGameFile(files, game).ok() && readFile(game) == "new");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"game.bin", "new.zlib"}));
        for (bool keep : {false, true}) {
            {
                gamefile::SetAside aside(game, dir.filePath("aside"));
                QVERIFY(aside.ready() && writeFile(game, "newer"));
                if (keep)
                    aside.keepNew();
            }
            QCOMPARE(readFile(game), QByteArray(keep ? "newer" : "new"));
            QCOMPARE(QDir(dir.filePath("aside")).entryList(QDir::Files), QStringList());
        }
    }

    // A disk that fills part-way through a write gives its reason, not
    // "Unknown error". A file size limit stands in for the full disk: the
    // write that crosses it is cut short and the next one is refused.
    void writeCutShort_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<int>("size");
        for (const bool copy : {true, false})
            for (const int size : {1413, 64 << 10, 3 << 20})
                QTest::addRow("%s %d bytes", copy ? "copy" : "bytes", size) << copy << size;
    }
    void writeCutShort()
    {
        QFETCH(bool, copy);
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString game = dir.filePath("game.bin"), source = dir.filePath("new.zlib");
        const QByteArray bytes(size, 'n');
        QVERIFY(writeFile(game, "old") && writeFile(source, bytes));
        QString error;
        {
            const FileSizeLimit limit(size / 2);
            QVERIFY(!(copy ? gamefile::copyOver(source, game, &error) : gamefile::writeOver(bytes, game, &error)));
        }
        QCOMPARE(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(readFile(game), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"game.bin", "new.zlib"}));
    }
};

QTEST_GUILESS_MAIN(tst_Gamefile)
#include "tst_gamefile.moc"
