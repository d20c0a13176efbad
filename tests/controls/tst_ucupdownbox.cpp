#include "settingsbag.h"
#include "ucupdownbox.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QVBoxLayout>

#include <memory>
#include <stdexcept>

namespace
{

QLineEdit* textField(const ucUpDownBox& box)
{
    return box.findChild<QLineEdit*>(QStringLiteral("txtValue"));
}

QScrollBar* stepBar(const ucUpDownBox& box)
{
    return box.findChild<QScrollBar*>(QStringLiteral("ucBar"));
}

// A shown, active window holding another text field above the box, as a
// container would.
struct Host {
    QWidget window;
    QLineEdit* other = nullptr;
    ucUpDownBox* box = nullptr;
    QLineEdit* txt = nullptr;
    QScrollBar* bar = nullptr;

    Host()
    {
        auto* layout = new QVBoxLayout(&window);
        other = new QLineEdit(&window);
        box = new ucUpDownBox(&window);
        layout->addWidget(other);
        layout->addWidget(box);
        layout->addStretch();
        window.resize(240, 160);
        txt = textField(*box);
        bar = stepBar(*box);
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

// The rectangle of one arrow of a vertical scroll bar, as its style draws it.
QRect arrowRect(QScrollBar* bar, QStyle::SubControl arrow)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar);
}

void clickArrow(QScrollBar* bar, QStyle::SubControl arrow)
{
    const QRect rect = arrowRect(bar, arrow);
    QVERIFY(!rect.isEmpty());
    QVERIFY(rect.height() < bar->height());
    // The top arrow must sit in the upper half, the bottom one in the lower.
    if (arrow == QStyle::SC_ScrollBarSubLine)
        QVERIFY(rect.center().y() < bar->height() / 2);
    else
        QVERIFY(rect.center().y() >= bar->height() / 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, rect.center());
}

// Runs a list of user actions against the box:
//   type:TEXT      typed key by key into txtValue
//   key:SEQUENCE   one key press, e.g. key:Up, key:Shift+Down, key:Backspace
//   paste:TEXT     through the clipboard and Ctrl+V
//   settext:TEXT   txtValue's setText, as another program part would
//   value:N  min:N  max:N   the box's setters
//   trigger:top / trigger:bottom   the bar's single-step action of that arrow
//   click:top / click:bottom       a mouse click on that arrow
void perform(Host& host, const QStringList& actions)
{
    for (const QString& action : actions) {
        const qsizetype colon = action.indexOf(QLatin1Char(':'));
        QVERIFY2(colon > 0, qPrintable(action));
        const QString verb = action.left(colon);
        const QString argument = action.mid(colon + 1);
        if (verb == QLatin1String("type")) {
            QTest::keyClicks(host.txt, argument);
        } else if (verb == QLatin1String("key")) {
            const QKeySequence sequence = QKeySequence::fromString(argument, QKeySequence::PortableText);
            QVERIFY2(sequence.count() == 1, qPrintable(action));
            QTest::keyClick(host.txt, sequence[0].key(), sequence[0].keyboardModifiers());
        } else if (verb == QLatin1String("paste")) {
            QGuiApplication::clipboard()->setText(argument);
            QTest::keyClick(host.txt, Qt::Key_V, Qt::ControlModifier);
        } else if (verb == QLatin1String("settext")) {
            host.txt->setText(argument);
        } else if (verb == QLatin1String("value")) {
            host.box->setValue(argument.toInt());
        } else if (verb == QLatin1String("min")) {
            host.box->setMin(argument.toInt());
        } else if (verb == QLatin1String("max")) {
            host.box->setMax(argument.toInt());
        } else if (action == QLatin1String("trigger:top")) {
            host.bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        } else if (action == QLatin1String("trigger:bottom")) {
            host.bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        } else if (action == QLatin1String("click:top")) {
            clickArrow(host.bar, QStyle::SC_ScrollBarSubLine);
        } else if (action == QLatin1String("click:bottom")) {
            clickArrow(host.bar, QStyle::SC_ScrollBarAddLine);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown action ") + action));
        }
        if (QTest::currentTestFailed())
            return;
    }
}

// Counts key presses that reach a widget after its child passed them on.
class KeyPressCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

SettingsBag bagOf(const QList<std::pair<QString, QVariant>>& entries)
{
    SettingsBag bag;
    for (const auto& [name, value] : entries)
        bag.write(name, value, QVariant());
    return bag;
}

} // namespace

class tst_UcUpDownBox : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void settingsBag();

    void structure();
    void properties();
    void defaults();

    void textRule_data();
    void textRule();
    void textRuleCommaLocale_data();
    void textRuleCommaLocale();
    void stepRule_data();
    void stepRule();
    void keys_data();
    void keys();
    void controlCharactersReachTheContainer();
    void valueSetter_data();
    void valueSetter();

    void focusSelectsAll_data();
    void focusSelectsAll();

    void alignment();
    void borderStyle();
    void colours();
    void enabled();
    void font();

    void restore_data();
    void restore();
    void restoreEverySetting();
    void restoreLowerCaseNames();
    void save_data();
    void save();
    void saveRoundTrip();

    void layout_data();
    void layout();
    void layoutFollowsFont();
    void layoutInContainer();

private:
    static void addActionColumns();
    void runActionRow(bool stepped);
};

