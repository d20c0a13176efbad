#include "baza.h"
#include "testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <utility>
#include <vector>

namespace {

using testfiles::read16;
using testfiles::readFile;
using testfiles::write16;
using testfiles::writeFile;

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    return bytes;
}


// A buffer that records every byte range read or written through it, and can
// be told to fail after a number of bytes.
class RecordingDevice : public QBuffer {
public:
    explicit RecordingDevice(QByteArray* data, qint64 failAfter = -1) : QBuffer(data), m_failAfter(failAfter) {}

    std::vector<std::pair<qint64, qint64>> reads;
    std::vector<std::pair<qint64, qint64>> writes;
    qint64 bytesRead = 0;
    qint64 bytesWritten = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_failAfter >= 0 && bytesRead + maxSize > m_failAfter) {
            setErrorString(QStringLiteral("injected read failure"));
            return -1;
        }
        const qint64 at = pos();
        const qint64 got = QBuffer::readData(data, maxSize);
        if (got > 0) {
            reads.emplace_back(at, got);
            bytesRead += got;
        }
        return got;
    }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_failAfter >= 0 && bytesWritten + size > m_failAfter) {
            setErrorString(QStringLiteral("injected write failure"));
            return -1;
        }
        writes.emplace_back(pos(), size);
        bytesWritten += size;
        return QBuffer::writeData(data, size);
    }

private:
    qint64 m_failAfter;
};

} // namespace

class tst_Baza : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void loadsEveryValueFromItsOffset();
    void namedAccessorsMatchTheTable_data();
    void namedAccessorsMatchTheTable();
    void rawPatternsRoundTrip_data();
    void rawPatternsRoundTrip();
    void loadThenSaveOnlyFillsTimeBoxCopies();
    void saveWritesEditedValuesAndNothingElse();
    void shortFileReadsMissingBytesAsZero();
    void loadFailuresKeepRecord_data();
    void loadFailuresKeepRecord();
    void failingSecondLoadKeepsFirstLayout();
    void saveBeforeLoadTouchesNothing();
    void saveFallsBackToPath();
    void saveWithoutAnyNameThrows();
    void saveIntoFolderThrowsWithFileAndReason();
    void saveCreatesMissingFile();
    void loadReadsExactly88Bytes();
    void saveWritesExactly96Bytes();
    void deviceFailures_data();
    void deviceFailures();
    void zmienDaneOnlyAfterLoad();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_Baza::loadsEveryValueFromItsOffset()
{
    const QByteArray bytes = randomBytes(4096, 7);
    QVERIFY(writeFile(path("layout.unzlib"), bytes));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("layout.unzlib")));
    QVERIFY(baza.Loaded());
    for (const layout::FieldInfo& field : layout::kFields)
        QCOMPARE(baza.value(field.index), read16(bytes, field.offset));
}

// The named properties, with offsets written out here by hand, so that a slip
// in the field list shows up.
void tst_Baza::namedAccessorsMatchTheTable_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("index");
    QTest::newRow("PozycjaX") << 2096 << 0;
    QTest::newRow("TeamShapeBY") << 2290 << 7;
    QTest::newRow("TeamBResY") << 2870 << 15;
    QTest::newRow("PointA") << 2328 << 16;
    QTest::newRow("PointA1") << 2330 << 17;
    QTest::newRow("PointD1") << 2342 << 23;
    QTest::newRow("TimeShapX") << 3044 << 24;
    QTest::newRow("PointAHome") << 2264 << 26;
    QTest::newRow("PointD1Home") << 2278 << 33;
    QTest::newRow("Time1ValueY") << 3320 << 35;
    QTest::newRow("Time4ValueX") << 3238 << 40;
    QTest::newRow("KroY") << 3280 << 43;
}

