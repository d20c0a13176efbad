#include "editorpanel.h"
#include "panelframe.h"
#include "ucupdownbox.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// The panel checked against its drawing, written out here once more by hand:
// a slip in the panel's own table shows up as a difference.
class tst_EditorPanel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_panel = std::make_unique<EditorPanel>(); }
    void cleanupTestCase() { m_panel.reset(); }

    void frames_data();
    void frames();
    void boxes_data();
    void boxes();
    void everyBoxStartsAtZeroWithoutChange();
    void tabOrder();
    void relayWritesTheValueIntoItsTextField();
    void sampleClock();
    void renderToPng();

private:
    static int px(int twips) { return qRound(twips / 15.0); }
    std::unique_ptr<EditorPanel> m_panel;
};

void tst_EditorPanel::frames_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("captionColor");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QRect>("twips");
    const QColor text = QApplication::palette().color(QPalette::WindowText);
    const QColor white(255, 255, 255);
    auto row = [&](const char* name, const char* parent, const char* caption, QColor color, QColor back, QRect r) {
        QTest::newRow(name) << parent << caption << color << back << r;
    };
    row("Frame1", "EditorPanel", "XY Left Shape", text, white, {120, 120, 2775, 1335});
    row("Frame2", "EditorPanel", "XY Central Shape", QColor(0, 0, 255), white, {3000, 120, 2775, 1335});
    row("Frame3", "EditorPanel", "XY Team A Shape", QColor(0, 192, 192), white, {120, 1680, 2775, 1335});
    row("Frame4", "EditorPanel", "XY Team B Shape", QColor(128, 64, 64), white, {3000, 1680, 2775, 1335});
    row("Frame5", "EditorPanel", "XY Team A Name ", QColor(0, 255, 0), white, {120, 3120, 2775, 1335});
    row("Frame6", "EditorPanel", "XY Team B Name", QColor(255, 128, 0), white, {3000, 3120, 2775, 1335});
    row("Frame7", "EditorPanel", "Team A Result", QColor(255, 0, 0), white, {120, 4680, 2775, 1335});
    row("Frame8", "EditorPanel", "Team B Result", QColor(0, 128, 0), white, {3000, 4680, 2775, 1335});
    row("Frame14", "EditorPanel", "XY Time Shape", QColor(192, 0, 192), white, {120, 6120, 2895, 1695});
    row("Frame15", "EditorPanel", "Time Value", QColor(128, 64, 64), white, {3000, 6000, 9735, 1815});
    row("Frame9", "EditorPanel", "Vertex Points/Auto Convert Hex Values to Pixel (value/16)", QColor(64, 64, 64),
        white, {5880, 0, 9495, 6015});
    row("Frame17", "Frame9", "HOME", QColor(0, 0, 128), white, {120, 240, 5415, 2655});
    row("Frame18", "Frame17", "Points A", text, white, {120, 240, 2535, 1215});
    row("Frame19", "Frame17", "Points B", text, white, {2760, 240, 2535, 1215});
    row("Frame20", "Frame17", "Points C", text, white, {120, 1440, 2535, 1095});
    row("Frame21", "Frame17", "Points D", text, white, {2760, 1440, 2535, 1095});
    row("Frame16", "Frame9", "AWAY ", QColor(192, 0, 0), white, {120, 2880, 5415, 3015});
    row("Frame10", "Frame16", "Points A", text, white, {120, 240, 2535, 1335});
    row("Frame12", "Frame16", "Points B", text, white, {2760, 240, 2535, 1335});
    row("Frame11", "Frame16", "Points C", text, white, {120, 1560, 2535, 1335});
    row("Frame13", "Frame16", "Points D", text, white, {2760, 1560, 2535, 1335});
    row("Frame22", "Frame15", "", text, QColor(255, 0, 0), {120, 600, 1815, 1095});
    row("Frame23", "Frame15", "", text, QColor(255, 0, 255), {2040, 600, 1815, 1095});
    row("Frame26", "Frame15", "", text, QColor(0, 0, 0), {3960, 600, 1815, 1095});
    row("Frame24", "Frame15", "", text, QColor(0, 255, 0), {5880, 600, 1815, 1095});
    row("Frame25", "Frame15", "", text, QColor(0, 0, 255), {7800, 600, 1815, 1095});
}