void tst_UcUpDownBox::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_UcUpDownBox::settingsBag()
{
    SettingsBag bag;
    QVERIFY(bag.isEmpty());

    bag.write(QStringLiteral("Max"), 50, 100);
    bag.write(QStringLiteral("Min"), 0, 0); // the default: not kept
    bag.write(QStringLiteral("Alignment"), 1, 0);
    QCOMPARE(bag.names(), QStringList({"Max", "Alignment"}));
    QVERIFY(bag.contains(QStringLiteral("max")));
    QVERIFY(bag.contains(QStringLiteral("ALIGNMENT")));
    QVERIFY(!bag.contains(QStringLiteral("Min")));
    QCOMPARE(bag.read(QStringLiteral("mAx"), 100).toInt(), 50);
    QCOMPARE(bag.read(QStringLiteral("min"), 7).toInt(), 7);

    // Rewriting keeps the place; writing the default removes the entry.
    bag.write(QStringLiteral("max"), 60, 100);
    QCOMPARE(bag.names(), QStringList({"Max", "Alignment"}));
    QCOMPARE(bag.read(QStringLiteral("Max"), 100).toInt(), 60);
    bag.write(QStringLiteral("MAX"), 100, 100);
    QCOMPARE(bag.names(), QStringList({"Alignment"}));
    QCOMPARE(bag.read(QStringLiteral("Max"), 100).toInt(), 100);
    QCOMPARE(bag.size(), 1);

    bag.remove(QStringLiteral("alignment"));
    QVERIFY(bag.isEmpty());
}

void tst_UcUpDownBox::structure()
{
    ucUpDownBox box;
    QLineEdit* txt = textField(box);
    QScrollBar* bar = stepBar(box);
    QVERIFY(txt);
    QVERIFY(bar);
    QCOMPARE(txt->parentWidget(), &box);
    QCOMPARE(bar->parentWidget(), &box);
    QCOMPARE(bar->orientation(), Qt::Vertical);
    QCOMPARE(bar->minimum(), -1);
    QCOMPARE(bar->maximum(), 1);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->pageStep(), 1);
}

void tst_UcUpDownBox::properties()
{
    ucUpDownBox box;
    const QMetaObject* meta = box.metaObject();
    const char* names[] = {"Alignment", "BackColor", "BorderStyle", "Enabled", "Font",
                           "ForeColor", "Max",       "Min",         "Value"};
    for (const char* name : names) {
        const int index = meta->indexOfProperty(name);
        QVERIFY2(index >= 0, name);
        QVERIFY2(meta->property(index).isWritable(), name);
    }

    QSignalSpy changes(&box, &ucUpDownBox::Change);
    QVERIFY(box.setProperty("Max", 40));
    QVERIFY(box.setProperty("Value", 70));
    QCOMPARE(box.property("Value").toInt(), 40);
    QCOMPARE(textField(box)->text(), QStringLiteral("40"));
    QCOMPARE(changes.count(), 1);
    QVERIFY(box.setProperty("Min", -3));
    QCOMPARE(box.property("Min").toInt(), -3);
    QCOMPARE(box.property("Max").toInt(), 40);
    QVERIFY(box.setProperty("ForeColor", QVariant::fromValue(quint32(0x00FF0000))));
    QCOMPARE(box.property("ForeColor").value<quint32>(), quint32(0x00FF0000));
}

void tst_UcUpDownBox::defaults()
{
    QWidget container;
    QFont ambient = container.font();
    ambient.setPointSize(17);
    container.setFont(ambient);
    ucUpDownBox box(&container);

    QCOMPARE(box.Min(), 0);
    QCOMPARE(box.Max(), 100);
    QCOMPARE(box.Value(), 0);
    QCOMPARE(textField(box)->text(), QStringLiteral("0"));
    QCOMPARE(box.Alignment(), 0);
    QCOMPARE(box.BackColor(), quint32(0x80000005));
    QCOMPARE(box.ForeColor(), quint32(0x80000008));
    QCOMPARE(box.BorderStyle(), 1);
    QCOMPARE(box.frameWidth(), 1);
    QVERIFY(box.Enabled());
    QCOMPARE(box.Font(), ambient);
    QCOMPARE(textField(box)->font(), ambient);
    // The font went through the setter, so the height already fits it.
    QCOMPARE(box.height(), QFontMetrics(ambient).height() + 4 + 2);
    QVERIFY(box.saveSettings().isEmpty());
}

void tst_UcUpDownBox::addActionColumns()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<QStringList>("setup");   // before counting
    QTest::addColumn<QStringList>("actions"); // counted
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("changes");
}

void tst_UcUpDownBox::runActionRow(bool stepped)
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(QStringList, setup);
    QFETCH(QStringList, actions);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(int, changes);

    Host host;
    QVERIFY(host.show());
    host.box->setMin(min);
    host.box->setMax(max);
    perform(host, setup);
    if (QTest::currentTestFailed())
        return;

    QSignalSpy spy(host.box, &ucUpDownBox::Change);
    perform(host, actions);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(host.box->Value(), value);
    QCOMPARE(host.txt->text(), text);
    QCOMPARE(spy.count(), changes);
    QCOMPARE(host.bar->value(), 0);
    if (stepped) {
        QVERIFY(host.txt->hasSelectedText());
        QCOMPARE(host.txt->selectedText(), text);
    }
}

