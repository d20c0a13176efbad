#include "editorpanel.h"
#include "paintcachestyle.h"
#include "panelframe.h"
#include "ucupdownbox.h"

#include <QtTest>
#include <QtWidgets>

#include <stdexcept>

// The box's container: a shown window with another text field; it counts typed characters reaching it.
struct Host : QWidget {
    QLineEdit* other = new QLineEdit(this);
    ucUpDownBox* box = new ucUpDownBox(this);
    QLineEdit* txt = box->findChild<QLineEdit*>("txtValue");
    QScrollBar* bar = box->findChild<QScrollBar*>("ucBar");
    int keys = 0;
    Host()
    {
        box->setGeometry(10, 40, 200, 0);
        show();
    }
    void keyPressEvent(QKeyEvent* event) override { keys += !event->text().isEmpty(); }
};

class tst_controls : public QObject
{
    Q_OBJECT

    static QLineEdit* field(const QWidget* box) { return box->findChild<QLineEdit*>("txtValue"); }

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // The box's rules as scripts of user actions; upper-case verbs set the box's properties. Each check
    // =VALUE/TEXT/CHANGES[/KEYS][*] counts Changes and characters reaching the container since the last
    // one; * says that the whole text is selected.
    void rules_data()
    {
        QTest::addColumn<QString>("script");
        const QString table = QString::fromUtf8(R"(
digits    | Min:10 key:Ctrl+A type:42 =42/42/1 key:Backspace key:Backspace =0//0 type:50 =50/50/1
lone -    | Min:-10 settext:30 =30/30/1 key:Ctrl+A type:- =0/-/0 type:5 =-5/-5/1
- placed  | Min:-100 settext:12 type:- =0/12-/1 key:Backspace key:Home type:- =-12/-12/2
- below   | settext:30 key:Ctrl+A type:-5 =0/-5/1 Min:-100 Max:-10 type:0 =-50/-50/1
range     | settext:40 key:Ctrl+A paste:250 =40/250/1 key:Ctrl+A type:250 =25/250/2
rounding  | key:Ctrl+A paste:99.5 =100/99.5/1 key:Ctrl+A paste:100.5 =100/100.5/0 paste:,5 =0/100.5,5/0
to even   | key:Ctrl+A paste:2.5 =2/2.5/1 key:Ctrl+A paste:3.5 =4/3.5/1 key:Ctrl+A paste:-0.4 =4/-0.4/0
same num  | settext:8 =8/8/1 settext:8.0 =8/8.0/0 Value:8 =8/8/0 settext:1e2 =100/1e2/1
Min > Max | Min:10 Max:5 key:Ctrl+A paste:7 =0/7/0 Value:7 =0/5/0 key:Up =1/1/1*
comma     | locale:de_DE key:Ctrl+A paste:99,5 =100/99,5/1 key:Ctrl+A paste:100,5 =100/100,5/0
comma 2   | locale:de_DE paste:2,5 =2/02,5/1 key:Ctrl+A paste:2.5 =0/2.5/0 settext:9 type:, =9/9/1
Up, Down  | key:Up key:Shift+Up key:Up =3/3/3* key:Down =2/2/1* key:Ctrl+Down =1/1/1*
at limits | Max:10 settext:10 key:Up =10/10/2* Value:0 key:Down =0/0/2* Min:-5 Value:-5 key:Down =-5/-5/2*
refused   | settext:100 key:Ctrl+A paste:100.5 key:Up =100/100/2* paste:x key:Up =1/1/1*
arrows    | settext:7 trigger:top =8/8/2* trigger:bottom trigger:bottom =6/6/2* Value:0 trigger:bottom =0/0/2*
clicks    | Max:2 click:top click:top click:top =2/2/3* click:bottom =1/1/1* click:bottom click:bottom =0/0/2*
kept out  | settext:1 type:aZ.e,+ key:Space key:Num++ key:Return key:Esc =1/1/1/2 type:3 =13/13/1
keypad -  | Min:-100 settext:12 key:Home key:Num+- =-12/-12/2 key:Ctrl+A type:9 =9/9/1
0 to 9    | Max:2000000000 settext: type:1234567890 =1234567890/1234567890/10
Value     | Value:42 Value:42 =42/42/1 Value:150 Value:150 =100/100/1 Value:-5 Value:-5 =0/0/1
Value txt | settext:40 settext:250 =40/250/1 Value:40 =40/40/0 Min:60 Max:55 =40/40/0 Value:50 =40/55/0
restored  | restore:Value=30 =30/30/1 restore:Value=150 =30/150/0 restore:Value=5,Max=20,Min=10 =30/5/0
restore 2 | restore:Value=-300,Min=-500 =-300/-300/1 restore:value=150,max=200 =150/150/1
focus     | settext:1234 focus:click =0/1234/0* focus:tab =0/1234/0* focus:set =0/1234/0*
)");
        for (const QString& line : table.trimmed().split(u'\n'))
            QTest::newRow(qPrintable(line.section(u'|', 0, 0).trimmed())) << line.section(u'|', 1).trimmed();
    }
    void rules()
    {
        QFETCH(QString, script);
        Host h;
        QVERIFY(QTest::qWaitForWindowActive(&h));
        QSignalSpy changes(h.box, &ucUpDownBox::Change);
        for (const QString& action : script.split(u' ')) {
            const QString verb = action.section(u':', 0, 0), arg = action.section(u':', 1);
            const bool top = arg == u"top";
            if (action.startsWith(u'=')) {
                QString seen =
                    QString("=%1/%2/%3").arg(h.box->Value()).arg(h.txt->text()).arg(changes.count());
                seen += h.keys ? QString("/%1").arg(std::exchange(h.keys, 0)) : QString();
                seen += h.txt->hasSelectedText() && h.txt->selectedText() == h.txt->text() ? "*" : "";
                QCOMPARE(seen, action);
                QCOMPARE(h.bar->value(), 0);
                changes.clear();
            } else if (verb == u"type") {
                QTest::keyClicks(h.txt, arg);
            } else if (verb == u"key") {
                QTest::keySequence(h.txt, QKeySequence(arg));
            } else if (verb == u"paste") {
                QGuiApplication::clipboard()->setText(arg);
                QTest::keyClick(h.txt, Qt::Key_V, Qt::ControlModifier);
            } else if (verb == u"settext") {
                h.txt->setText(arg);
            } else if (verb.front().isUpper()) {
                QVERIFY(h.box->setProperty(qPrintable(verb), arg.toInt()));
            } else if (verb == u"restore") {
                SettingsBag bag;
                for (const QString& entry : arg.split(u','))
                    bag.write(entry.section(u'=', 0, 0), entry.section(u'=', 1).toInt(), QVariant());
                h.box->restoreSettings(bag, h.box->Font());
            } else if (verb == u"locale") {
                QLocale::setDefault(QLocale(arg));
            } else if (verb == u"trigger") {
                h.bar->triggerAction(top ? QScrollBar::SliderSingleStepSub : QScrollBar::SliderSingleStepAdd);
            } else if (verb == u"click") {
                QTest::mouseClick(h.bar, Qt::LeftButton, {}, {4, top ? 2 : h.bar->height() - 3});
            } else if (verb == u"focus") {
                h.other->setFocus();
                h.txt->deselect(); // a click between the digits would on its own only place the cursor
                arg == u"click" ? QTest::mouseClick(h.txt, Qt::LeftButton, {}, {9, 9})
                : arg == u"tab" ? QTest::keyClick(h.other, Qt::Key_Tab)
                                : h.txt->setFocus();
                QCoreApplication::sendPostedEvents();
            } else {
                QFAIL(qPrintable(action));
            }
        }
    }

