#include "thumbnail.h"

#include "filekind.h"
#include "gamedata.h"
#include "layoutdrawing.h"
#include "preset.h"

#include <QDir>
#include <QPainter>

#include <algorithm>

namespace thumbnail
{

QSize pictureSize(const layout::Record& record, int size)
{
    // The scoreboard takes two thirds of the width, as on the map; its
    // content decides the height.
    const maphandles::Points points = maphandles::positions(record);
    const QRectF board = contentBounds(points, maphandles::View::Scoreboard);
    const double width = std::max(board.width(), 1.0) * 3 / 2, height = std::max(board.height(), 1.0);
    const double aspect = std::clamp(width / height, 1.0, 2.0);
    return {size, std::max(1, int(size / aspect + 0.5))};
}

QImage draw(const layout::Record& record, int size)
{
    QImage picture(pictureSize(record, size), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    mapdrawing::drawLayout(painter, record, QRectF(picture.rect()), size >= kLabelledSize);
    return picture;
}

std::optional<layout::Record> layoutIn(const QString& path, QString* problem)
{
    switch (gamefile::kindOf(path)) {
    case gamefile::FileKind::GameFile: {
        gamefile::GameData data;
        if (const gamefile::StepResult read = gamefile::readGameFile(path, &data); !read.ok()) {
            *problem =
                QStringLiteral("%1: %2: %3").arg(QDir::toNativeSeparators(path), read.step(), read.reason());
            return std::nullopt;
        }
        return gamefile::layoutOf(data);
    }
    case gamefile::FileKind::Preset:
        return gamefile::readPreset(path, problem);
    case gamefile::FileKind::Other:
        break;
    }
    *problem = QStringLiteral("%1: neither a game file nor a preset").arg(QDir::toNativeSeparators(path));
    return std::nullopt;
}

} // namespace thumbnail
