// Drives the real zlibtool program on real files, and checks the codec library
// in-process. Test inputs are built with zlib directly, not with the codec, so
// the two cannot agree on a mistake.

#include "container.h"
#include "reliabilitylog.h"
#include "testfiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <span>
#include <vector>

namespace
{

const QByteArray kMagic("\x00\x01\x01\x57\x45\x53\x59\x53", 8);
constexpr quint32 kLimit = zlibcodec::kMaxDeclaredSize;

std::span<const std::uint8_t> asSpan(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<std::size_t>(b.size())};
}

QByteArray fromVector(const std::vector<std::uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

QByteArray randomBytes(qsizetype n, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = static_cast<char>(gen.generate() >> 24);
    return b;
}

// Compresses well but, unlike a repeated pattern, is not periodic: a corrupted
// match distance is unlikely to decode to the very same bytes.
QByteArray wordText(qsizetype n, quint32 seed)
{
    static const char* const words[] = {
        "lorem",   "ipsum",        "dolor",   "sit",     "amet",       "consectetur", "adipisci", "elit",
        "sed",     "do",           "eiusmod", "tempor",  "incididunt", "ut",          "labore",   "et",
        "dolore",  "magna",        "aliqua",  "enim",    "ad",         "minim",       "veniam",   "quis",
        "nostrud", "exercitation", "ullamco", "laboris", "nisi",       "aliquip"};
    QRandomGenerator gen(seed);
    QByteArray b;
    b.reserve(n + 32);
    while (b.size() < n) {
        b += words[gen.bounded(static_cast<quint32>(std::size(words)))];
        b += gen.bounded(12) == 0 ? '\n' : ' ';
    }
    b.truncate(n);
    return b;
}

QByteArray zlibStream(const QByteArray& plain, int level)
{
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    QByteArray out(static_cast<qsizetype>(size), Qt::Uninitialized);
    const int ret =
        compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(plain.constData()), static_cast<uLong>(plain.size()), level);
    Q_ASSERT(ret == Z_OK);
    out.truncate(static_cast<qsizetype>(size));
    return out;
}

// A stream of `count` zero bytes, built without holding them all in memory.
QByteArray zeroStream(qint64 count)
{
    static const QByteArray zeros(1 << 20, '\0');
    z_stream s{};
    deflateInit(&s, 9);
    QByteArray out;
    char buffer[1 << 16];
    qint64 left = count;
    int flush = Z_NO_FLUSH;
    do {
        const qint64 chunk = std::min<qint64>(left, zeros.size());
        left -= chunk;
        flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
        s.avail_in = static_cast<uInt>(chunk);
        do {
            s.next_out = reinterpret_cast<Bytef*>(buffer);
            s.avail_out = sizeof buffer;
            deflate(&s, flush);
            out.append(buffer, static_cast<qsizetype>(sizeof buffer - s.avail_out));
        } while (s.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&s);
    return out;
}

// A real stream that was compressed against a preset dictionary.
QByteArray dictionaryStream(const QByteArray& plain)
{
    const QByteArray dict = "lorem ipsum dolor sit amet";
    z_stream s{};
    deflateInit(&s, 9);
    deflateSetDictionary(&s, reinterpret_cast<const Bytef*>(dict.constData()),
                         static_cast<uInt>(dict.size()));
    QByteArray out(static_cast<qsizetype>(deflateBound(&s, static_cast<uLong>(plain.size()))),
                   Qt::Uninitialized);
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.constData()));
    s.avail_in = static_cast<uInt>(plain.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.truncate(out.size() - static_cast<qsizetype>(s.avail_out));
    deflateEnd(&s);
    return out;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((v >> (8 * i)) & 0xff);
    return b;
}

QByteArray container(const QByteArray& stream, quint32 streamSize, quint32 plainSize)
{
    return kMagic + le32(streamSize) + le32(plainSize) + stream;
}

QByteArray container(const QByteArray& stream, quint32 plainSize)
{
    return container(stream, static_cast<quint32>(stream.size()), plainSize);
}

QByteArray flipBit(QByteArray b, qsizetype index, int bit)
{
    b[index] = static_cast<char>(b.at(index) ^ (1 << bit));
    return b;
}

quint32 fieldAt(const QByteArray& b, qsizetype index)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<uchar>(b.at(index + i));
    return v;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<cannot open ") + QFile::encodeName(path) + '>';
    return f.readAll();
}

using testfiles::writeFile;

