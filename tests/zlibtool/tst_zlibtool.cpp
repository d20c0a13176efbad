// The real zlibtool on real files, and the container codec in-process. Test streams come from zlib itself,
// not from the codec, so that the two cannot agree on a mistake.

#include "container.h"
#include "containerbytes.h"
#include "reliabilitylog.h"
#include "testfiles.h"

#include <QtTest>
#include <zlib.h>

#include <algorithm>

using gamefile::bytesOf, testfiles::readFile, testfiles::writeFile;
using testfiles::randomBytes;

static constexpr quint32 kLimit = zlibcodec::kMaxDeclaredSize;
enum Trouble { BadData, Usage, Missing, InputFolder, TooLarge, OutputFolder };

static QByteArray zlibStream(const QByteArray& plain, int level)
{
    uLongf size = compressBound(uLong(plain.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(plain.constData()),
              uLong(plain.size()), level);
    return out.left(qsizetype(size));
}

static QByteArray container(const QByteArray& stream, quint32 plainSize)
{
    QByteArray b = QByteArray::fromHex("00010157455359530000000000000000") + stream;
    testfiles::write32(b, 8, quint32(stream.size()));
    testfiles::write32(b, 12, plainSize);
    return b;
}

static QStringList listing(const QString& dir) // hidden files too: stray temporary files must show
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

static QString runTool(const QStringList& args, const QString& workDir = {}) // "exit N: STDOUT|STDERR"
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(ZLIBTOOL_PATH, args);
    p.waitForFinished(-1);
    const int code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1; // -1: it crashed
    return QString("exit %1: ").arg(code) + p.readAllStandardOutput() + "|" + p.readAllStandardError();
}

