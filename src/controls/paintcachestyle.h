#pragma once

#include <QProxyStyle>

// The application's style, except that the panel's many alike controls - a
// step bar at rest, a framed text field - are drawn once and then shown as
// copies: the style's gradients and rounded outlines are much of what
// showing the panel costs. A bar under the mouse or pressed is drawn as ever.
// Given to the panel's own step bars and text fields only, whose pictures
// depend on nothing but their options.
class PaintCacheStyle : public QProxyStyle {
public:
    // One shared instance; it lives as long as the application.
    static PaintCacheStyle* instance();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

private:
    PaintCacheStyle() = default;
};