// Everything in the folder, hidden files included, so stray temporaries show up.
QStringList entries(const QString& dir)
{
    QStringList list =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    list.sort();
    return list;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

struct Result {
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result runTool(const QStringList& args, const QString& workDir = QString())
{
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(ZLIBTOOL_PATH), args);
    Result r;
    if (!p.waitForFinished(-1))
        return r;
    r.finished = p.exitStatus() == QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QStringList argsFor(const QString& file, const QString& option)
{
    return option.isEmpty() ? QStringList{file} : QStringList{file, option};
}

QString outputFor(const QString& file, const QString& option)
{
    return file + (option.isEmpty() ? QStringLiteral(".zlib") : QStringLiteral(".unzlib"));
}

// A clean failure: status 1, nothing on stdout, one stderr line about `file`.
void verifyFailure(const Result& r, const QString& file, const QByteArray& fragment)
{
    QVERIFY2(r.finished, "zlibtool did not exit normally");
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.out.isEmpty(), r.out.constData());
    QVERIFY2(r.err.endsWith('\n') && r.err.count('\n') == 1, r.err.constData());
    QVERIFY2(r.err.startsWith("zlibtool: " + QFile::encodeName(file) + ": "), r.err.constData());
    QVERIFY2(r.err.contains(fragment), r.err.constData());
}

void verifySuccess(const Result& r)
{
    QVERIFY2(r.finished, "zlibtool did not exit normally");
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.isEmpty(), r.out.constData());
}

// The fixture most corruption cases start from.
struct Sample {
    QByteArray plain = wordText(3322, 7);
    QByteArray stream = zlibStream(plain, 9);
    QByteArray good = container(stream, static_cast<quint32>(plain.size()));
};

// 260 MiB of zeros in about 260 KiB, just past the limit; built once, it takes a moment.
const QByteArray& bigBomb()
{
    static const QByteArray stream = zeroStream(260ll * 1024 * 1024);
    return stream;
}

// What the tool must say about a container whose declared size was changed.
QByteArray declaredSizeComplaint(quint32 declared, quint32 real, quint32 streamSize)
{
    if (declared > kLimit)
        return "above the 256 MiB limit";
    if (static_cast<quint64>(declared) > static_cast<quint64>(streamSize) * 1032) // deflate's best ratio
        return "stream can hold";
    if (declared > real)
        return "less than the declared";
    return "more than the declared";
}

} // namespace

class TestZlibTool : public QObject
{
    Q_OBJECT

private slots:
    void usageWithoutArguments();
    void wrongUsage_data();
    void wrongUsage();
    void roundTrip_data();
    void roundTrip();
    void headerLayout();
    void replacesOldOutput_data();
    void replacesOldOutput();
    void acceptsOtherLevels_data();
    void acceptsOtherLevels();
    void rejectsCorruptInput_data();
    void rejectsCorruptInput();
    void rejectsUnreadableInput_data();
    void rejectsUnreadableInput();
    void rejectsOversizedInput_data();
    void rejectsOversizedInput();
    void outputIsADirectory_data();
    void outputIsADirectory();
    void fileNames_data();
    void fileNames();
    void codecRoundTrip_data();
    void codecRoundTrip();
    void codecMessages_data();
    void codecMessages();
};

void TestZlibTool::usageWithoutArguments()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Result r = runTool({}, dir.path());
    QVERIFY(r.finished);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    QVERIFY2(r.out.startsWith("usage: zlibtool FILE"), r.out.constData());
    QVERIFY(r.out.contains("FILE -d "));
    QVERIFY(r.out.contains("FILE -draw "));
    QCOMPARE(entries(dir.path()), QStringList());
}

void TestZlibTool::wrongUsage_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QByteArray>("fragment");
    QTest::newRow("unknown option") << QStringList{"-x"} << QByteArray("unknown option '-x'");
    QTest::newRow("option in capitals") << QStringList{"-D"} << QByteArray("unknown option '-D'");
    QTest::newRow("long option") << QStringList{"--decompress"}
                                 << QByteArray("unknown option '--decompress'");
    QTest::newRow("empty option") << QStringList{""} << QByteArray("unknown option ''");
    QTest::newRow("two options") << QStringList{"-d", "-draw"} << QByteArray("too many arguments");
    QTest::newRow("two files") << QStringList{"-d", "other.bin"} << QByteArray("too many arguments");
}