class tst_container : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data() // the row names the file
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("level"); // of a stream from zlib that must decompress as well
        QTest::newRow("with  some blanks .bin") << QByteArray() << 0;
        QTest::newRow("it's \"quoted\".bin") << QByteArray("A") << 9;
        QTest::newRow("naïve Ünï файл 文件 ✓.bin") << randomBytes(3322, 2, 3) << Z_DEFAULT_COMPRESSION;
        QTest::newRow("-d") << randomBytes(4 << 20, 3, 3) << 2;
        QTest::newRow(QByteArray(243, 'n').constData()) << randomBytes(1 << 20, 4) << 1; // 255 with .zlib.unzlib
    }
    void roundTrip()
    {
        QFETCH(QByteArray, plain);
        QFETCH(int, level);
        const QString name = QString::fromUtf8(QTest::currentDataTag());
        QTemporaryDir dir;
        const auto path = [&dir, &name](const char* suffix) { return dir.filePath(name + suffix); };
        QVERIFY(writeFile(path(""), plain));
        // Old outputs, longer than the small rows' and shorter than the large ones', are replaced.
        for (const char* old : {".zlib", ".zlib.unzlib", ".z.unzlib"})
            QVERIFY(writeFile(path(old), QByteArray(5000, 'o')));
        // A relative name reaches the tool as it is, leading dash and all. The stream is zlib's at level 9.
        QCOMPARE(runTool({name}, dir.path()), "exit 0: |");
        const QByteArray packed = readFile(path(".zlib"));
        QCOMPARE(packed, container(zlibStream(plain, 9), quint32(plain.size())));
        QCOMPARE(runTool({name + ".zlib", "-d"}, dir.path()), "exit 0: |");
        QVERIFY(writeFile(path(".z"), zlibStream(plain, level))); // bare, from another level
        QCOMPARE(runTool({name + ".z", "-draw"}, dir.path()), "exit 0: |");
        QCOMPARE(readFile(path(".z.unzlib")), plain);
        // A failure names the file as it was given and leaves the earlier output alone.
        QCOMPARE(runTool({name + ".zlib", "-draw"}, dir.path()),
                 "exit 1: |zlibtool: " + name + ".zlib: stream is corrupt: incorrect header check\n");
        QCOMPARE(readFile(path(".zlib.unzlib")), plain);
        QCOMPARE(listing(dir.path()).size(), 5);

        // In process: the same, also into the caller's memory and no further than the container goes.
        QCOMPARE(gamefile::packContainer(plain), packed);
        std::vector<std::uint8_t> room(zlibcodec::containerBound(plain.size()) + 8, 0xAB);
        room.resize(zlibcodec::compressContainerInto(bytesOf(plain), room) + 8);
        QCOMPARE(QByteArrayView(room).toByteArray(), packed + QByteArray(8, char(0xAB)));
        room.resize(zlibcodec::containerBound(plain.size()) - 1);
        QVERIFY_THROWS_EXCEPTION(zlibcodec::Error, zlibcodec::compressContainerInto(bytesOf(plain), room));
        QByteArray got;
        zlibcodec::decompressContainer(bytesOf(packed), [&got](auto piece) { got += QByteArrayView(piece); });
        QCOMPARE(got, plain);
        int calls = 0; // a sink that throws stops it
        if (!plain.isEmpty())
            QVERIFY_THROWS_EXCEPTION(
                int, zlibcodec::decompressContainer(bytesOf(packed), [&](auto) { throw ++calls; }));
        QCOMPARE(calls, plain.isEmpty() ? 0 : 1);
    }

    void refusesBadInput_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("args"); // "F" stands for the input file
        QTest::addColumn<int>("trouble");
        QTest::addColumn<QString>("message"); // or the part that matters; empty: any
        const auto row = [](const QString& name, const QByteArray& input, const QString& message) {
            const QStringList args{"F", name.startsWith("bare") ? "-draw" : "-d"};
            QTest::newRow(qPrintable(name)) << input << args << int(BadData) << message;
        };
        const QByteArray plain = randomBytes(3322, 7, 3), bare = zlibStream(plain, 9), good = container(bare, 3322);
        const QString s = QString::number(bare.size());
        for (qsizetype cut : QList<qsizetype>{0, 1, 2, 8, 15, 16, 17, bare.size() / 2, bare.size() - 1}) {
            row(QString("cut to %1").arg(cut), good.left(cut),
                cut < 16 ? cut ? "header is truncated" : "empty" : "stream is truncated");
            row(QString("bare: cut to %1").arg(cut), bare.left(cut), "stream is truncated");
        }
        row("wrong signature", "\1" + good.mid(1), "not a container: wrong signature");
        row("damaged stream", good.left(40) + char(~good[40]) + good.mid(41), "");
        row("checksum", good.left(good.size() - 1) + char(~good.back()), "incorrect data check");
        row("declared size one short", container(bare, 3321), "inflates to more than the declared 3321");
        row("declared size one over", container(bare, 3323), "3322 bytes, less than the declared 3323");
        row("declared size 256 MiB + 1", container(bare, kLimit + 1), "268435457 bytes is above the 256 MiB");
        row("declared size 256 MiB", container(bare, kLimit), "more than a " + s + "-byte stream can hold");
        row("one trailing byte", good + '\0', "1 byte of trailing data after the declared " + s);
        row("stream size one over", container(bare + 'x', 3322).chopped(1), "truncated: the header declares");
        row("garbage inside the stream", container(bare + "XXXXX", 3322), "ends after " + s + " of the");
        row("16 MiB bomb", container(zlibStream(QByteArray(16 << 20, '\0'), 9), 1000), "declared 1000 bytes");
        // FDICT set, with the check bits to match: how a stream made against a preset dictionary starts.
        row("preset dictionary", container("\x78\xf9\1\2\3\4" + bare.mid(2), 3322), "preset dictionary");
        row("bare: a container", good, "stream is corrupt: incorrect header check");
        row("bare: trailing byte", bare + "a", "file has 1 byte of trailing data after the stream");
        row("bare: 260 MiB bomb", zlibStream(QByteArray(260 << 20, '\0'), 9), "the 256 MiB limit");
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
        const QString option = args.value(1);
        QString said = trouble == BadData ? QString() : message; // what is wrong, as the codec says it
        try {
            if (trouble == BadData)
                option == "-draw" ? void(zlibcodec::decompressRaw(bytesOf(input)))
                                  : void(gamefile::unpackContainer(input));
        } catch (const zlibcodec::Error& e) {
            said = e.what();
        }
        QVERIFY2(!said.isEmpty() && said.contains(message), qPrintable(said));

        QTemporaryDir dir;
        const QString file = dir.filePath("in"), output = file + (option.isEmpty() ? ".zlib" : ".unzlib");
        std::ranges::replace(args, QString("F"), file);
        QVERIFY(trouble == Missing || (trouble == InputFolder ? QDir().mkdir(file) : writeFile(file, input)));
        // Sparse: it costs no disk space, and the tool must refuse it before reading.
        QVERIFY(trouble != TooLarge || QFile::resize(file, option.isEmpty() ? kLimit + 1 : 2ll * kLimit + 1));
        QVERIFY(trouble != OutputFolder || QDir().mkpath(output + "/keep"));
        const QStringList before = listing(dir.path());
        // The tool says what the codec says, in one line that names the file, and leaves all as it was.
        const QString named = trouble == OutputFolder ? output : file;
        QString seen = runTool(args, dir.path());
        const QString want = trouble == Usage ? message : "exit 1: |zlibtool: " + named + ": " + said + "\n";
        QVERIFY2(seen.startsWith(want) && seen.count('\n') == (args.isEmpty() ? 3 : 1), qPrintable(seen));
        reliabilitylog::record("zlibtool given bad input", QTest::currentDataTag(),
                               seen.remove(named + ":").remove(" |zlibtool:"));
        QCOMPARE(listing(dir.path()), before);
        QVERIFY(trouble == OutputFolder ? QFileInfo(output + "/keep").isDir()
                                        : trouble == TooLarge || readFile(file) == input);
    }
};

QTEST_GUILESS_MAIN(tst_container)
#include "tst_container.moc"