void tst_Baza::namedAccessorsMatchTheTable()
{
    QFETCH(int, offset);
    QFETCH(int, index);
    QByteArray bytes(3322, '\0');
    write16(bytes, offset, 12345);
    QVERIFY(writeFile(path("one.unzlib"), bytes));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("one.unzlib")));
    const QByteArray name = QTest::currentDataTag();
    const qint16 named[] = {baza.PozycjaX(), baza.TeamShapeBY(), baza.TeamBResY(),  baza.PointA(),
                            baza.PointA1(),  baza.PointD1(),     baza.TimeShapX(),  baza.PointAHome(),
                            baza.PointD1Home(), baza.Time1ValueY(), baza.Time4ValueX(), baza.KroY()};
    const char* names[] = {"PozycjaX", "TeamShapeBY", "TeamBResY",   "PointA",      "PointA1",     "PointD1",
                           "TimeShapX", "PointAHome", "PointD1Home", "Time1ValueY", "Time4ValueX", "KroY"};
    for (std::size_t i = 0; i < std::size(names); ++i)
        if (name == names[i])
            QCOMPARE(named[i], qint16(12345));
    QCOMPARE(layout::kFields[static_cast<std::size_t>(index)].name, std::string_view(name.constData()));
    QCOMPARE(baza.value(index), qint16(12345));
    for (int other = 0; other < layout::kFieldCount; ++other)
        if (other != index)
            QCOMPARE(baza.value(other), qint16(0));
}

void tst_Baza::rawPatternsRoundTrip_data()
{
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<int>("expected");
    QTest::newRow("FF FF") << QByteArray("\xFF\xFF", 2) << -1;
    QTest::newRow("00 80") << QByteArray("\x00\x80", 2) << -32768;
    QTest::newRow("FF 7F") << QByteArray("\xFF\x7F", 2) << 32767;
    QTest::newRow("01 00") << QByteArray("\x01\x00", 2) << 1;
    QTest::newRow("00 01") << QByteArray("\x00\x01", 2) << 256;
    QTest::newRow("F0 FF") << QByteArray("\xF0\xFF", 2) << -16;
}

void tst_Baza::rawPatternsRoundTrip()
{
    QFETCH(QByteArray, pattern);
    QFETCH(int, expected);
    QByteArray bytes = randomBytes(3400, 11);
    for (const layout::FieldInfo& field : layout::kFields)
        bytes.replace(field.offset, 2, pattern);
    QVERIFY(writeFile(path("pattern.unzlib"), bytes));

    Baza baza;
    QVERIFY(baza.Wczytaj(path("pattern.unzlib")));
    for (const layout::FieldInfo& field : layout::kFields)
        QCOMPARE(int(baza.value(field.index)), expected);
    QVERIFY(baza.Zapisz(path("pattern.unzlib")));
    const QByteArray saved = readFile(path("pattern.unzlib"));
    for (const layout::FieldInfo& field : layout::kFields)
        QCOMPARE(saved.mid(field.offset, 2), pattern);
}

void tst_Baza::loadThenSaveOnlyFillsTimeBoxCopies()
{
    const QByteArray original = randomBytes(5000, 3);
    QVERIFY(writeFile(path("g.unzlib"), original));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("g.unzlib")));
    QVERIFY(baza.Zapisz(path("g.unzlib")));
    const QByteArray saved = readFile(path("g.unzlib"));
    QCOMPARE(saved.size(), original.size());

    QByteArray expected = original;
    expected.replace(3108, 4, original.mid(3044, 4));
    expected.replace(3172, 4, original.mid(3044, 4));
    for (int i = 0; i < saved.size(); ++i)
        if (saved[i] != expected[i])
            QFAIL(qPrintable(QStringLiteral("byte %1 differs").arg(i)));
}

void tst_Baza::saveWritesEditedValuesAndNothingElse()
{
    const QByteArray original = randomBytes(4096, 5);
    QVERIFY(writeFile(path("e.unzlib"), original));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("e.unzlib")));
    for (const layout::FieldInfo& field : layout::kFields)
        baza.setValue(field.index, static_cast<qint16>(1000 + 37 * field.index - 2000 * (field.index % 3)));
    baza.PointA(-5);
    baza.TimeShapY(4242);
    QVERIFY(baza.Zapisz(path("e.unzlib")));

    QByteArray expected = original;
    for (const layout::FieldInfo& field : layout::kFields)
        write16(expected, field.offset, baza.value(field.index));
    for (int copy : {3108, 3172}) {
        write16(expected, copy, baza.TimeShapX());
        write16(expected, copy + 2, 4242);
    }
    QCOMPARE(read16(readFile(path("e.unzlib")), 2328), qint16(-5));
    QVERIFY(readFile(path("e.unzlib")) == expected);
}