    // Alignment takes 0 to 2 and BorderStyle 0 or 1; other 16-bit values are invalid, wider ones overflow.
    void sixteenBitProperties()
    {
        const Qt::Alignment shown[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
        for (QString row : {"Alignment 2a 3i -1i 32767i -32768i 32768o -32769o 65537o 1a 0a",
                            "BorderStyle 0a 2i -1i 40000o -65536o 1a"}) {
            ucUpDownBox box;
            const auto set = [&](int v) { row[0] == u'A' ? box.setAlignment(v) : box.setBorderStyle(v); };
            int now = 0; // the first case is accepted and not the default
            for (const QString& c : row.split(u' ').mid(1)) {
                const int value = c.chopped(1).toInt();
                if (c.back() == u'o')
                    QVERIFY_THROWS_EXCEPTION(std::overflow_error, set(value));
                else if (c.back() == u'i')
                    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, set(value));
                else
                    set(now = value);
                const Qt::Alignment aligned = field(&box)->alignment() & Qt::AlignHorizontal_Mask;
                QCOMPARE(box.property(qPrintable(row.section(u' ', 0, 0))).toInt(), now);
                QVERIFY(row[0] == u'A' ? aligned == shown[now] : box.frameWidth() == now);
            }
        }
    }

    // Only what differs from the defaults is saved, in saving order; restored into another box, every
    // setting comes back with its effect. Colours are 0x00BBGGRR or, with the top bit, system colours.
    void saveAndRestore()
    {
        QWidget container;
        auto* first = new ucUpDownBox(&container);
        ucUpDownBox second;
        const QFont font(QStringLiteral("Serif"), 17, QFont::Bold);
        const QStringList names{"Alignment", "BackColor", "BorderStyle", "ForeColor", "Enabled",
                                "Font",      "Min",       "Max",         "Value"};
        const QVariantList changed{1, 0x00ABCDEFu, 0, 0x00123456u, false, font, -1000, 1000, 77};
        const QVariantList defaults{0, 0x80000005u, 1, 0x80000008u, true, first->Font(), 0, 100, 0};
        for (qsizetype i = names.size() - 1; i >= 0; --i) // set in the reverse order
            first->setProperty(qPrintable(names[i]), changed[i]);
        QVERIFY(!field(first)->isEnabled() && !first->findChild<QScrollBar*>()->isEnabled());
        field(first)->setText("5000"); // refused: the value stays
        SettingsBag saved = first->saveSettings();
        QCOMPARE(saved.names(), names);
        second.restoreSettings(saved, first->Font());
        for (qsizetype i = 0; i < names.size(); ++i) {
            QCOMPARE(saved.read(names[i], defaults[i]), changed[i]);
            QCOMPARE(second.property(qPrintable(names[i])), changed[i]);
            first->setProperty(qPrintable(names[i]), defaults[i]);
        }
        const QPalette system = QGuiApplication::palette(), text = field(&second)->palette();
        QCOMPARE(second.palette().color(QPalette::Window), QColor(0xEF, 0xCD, 0xAB));
        QCOMPARE(text.color(QPalette::Base), QColor(0xEF, 0xCD, 0xAB));
        QCOMPARE(text.color(QPalette::Active, QPalette::Text), QColor(0x56, 0x34, 0x12));
        QVERIFY(field(&second)->font() == font && !second.isEnabled() && second.frameWidth() == 0);
        QVERIFY(field(&second)->text() == u"77" && second.height() == QFontMetrics(font).height() + 4);
        QCOMPARE(field(first)->palette().color(QPalette::Base), system.color(QPalette::Base));
        QCOMPARE(field(first)->palette().color(QPalette::Text), system.color(QPalette::Text));
        // Enabled is the box's own switch, whatever its container does.
        container.setEnabled(false);
        QVERIFY(!first->isEnabled() && first->Enabled() && first->saveSettings().names().isEmpty());
        // Made with a font of its own: shown in it, and saved as differing from the container's.
        auto* own = new ucUpDownBox(&container, font);
        QVERIFY(own->Font() == font && field(own)->font() == font && own->saveSettings().names() == QStringList{"Font"});
        // The bag: a name in any case finds its entry, which keeps its place; a default is not kept.
        saved.write("max", 5, 100);
        saved.write("ALIGNMENT", 0, 0);
        QCOMPARE(saved.names().join(u' '), "BackColor BorderStyle ForeColor Enabled Font Min Max Value");
        QVERIFY(saved.read("mAX", 100) == 5 && saved.read("alignment", 7) == 7);
    }