void TestZlibTool::wrongUsage()
{
    QFETCH(QStringList, extra);
    QFETCH(QByteArray, fragment);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString input = dir.filePath("input.bin");
    const QByteArray plain = wordText(500, 3);
    QVERIFY(writeFile(input, plain));

    const Result r = runTool(QStringList{input} + extra);
    QVERIFY(r.finished);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.startsWith("zlibtool: ") && r.err.endsWith('\n') && r.err.count('\n') == 1,
             r.err.constData());
    QVERIFY2(r.err.contains(fragment), r.err.constData());
    QCOMPARE(entries(dir.path()), QStringList{"input.bin"});
    QCOMPARE(readAll(input), plain);
}

void TestZlibTool::roundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("A");
    QTest::newRow("tiny random") << randomBytes(7, 1);
    QTest::newRow("tiny text") << QByteArray("hello");
    QTest::newRow("3322 random") << randomBytes(3322, 2);
    QTest::newRow("3322 text") << wordText(3322, 2);
    QTest::newRow("4 MiB random") << randomBytes(4 << 20, 3);
    QTest::newRow("4 MiB text") << wordText(4 << 20, 3);
}

void TestZlibTool::roundTrip()
{
    QFETCH(QByteArray, plain);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString input = dir.filePath("data.bin");
    QVERIFY(writeFile(input, plain));

    verifySuccess(runTool({input}));
    if (QTest::currentTestFailed())
        return;
    const QByteArray packed = readAll(input + ".zlib");
    QVERIFY(packed.size() >= 16 + 8);
    QCOMPARE(packed.left(8), kMagic);
    QCOMPARE(fieldAt(packed, 8), static_cast<quint32>(packed.size() - 16));
    QCOMPARE(fieldAt(packed, 12), static_cast<quint32>(plain.size()));
    QCOMPARE(packed.mid(16, 2), QByteArray("\x78\xDA"));

    // Inflate with zlib itself, independent of the codec under test.
    const QByteArray stream = packed.mid(16);
    QByteArray check(plain.size(), '\0');
    uLongf checkSize = static_cast<uLongf>(check.size());
    QCOMPARE(uncompress(reinterpret_cast<Bytef*>(check.data()), &checkSize,
                        reinterpret_cast<const Bytef*>(stream.constData()),
                        static_cast<uLong>(stream.size())),
             Z_OK);
    QCOMPARE(static_cast<qsizetype>(checkSize), plain.size());
    QVERIFY(check == plain);

    verifySuccess(runTool({input + ".zlib", "-d"}));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(readAll(input + ".zlib.unzlib") == plain);

    const QString bare = dir.filePath("bare.z");
    QVERIFY(writeFile(bare, stream));
    verifySuccess(runTool({bare, "-draw"}));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(readAll(bare + ".unzlib") == plain);

    QCOMPARE(entries(dir.path()),
             sorted({"data.bin", "data.bin.zlib", "data.bin.zlib.unzlib", "bare.z", "bare.z.unzlib"}));
}

void TestZlibTool::headerLayout()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString input = dir.filePath("layout.bin");
    QVERIFY(writeFile(input, wordText(3322, 11)));
    verifySuccess(runTool({input}));
    if (QTest::currentTestFailed())
        return;
    const QByteArray packed = readAll(input + ".zlib");
    QCOMPARE(packed.left(8).toHex(), QByteArray("0001015745535953"));
    // 3322 = 0x0cfa, least significant byte first.
    QCOMPARE(packed.mid(12, 4).toHex(), QByteArray("fa0c0000"));
    const qsizetype streamSize = packed.size() - 16;
    QVERIFY(streamSize > 255); // so both low bytes of the field matter
    const QByteArray expected = QByteArray(1, static_cast<char>(streamSize & 0xff)) +
                                QByteArray(1, static_cast<char>(streamSize >> 8)) + QByteArray(2, '\0');
    QCOMPARE(packed.mid(8, 4).toHex(), expected.toHex());
    QCOMPARE(packed.mid(16, 2).toHex(), QByteArray("78da"));
}

void TestZlibTool::replacesOldOutput_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("old");
    const QByteArray longer = randomBytes(100000, 5);
    for (const QString& option : {QString(), QStringLiteral("-d"), QStringLiteral("-draw")}) {
        const char* name = option.isEmpty() ? "compress" : option == "-d" ? "-d" : "-draw";
        QTest::addRow("%s over a longer file", name) << option << longer;
        QTest::addRow("%s over a shorter file", name) << option << QByteArray("x");
        QTest::addRow("%s over an empty file", name) << option << QByteArray();
    }
}

