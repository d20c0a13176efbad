#pragma once

#include "viewtransform.h"

// One of the map's two views: where it lies on the canvas and how it is
// zoomed and scrolled. A fitted view fits its content again whenever its
// place changes, until it is zoomed or scrolled.
struct MapView {
    static constexpr double kMinScale = 1.0 / 512;
    static constexpr double kMaxScale = 64;

    QRectF rect; // on the canvas; its handles are drawn inside
    ViewTransform transform;
    bool fitted = true;

    void fit(const QRectF& content);
    // Zooms keeping the game point under `at` (screen) where it is.
    void zoomAbout(double factor, QPointF at);
    void pan(QPointF by);
    // Scrolls as little as shows the screen point with margin around it.
    void reveal(QPointF at, double margin);
};