void tst_UcUpDownBox::textRule_data()
{
    addActionColumns();
    using L = QStringList;
    const L all{"key:Ctrl+A"};

    QTest::newRow("typing digits") << 0 << 100 << all << L{"type:42"} << 42 << "42" << 2;
    QTest::newRow("digits after 0") << 0 << 100 << L{} << L{"type:7"} << 7 << "07" << 1;
    QTest::newRow("lone minus") << -10 << 100 << all << L{"type:-"} << 0 << "-" << 0;
    QTest::newRow("minus then 5") << -10 << 100 << all << L{"type:-5"} << -5 << "-5" << 1;
    QTest::newRow("minus over 30 then 5")
        << -10 << 100 << L{"settext:30", "key:Ctrl+A"} << L{"type:-5"} << -5 << "-5" << 1;
    QTest::newRow("minus typed after digits")
        << -100 << 100 << L{"settext:12"} << L{"type:-"} << 0 << "12-" << 0;
    QTest::newRow("minus typed before digits")
        << -100 << 100 << L{"settext:12"} << L{"key:Home", "type:-"} << -12 << "-12" << 1;
    QTest::newRow("-5 below Min") << 0 << 100 << all << L{"type:-5"} << 0 << "-5" << 0;
    QTest::newRow("negative range") << -100 << -10 << all << L{"type:-50"} << -50 << "-50" << 1;
    QTest::newRow("delete the only digit")
        << 0 << 100 << L{"settext:7"} << L{"key:Backspace"} << 0 << "" << 0;
    QTest::newRow("delete all digits")
        << 0 << 100 << L{"settext:37"} << L{"key:Backspace", "key:Backspace"} << 0 << "" << 1;
    QTest::newRow("delete all digits, Min 10")
        << 10 << 100 << L{"settext:50"} << L{"key:Ctrl+A", "key:Backspace"} << 0 << "" << 0;
    QTest::newRow("back from empty") << 10 << 100 << L{"settext:50", "key:Ctrl+A", "key:Backspace"}
                                     << L{"type:50"} << 50 << "50" << 1;
    QTest::newRow("250 typed with Max 100")
        << 0 << 100 << L{"settext:40", "key:Ctrl+A"} << L{"type:250"} << 25 << "250" << 2;
    QTest::newRow("250 pasted with Max 100")
        << 0 << 100 << L{"settext:40", "key:Ctrl+A"} << L{"paste:250"} << 40 << "250" << 0;
    QTest::newRow("250 then Up") << 0 << 100 << L{"settext:40", "key:Ctrl+A"} << L{"paste:250", "key:Up"}
                                 << 41 << "41" << 1;
    QTest::newRow("250 then Down") << 0 << 100 << L{"settext:40", "key:Ctrl+A"} << L{"paste:250", "key:Down"}
                                   << 39 << "39" << 1;
    QTest::newRow("pasted 99.5") << 0 << 100 << all << L{"paste:99.5"} << 100 << "99.5" << 1;
    QTest::newRow("pasted 100.5") << 0 << 100 << all << L{"paste:100.5"} << 0 << "100.5" << 0;
    QTest::newRow("pasted 2.5") << 0 << 100 << all << L{"paste:2.5"} << 2 << "2.5" << 1;
    QTest::newRow("pasted 3.5") << 0 << 100 << all << L{"paste:3.5"} << 4 << "3.5" << 1;
    QTest::newRow("pasted 0.4 stays 0") << 0 << 100 << all << L{"paste:0.4"} << 0 << "0.4" << 0;
    QTest::newRow("pasted -0.4, Min 0")
        << 0 << 100 << L{"settext:5", "key:Ctrl+A"} << L{"paste:-0.4"} << 5 << "-0.4" << 0;
    QTest::newRow("pasted with blanks") << 0 << 100 << all << L{"paste: 12 "} << 12 << " 12 " << 1;
    QTest::newRow("pasted exponent") << 0 << 100 << all << L{"paste:1e2"} << 100 << "1e2" << 1;
    QTest::newRow("pasted letters") << 0 << 100 << L{"settext:5", "key:Ctrl+A"} << L{"paste:abc"} << 0
                                    << "abc" << 0;
    QTest::newRow("pasted comma number")
        << 0 << 100 << L{"settext:5", "key:Ctrl+A"} << L{"paste:1,5"} << 0 << "1,5" << 0;
    QTest::newRow("setText 99.5") << 0 << 100 << L{} << L{"settext:99.5"} << 100 << "99.5" << 1;
    QTest::newRow("setText same number") << 0 << 100 << L{"settext:8"} << L{"settext:8.0"} << 8 << "8.0" << 0;
    QTest::newRow("-0") << -5 << 5 << all << L{"paste:-0"} << 0 << "-0" << 0;
    QTest::newRow("Min above Max refuses") << 10 << 5 << all << L{"paste:7"} << 0 << "7" << 0;
    QTest::newRow("range limits included")
        << 3 << 9 << all << L{"paste:9", "key:Ctrl+A", "paste:3"} << 3 << "3" << 2;
}

void tst_UcUpDownBox::textRule()
{
    runActionRow(false);
}

void tst_UcUpDownBox::textRuleCommaLocale_data()
{
    addActionColumns();
    using L = QStringList;
    const L all{"key:Ctrl+A"};

    QTest::newRow("pasted 99,5") << 0 << 100 << all << L{"paste:99,5"} << 100 << "99,5" << 1;
    QTest::newRow("pasted 100,5") << 0 << 100 << all << L{"paste:100,5"} << 0 << "100,5" << 0;
    QTest::newRow("pasted 2,5") << 0 << 100 << all << L{"paste:2,5"} << 2 << "2,5" << 1;
    QTest::newRow("pasted 2.5") << 0 << 100 << L{"settext:9", "key:Ctrl+A"} << L{"paste:2.5"} << 0 << "2.5"
                                << 0;
    QTest::newRow("comma not typed") << 0 << 100 << L{"settext:9"} << L{"type:,5"} << 95 << "95" << 1;
}

void tst_UcUpDownBox::textRuleCommaLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    runActionRow(false);
}