void TestZlibTool::replacesOldOutput()
{
    QFETCH(QString, option);
    QFETCH(QByteArray, old);
    const QByteArray plain = wordText(3322, 21);
    const QByteArray stream = zlibStream(plain, 9);
    const QByteArray input = option.isEmpty() ? plain
                             : option == "-d" ? container(stream, static_cast<quint32>(plain.size()))
                                              : stream;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("in.bin");
    const QString output = outputFor(file, option);
    QVERIFY(writeFile(file, input));
    QVERIFY(writeFile(output, old));

    verifySuccess(runTool(argsFor(file, option)));
    if (QTest::currentTestFailed())
        return;
    const QByteArray result = readAll(output);
    if (option.isEmpty())
        QVERIFY(fromVector(zlibcodec::decompressContainer(asSpan(result))) == plain);
    else
        QVERIFY(result == plain);
    QCOMPARE(entries(dir.path()), sorted({"in.bin", QFileInfo(output).fileName()}));
}

void TestZlibTool::acceptsOtherLevels_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QString>("option");
    const struct {
        const char* name;
        int level;
        const char* prefix;
    } levels[] = {{"stored", 0, "7801"},
                  {"fastest", 1, "7801"},
                  {"default", Z_DEFAULT_COMPRESSION, "789c"},
                  {"level 6", 6, "789c"},
                  {"best", 9, "78da"}};
    for (const auto& l : levels) {
        QTest::addRow("container, %s", l.name) << l.level << QByteArray(l.prefix) << QStringLiteral("-d");
        QTest::addRow("bare, %s", l.name) << l.level << QByteArray(l.prefix) << QStringLiteral("-draw");
    }
}

void TestZlibTool::acceptsOtherLevels()
{
    QFETCH(int, level);
    QFETCH(QByteArray, prefix);
    QFETCH(QString, option);
    const QByteArray plain = wordText(20000, 31);
    const QByteArray stream = zlibStream(plain, level);
    QCOMPARE(stream.left(2).toHex(), prefix); // the fixture really is what the row says
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("level.bin");
    QVERIFY(writeFile(file, option == "-d" ? container(stream, static_cast<quint32>(plain.size())) : stream));
    verifySuccess(runTool({file, option}));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(readAll(file + ".unzlib") == plain);
}

