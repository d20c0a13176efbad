// The drawing of a layout and the placing of its labels, without a window:
// this program links Qt's GUI library only, as a thumbnailer would.

#include "gamedata.h"
#include "layoutdrawing.h"
#include "mapview.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

using maphandles::View;

class tst_MapDrawing : public QObject {
    Q_OBJECT

    static layout::Record sample()
    {
        gamefile::GameData data;
        return gamefile::readGameFile(SAMPLE_PATH, &data).ok() ? gamefile::layoutOf(data) : layout::Record{};
    }
    // Anywhere in the file's range, the handles within a square of any size
    // from ten units up, so that some crowd and some lie far apart.
    static layout::Record randomLayout(QRandomGenerator& random)
    {
        const double spread = std::pow(10, 1 + random.bounded(3.8));
        const double centre = random.bounded(65535.0) - 32768;
        layout::Record record;
        for (qint16& value : record)
            value = qint16(std::clamp(centre + random.bounded(spread) - spread / 2, -32768.0, 32767.0));
        return record;
    }

private slots:
    // At the fitted zoom and at four times that, no label shown overlaps
    // another or any marker, and every marker in sight has its label.
    void labelsDoNotOverlap_data()
    {
        QTest::addColumn<bool>("random");
        QTest::addColumn<double>("zoom");
        QTest::newRow("sample, fitted") << false << 1.0;
        QTest::newRow("sample, 4x") << false << 4.0;
        QTest::newRow("200 random, fitted") << true << 1.0;
        QTest::newRow("200 random, 4x") << true << 4.0;
    }
    void labelsDoNotOverlap()
    {
        QFETCH(bool, random);
        QFETCH(double, zoom);
        QRandomGenerator generator(23);
        int inSight = 0, shown = 0;
        for (int round = 0; round < (random ? 200 : 1); ++round) {
            const maphandles::Points points =
                maphandles::positions(random ? randomLayout(generator) : sample());
            for (const View view : maphandles::kViews) {
                MapView map;
                map.rect = view == View::Scoreboard ? QRectF(0, 0, 900, 360) : QRectF(920, 0, 440, 360);
                map.fit(contentBounds(points, view));
                map.zoomAbout(zoom, map.rect.center());
                const std::vector<labels::Placed> placed =
                    mapdrawing::placeLabels(points, view, map.transform, map.rect);
                for (std::size_t i = 0; i < placed.size(); ++i) {
                    const int handle = maphandles::firstOf(view) + int(i);
                    inSight += map.rect.contains(map.transform.toScreen(points[std::size_t(handle)]));
                    if (!placed[i].shown)
                        continue;
                    ++shown;
                    QVERIFY(map.rect.contains(placed[i].rect));
                    for (int other = maphandles::firstOf(view); other < maphandles::endOf(view); ++other) {
                        const QRectF marker = labels::markerSquare(
                            map.transform.toScreen(points[std::size_t(other)]), mapdrawing::kMarkerRadius);
                        const labels::Placed& label = placed[std::size_t(other - maphandles::firstOf(view))];
                        QVERIFY2(!placed[i].rect.intersects(marker), qPrintable(maphandles::name(handle)));
                        QVERIFY2(other == handle || !label.shown || !placed[i].rect.intersects(label.rect),
                                 qPrintable(maphandles::name(handle) + " on " + maphandles::name(other)));
                    }
                }
            }
        }
        QCOMPARE(shown, inSight);
    }

    // Where a marker has no free place, its label is left out.
    void noRoomNoLabel()
    {
        const auto shown = [](double width) {
            return labels::place({{{20, 10}, {60, 14}}}, 4, {0, 0, width, 20})[0].shown;
        };
        QCOMPARE(std::pair(shown(100), shown(60)), std::pair(true, false));
    }

    // Drawn without labels, fitted into the picture: every marker and both
    // outlines in the panel's colours (AWAY moved off HOME, which it covers).
    void drawsTheLayoutInItsColours()
    {
        layout::Record record = sample();
        for (int corner = maphandles::kAwayA; corner < maphandles::kAwayA + 4; ++corner)
            record[std::size_t(maphandles::field(corner, maphandles::Axis::Y).index)] += 16 * 50;
        QImage picture(600, 200, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        mapdrawing::drawLayout(painter, record, picture.rect(), false);
        painter.end();
        QSet<QRgb> drawn;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                drawn.insert(picture.pixel(x, y));
        for (int h = 0; h < maphandles::kCount; ++h)
            QVERIFY2(drawn.contains(maphandles::colour(h).rgb()), qPrintable(maphandles::name(h)));
    }
};

QTEST_MAIN(tst_MapDrawing)
#include "tst_mapdrawing.moc"