void tst_UcUpDownBox::stepRule_data()
{
    addActionColumns();
    using L = QStringList;

    QTest::newRow("Up key") << 0 << 100 << L{} << L{"key:Up"} << 1 << "1" << 1;
    QTest::newRow("Down key") << 0 << 100 << L{"settext:5"} << L{"key:Down"} << 4 << "4" << 1;
    QTest::newRow("Up three times") << 0 << 100 << L{} << L{"key:Up", "key:Up", "key:Up"} << 3 << "3" << 3;
    QTest::newRow("Shift+Up") << 0 << 100 << L{} << L{"key:Shift+Up"} << 1 << "1" << 1;
    QTest::newRow("Ctrl+Down") << 0 << 100 << L{"settext:5"} << L{"key:Ctrl+Down"} << 4 << "4" << 1;
    QTest::newRow("Up at Max") << 0 << 100 << L{"settext:100"} << L{"key:Up"} << 100 << "100" << 1;
    QTest::newRow("Down at Min") << 0 << 100 << L{} << L{"key:Down"} << 0 << "0" << 1;
    QTest::newRow("Down at negative Min")
        << -5 << 100 << L{"settext:-5"} << L{"key:Down", "key:Down"} << -5 << "-5" << 2;
    QTest::newRow("Up at Max rewrites text")
        << 0 << 100 << L{"settext:100", "key:Ctrl+A", "paste:100.5"} << L{"key:Up"} << 100 << "100" << 1;
    QTest::newRow("Up after letters")
        << 0 << 100 << L{"settext:5", "key:Ctrl+A", "paste:x"} << L{"key:Up"} << 1 << "1" << 1;
    QTest::newRow("Up from 0 below Min")
        << 10 << 100 << L{"settext:50", "key:Ctrl+A", "key:Backspace"} << L{"key:Up"} << 1 << "1" << 1;
    QTest::newRow("Up with Min above Max") << 10 << 5 << L{} << L{"key:Up"} << 1 << "1" << 1;
    QTest::newRow("top arrow action") << 0 << 100 << L{"settext:7"} << L{"trigger:top"} << 8 << "8" << 1;
    QTest::newRow("bottom arrow action")
        << 0 << 100 << L{"settext:7"} << L{"trigger:bottom"} << 6 << "6" << 1;
    QTest::newRow("top arrow action at Max")
        << 0 << 10 << L{"settext:10"} << L{"trigger:top"} << 10 << "10" << 1;
    QTest::newRow("bottom arrow action at Min") << 0 << 10 << L{} << L{"trigger:bottom"} << 0 << "0" << 1;
    QTest::newRow("top arrow click") << 0 << 100 << L{"settext:7"} << L{"click:top"} << 8 << "8" << 1;
    QTest::newRow("bottom arrow click") << 0 << 100 << L{"settext:7"} << L{"click:bottom"} << 6 << "6" << 1;
    QTest::newRow("top arrow clicks") << 0 << 100 << L{} << L{"click:top", "click:top"} << 2 << "2" << 2;
    QTest::newRow("top arrow click at Max")
        << 0 << 100 << L{"settext:100"} << L{"click:top"} << 100 << "100" << 1;
    QTest::newRow("bottom arrow click at Min") << 0 << 100 << L{} << L{"click:bottom"} << 0 << "0" << 1;
}

void tst_UcUpDownBox::stepRule()
{
    runActionRow(true);
}

void tst_UcUpDownBox::keys_data()
{
    addActionColumns();
    using L = QStringList;
    const L start{"settext:12"};

    QTest::newRow("letter") << 0 << 100 << start << L{"type:a"} << 12 << "12" << 0;
    QTest::newRow("capital") << 0 << 100 << start << L{"type:Z"} << 12 << "12" << 0;
    QTest::newRow("e") << 0 << 1000 << start << L{"type:e3"} << 123 << "123" << 1;
    QTest::newRow("full stop") << 0 << 1000 << start << L{"type:.5"} << 125 << "125" << 1;
    QTest::newRow("comma") << 0 << 100 << start << L{"type:,"} << 12 << "12" << 0;
    QTest::newRow("plus") << 0 << 100 << start << L{"type:+"} << 12 << "12" << 0;
    QTest::newRow("space") << 0 << 100 << start << L{"type: "} << 12 << "12" << 0;
    QTest::newRow("Return") << 0 << 100 << start << L{"key:Return"} << 12 << "12" << 0;
    QTest::newRow("Escape") << 0 << 100 << start << L{"key:Esc"} << 12 << "12" << 0;
    QTest::newRow("digit") << 0 << 1000 << start << L{"type:3"} << 123 << "123" << 1;
    QTest::newRow("all digits") << -2000000000 << 2000000000 << L{"settext:"} << L{"type:1234567890"}
                                << 1234567890 << "1234567890" << 10;
    QTest::newRow("minus") << -100 << 100 << start << L{"type:-"} << 0 << "12-" << 0;
    QTest::newRow("minus at start") << -100 << 100 << start << L{"key:Home", "type:-"} << -12 << "-12" << 1;
    QTest::newRow("Backspace") << 0 << 100 << start << L{"key:Backspace"} << 1 << "1" << 1;
    QTest::newRow("Left then digit") << 0 << 1000 << start << L{"key:Left", "type:5"} << 152 << "152" << 1;
    QTest::newRow("Home then Delete") << 0 << 100 << start << L{"key:Home", "key:Del"} << 2 << "2" << 1;
    QTest::newRow("End then Backspace")
        << 0 << 100 << start << L{"key:Home", "key:End", "key:Backspace"} << 1 << "1" << 1;
    QTest::newRow("select all, digit") << 0 << 100 << start << L{"key:Ctrl+A", "type:9"} << 9 << "9" << 1;
    QTest::newRow("keypad minus") << -100 << 100 << start << L{"key:Home", "key:Num+-"} << -12 << "-12" << 1;
    QTest::newRow("keypad plus") << 0 << 100 << start << L{"key:Num++"} << 12 << "12" << 0;
}