void TestZlibTool::rejectsCorruptInput_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("fragment"); // empty: any message
    const Sample s;
    const qsizetype n = s.good.size();
    const quint32 plainSize = static_cast<quint32>(s.plain.size());
    const quint32 streamSize = static_cast<quint32>(s.stream.size());
    const QString d = QStringLiteral("-d");
    const QString raw = QStringLiteral("-draw");

    // Cut anywhere, header left as it was.
    for (qsizetype cut :
         {qsizetype(0), qsizetype(1), qsizetype(4), qsizetype(7), qsizetype(8), qsizetype(11), qsizetype(12),
          qsizetype(15), qsizetype(16), qsizetype(17), qsizetype(18), n / 2, n - 5, n - 4, n - 1})
        QTest::addRow("cut to %lld bytes", static_cast<long long>(cut))
            << s.good.left(cut) << d << QByteArray(cut == 0 ? "empty" : "truncated");
    // Cut, with the header adjusted to match, so only inflate can notice.
    for (qsizetype keep : {qsizetype(10), s.stream.size() / 2, s.stream.size() - 4, s.stream.size() - 1})
        QTest::addRow("stream cut to %lld bytes, header adjusted", static_cast<long long>(keep))
            << container(s.stream.left(keep), plainSize) << d << QByteArray("stream is truncated");

    // One flipped bit in every header byte.
    for (int i = 0; i < 16; ++i) {
        for (int bit : {0, 7}) {
            const QByteArray bad = flipBit(s.good, i, bit);
            QByteArray fragment;
            if (i < 8) {
                fragment = "not a container: wrong signature";
            } else if (i < 12) {
                fragment = fieldAt(bad, 8) > streamSize ? "truncated" : "trailing data";
            } else {
                fragment = declaredSizeComplaint(fieldAt(bad, 12), plainSize, streamSize);
            }
            QTest::addRow("header byte %d bit %d flipped", i, bit) << bad << d << fragment;
        }
    }
    // Flipped bits in the stream. Any single flip breaks the zlib header check or
    // the Adler-32; inside the deflate data the failure can take several forms.
    for (qsizetype i : {qsizetype(16), qsizetype(17), n - 4, n - 3, n - 2, n - 1})
        for (int bit : {0, 5})
            QTest::addRow("stream byte %lld bit %d flipped", static_cast<long long>(i), bit)
                << flipBit(s.good, i, bit) << d << QByteArray("stream is corrupt");
    for (qsizetype i : {qsizetype(18), qsizetype(19), qsizetype(40), n / 2, n - 20})
        for (int bit : {0, 3, 6})
            QTest::addRow("deflate byte %lld bit %d flipped", static_cast<long long>(i), bit)
                << flipBit(s.good, i, bit) << d << QByteArray();

    // Not a container at all.
    QTest::newRow("zero signature") << QByteArray(8, '\0') + s.good.mid(8) << d
                                    << QByteArray("wrong signature");
    QTest::newRow("last signature byte")
        << s.good.left(7) + 'T' + s.good.mid(8) << d << QByteArray("wrong signature");
    QTest::newRow("other archive") << QByteArray("PK\x03\x04", 4) + QByteArray(60, '\x01') << d
                                   << QByteArray("wrong signature");
    QTest::newRow("bare stream given to -d") << s.stream << d << QByteArray("wrong signature");
    QTest::newRow("short text") << QByteArray("hello") << d << QByteArray("wrong signature");

    // Sizes that do not match the stream.
    QTest::newRow("declared size one short")
        << container(s.stream, plainSize - 1) << d << QByteArray("more than the declared 3321 bytes");
    QTest::newRow("declared size one over")
        << container(s.stream, plainSize + 1) << d << QByteArray("less than the declared 3323");
    QTest::newRow("declared size zero")
        << container(s.stream, 0) << d << QByteArray("more than the declared 0 bytes");
    QTest::newRow("declared size doubled")
        << container(s.stream, plainSize * 2) << d << QByteArray("less than the declared");
    QTest::newRow("declared size 256 MiB + 1")
        << container(s.stream, kLimit + 1) << d << QByteArray("above the 256 MiB limit");
    QTest::newRow("declared size 300000000")
        << container(s.stream, 300000000) << d
        << QByteArray("declared size 300000000 bytes is above the 256 MiB limit");
    QTest::newRow("declared size 4 GiB - 1")
        << container(s.stream, 0xffffffffu) << d << QByteArray("above the 256 MiB limit");
    QTest::newRow("declared size exactly 256 MiB")
        << container(s.stream, kLimit) << d << QByteArray("stream can hold");
    QTest::newRow("stream size one short")
        << container(s.stream, streamSize - 1, plainSize) << d << QByteArray("1 byte of trailing data");
    QTest::newRow("stream size one over")
        << container(s.stream, streamSize + 1, plainSize) << d << QByteArray("truncated");
    QTest::newRow("stream size zero")
        << container(s.stream, 0, plainSize) << d << QByteArray("trailing data");
    QTest::newRow("stream size 4 GiB - 1")
        << container(s.stream, 0xffffffffu, plainSize) << d << QByteArray("truncated");
    QTest::newRow("garbage inside the declared stream")
        << container(s.stream + "XXXXX", plainSize) << d
        << QByteArray("stream ends after " + QByteArray::number(streamSize) + " of the declared " +
                      QByteArray::number(streamSize + 5) + " bytes");

    // Trailing garbage.
    QTest::newRow("one trailing byte") << s.good + '\0' << d << QByteArray("1 byte of trailing data");
    QTest::newRow("100 trailing bytes")
        << s.good + randomBytes(100, 9) << d << QByteArray("100 bytes of trailing data");
    QTest::newRow("two containers") << s.good + s.good << d << QByteArray("trailing data");

    // Bombs: tiny streams that would inflate far beyond what they declare.
    const QByteArray bomb = zeroStream(16 << 20);
    QTest::newRow("16 MiB bomb declaring 1000 bytes")
        << container(bomb, 1000) << d << QByteArray("stream inflates to more than the declared 1000 bytes");
    QTest::newRow("16 MiB bomb declaring 0 bytes")
        << container(bomb, 0) << d << QByteArray("more than the declared 0 bytes");
    QTest::newRow("16 MiB bomb declaring 256 MiB")
        << container(bomb, kLimit) << d << QByteArray("stream can hold");
    QTest::newRow("260 MiB bomb declaring 256 MiB")
        << container(bigBomb(), kLimit) << d << QByteArray("more than the declared 268435456 bytes");
    QTest::newRow("tiny stream declaring 200 MiB")
        << container(zlibStream("hello", 9), 200u << 20) << d << QByteArray("stream can hold");

    QTest::newRow("preset dictionary")
        << container(dictionaryStream(s.plain), plainSize) << d << QByteArray("preset dictionary");

    // Bare streams.
    QTest::newRow("bare: empty") << QByteArray() << raw << QByteArray("truncated");
    QTest::newRow("bare: container given to -draw") << s.good << raw << QByteArray("stream is corrupt");
    QTest::newRow("bare: text") << QByteArray("hello world") << raw << QByteArray("stream is corrupt");
    for (qsizetype keep :
         {qsizetype(1), qsizetype(2), qsizetype(10), s.stream.size() / 2, s.stream.size() - 1})
        QTest::addRow("bare: cut to %lld bytes", static_cast<long long>(keep))
            << s.stream.left(keep) << raw << QByteArray("stream is truncated");
    QTest::newRow("bare: checksum flipped") << flipBit(s.stream, s.stream.size() - 1, 2) << raw
                                            << QByteArray("stream is corrupt: incorrect data check");
    QTest::newRow("bare: trailing garbage")
        << s.stream + "ab" << raw << QByteArray("2 bytes of trailing data");
    QTest::newRow("bare: preset dictionary")
        << dictionaryStream(s.plain) << raw << QByteArray("preset dictionary");
    QTest::newRow("bare: 260 MiB bomb")
        << bigBomb() << raw << QByteArray("stream inflates to more than the 256 MiB limit");
}