void tst_Baza::shortFileReadsMissingBytesAsZero()
{
    // Ends inside the time-box block: the first byte of TimeShapX is there,
    // everything from 3045 on is not.
    QByteArray bytes(3045, '\x11');
    QVERIFY(writeFile(path("short.unzlib"), bytes));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("short.unzlib")));
    QCOMPARE(baza.PozycjaX(), qint16(0x1111));
    QCOMPARE(baza.TeamBResY(), qint16(0x1111));
    QCOMPARE(baza.TimeShapX(), qint16(0x0011));
    QCOMPARE(baza.TimeShapY(), qint16(0));
    QCOMPARE(baza.KroY(), qint16(0));
    QCOMPARE(baza.Time1ValueY(), qint16(0));
}

void tst_Baza::loadFailuresKeepRecord_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("empty path") << "";
    QTest::newRow("folder") << "folder";
}

void tst_Baza::loadFailuresKeepRecord()
{
    QFETCH(QString, what);
    QString target;
    if (what == "missing")
        target = path("nothing-here.unzlib");
    else if (what == "folder") {
        QVERIFY(QDir(m_dir.path()).mkpath("a-folder"));
        target = path("a-folder");
    }
    QCOMPARE(Baza::File_Exists(target), what == "folder");

    Baza baza;
    baza.KroX(77);
    QVERIFY(!baza.Wczytaj(target));
    QVERIFY(!baza.Loaded());
    QCOMPARE(baza.KroX(), qint16(77));
}

void tst_Baza::failingSecondLoadKeepsFirstLayout()
{
    const QByteArray first = randomBytes(4000, 21);
    QVERIFY(writeFile(path("first.unzlib"), first));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("first.unzlib")));
    QVERIFY(QDir(m_dir.path()).mkpath("second"));
    QVERIFY(!baza.Wczytaj(path("second")));
    QVERIFY(!baza.Wczytaj(path("gone.unzlib")));
    QVERIFY(baza.Loaded());
    for (const layout::FieldInfo& field : layout::kFields)
        QCOMPARE(baza.value(field.index), read16(first, field.offset));

    QVERIFY(writeFile(path("out.unzlib"), QByteArray(3322, '\0')));
    QVERIFY(baza.Zapisz(path("out.unzlib")));
    const QByteArray saved = readFile(path("out.unzlib"));
    for (const layout::FieldInfo& field : layout::kFields)
        QCOMPARE(read16(saved, field.offset), read16(first, field.offset));
}

void tst_Baza::saveBeforeLoadTouchesNothing()
{
    Baza baza;
    baza.PozycjaX(5);
    QVERIFY(!baza.Zapisz(path("never.unzlib")));
    QVERIFY(!QFile::exists(path("never.unzlib")));
    QVERIFY(writeFile(path("kept.unzlib"), QByteArray(4000, '\x5A')));
    QVERIFY(!baza.Zapisz(path("kept.unzlib")));
    QVERIFY(readFile(path("kept.unzlib")) == QByteArray(4000, '\x5A'));
}

void tst_Baza::saveFallsBackToPath()
{
    QVERIFY(writeFile(path("in.unzlib"), randomBytes(4000, 1)));
    QVERIFY(writeFile(path("fallback.unzlib"), QByteArray(4000, '\0')));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("in.unzlib")));
    baza.Path(path("fallback.unzlib"));
    QCOMPARE(baza.Path(), path("fallback.unzlib"));
    baza.KroY(-300);
    QVERIFY(baza.Zapisz(QString()));
    QCOMPARE(read16(readFile(path("fallback.unzlib")), 3280), qint16(-300));
}

void tst_Baza::saveWithoutAnyNameThrows()
{
    QVERIFY(writeFile(path("in.unzlib"), randomBytes(4000, 1)));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("in.unzlib")));
    QVERIFY_THROWS_EXCEPTION(LayoutWriteError, baza.Zapisz(QString()));
}

void tst_Baza::saveIntoFolderThrowsWithFileAndReason()
{
    QVERIFY(writeFile(path("in.unzlib"), randomBytes(4000, 1)));
    QVERIFY(QDir(m_dir.path()).mkpath("dir.unzlib"));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("in.unzlib")));
    try {
        baza.Zapisz(path("dir.unzlib"));
        QFAIL("a save into a folder must fail");
    } catch (const LayoutWriteError& error) {
        QCOMPARE(error.file(), QDir::toNativeSeparators(path("dir.unzlib")));
        QVERIFY(!error.reason().isEmpty());
    }
}

void tst_Baza::saveCreatesMissingFile()
{
    QVERIFY(writeFile(path("in.unzlib"), randomBytes(4000, 9)));
    Baza baza;
    QVERIFY(baza.Wczytaj(path("in.unzlib")));
    QVERIFY(baza.Zapisz(path("new.unzlib")));
    const QByteArray created = readFile(path("new.unzlib"));
    QCOMPARE(created.size(), 3322);
    QCOMPARE(read16(created, 3320), baza.Time1ValueY());
    QCOMPARE(created.at(0), '\0');
}

