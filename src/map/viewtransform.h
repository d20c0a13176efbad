#pragma once

#include "maphandles.h"

#include <QRectF>

// How a view's game pixels fall on the screen: screen = game * scale + offset.
struct ViewTransform {
    double scale = 1;
    QPointF offset;

    QPointF toScreen(QPointF game) const { return game * scale + offset; }
    QPointF toGame(QPointF screen) const { return (screen - offset) / scale; }
    QRectF toGame(const QRectF& screen) const
    {
        return {toGame(screen.topLeft()), toGame(screen.bottomRight())};
    }

    // The content in the middle of target, as large as fits keeping its
    // proportions, but no larger than maxScale (a single point has no size).
    static ViewTransform fitting(const QRectF& content, const QRectF& target, double maxScale = 16);
    bool operator==(const ViewTransform&) const = default;
};

// The bounding box of a view's handles, in game pixels: what fitting that
// view fits.
QRectF contentBounds(const maphandles::Points& points, maphandles::View view);

// Where the two views lie in a drawing of both: the scoreboard on the left,
// two thirds of the width, the corners on the right.
std::array<QRectF, 2> splitViews(const QRectF& area, double gap);