void TestZlibTool::rejectsCorruptInput()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, option);
    QFETCH(QByteArray, fragment);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("input.bin");
    QVERIFY(writeFile(file, input));

    const Result result = runTool({file, option});
    const QStringList left = entries(dir.path());
    reliabilitylog::record(QStringLiteral("zlibtool alone on bad input"),
                           QStringLiteral("%1 (%2)").arg(QTest::currentDataTag(), option),
                           QStringLiteral("exit %1, says \"%2\"; %3")
                               .arg(result.finished ? QString::number(result.exitCode) : QStringLiteral("by a signal"),
                                    QString::fromLocal8Bit(result.err).section(QStringLiteral(": "), 2).trimmed(),
                                    left == QStringList{"input.bin"} ? QStringLiteral("no output written")
                                                                     : QStringLiteral("left: ") + left.join(", ")));
    verifyFailure(result, file, fragment);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(left, QStringList{"input.bin"});
    QVERIFY(readAll(file) == input);
}

void TestZlibTool::rejectsUnreadableInput_data()
{
    QTest::addColumn<bool>("isDirectory");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("fragment");
    for (const QString& option : {QString(), QStringLiteral("-d"), QStringLiteral("-draw")}) {
        const QByteArray name = option.isEmpty() ? "compress" : option.toUtf8();
        QTest::addRow("missing, %s", name.constData())
            << false << option << QByteArray("cannot read: No such file or directory");
        QTest::addRow("directory, %s", name.constData())
            << true << option << QByteArray("cannot read: Is a directory");
    }
}

void TestZlibTool::rejectsUnreadableInput()
{
    QFETCH(bool, isDirectory);
    QFETCH(QString, option);
    QFETCH(QByteArray, fragment);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("input.bin");
    if (isDirectory)
        QVERIFY(QDir().mkdir(file));

    verifyFailure(runTool(argsFor(file, option)), file, fragment);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(entries(dir.path()), isDirectory ? QStringList{"input.bin"} : QStringList());
    if (isDirectory)
        QCOMPARE(entries(file), QStringList());
}

void TestZlibTool::rejectsOversizedInput_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QByteArray>("fragment");
    QTest::newRow("compress 256 MiB + 1") << QString() << qint64(kLimit) + 1
                                          << QByteArray("file of 268435457 bytes is above the 256 MiB limit");
    QTest::newRow("-d 512 MiB + 1") << QStringLiteral("-d") << 2 * qint64(kLimit) + 1
                                    << QByteArray("above the 512 MiB limit");
    QTest::newRow("-draw 512 MiB + 1")
        << QStringLiteral("-draw") << 2 * qint64(kLimit) + 1 << QByteArray("above the 512 MiB limit");
}

void TestZlibTool::rejectsOversizedInput()
{
    QFETCH(QString, option);
    QFETCH(qint64, size);
    QFETCH(QByteArray, fragment);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("huge.bin");
    {
        // Sparse: costs no disk space, and the tool must refuse it before reading.
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(size));
    }
    verifyFailure(runTool(argsFor(file, option)), file, fragment);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(entries(dir.path()), QStringList{"huge.bin"});
}

void TestZlibTool::outputIsADirectory_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("compress") << QString();
    QTest::newRow("-d") << QStringLiteral("-d");
    QTest::newRow("-draw") << QStringLiteral("-draw");
}

