#include "plainwidgets.h"

#include "panelframe.h"

#include <QDataStream>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace plainwidgets {

namespace {

enum class Kind : quint8 { Plain, Framed, Captioned, LineEdit, ScrollBar, Label };

// What the editor's captioned frame shows, drawn the plain way.
class CaptionedArea : public QWidget {
public:
    CaptionedArea(const QString& caption, const QColor& captionColor, const QColor& background, QWidget* parent)
        : QWidget(parent), m_caption(caption), m_captionColor(captionColor), m_background(background)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), m_background);
        painter.setPen(m_captionColor);
        painter.drawText(rect().adjusted(10, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, m_caption);
    }

private:
    QString m_caption;
    QColor m_captionColor;
    QColor m_background;
};

Kind kindOf(const QWidget* widget)
{
    if (qobject_cast<const QLineEdit*>(widget))
        return Kind::LineEdit;
    if (qobject_cast<const QScrollBar*>(widget))
        return Kind::ScrollBar;
    if (qobject_cast<const QLabel*>(widget))
        return Kind::Label;
    if (qobject_cast<const PanelFrame*>(widget))
        return Kind::Captioned;
    if (qobject_cast<const QFrame*>(widget))
        return Kind::Framed;
    return Kind::Plain;
}

// Parents before their children, siblings in the order they were made.
void collect(QWidget* widget, std::vector<QWidget*>& into)
{
    into.push_back(widget);
    for (QObject* child : widget->children())
        if (auto* childWidget = qobject_cast<QWidget*>(child); childWidget && !childWidget->isWindow())
            collect(childWidget, into);
}

void writeWidget(QDataStream& out, const QWidget* widget, qint32 parent)
{
    const Kind kind = kindOf(widget);
    out << parent << static_cast<quint8>(kind) << widget->geometry() << widget->isHidden() << widget->isEnabled()
        << widget->autoFillBackground();
    const bool ownFont = widget->testAttribute(Qt::WA_SetFont);
    out << ownFont;
    if (ownFont)
        out << widget->font();
    // A palette as its colours: streamed whole, with brushes, it takes
    // longer to read than the widgets take to make.
    const bool ownPalette = widget->testAttribute(Qt::WA_SetPalette);
    out << ownPalette;
    if (ownPalette)
        for (int group = 0; group < QPalette::NColorGroups; ++group)
            for (int role = 0; role < QPalette::NColorRoles; ++role)
                out << widget->palette().color(QPalette::ColorGroup(group), QPalette::ColorRole(role));
    QString text;
    QColor captionColor, background;
    qint32 alignment = 0, frameStyle = 0, orientation = 0, minimum = 0, maximum = 0, value = 0;
    bool wordWrap = false, framed = false;
    QSize picture;
    switch (kind) {
    case Kind::LineEdit: {
        const auto* edit = static_cast<const QLineEdit*>(widget);
        text = edit->text();
        alignment = static_cast<qint32>(edit->alignment());
        framed = edit->hasFrame();
        break;
    }
    case Kind::ScrollBar: {
        const auto* bar = static_cast<const QScrollBar*>(widget);
        orientation = bar->orientation();
        minimum = bar->minimum();
        maximum = bar->maximum();
        value = bar->value();
        break;
    }
    case Kind::Label: {
        const auto* label = static_cast<const QLabel*>(widget);
        text = label->text();
        alignment = static_cast<qint32>(label->alignment());
        wordWrap = label->wordWrap();
        frameStyle = label->frameStyle();
        picture = label->pixmap().size();
        break;
    }
    case Kind::Captioned: {
        const auto* frame = static_cast<const PanelFrame*>(widget);
        text = frame->caption();
        captionColor = frame->captionColor();
        background = frame->background();
        break;
    }
    case Kind::Framed:
        frameStyle = static_cast<const QFrame*>(widget)->frameStyle();
        break;
    case Kind::Plain:
        break;
    }
    out << text << captionColor << background << alignment << frameStyle << orientation << minimum << maximum << value
        << wordWrap << framed << picture;
}