void tst_EditorPanel::frames()
{
    QFETCH(QString, parent);
    QFETCH(QString, caption);
    QFETCH(QColor, captionColor);
    QFETCH(QColor, background);
    QFETCH(QRect, twips);
    PanelFrame* frame = m_panel->frame(QTest::currentDataTag());
    QVERIFY(frame);
    QCOMPARE(frame->parentWidget()->objectName(), parent);
    QCOMPARE(frame->caption(), caption);
    if (!caption.isEmpty())
        QCOMPARE(frame->captionColor(), captionColor);
    QCOMPARE(frame->background(), background);
    QCOMPARE(frame->geometry(), QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
    if (!caption.isEmpty()) {
        QVERIFY(frame->font().bold());
        QCOMPARE(frame->font().pointSizeF(), 8.25);
        QCOMPARE(frame->font().family(), QTest::currentDataTag() == QByteArray("Frame15") ? "Arial" : "MS Sans Serif");
    }
}

void tst_EditorPanel::boxes_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("rowLabel");
    const int w = 999999, v = 999999999;
    struct Row {
        int box;
        const char* frame;
        int min, max, left, top;
        const char* state;
        const char* label;
    };
    const Row rows[] = {
        {1, "Frame1", -w, w, 1320, 360, "shown", "X"},     {2, "Frame1", -w, w, 1320, 840, "shown", "Y"},
        {3, "Frame2", -w, w, 1320, 360, "shown", "X"},     {4, "Frame2", -w, w, 1320, 840, "shown", "Y"},
        {5, "Frame3", -w, w, 1320, 360, "shown", "X"},     {6, "Frame3", -w, w, 1320, 840, "shown", "Y"},
        {7, "Frame4", -w, w, 1320, 360, "shown", "X"},     {8, "Frame4", -w, w, 1320, 840, "shown", "Y"},
        {9, "Frame5", -w, w, 1320, 360, "shown", "X"},     {10, "Frame5", -w, w, 1320, 840, "shown", "Y"},
        {11, "Frame6", -w, w, 1320, 360, "shown", "X"},    {12, "Frame6", -w, w, 1320, 840, "shown", "Y"},
        {13, "Frame7", -w, w, 1320, 360, "shown", "X"},    {14, "Frame7", -w, w, 1320, 840, "shown", "Y"},
        {15, "Frame8", -w, w, 1320, 360, "shown", "X"},    {16, "Frame8", -w, w, 1320, 840, "shown", "Y"},
        {17, "Frame10", 0, v, 1080, 360, "shown", ""},     {18, "Frame12", 0, v, 1080, 360, "shown", ""},
        {19, "Frame11", 0, 7340256, 1080, 360, "shown", ""}, {20, "Frame13", 0, 7340288, 1080, 360, "shown", ""},
        {21, "Frame14", -w, w, 1440, 360, "shown", "X"},   {22, "Frame14", -w, w, 1440, 1080, "shown", "Y"},
        {23, "Frame10", 0, v, 1080, 840, "shown", ""},     {24, "Frame12", 0, v, 1080, 840, "shown", ""},
        {25, "Frame11", 0, v, 1080, 840, "shown", ""},     {26, "Frame13", 0, v, 1080, 840, "shown", ""},
        {27, "Frame22", -w, w, 360, 240, "hidden-disabled", "X"}, {28, "Frame22", -w, w, 360, 720, "hidden-disabled", "Y"},
        {29, "Frame18", 0, v, 1080, 240, "shown", ""},     {30, "Frame18", 0, v, 1080, 720, "shown", ""},
        {31, "Frame19", 0, v, 1080, 240, "shown", ""},     {32, "Frame19", 0, v, 1080, 720, "shown", ""},
        {33, "Frame20", 0, v, 1080, 240, "shown", ""},     {34, "Frame20", 0, v, 1080, 720, "shown", ""},
        {35, "Frame21", 0, v, 1080, 240, "shown", ""},     {36, "Frame21", 0, v, 1080, 720, "shown", ""},
        {37, "Frame23", -w, w, 360, 240, "hidden-disabled", "X"}, {38, "Frame23", -w, w, 360, 720, "hidden-disabled", "Y"},
        {39, "Frame24", -w, w, 360, 240, "hidden-disabled", "X"}, {40, "Frame24", -w, w, 360, 720, "hidden-disabled", "Y"},
        {41, "Frame25", -w, w, 360, 240, "hidden-disabled", "X"}, {42, "Frame25", -w, w, 360, 720, "hidden-disabled", "Y"},
        {43, "Frame26", -w, w, 360, 240, "hidden", "X"},   {44, "Frame26", -w, w, 360, 720, "hidden", "Y"},
    };
    for (const Row& r : rows)
        QTest::addRow("box %d", r.box) << r.box << r.frame << r.min << r.max << QPoint(r.left, r.top) << r.state
                                       << r.label;
}