void tst_UcUpDownBox::keys()
{
    runActionRow(false);
}

// A control character is kept from the field but still reaches the
// container, e.g. for a dialog's default button; a discarded letter does not.
void tst_UcUpDownBox::controlCharactersReachTheContainer()
{
    Host host;
    QVERIFY(host.show());
    KeyPressCounter counter;
    host.box->installEventFilter(&counter);
    QSignalSpy returnPressed(host.txt, &QLineEdit::returnPressed);

    QTest::keyClick(host.txt, Qt::Key_Return);
    QCOMPARE(counter.count, 1);
    QCOMPARE(returnPressed.count(), 0);

    QTest::keyClick(host.txt, Qt::Key_A);
    QTest::keyClick(host.txt, Qt::Key_Up);
    QTest::keyClick(host.txt, Qt::Key_5);
    QCOMPARE(counter.count, 1);
    // The step selected the whole text, so the digit replaced it.
    QCOMPARE(host.txt->text(), QStringLiteral("5"));
}

void tst_UcUpDownBox::valueSetter_data()
{
    addActionColumns();
    using L = QStringList;

    QTest::newRow("42") << 0 << 100 << L{} << L{"value:42"} << 42 << "42" << 1;
    QTest::newRow("150 brought to Max") << 0 << 100 << L{} << L{"value:150"} << 100 << "100" << 1;
    QTest::newRow("150 when already 100")
        << 0 << 100 << L{"settext:100"} << L{"value:150"} << 100 << "100" << 0;
    QTest::newRow("the shown value again") << 0 << 100 << L{"value:42"} << L{"value:42"} << 42 << "42" << 0;
    QTest::newRow("twice") << 0 << 100 << L{} << L{"value:42", "value:42"} << 42 << "42" << 1;
    QTest::newRow("-5 brought to Min") << 0 << 100 << L{"value:20"} << L{"value:-5"} << 0 << "0" << 1;
    QTest::newRow("-5 when already 0") << 0 << 100 << L{} << L{"value:-5"} << 0 << "0" << 0;
    QTest::newRow("Min 10 Max 5 Value 7") << 10 << 5 << L{} << L{"value:7"} << 0 << "5" << 0;
    QTest::newRow("rewrites a refused text")
        << 0 << 100 << L{"settext:40", "key:Ctrl+A", "paste:250"} << L{"value:40"} << 40 << "40" << 0;
    QTest::newRow("rewrites letters") << 0 << 100 << L{"settext:abc"} << L{"value:0"} << 0 << "0" << 0;
    QTest::newRow("same number other text") << 0 << 100 << L{"settext:8.0"} << L{"value:8"} << 8 << "8" << 0;
    QTest::newRow("Min and Max only stored")
        << 0 << 100 << L{"settext:50"} << L{"min:60", "max:55"} << 50 << "50" << 0;
    QTest::newRow("after narrowing the range")
        << 0 << 100 << L{"settext:50"} << L{"max:30", "value:50"} << 30 << "30" << 1;
}

void tst_UcUpDownBox::valueSetter()
{
    runActionRow(false);
}

void tst_UcUpDownBox::focusSelectsAll_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("mouse click") << "mouse";
    QTest::newRow("setFocus") << "other";
    QTest::newRow("Tab") << "tab";
}

void tst_UcUpDownBox::focusSelectsAll()
{
    QFETCH(QString, how);

    Host host;
    QVERIFY(host.show());
    host.txt->setText(QStringLiteral("1234"));
    host.txt->deselect();
    host.other->setFocus(Qt::OtherFocusReason);
    QVERIFY(host.other->hasFocus());
    QVERIFY(!host.txt->hasSelectedText());

    if (how == QLatin1String("mouse")) {
        // A click between the digits, which on its own would just place the cursor.
        const int x = host.txt->fontMetrics().horizontalAdvance(QStringLiteral("12")) + 2;
        QTest::mouseClick(host.txt, Qt::LeftButton, {}, QPoint(x, host.txt->height() / 2));
    } else if (how == QLatin1String("other")) {
        host.txt->setFocus(Qt::OtherFocusReason);
    } else {
        QTest::keyClick(host.other, Qt::Key_Tab);
    }
    QVERIFY(host.txt->hasFocus());
    QCoreApplication::sendPostedEvents();

    QCOMPARE(host.txt->selectedText(), QStringLiteral("1234"));
}

void tst_UcUpDownBox::alignment()
{
    ucUpDownBox box;
    QLineEdit* txt = textField(box);
    QCOMPARE(txt->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    box.setAlignment(1);
    QCOMPARE(box.Alignment(), 1);
    QCOMPARE(txt->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    box.setAlignment(2);
    QCOMPARE(txt->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    box.setAlignment(0);
    QCOMPARE(txt->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

    box.setAlignment(2);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, box.setAlignment(3));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, box.setAlignment(-1));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, box.setAlignment(32767));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, box.setAlignment(32768));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, box.setAlignment(-32769));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, box.setAlignment(65536 + 1));
    QCOMPARE(box.Alignment(), 2);
    QCOMPARE(txt->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void tst_UcUpDownBox::borderStyle()
{
    ucUpDownBox box;
    const int line = QFontMetrics(box.Font()).height() + 4;
    QCOMPARE(box.frameWidth(), 1);
    QCOMPARE(box.contentsRect().height(), line);

    box.setBorderStyle(0);
    QCOMPARE(box.BorderStyle(), 0);
    QCOMPARE(box.frameWidth(), 0);
    QCOMPARE(box.height(), line);

    box.setBorderStyle(1);
    QCOMPARE(box.frameWidth(), 1);
    QCOMPARE(box.height(), line + 2);

    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, box.setBorderStyle(2));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, box.setBorderStyle(-1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, box.setBorderStyle(40000));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, box.setBorderStyle(65536));
    QCOMPARE(box.BorderStyle(), 1);
    QCOMPARE(box.frameWidth(), 1);
}

