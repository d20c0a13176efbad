#include "paintcachestyle.h"

#include <QApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QStyleOption>

#include <initializer_list>
#include <vector>

namespace {

// Everything a control's picture depends on: what is drawn, its size and
// state, and every colour of the palette it is drawn with (boxes carry
// palettes of their own that are alike in colour, so the colours count, not
// the palette's identity). Packed as raw numbers, since a key is made at
// every paint. Empty when a brush is not a plain colour.
QString pictureKey(std::initializer_list<int> what, const QStyleOption& option, qreal pixelRatio)
{
    std::vector<quint32> numbers(what.begin(), what.end());
    numbers.insert(numbers.end(), {quint32(option.rect.width()), quint32(option.rect.height()),
                                   quint32(pixelRatio * 100), quint32(option.state), quint32(option.direction)});
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const QBrush& brush = option.palette.brush(QPalette::ColorRole(role));
        if (brush.style() != Qt::SolidPattern && brush.style() != Qt::NoBrush)
            return {};
        numbers.push_back(brush.color().rgba());
    }
    return QString(reinterpret_cast<const QChar*>(numbers.data()), qsizetype(numbers.size() * 2));
}

// Draws through `draw` into a picture the size of the option's rectangle, or
// takes the picture from the cache, and shows it in that rectangle.
template <typename Draw>
void drawCached(std::initializer_list<int> what, const QStyleOption& option, QPainter* painter, Draw draw)
{
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    const QString key = pictureKey(what, option, ratio);
    if (key.isEmpty() || option.rect.isEmpty())
        return draw(painter);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap(option.rect.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter into(&picture);
        into.translate(-option.rect.topLeft());
        draw(&into);
        into.end();
        QPixmapCache::insert(key, picture);
    }
    painter->drawPixmap(option.rect.topLeft(), picture);
}

} // namespace

PaintCacheStyle* PaintCacheStyle::instance()
{
    static QPointer<PaintCacheStyle> style;
    if (!style) {
        style = new PaintCacheStyle;
        style->setParent(qApp);
    }
    return style;
}

void PaintCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != PE_PanelLineEdit || !frame || frame->lineWidth <= 0)
        return QProxyStyle::drawPrimitive(element, option, painter, widget);
    drawCached({int(element), frame->lineWidth}, *option, painter,
               [&](QPainter* into) { QProxyStyle::drawPrimitive(element, option, into, widget); });
}

void PaintCacheStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const
{
    if (control != CC_ScrollBar || option->activeSubControls != SC_None ||
        (option->state & (State_MouseOver | State_Sunken)))
        return QProxyStyle::drawComplexControl(control, option, painter, widget);
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (!slider)
        return QProxyStyle::drawComplexControl(control, option, painter, widget);
    // A bar's picture also depends on its range and position.
    drawCached({int(control), slider->minimum, slider->maximum, slider->sliderPosition, slider->pageStep,
                slider->orientation, slider->upsideDown, int(slider->subControls)},
               *option, painter, [&](QPainter* into) { QProxyStyle::drawComplexControl(control, option, into, widget); });
}
