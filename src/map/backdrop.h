#pragma once

#include <QImage>
#include <QPointF>
#include <QString>

class QPainter;
struct ViewTransform;

// A screenshot of the game under the markers, moved and scaled until it lines
// up with them, and faded. What is shown for a game file, with its
// placement, is remembered in the editor's settings.
class Backdrop {
public:
    struct Placement {
        QPointF at;                // where the image's top-left corner lies, in game pixels
        double scalePercent = 100; // game pixels per hundred image pixels
        int opacityPercent = 100;
        bool operator==(const Placement&) const = default;
    };

    // A PNG or a JPEG, by what the file holds; otherwise false and why.
    bool load(const QString& path, QString* why);
    void clear();
    bool isNull() const { return m_image.isNull(); }
    const QString& path() const { return m_path; }
    const Placement& placement() const { return m_placement; }
    void setPlacement(const Placement& placement) { m_placement = placement; }
    // Where the image lies, in game pixels.
    QRectF gameRect() const;

    // Draws what falls inside exposed (screen) only.
    void draw(QPainter& painter, const ViewTransform& transform, const QRectF& exposed) const;

    // Per game file; nothing is kept for an empty name.
    void remember(const QString& gameFile) const;
    // What was remembered for the game file, or nothing.
    void recall(const QString& gameFile);
    // Whether a backdrop is remembered for the game file.
    static bool isRemembered(const QString& gameFile);

private:
    QImage m_image;
    QString m_path;
    Placement m_placement;
};