void tst_UcUpDownBox::colours()
{
    ucUpDownBox box;
    QLineEdit* txt = textField(box);
    const QPalette system = QGuiApplication::palette();

    QCOMPARE(box.palette().color(QPalette::Window), system.color(QPalette::Base));
    QCOMPARE(txt->palette().color(QPalette::Base), system.color(QPalette::Base));
    QCOMPARE(txt->palette().color(QPalette::Text), system.color(QPalette::Text));
    QVERIFY(box.autoFillBackground());

    box.setBackColor(0x00123456); // Windows order: red in the low byte
    QCOMPARE(box.BackColor(), quint32(0x00123456));
    QCOMPARE(box.palette().color(QPalette::Window), QColor(0x56, 0x34, 0x12));
    QCOMPARE(txt->palette().color(QPalette::Base), QColor(0x56, 0x34, 0x12));

    box.setForeColor(0x000000FF);
    QCOMPARE(box.ForeColor(), quint32(0x000000FF));
    QCOMPARE(txt->palette().color(QPalette::Text), QColor(Qt::red));

    box.setBackColor(0x80000008); // window text as background
    QCOMPARE(txt->palette().color(QPalette::Base), system.color(QPalette::Text));
    box.setForeColor(0x80000005);
    QCOMPARE(txt->palette().color(QPalette::Text), system.color(QPalette::Base));

    QCOMPARE(ucUpDownBox::toColor(0x00FF8000), QColor(0x00, 0x80, 0xFF));
    QCOMPARE(ucUpDownBox::toColor(0x8000000D), system.color(QPalette::Highlight));
}

void tst_UcUpDownBox::enabled()
{
    Host host;
    host.box->setEnabled(false);
    QVERIFY(!host.box->Enabled());
    QVERIFY(!host.box->isEnabled());
    QVERIFY(!host.txt->isEnabled());
    QVERIFY(!host.bar->isEnabled());
    QVERIFY(host.other->isEnabled());

    host.box->setEnabled(true);
    QVERIFY(host.box->Enabled());
    QVERIFY(host.box->isEnabled());
    QVERIFY(host.txt->isEnabled());
    QVERIFY(host.bar->isEnabled());

    QVERIFY(host.box->setProperty("Enabled", false));
    QVERIFY(!host.txt->isEnabled());
    QVERIFY(host.box->setProperty("Enabled", true));

    // A disabled container greys the box out but does not switch it off.
    host.window.setEnabled(false);
    QVERIFY(!host.box->isEnabled());
    QVERIFY(host.box->Enabled());
    QVERIFY(host.box->saveSettings().isEmpty());
    host.window.setEnabled(true);

    // Switched off through the plain QWidget call, it is saved as off.
    static_cast<QWidget*>(host.box)->setEnabled(false);
    QVERIFY(!host.box->Enabled());
    QCOMPARE(host.box->saveSettings().names(), QStringList({"Enabled"}));
}

void tst_UcUpDownBox::font()
{
    ucUpDownBox box;
    QFont large = box.Font();
    large.setPixelSize(31);
    box.setFont(large);
    QCOMPARE(box.Font(), large);
    QCOMPARE(textField(box)->font(), large);
    QCOMPARE(box.font(), large);
    QCOMPARE(box.contentsRect().height(), QFontMetrics(large).height() + 4);
    QCOMPARE(textField(box)->height(), QFontMetrics(large).height() + 4);
}

void tst_UcUpDownBox::restore_data()
{
    using Entries = QList<std::pair<QString, QVariant>>;
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("changes");

    QTest::newRow("empty") << Entries{} << 0 << "0" << 0;
    QTest::newRow("value in range") << Entries{{"Value", 30}} << 30 << "30" << 1;
    QTest::newRow("value above Max") << Entries{{"Value", 150}} << 0 << "150" << 0;
    QTest::newRow("value below restored Min")
        << Entries{{"Min", 10}, {"Max", 20}, {"Value", 5}} << 0 << "5" << 0;
    QTest::newRow("value within restored range")
        << Entries{{"Min", -5}, {"Max", 5}, {"Value", -3}} << -3 << "-3" << 1;
    QTest::newRow("value only in restored range")
        << Entries{{"Max", 500}, {"Value", 300}} << 300 << "300" << 1;
    QTest::newRow("Min above Max") << Entries{{"Min", 10}, {"Max", 5}, {"Value", 7}} << 0 << "7" << 0;
    QTest::newRow("lower-case names") << Entries{{"min", 10}, {"max", 20}, {"value", 15}} << 15 << "15" << 1;
    QTest::newRow("upper-case name") << Entries{{"VALUE", 44}} << 44 << "44" << 1;
}

void tst_UcUpDownBox::restore()
{
    using Entries = QList<std::pair<QString, QVariant>>;
    QFETCH(Entries, entries);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(int, changes);

    ucUpDownBox box;
    QSignalSpy spy(&box, &ucUpDownBox::Change);
    box.restoreSettings(bagOf(entries), box.Font());
    QCOMPARE(box.Value(), value);
    QCOMPARE(textField(box)->text(), text);
    QCOMPARE(spy.count(), changes);
}