void TestZlibTool::outputIsADirectory()
{
    QFETCH(QString, option);
    const QByteArray plain = wordText(1000, 41);
    const QByteArray stream = zlibStream(plain, 9);
    const QByteArray input = option.isEmpty() ? plain
                             : option == "-d" ? container(stream, static_cast<quint32>(plain.size()))
                                              : stream;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("in.bin");
    const QString output = outputFor(file, option);
    QVERIFY(writeFile(file, input));
    QVERIFY(QDir().mkdir(output));
    QVERIFY(writeFile(output + "/keep.txt", "keep"));

    verifyFailure(runTool(argsFor(file, option)), output, "cannot write");
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(entries(dir.path()), sorted({"in.bin", QFileInfo(output).fileName()}));
    QCOMPARE(entries(output), QStringList{"keep.txt"});
    QCOMPARE(readAll(output + "/keep.txt"), QByteArray("keep"));
}

void TestZlibTool::fileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("spaces") << QStringLiteral("with  some spaces .bin");
    QTest::newRow("double quotes") << QStringLiteral("say \"hi\".bin");
    QTest::newRow("single quotes") << QStringLiteral("it's 'quoted'.bin");
    QTest::newRow("non-ASCII") << QStringLiteral(u"naïve Ünïcödé файл 文件 ✓.bin");
    QTest::newRow("leading dash") << QStringLiteral("-leading-dash.bin");
    QTest::newRow("named like an option") << QStringLiteral("-d");
    QTest::newRow("named like the other option") << QStringLiteral("-draw");
    QTest::newRow("double dash") << QStringLiteral("--");
    QTest::newRow("shell characters") << QStringLiteral("$(echo x) `y` *?[a] ; & | < > \\.bin");
    QTest::newRow("no extension") << QStringLiteral("plain");
    // The longest name whose .zlib.unzlib output still fits in 255 bytes.
    QTest::newRow("long name") << QString(243 - 4, QLatin1Char('n')) + QStringLiteral(".bin");
}

void TestZlibTool::fileNames()
{
    QFETCH(QString, name);
    const QByteArray plain = wordText(3322, 51);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(name), plain));

    // Relative names, so a leading dash reaches the tool as the first character.
    verifySuccess(runTool({name}, dir.path()));
    if (QTest::currentTestFailed())
        return;
    const QByteArray packed = readAll(dir.filePath(name + ".zlib"));
    QVERIFY(fromVector(zlibcodec::decompressContainer(asSpan(packed))) == plain);

    verifySuccess(runTool({name + ".zlib", "-d"}, dir.path()));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(readAll(dir.filePath(name + ".zlib.unzlib")) == plain);

    // A failure names the file exactly as given.
    const Result r = runTool({name, "-d"}, dir.path());
    verifyFailure(r, name, "not a container: wrong signature");
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(r.err, "zlibtool: " + QFile::encodeName(name) + ": not a container: wrong signature\n");

    QCOMPARE(entries(dir.path()), sorted({name, name + ".zlib", name + ".zlib.unzlib"}));
}

void TestZlibTool::codecRoundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray(1, '\0');
    QTest::newRow("3322 random") << randomBytes(3322, 61);
    QTest::newRow("3322 text") << wordText(3322, 61);
    QTest::newRow("1 MiB zeros") << QByteArray(1 << 20, '\0');
    QTest::newRow("300000 random") << randomBytes(300000, 62);
}

void TestZlibTool::codecRoundTrip()
{
    QFETCH(QByteArray, plain);
    const QByteArray packed = fromVector(zlibcodec::compressContainer(asSpan(plain)));
    QCOMPARE(packed.left(8), kMagic);
    QCOMPARE(fieldAt(packed, 8), static_cast<quint32>(packed.size() - 16));
    QCOMPARE(fieldAt(packed, 12), static_cast<quint32>(plain.size()));
    QCOMPARE(packed.mid(16, 2).toHex(), QByteArray("78da"));
    QVERIFY(fromVector(zlibcodec::decompressContainer(asSpan(packed))) == plain);
    QVERIFY(fromVector(zlibcodec::decompressRaw(asSpan(packed).subspan(zlibcodec::kHeaderSize))) == plain);

    // Into memory of the caller's: the same bytes, and nothing written past them.
    const std::size_t bound = zlibcodec::containerBound(static_cast<std::size_t>(plain.size()));
    std::vector<std::uint8_t> room(bound + 8, 0xAB);
    const std::size_t size = zlibcodec::compressContainerInto(asSpan(plain), room);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(room.data()), static_cast<qsizetype>(size)), packed);
    QVERIFY(std::all_of(room.begin() + static_cast<std::ptrdiff_t>(size), room.end(),
                        [](std::uint8_t b) { return b == 0xAB; }));
    std::vector<std::uint8_t> tooSmall(bound - 1);
    QVERIFY_THROWS_EXCEPTION(zlibcodec::Error, zlibcodec::compressContainerInto(asSpan(plain), tooSmall));

    // Piece by piece: the pieces in order are the data.
    QByteArray pieces;
    zlibcodec::decompressContainer(asSpan(packed), [&pieces](std::span<const std::uint8_t> piece) {
        QVERIFY(!piece.empty() && piece.size() <= 64 * 1024);
        pieces.append(reinterpret_cast<const char*>(piece.data()), static_cast<qsizetype>(piece.size()));
    });
    QVERIFY(pieces == plain);

    // Streams at zlib's default level decode too.
    const QByteArray stream = zlibStream(plain, Z_DEFAULT_COMPRESSION);
    QCOMPARE(stream.left(2).toHex(), QByteArray("789c"));
    QVERIFY(fromVector(zlibcodec::decompressRaw(asSpan(stream))) == plain);
    QVERIFY(fromVector(zlibcodec::decompressContainer(
                asSpan(container(stream, static_cast<quint32>(plain.size()))))) == plain);
}

