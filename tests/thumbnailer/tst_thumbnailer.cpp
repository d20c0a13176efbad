// The real varnel-thumbnailer on real files: what it draws, how large, and
// what it refuses.

#include "containerbytes.h"
#include "preset.h"
#include "testfiles.h"
#include "thumbnail.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testfiles;

class tst_Thumbnailer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    // Its exit status, and the picture it wrote, if any.
    std::pair<int, QImage> run(const QString& input, int size)
    {
        const QString output = m_dir.filePath("out.png");
        QFile::remove(output);
        const int status =
            QProcess::execute(VARNEL_THUMBNAILER_PATH, {"-s", QString::number(size), input, output});
        return {status, QFile::exists(output) ? QImage(output) : QImage()};
    }
    // How many pixels are nearly black: outlines, and text where labels are drawn.
    static int dark(const QImage& picture)
    {
        int count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                count += qGray(picture.pixel(x, y)) < 60;
        return count;
    }

private slots:
    // The sample's scoreboard is a wide strip: half as high as wide. A preset
    // whose markers stand in a square is higher. Labels come only where they
    // can be read. (What is drawn, colours and all, tst_mapdrawing checks.)
    void pictures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("size");
        QTest::addColumn<QSize>("expected");
        for (int size : {128, 256, 512})
            QTest::addRow("game file, %d", size) << "game.bin" << size << QSize(size, size / 2);
        QTest::newRow("preset, 256") << "square layout.json" << 256 << QSize(256, 171);
    }
    void pictures()
    {
        QFETCH(QString, file);
        QFETCH(int, size);
        QFETCH(QSize, expected);
        const QByteArray sample = readFile(SAMPLE_PATH);
        layout::Record square{}; // every marker at 0, 0 but the left shape, at 50, 50
        square[0] = square[1] = 50;
        QVERIFY(writeFile(m_dir.filePath("game.bin"), sample) &&
                writeFile(m_dir.filePath("square layout.json"), gamefile::presetText(square)));
        const auto [status, picture] = run(m_dir.filePath(file), size);
        QCOMPARE(status, 0);
        QCOMPARE(picture.size(), expected);
        const QImage larger = run(m_dir.filePath(file), 2 * size).second;
        QVERIFY2(larger.width() == 2 * size && qAbs(larger.height() - 2 * expected.height()) <= 1,
                 "the same proportions at any size");
        // Twice the size, twice the outlines; many times more with labels.
        QCOMPARE(dark(larger) > 4 * dark(picture),
                 2 * size >= thumbnail::kLabelledSize && size < thumbnail::kLabelledSize);
    }

    // A damaged or foreign file gets no picture, so that the file manager
    // shows its own icon.
    void refusals()
    {
        QByteArray damaged = readFile(SAMPLE_PATH);
        damaged[40] = char(damaged[40] ^ 0x10);
        QVERIFY(writeFile(m_dir.filePath("damaged.bin"), damaged) &&
                writeFile(m_dir.filePath("notes.json"), "{}"));
        for (const QString input : {"damaged.bin", "notes.json", "missing.bin", "/dev/zero"})
            QCOMPARE(run(m_dir.filePath(input), 128), std::pair(1, QImage()));
        QCOMPARE(
            QProcess::execute(VARNEL_THUMBNAILER_PATH, {"-s", "x", SAMPLE_PATH, m_dir.filePath("o.png")}), 2);
    }
};

QTEST_GUILESS_MAIN(tst_Thumbnailer)
#include "tst_thumbnailer.moc"