void tst_Baza::loadReadsExactly88Bytes()
{
    QByteArray data = randomBytes(4096, 13);
    RecordingDevice device(&data);
    QVERIFY(device.open(QIODevice::ReadOnly));
    Baza baza;
    QVERIFY(baza.Wczytaj(device));
    QCOMPARE(device.bytesRead, qint64(88));
    QCOMPARE(device.reads.size(), std::size_t(16));
    QCOMPARE(device.reads.front(), std::make_pair(qint64(2096), qint64(4)));
    QCOMPARE(device.reads.at(8), std::make_pair(qint64(2328), qint64(16)));
    QCOMPARE(device.reads.back(), std::make_pair(qint64(3278), qint64(4)));
}

void tst_Baza::saveWritesExactly96Bytes()
{
    QByteArray data = randomBytes(4096, 13);
    const QByteArray before = data;
    Baza baza;
    {
        QBuffer source(&data);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QVERIFY(baza.Wczytaj(source));
    }
    RecordingDevice device(&data);
    QVERIFY(device.open(QIODevice::ReadWrite));
    QVERIFY(baza.Zapisz(device, "buffer"));
    QCOMPARE(device.bytesWritten, qint64(96));
    QCOMPARE(device.writes.size(), std::size_t(18));
    QCOMPARE(device.writes.at(9), std::make_pair(qint64(3044), qint64(4)));
    QCOMPARE(device.writes.at(10), std::make_pair(qint64(3108), qint64(4)));
    QCOMPARE(device.writes.at(11), std::make_pair(qint64(3172), qint64(4)));
    QCOMPARE(device.writes.at(12), std::make_pair(qint64(2264), qint64(16)));
    QCOMPARE(data.size(), before.size());
}

void tst_Baza::deviceFailures_data()
{
    QTest::addColumn<bool>("reading");
    QTest::addColumn<qint64>("failAfter");
    for (qint64 after : {0, 4, 40, 84}) {
        QTest::addRow("read fails after %lld bytes", after) << true << after;
        QTest::addRow("write fails after %lld bytes", after) << false << after;
    }
}

void tst_Baza::deviceFailures()
{
    QFETCH(bool, reading);
    QFETCH(qint64, failAfter);
    QByteArray data = randomBytes(4096, 17);
    Baza baza;
    if (reading) {
        baza.PozycjaX(99);
        RecordingDevice device(&data, failAfter);
        QVERIFY(device.open(QIODevice::ReadOnly));
        QVERIFY(!baza.Wczytaj(device));
        QVERIFY(!baza.Loaded());
        QCOMPARE(baza.PozycjaX(), qint16(99));
        return;
    }
    QBuffer source(&data);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QVERIFY(baza.Wczytaj(source));
    source.close();
    RecordingDevice device(&data, failAfter);
    QVERIFY(device.open(QIODevice::ReadWrite));
    try {
        baza.Zapisz(device, "game.unzlib");
        QFAIL("the failing write must reach the caller");
    } catch (const LayoutWriteError& error) {
        QCOMPARE(error.file(), QStringLiteral("game.unzlib"));
        QCOMPARE(error.reason(), QStringLiteral("injected write failure"));
    }
}

void tst_Baza::zmienDaneOnlyAfterLoad()
{
    const LayoutValues values{.PozycjaX = 1, .PointA = 3200, .TimeShapY = -7, .KroY = 44};
    Baza baza;
    QVERIFY(!baza.Zmien_Dane(values));
    QCOMPARE(baza.PozycjaX(), qint16(0));

    QVERIFY(writeFile(path("z.unzlib"), randomBytes(4000, 2)));
    QVERIFY(baza.Wczytaj(path("z.unzlib")));
    QVERIFY(!baza.Zmien_Dane(values));
    QCOMPARE(baza.PozycjaX(), qint16(1));
    QCOMPARE(baza.PointA(), qint16(3200));
    QCOMPARE(baza.TimeShapY(), qint16(-7));
    QCOMPARE(baza.KroY(), qint16(44));
    QCOMPARE(baza.PozycjaY(), qint16(0));
}

QTEST_GUILESS_MAIN(tst_Baza)
#include "tst_baza.moc"