void TestZlibTool::codecMessages_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QString>("message");
    const Sample s;
    const quint32 plainSize = static_cast<quint32>(s.plain.size());
    const QString streamSize = QString::number(s.stream.size());

    QTest::newRow("empty") << QByteArray() << false << "not a container: the file is empty";
    QTest::newRow("wrong signature") << QByteArray("PK\x03\x04", 4) + QByteArray(12, '\0') << false
                                     << "not a container: wrong signature";
    QTest::newRow("short header") << s.good.left(10) << false << "header is truncated: only 10 of 16 bytes";
    QTest::newRow("above the limit") << container(s.stream, 300000000) << false
                                     << "declared size 300000000 bytes is above the 256 MiB limit";
    QTest::newRow("file cut") << s.good.left(s.good.size() - 3) << false
                              << "stream is truncated: the header declares " + streamSize +
                                     " bytes, the file holds " + QString::number(s.stream.size() - 3);
    QTest::newRow("trailing") << s.good + "abc" << false
                              << "file has 3 bytes of trailing data after the declared " + streamSize +
                                     "-byte stream";
    QTest::newRow("more than a stream can hold")
        << container(s.stream, kLimit) << false
        << "declared size 268435456 bytes is more than a " + streamSize + "-byte stream can hold";
    QTest::newRow("bomb") << container(zeroStream(4 << 20), 1000) << false
                          << "stream inflates to more than the declared 1000 bytes";
    QTest::newRow("declared one over") << container(s.stream, plainSize + 1) << false
                                       << "stream inflates to only 3322 bytes, less than the declared 3323";
    QTest::newRow("garbage in the stream") << container(s.stream + "12345", plainSize) << false
                                           << "stream ends after " + streamSize + " of the declared " +
                                                  QString::number(s.stream.size() + 5) + " bytes";
    QTest::newRow("stream cut, header adjusted")
        << container(s.stream.left(s.stream.size() - 1), plainSize) << false << "stream is truncated";
    QTest::newRow("zlib header flipped")
        << flipBit(s.good, 17, 0) << false << "stream is corrupt: incorrect header check";
    QTest::newRow("checksum flipped")
        << flipBit(s.good, s.good.size() - 2, 4) << false << "stream is corrupt: incorrect data check";
    QTest::newRow("preset dictionary")
        << container(dictionaryStream(s.plain), plainSize) << false << "stream needs a preset dictionary";
    QTest::newRow("raw: empty") << QByteArray() << true << "stream is truncated";
    QTest::newRow("raw: cut") << s.stream.left(s.stream.size() / 2) << true << "stream is truncated";
    QTest::newRow("raw: trailing") << s.stream + "xy" << true
                                   << "file has 2 bytes of trailing data after the stream";
    QTest::newRow("raw: one trailing byte")
        << s.stream + "x" << true << "file has 1 byte of trailing data after the stream";
}

void TestZlibTool::codecMessages()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, raw);
    QFETCH(QString, message);
    try {
        if (raw)
            zlibcodec::decompressRaw(asSpan(input));
        else
            zlibcodec::decompressContainer(asSpan(input));
    } catch (const zlibcodec::Error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), message);
        return;
    }
    QFAIL("no zlibcodec::Error thrown");
}

QTEST_GUILESS_MAIN(TestZlibTool)
#include "tst_zlibtool.moc"