void tst_UcUpDownBox::restoreEverySetting()
{
    ucUpDownBox box;
    QFont font = box.Font();
    font.setPixelSize(23);
    font.setItalic(true);
    const SettingsBag bag = bagOf({{"BackColor", QVariant::fromValue(quint32(0x00102030))},
                                   {"BorderStyle", 0},
                                   {"Enabled", false},
                                   {"Font", QVariant::fromValue(font)},
                                   {"Alignment", 2},
                                   {"ForeColor", QVariant::fromValue(quint32(0x00FF0000))},
                                   {"Min", -20},
                                   {"Max", 20},
                                   {"Value", -7}});
    QSignalSpy spy(&box, &ucUpDownBox::Change);
    box.restoreSettings(bag, QFont());

    QCOMPARE(box.BackColor(), quint32(0x00102030));
    QCOMPARE(box.palette().color(QPalette::Window), QColor(0x30, 0x20, 0x10));
    QCOMPARE(textField(box)->palette().color(QPalette::Base), QColor(0x30, 0x20, 0x10));
    QCOMPARE(box.BorderStyle(), 0);
    QCOMPARE(box.frameWidth(), 0);
    QVERIFY(!box.Enabled());
    QVERIFY(!box.isEnabled());
    QVERIFY(!textField(box)->isEnabled());
    QCOMPARE(box.Font(), font);
    QCOMPARE(box.font(), font);
    QCOMPARE(textField(box)->font(), font);
    QCOMPARE(box.height(), QFontMetrics(font).height() + 4);
    QCOMPARE(box.Alignment(), 2);
    QCOMPARE(textField(box)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(box.ForeColor(), quint32(0x00FF0000));
    QCOMPARE(textField(box)->palette().color(QPalette::Active, QPalette::Text), QColor(0x00, 0x00, 0xFF));
    QCOMPARE(box.Min(), -20);
    QCOMPARE(box.Max(), 20);
    QCOMPARE(box.Value(), -7);
    QCOMPARE(textField(box)->text(), QStringLiteral("-7"));
    QCOMPARE(spy.count(), 1);
}

// What a container creating many boxes restores into each: every box starts
// at 0 without a Change.
void tst_UcUpDownBox::restoreLowerCaseNames()
{
    QWidget panel;
    QFont ambient = panel.font();
    ambient.setPointSize(15);
    QFont own = ambient;
    own.setBold(true);

    ucUpDownBox box(&panel);
    QSignalSpy spy(&box, &ucUpDownBox::Change);
    box.restoreSettings(bagOf({{"min", -32768}, {"max", 32767}, {"font", QVariant::fromValue(own)}}),
                        ambient);
    QCOMPARE(box.Min(), -32768);
    QCOMPARE(box.Max(), 32767);
    QCOMPARE(box.Font(), own);
    QCOMPARE(textField(box)->font(), own);
    QCOMPARE(box.Value(), 0);
    QCOMPARE(textField(box)->text(), QStringLiteral("0"));
    QCOMPARE(spy.count(), 0);

    // Saved back under the usual names, the font judged against the ambient one.
    QCOMPARE(box.saveSettings().names(), QStringList({"Font", "Min", "Max"}));
    box.setFont(ambient);
    QCOMPARE(box.saveSettings().names(), QStringList({"Min", "Max"}));
}

void tst_UcUpDownBox::save_data()
{
    QTest::addColumn<QStringList>("setters");
    QTest::addColumn<QStringList>("names");

    using L = QStringList;
    QTest::newRow("nothing changed") << L{} << L{};
    QTest::newRow("one") << L{"Max"} << L{"Max"};
    QTest::newRow("some, set in another order")
        << L{"Value", "ForeColor", "Max", "Alignment"} << L{"Alignment", "ForeColor", "Max", "Value"};
    QTest::newRow("all") << L{"Value",     "Max",         "Min",       "Font",     "Enabled",
                              "ForeColor", "BorderStyle", "BackColor", "Alignment"}
                         << L{"Alignment", "BackColor", "BorderStyle", "ForeColor", "Enabled",
                              "Font",      "Min",       "Max",         "Value"};
}

void tst_UcUpDownBox::save()
{
    QFETCH(QStringList, setters);
    QFETCH(QStringList, names);

    ucUpDownBox box;
    const QFont ambient = box.Font();
    for (const QString& setter : setters) {
        if (setter == QLatin1String("Alignment")) {
            box.setAlignment(1);
        } else if (setter == QLatin1String("BackColor")) {
            box.setBackColor(0x00FFFFFF);
        } else if (setter == QLatin1String("BorderStyle")) {
            box.setBorderStyle(0);
        } else if (setter == QLatin1String("ForeColor")) {
            box.setForeColor(0x00000000);
        } else if (setter == QLatin1String("Enabled")) {
            box.setEnabled(false);
        } else if (setter == QLatin1String("Font")) {
            QFont font = ambient;
            font.setUnderline(true);
            box.setFont(font);
        } else if (setter == QLatin1String("Min")) {
            box.setMin(-50);
        } else if (setter == QLatin1String("Max")) {
            box.setMax(50);
        } else if (setter == QLatin1String("Value")) {
            box.setValue(9);
        }
    }
    const SettingsBag bag = box.saveSettings();
    QCOMPARE(bag.names(), names);
    if (names.contains(QLatin1String("Value")))
        QCOMPARE(bag.read(QStringLiteral("Value"), 0).toInt(), 9);
    if (names.contains(QLatin1String("Max")))
        QCOMPARE(bag.read(QStringLiteral("Max"), 100).toInt(), 50);
    if (names.contains(QLatin1String("BackColor")))
        QCOMPARE(bag.read(QStringLiteral("BackColor"), 0).value<quint32>(), quint32(0x00FFFFFF));
    if (names.contains(QLatin1String("Enabled")))
        QCOMPARE(bag.read(QStringLiteral("Enabled"), true).toBool(), false);

    // Back at their defaults, the settings are left out again.
    box.setAlignment(0);
    box.setBackColor(0x80000005);
    box.setBorderStyle(1);
    box.setForeColor(0x80000008);
    box.setEnabled(true);
    box.setFont(ambient);
    box.setMin(0);
    box.setMax(100);
    box.setValue(0);
    QVERIFY(box.saveSettings().isEmpty());
}

void tst_UcUpDownBox::saveRoundTrip()
{
    ucUpDownBox first;
    const QFont ambient = first.Font();
    QFont font = ambient;
    font.setPixelSize(19);
    first.setAlignment(1);
    first.setBackColor(0x00ABCDEF);
    first.setForeColor(0x00123456);
    first.setFont(font);
    first.setMin(-1000);
    first.setMax(1000);
    first.setValue(-321);

    // The saved value is the value, not a text the rule refused.
    textField(first)->setText(QStringLiteral("5000"));
    QCOMPARE(first.Value(), -321);

    ucUpDownBox second;
    second.restoreSettings(first.saveSettings(), ambient);
    QCOMPARE(second.Alignment(), 1);
    QCOMPARE(second.BackColor(), quint32(0x00ABCDEF));
    QCOMPARE(second.ForeColor(), quint32(0x00123456));
    QCOMPARE(second.BorderStyle(), 1);
    QVERIFY(second.Enabled());
    QCOMPARE(second.Font(), font);
    QCOMPARE(second.Min(), -1000);
    QCOMPARE(second.Max(), 1000);
    QCOMPARE(second.Value(), -321);
    QCOMPARE(textField(second)->text(), QStringLiteral("-321"));
    QCOMPARE(second.saveSettings().names(), first.saveSettings().names());
}

void tst_UcUpDownBox::layout_data()
{
    QTest::addColumn<int>("border");
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<bool>("narrow"); // whether the width must snap to two bar widths

    for (int border : {1, 0}) {
        const QByteArray b = QByteArray::number(border);
        QTest::addRow("border %s tall and wide", b.constData()) << border << QSize(200, 300) << false;
        QTest::addRow("border %s flat", b.constData()) << border << QSize(150, 1) << false;
        QTest::addRow("border %s narrow", b.constData()) << border << QSize(1, 40) << true;
        QTest::addRow("border %s zero", b.constData()) << border << QSize(0, 0) << true;
        QTest::addRow("border %s just wide enough", b.constData()) << border << QSize(-1, 20) << false;
    }
}

void tst_UcUpDownBox::layout()
{
    QFETCH(int, border);
    QFETCH(QSize, requested);
    QFETCH(bool, narrow);

    QWidget window;
    auto* box = new ucUpDownBox(&window);
    box->setBorderStyle(border);
    window.resize(400, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const int bar = box->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, box);
    const int frame = box->frameWidth();
    QCOMPARE(frame, border);
    const int line = QFontMetrics(box->Font()).height() + 4;
    if (requested.width() < 0)
        requested.setWidth(2 * bar + 2 * frame);

    box->resize(requested);
    const int innerWidth = narrow ? 2 * bar : requested.width() - 2 * frame;
    QCOMPARE(box->size(), QSize(innerWidth + 2 * frame, line + 2 * frame));
    const QRect contents = box->contentsRect();
    QCOMPARE(contents, QRect(frame, frame, innerWidth, line));

    QLineEdit* txt = textField(*box);
    QScrollBar* ucBar = stepBar(*box);
    QCOMPARE(txt->geometry(), QRect(frame + 1, frame + 1, innerWidth - bar - 1, line));
    QCOMPARE(ucBar->geometry(), QRect(frame + innerWidth - bar, frame, bar, line));
    QCOMPARE(ucBar->x(), frame + txt->width() + 1);
}

void tst_UcUpDownBox::layoutFollowsFont()
{
    QWidget window;
    auto* box = new ucUpDownBox(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    box->resize(180, 10);

    QFont font = box->Font();
    for (int pixels : {8, 40, 13}) {
        font.setPixelSize(pixels);
        box->setFont(font);
        const int line = QFontMetrics(font).height() + 4;
        QCOMPARE(box->height(), line + 2);
        QCOMPARE(box->width(), 180);
        QCOMPARE(textField(*box)->height(), line);
        QCOMPARE(stepBar(*box)->height(), line);
    }
}

// A layout giving the box more height than it needs still gets one line.
void tst_UcUpDownBox::layoutInContainer()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* box = new ucUpDownBox(&window);
    layout->addWidget(box);
    window.resize(300, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const int line = QFontMetrics(box->Font()).height() + 4;
    QCOMPARE(box->height(), line + 2);
    QCOMPARE(box->sizeHint().height(), line + 2);
    QCOMPARE(box->width(), window.contentsRect().width() - layout->contentsMargins().left() -
                               layout->contentsMargins().right());
    QCOMPARE(textField(*box)->width(), box->contentsRect().width() - stepBar(*box)->width() - 1);
}

QTEST_MAIN(tst_UcUpDownBox)
#include "tst_ucupdownbox.moc"