void tst_EditorPanel::boxes()
{
    QFETCH(int, box);
    QFETCH(QString, frame);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(QPoint, place);
    QFETCH(QString, state);
    QFETCH(QString, rowLabel);

    ucUpDownBox* b = m_panel->box(box);
    QCOMPARE(b->objectName(), QStringLiteral("ucUpDownBox%1").arg(box));
    QCOMPARE(b->parentWidget()->objectName(), frame);
    QCOMPARE(b->Min(), min);
    QCOMPARE(b->Max(), max);
    QCOMPARE(b->pos(), QPoint(px(place.x()), px(place.y())));
    QCOMPARE(b->width(), px(box == 7 ? 1355 : 1335));
    QCOMPARE(b->Font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(b->Font().pointSizeF(), 8.25);

    QLineEdit* text = m_panel->txt(box - 1);
    QCOMPARE(text->objectName(), QStringLiteral("txt_%1").arg(box - 1));
    QCOMPARE(text->parentWidget(), b->parentWidget());
    QVERIFY(text->text().isEmpty());
    QCOMPARE(text->alignment(), Qt::AlignCenter);
    const QStringList vertexFrames{"Frame10", "Frame11", "Frame12", "Frame13",
                                   "Frame18", "Frame19", "Frame20", "Frame21"};
    const bool vertex = vertexFrames.contains(frame);
    QCOMPARE(text->geometry(),
             QRect(px(vertex ? 120 : 360), px(place.y()), px(855), px(box <= 16 ? 315 : 285)));
    QCOMPARE(text->isVisibleTo(m_panel.get()), state == "shown");
    QCOMPARE(text->isEnabled(), state == "hidden");

    const auto labels = b->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    QLabel* label = nullptr;
    for (QLabel* candidate : labels)
        if (candidate->y() == px(place.y()))
            label = candidate;
    if (rowLabel.isEmpty()) {
        QVERIFY(!label);
        return;
    }
    QVERIFY(label);
    QCOMPARE(label->text(), rowLabel);
    QCOMPARE(label->geometry(), QRect(px(120), px(place.y()), px(105), px(195)));
    const bool clock = QStringList{"Frame22", "Frame23", "Frame24", "Frame25", "Frame26"}.contains(frame);
    if (clock)
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
}

void tst_EditorPanel::everyBoxStartsAtZeroWithoutChange()
{
    EditorPanel panel;
    for (int n = 1; n <= 44; ++n) {
        QCOMPARE(panel.box(n)->Value(), 0);
        QCOMPARE(panel.box(n)->findChild<QLineEdit*>("txtValue")->text(), QStringLiteral("0"));
        QVERIFY(panel.txt(n - 1)->text().isEmpty());
    }
}

void tst_EditorPanel::tabOrder()
{
    const QList<int> expected{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                              16, 21, 22, 23, 17, 24, 18, 25, 19, 26, 20, 29, 30, 35, 36,
                              34, 32, 31, 33, 27, 28, 37, 38, 39, 40, 41, 42, 43, 44};
    // Walk the focus chain from box 1's text field once around.
    auto input = [this](int n) { return m_panel->box(n)->findChild<QLineEdit*>("txtValue"); };
    QList<int> order;
    QWidget* w = input(1);
    for (int steps = 0; steps < 1000 && (order.isEmpty() || w != input(1)); ++steps) {
        for (int n = 1; n <= 44; ++n)
            if (w == input(n))
                order << n;
        w = w->nextInFocusChain();
    }
    QCOMPARE(order, expected);
}

void tst_EditorPanel::relayWritesTheValueIntoItsTextField()
{
    EditorPanel panel;
    QSignalSpy textChanges(panel.txt(21), &QLineEdit::textChanged);
    panel.box(22)->setValue(-250);
    QCOMPARE(panel.txt(21)->text(), QStringLiteral("-250"));
    QCOMPARE(textChanges.count(), 1);
    // A step at the limit rewrites the same text: no text change follows.
    panel.box(22)->setValue(-999999);
    QLineEdit* boxText = panel.box(22)->findChild<QLineEdit*>("txtValue");
    QTest::keyClick(boxText, Qt::Key_Down);
    QCOMPARE(panel.txt(21)->text(), QStringLiteral("-999999"));
    QCOMPARE(textChanges.count(), 2);
    // Every other text field stays empty.
    for (int k = 0; k < 44; ++k)
        if (k != 21)
            QVERIFY(panel.txt(k)->text().isEmpty());
}

void tst_EditorPanel::sampleClock()
{
    const struct {
        const char* name;
        const char* text;
        QColor color;
        int left;
    } labels[] = {{"Label29", "2", QColor(255, 0, 0), 4440},
                  {"Label30", "2", QColor(255, 0, 255), 4680},
                  {"Label33", ":", QApplication::palette().color(QPalette::WindowText), 4920},
                  {"Label31", "2", QColor(0, 255, 0), 5160},
                  {"Label32", "2", QColor(0, 0, 255), 5400}};
    for (const auto& expected : labels) {
        auto* label = m_panel->findChild<QLabel*>(expected.name);
        QVERIFY2(label, expected.name);
        QCOMPARE(label->parentWidget()->objectName(), QStringLiteral("Frame15"));
        QCOMPARE(label->text(), QString::fromLatin1(expected.text));
        QCOMPARE(label->palette().color(QPalette::WindowText), expected.color);
        QCOMPARE(label->pos(), QPoint(px(expected.left), px(240)));
        QCOMPARE(label->font().pointSizeF(), 12.0);
        QVERIFY(label->font().bold());
    }
}

void tst_EditorPanel::renderToPng()
{
    // A picture to look at; the check is only that something was drawn.
    m_panel->show();
    const QImage image = m_panel->grab().toImage();
    QCOMPARE(image.size(), QSize(px(15510), px(8265)));
    const QString out = QDir::temp().filePath(QStringLiteral("varnel-editorpanel.png"));
    QVERIFY(image.save(out));
    QVERIFY(image.pixelColor(px(3960) + px(3000) + 5, px(6000) + px(600) + 5) == QColor(0, 0, 0));
}

QTEST_MAIN(tst_EditorPanel)
#include "tst_editorpanel.moc"
