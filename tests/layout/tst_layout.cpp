// The layout record on its own: what a load reads, what a save writes, and
// what each does when its file or device fails. Which byte holds which value
// is stated independently by the Save fixture of tst_frmmain.

#include "baza.h"
#include "testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace testfiles;

namespace {

// Counts what goes through it, and fails once more than failAfter bytes would.
struct CountingBuffer : QBuffer {
    qint64 failAfter, bytes = 0;
    int calls = 0;
    explicit CountingBuffer(QByteArray* data, qint64 failAfter = -1) : QBuffer(data), failAfter(failAfter) {}
    bool count(qint64 n) { return (failAfter < 0 || bytes + n <= failAfter) && (bytes += n, ++calls); }
    qint64 readData(char* to, qint64 size) override { return count(size) ? QBuffer::readData(to, size) : -1; }
    qint64 writeData(const char* from, qint64 size) override
    {
        return count(size) ? QBuffer::writeData(from, size) : -1;
    }
};

} // namespace

class tst_Layout : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // Every 16-bit pattern comes back unchanged, and a load and save with no
    // edit between them changes only the two time-box copies.
    void rawPatternsRoundTrip()
    {
        const QString path = m_dir.filePath("g.unzlib");
        // -1, -32768, 32767
        const QList<QByteArray> patterns{"\xFF\xFF", QByteArray("\x00\x80", 2), "\xFF\x7F"};
        for (const QByteArray& pattern : patterns) {
            QByteArray original = randomBytes(5000, 3);
            for (const layout::FieldInfo& field : layout::kFields)
                original.replace(field.offset, 2, pattern);
            QVERIFY(writeFile(path, original));
            Baza baza;
            QVERIFY(baza.Wczytaj(path) && baza.Loaded() && baza.Zapisz(path));
            const qint16 value = read16(original, 2096);
            QCOMPARE(std::pair(baza.PozycjaX(), baza.KroY()), std::pair(value, value));
            original.replace(3108, 4, original.mid(3044, 4)).replace(3172, 4, original.mid(3044, 4));
            QCOMPARE(readFile(path).toHex(), original.toHex());
        }
    }

    // A load reads exactly 88 bytes in 16 blocks, a save writes 96 in 18,
    // and bytes beyond the end of a short file read as zero.
    void blocksAndShortFiles()
    {
        QByteArray data(3045, '\x11'); // ends on the first byte of the time box
        QBuffer in(&data);
        Baza baza;
        QVERIFY(in.open(QIODevice::ReadOnly) && baza.Wczytaj(in));
        QCOMPARE(std::tuple(baza.PozycjaX(), baza.TimeShapX(), baza.KroY()),
                 std::tuple(qint16(0x1111), qint16(0x0011), qint16(0)));
        data = randomBytes(4096, 13);
        CountingBuffer whole(&data);
        QVERIFY(whole.open(QIODevice::ReadWrite) && baza.Wczytaj(whole));
        QCOMPARE(std::pair(whole.bytes, whole.calls), std::pair(qint64(88), 16));
        whole.bytes = whole.calls = 0;
        QVERIFY(baza.Zapisz(whole, QStringLiteral("buffer")));
        QCOMPARE(std::tuple(whole.bytes, whole.calls, int(data.size())), std::tuple(qint64(96), 18, 4096));
    }

    // A failed load is swallowed and changes nothing, not even a loaded layout:
    // a missing file, an empty path, a folder, a device failing part-way.
    void failedLoadKeepsTheRecord()
    {
        QVERIFY(QDir().mkpath(m_dir.filePath("a folder")));
        for (const QString source : {"missing", "", "a folder", "0", "4", "84"}) {
            for (bool loadedBefore : {false, true}) {
                QByteArray data = randomBytes(4096, 21);
                Baza baza;
                QBuffer first(&data);
                QVERIFY(first.open(QIODevice::ReadOnly) && (!loadedBefore || baza.Wczytaj(first)));
                baza.KroX(77);
                CountingBuffer failing(&data, source.toLongLong());
                QVERIFY(failing.open(QIODevice::ReadOnly));
                const bool device = source.toInt() || source == "0";
                const QString path = source.isEmpty() ? source : m_dir.filePath(source);
                QVERIFY(!(device ? baza.Wczytaj(failing) : baza.Wczytaj(path)));
                const qint16 first16 = loadedBefore ? read16(data, 2096) : qint16(0);
                QCOMPARE(std::tuple(source, baza.Loaded(), baza.KroX(), baza.PozycjaX()),
                         std::tuple(source, loadedBefore, qint16(77), first16));
            }
        }
    }

    // Nothing is written or replaced before a load; an empty name falls back
    // to Path; a missing file is created; a failure reaches the caller.
    void saveTargets()
    {
        Baza baza;
        QVERIFY(!baza.Zapisz(m_dir.filePath("never")) && !QFile::exists(m_dir.filePath("never")));
        QVERIFY(!baza.Zmien_Dane({.PozycjaX = 1}) && baza.PozycjaX() == 0);
        QByteArray data = randomBytes(4096, 9);
        QBuffer in(&data);
        QVERIFY(in.open(QIODevice::ReadOnly) && baza.Wczytaj(in));
        QVERIFY(!baza.Zmien_Dane({.PozycjaX = 1, .PointA = 3200, .KroY = 44}));
        QCOMPARE(std::tuple(baza.PozycjaX(), baza.PointA(), baza.KroY(), baza.KroX()),
                 std::tuple(qint16(1), qint16(3200), qint16(44), qint16(0)));
        QVERIFY_THROWS_EXCEPTION(LayoutWriteError, baza.Zapisz(QString()));
        baza.Path(m_dir.filePath("new"));
        QVERIFY(baza.Zapisz(QString()));
        const QByteArray created = readFile(m_dir.filePath("new"));
        QCOMPARE(std::pair(created.size(), read16(created, 3280)), std::pair(qsizetype(3322), qint16(44)));
        QVERIFY(QDir().mkpath(m_dir.filePath("dir")));
        QVERIFY_THROWS_EXCEPTION(LayoutWriteError, baza.Zapisz(m_dir.filePath("dir")));
        for (qint64 after : {0, 40, 92}) {
            CountingBuffer failing(&data, after);
            QVERIFY(failing.open(QIODevice::ReadWrite));
            QVERIFY_THROWS_EXCEPTION(LayoutWriteError, baza.Zapisz(failing, QStringLiteral("game.unzlib")));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Layout)
#include "tst_layout.moc"