    // Height: a text line plus 4 inside the border, following the font. Inner width: two bar widths or more.
    void layout()
    {
        for (int border : {0, 1}) {
            for (int widthOffset : {-1000, -1, 0, 1, 150}) {
                Host h;
                h.box->setBorderStyle(border);
                const int bar = h.box->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, h.box);
                const int width = qMax(0, 2 * bar + 2 * border + widthOffset),
                          inner = qMax(2 * bar, width - 2 * border);
                h.box->resize(width, widthOffset & 1 ? 1 : 300);
                const QFont font(QStringLiteral("Serif"), widthOffset < 0 ? 30 : 7);
                h.box->setFont(font);
                const int line = QFontMetrics(font).height() + 4;
                QCOMPARE(h.txt->font(), font);
                QCOMPARE(h.box->size(), QSize(inner + 2 * border, line + 2 * border));
                QCOMPARE(h.txt->geometry(), QRect(border + 1, border + 1, inner - bar - 1, line));
                QCOMPARE(h.bar->geometry(), QRect(border + inner - bar, border, bar, line));
            }
        }
    }

    // A step bar or a framed text field shown from the shared pictures looks as the style itself draws it.
    // The rows run in turn against one cache: a picture kept for one row and shown for another differs.
    void cachedPictures_data()
    {
        QTest::addColumn<bool>("bar");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("colour"); // the bar's window, the field's base
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("focus");
        for (const bool bar : {true, false}) {
            const QSize size = bar ? QSize(17, 22) : QSize(60, 20);
            const QColor colour = bar ? QColor(240, 240, 240) : QColor(Qt::white);
            const char* name = bar ? "bar" : "field";
            QTest::addRow("%s", name) << bar << true << size << colour << 0 << false;
            QTest::addRow("%s disabled", name) << bar << false << size << colour << 0 << false;
            QTest::addRow("%s taller", name) << bar << true << size + QSize(0, 40) << colour << 0 << false;
            QTest::addRow("%s coloured", name) << bar << true << size << QColor(Qt::yellow) << 0 << false;
        }
        QTest::newRow("bar taller, at the top") << true << true << QSize(17, 62) << QColor(240, 240, 240) << -1 << false;
        QTest::newRow("field with the focus") << false << true << QSize(60, 20) << QColor(Qt::white) << 0 << true;
    }

    void cachedPictures()
    {
        QFETCH(bool, bar);
        QFETCH(bool, enabled);
        QFETCH(QSize, size);
        QFETCH(QColor, colour);
        QFETCH(int, value);
        QFETCH(bool, focus);
        auto picture = [&](QStyle* style) {
            std::unique_ptr<QWidget> widget;
            if (bar) {
                auto* scrollBar = new QScrollBar(Qt::Vertical);
                scrollBar->setRange(-1, 1);
                scrollBar->setPageStep(1);
                scrollBar->setValue(value);
                widget.reset(scrollBar);
            } else {
                widget = std::make_unique<QLineEdit>(QString());
            }
            widget->setStyle(style);
            QPalette palette = widget->palette();
            palette.setColor(bar ? QPalette::Window : QPalette::Base, colour);
            widget->setPalette(palette);
            widget->setEnabled(enabled);
            widget->resize(size);
            if (focus) {
                widget->show();
                widget->activateWindow();
                widget->setFocus();
                if (!QTest::qWaitForWindowActive(widget.get()) || !widget->hasFocus())
                    return QImage();
            }
            return widget->grab().toImage();
        };
        QCOMPARE(picture(PaintCacheStyle::instance()), picture(QApplication::style()));
    }

    // Every text, border and arrow stands out from what lies under it, whether the desktop is light, dark or
    // pale-texted when the panel is made or turns so while it is open.
    void readableOnAnyDesktop_data()
    {
        QTest::addColumn<QPalette>("desktop");
        QTest::addColumn<bool>("later");
        QPalette paleText(Qt::black, Qt::black); // a yellow of lightness just below a half, on black
        paleText.setColor(QPalette::WindowText, QColor(240, 240, 0));
        const QList<std::pair<const char*, QPalette>> desktops{
            {"light desktop", QApplication::palette()}, {"dark desktop", QPalette(QColor(0x31363b), QColor(0x31363b))},
            {"pale text", paleText}};
        for (const bool later : {false, true})
            for (const auto& [name, desktop] : desktops)
                QTest::addRow("%s%s", name, later ? ", later" : "") << desktop << later;
    }
    void readableOnAnyDesktop()
    {
        QFETCH(QPalette, desktop);
        QFETCH(bool, later);
        const auto restore = qScopeGuard([before = QApplication::palette()] { QApplication::setPalette(before); });
        QWidget window; // the panel as the main window holds it, made before the desktop changes or after
        const EditorPanel* panel = later ? new EditorPanel(&window) : nullptr;
        QApplication::setPalette(desktop);
        QCoreApplication::processEvents(); // the change reaches open windows as events
        panel = panel ? panel : new EditorPanel(&window);
        const auto surfaceUnder = [&panel](const QWidget* widget) {
            const auto* frame = qobject_cast<const PanelFrame*>(widget);
            return frame ? frame->background() : panel->palette().color(QPalette::Window);
        };
        const auto apart = [](const QColor& a, const QColor& b) { return qAbs(qGray(a.rgb()) - qGray(b.rgb())) > 64; };
        for (const PanelFrame* frame : panel->findChildren<PanelFrame*>())
            QVERIFY(frame->caption().isEmpty() || apart(frame->captionColor(), surfaceUnder(frame)));
        for (const QLabel* label : panel->findChildren<QLabel*>())
            QVERIFY2(apart(label->palette().color(QPalette::WindowText), surfaceUnder(label->parentWidget())),
                     qPrintable(label->objectName()));
        for (int n = 1; n <= 44; ++n) { // a border on a white frame (the clock's coloured ones are as designed)
            const QPalette box = panel->box(n)->palette(), text = field(panel->box(n))->palette(),
                           bar = panel->box(n)->findChild<QScrollBar*>()->palette();
            const QColor under = surfaceUnder(panel->box(n)->parentWidget());
            QVERIFY2((under != Qt::white || apart(box.color(QPalette::WindowText), under)) &&
                         apart(text.color(QPalette::Text), text.color(QPalette::Base)) &&
                         text.color(QPalette::Active, QPalette::Base) ==
                             panel->txt(n - 1)->palette().color(QPalette::Active, QPalette::Base) &&
                         apart(bar.color(QPalette::WindowText), bar.color(QPalette::Button)),
                     qPrintable(QString::number(n)));
        }
    }

    // Box N relays every Change into text field N-1 and nowhere else; Tab walks the boxes in this order.
    void panel()
    {
        const QList<int> order{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                               16, 21, 22, 23, 17, 24, 18, 25, 19, 26, 20, 29, 30, 35, 36,
                               34, 32, 31, 33, 27, 28, 37, 38, 39, 40, 41, 42, 43, 44, 1};
        EditorPanel panel;
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        field(panel.box(1))->setFocus();
        QList<int> walked;
        QStringList names;
        for (QWidget* focus; walked.size() < order.size() && (focus = QApplication::focusWidget());) {
            walked << focus->parentWidget()->objectName().remove("ucUpDownBox").toInt(); // 0: not a box
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        for (int n = 1; n <= 44; ++n) {
            // Untouched, box N is at 0 without a Change, which would have been relayed; no field is typeable.
            QLineEdit* txt = panel.txt(n - 1);
            QVERIFY(panel.box(n)->Value() == 0 && field(panel.box(n))->text() == u"0");
            // In the panel's font, though made inside frames whose own font is their bold caption's.
            QVERIFY(panel.box(n)->Font() == panel.font() && panel.box(n)->font() == panel.font() &&
                    field(panel.box(n))->font() == panel.font() && panel.box(n)->parentWidget()->font().bold());
            QVERIFY(!(txt->isEnabled() && txt->isVisible()));
            // A screen reader tells the boxes apart, naming each by its frame's caption (where it has one).
            const QString said = QAccessible::queryAccessibleInterface(field(panel.box(n)))->text(QAccessible::Name);
            const QString caption = panel.box(n)->parentWidget()->property("Caption").toString().trimmed();
            QVERIFY2(said.contains(caption) && !said.isEmpty() && !names.contains(said), qPrintable(said));
            names << said;
            QSignalSpy edits(txt, &QLineEdit::textChanged);
            panel.box(n)->setValue(n + 100);
            QTest::keyClick(field(panel.box(n)), Qt::Key_Up);
            QCOMPARE(txt->text(), QString::number(n + 101));
            panel.box(n)->setValue(999999999); // a Change at the limit then writes the same text
            QTest::keyClick(field(panel.box(n)), Qt::Key_Up);
            QCOMPARE(edits.count(), 3);
            for (int k = 0; k < 44; ++k)
                QCOMPARE(panel.txt(k)->text(), k < n ? QString::number(panel.box(k + 1)->Max()) : QString());
        }
        QCOMPARE(QList({panel.box(19)->Max(), panel.box(20)->Max(), panel.box(17)->Max()}),
                 QList({7340256, 7340288, 999999999}));
        QCOMPARE(walked, order);
    }
};

QTEST_MAIN(tst_controls)
#include "tst_controls.moc"