QWidget* makeWidget(QDataStream& in, QWidget* window, const std::vector<QWidget*>& made)
{
    qint32 parentIndex = 0;
    quint8 kindCode = 0;
    QRect geometry;
    bool hidden = false, enabled = true, autoFill = false, ownFont = false, ownPalette = false, wordWrap = false,
         framed = false;
    QFont font;
    QPalette palette;
    QString text;
    QColor captionColor, background;
    qint32 alignment = 0, frameStyle = 0, orientation = 0, minimum = 0, maximum = 0, value = 0;
    QSize picture;
    in >> parentIndex >> kindCode >> geometry >> hidden >> enabled >> autoFill >> ownFont;
    if (ownFont)
        in >> font;
    in >> ownPalette;
    for (int group = 0; ownPalette && group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            QColor colour;
            in >> colour;
            palette.setColor(QPalette::ColorGroup(group), QPalette::ColorRole(role), colour);
        }
    in >> text >> captionColor >> background >> alignment >> frameStyle >> orientation >> minimum >> maximum >>
        value >> wordWrap >> framed >> picture;
    if (in.status() != QDataStream::Ok || parentIndex < -1 || parentIndex >= static_cast<qint32>(made.size()))
        return nullptr;
    QWidget* parent = parentIndex < 0 ? window : made[static_cast<std::size_t>(parentIndex)];

    QWidget* widget = nullptr;
    switch (static_cast<Kind>(kindCode)) {
    case Kind::LineEdit: {
        auto* edit = new QLineEdit(text, parent);
        edit->setAlignment(Qt::Alignment(alignment));
        edit->setFrame(framed);
        widget = edit;
        break;
    }
    case Kind::ScrollBar: {
        auto* bar = new QScrollBar(static_cast<Qt::Orientation>(orientation), parent);
        bar->setRange(minimum, maximum);
        bar->setValue(value);
        widget = bar;
        break;
    }
    case Kind::Label: {
        auto* label = new QLabel(parent);
        if (picture.isEmpty()) {
            label->setText(text);
        } else {
            QPixmap pixels(picture);
            pixels.fill(Qt::gray);
            label->setPixmap(pixels);
        }
        label->setAlignment(Qt::Alignment(alignment));
        label->setWordWrap(wordWrap);
        label->setFrameStyle(frameStyle);
        widget = label;
        break;
    }
    case Kind::Captioned:
        widget = new CaptionedArea(text, captionColor, background, parent);
        break;
    case Kind::Framed: {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(frameStyle);
        widget = frame;
        break;
    }
    case Kind::Plain:
        widget = new QWidget(parent);
        break;
    default:
        return nullptr;
    }
    // Set only where it differs from what the widget inherits, as careful
    // code would.
    if (ownFont && font != widget->font())
        widget->setFont(font);
    if (ownPalette && palette != widget->palette())
        widget->setPalette(palette);
    widget->setAutoFillBackground(autoFill);
    widget->setGeometry(geometry);
    widget->setEnabled(enabled);
    if (hidden)
        widget->hide();
    return widget;
}

} // namespace

QByteArray sketch(const QMainWindow& window)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    // The menu bar: a menu's title with its items' texts, or a bare item.
    const QList<QAction*> bar = window.menuBar()->actions();
    out << static_cast<qint32>(bar.size());
    for (const QAction* action : bar) {
        QStringList items;
        if (action->menu())
            for (const QAction* item : action->menu()->actions())
                items << item->text();
        out << action->text() << (action->menu() != nullptr) << items;
    }
    std::vector<QWidget*> widgets;
    collect(window.centralWidget(), widgets);
    out << static_cast<qint32>(widgets.size());
    for (const QWidget* widget : widgets) {
        const auto parent = std::find(widgets.begin(), widgets.end(), widget->parentWidget());
        writeWidget(out, widget, parent == widgets.end() ? -1 : static_cast<qint32>(parent - widgets.begin()));
    }
    return bytes;
}

bool build(const QByteArray& sketch, QMainWindow& window)
{
    QDataStream in(sketch);
    qint32 menus = 0;
    in >> menus;
    for (qint32 i = 0; i < menus && in.status() == QDataStream::Ok; ++i) {
        QString title;
        bool isMenu = false;
        QStringList items;
        in >> title >> isMenu >> items;
        if (!isMenu) {
            window.menuBar()->addAction(title);
            continue;
        }
        QMenu* menu = window.menuBar()->addMenu(title);
        for (const QString& item : items)
            item.isEmpty() ? menu->addSeparator() : menu->addAction(item);
    }
    qint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count < 1)
        return false;
    std::vector<QWidget*> made;
    for (qint32 i = 0; i < count; ++i) {
        QWidget* widget = makeWidget(in, &window, made);
        if (!widget)
            return false;
        if (i == 0) {
            window.setCentralWidget(widget);
            widget->setFixedSize(widget->size());
        }
        made.push_back(widget);
    }
    return in.atEnd();
}

} // namespace plainwidgets
