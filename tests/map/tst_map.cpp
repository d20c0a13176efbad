// The scoreboard map, invert and undo, on the real window with a layout open.

#include "editorfixture.h"
#include "editorpanel.h"
#include "layoutstate.h"
#include "mapcanvas.h"
#include "panelframe.h"
#include "preset.h"
#include "scoreboardmap.h"
#include "ucupdownbox.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QWheelEvent>

using namespace testfiles;
using maphandles::Axis;
using maphandles::View;

class tst_Map : public QObject, EditorFixture {
    Q_OBJECT
    MapCanvas* m_canvas = nullptr;

    editing::LayoutState state() const { return editing::captureState(*m_window->panel(), m_window->baza()); }
    ucUpDownBox* box(int n) const { return m_window->panel()->box(n); }
    ucUpDownBox* box(int handle, Axis axis) const
    {
        return box(maphandles::field(handle, axis).textField + 1);
    }
    QPoint shown(int handle) const { return {box(handle, Axis::X)->Value(), box(handle, Axis::Y)->Value()}; }
    void trigger(const char* action) { m_window->findChild<QAction*>(action)->trigger(); }
    QString status() const { return m_window->map()->findChild<QLabel*>("mapStatus")->text(); }
    // Where a handle is drawn, and a point by game pixels away from it.
    QPointF at(int handle) const { return m_canvas->scene().screenPosition(handle); }
    QPointF from(int handle, QPointF by) const { return at(handle) + by * m_canvas->scale(handle); }
    // QTest moves the mouse without modifiers; a map drag needs them.
    void mouse(QEvent::Type type, QPointF at, Qt::KeyboardModifiers modifiers = {})
    {
        QMouseEvent event(type, at, m_canvas->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, modifiers);
        QApplication::sendEvent(m_canvas, &event);
    }
    void wheel(QPointF at, QPoint turn, Qt::KeyboardModifiers modifiers)
    {
        QWheelEvent event(at, m_canvas->mapToGlobal(at), {}, turn, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(m_canvas, &event);
    }
    void drag(QPointF start, QPointF end, Qt::KeyboardModifiers modifiers = {})
    {
        mouse(QEvent::MouseButtonPress, start, modifiers);
        mouse(QEvent::MouseMove, (start + end) / 2, modifiers); // on the way: still one step
        mouse(QEvent::MouseMove, end, modifiers);
        mouse(QEvent::MouseButtonRelease, end, modifiers);
    }
    // Keys on the map, such as "Tab*9 Shift+Down", or a drag of the selected
    // handle (or of handle H) by game pixels, "drag:DX,DY[@H]", with Alt:
    // no guide catches it.
    void drive(const QString& keys)
    {
        for (const QString& key : keys.split(' ')) {
            if (key.startsWith("drag:")) {
                const int handle = key.contains('@') ? key.section('@', 1).toInt() : m_canvas->selected();
                const QString by = key.mid(5).section('@', 0, 0);
                drag(at(handle),
                     from(handle, QPointF(by.section(',', 0, 0).toInt(), by.section(',', 1).toInt())),
                     Qt::AltModifier);
            } else {
                for (int n = key.section('*', 1).toInt() | !key.contains('*'); n > 0; --n)
                    QTest::keySequence(m_canvas, QKeySequence(key.section('*', 0, 0)));
            }
        }
    }
    void click(int handle, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(m_canvas, Qt::LeftButton, modifiers, at(handle).toPoint());
    }
    bool allInSight() const
    {
        for (int h = 0; h < MapCanvas::kHandleCount; ++h)
            if (!m_canvas->scene().view(maphandles::viewOf(h)).rect.adjusted(8, 8, -8, -8).contains(at(h)))
                return false;
        return true;
    }

private slots:
    void init()
    {
        setUpEditor();
        open(game());
        m_window->showMap();
        m_canvas = m_window->map()->canvas();
        QVERIFY(QTest::qWaitForWindowExposed(m_window->map()));
        m_canvas->setFocus();
    }
    void cleanup() { tearDownEditor(); }

    // Tab goes through the handles in order (nothing selected: Left Shape);
    // the arrows move by a pixel, with Shift by ten; a drag moves by what it
    // covers. Each time the boxes and the record follow: corners in sixteenths.
    void nudgeAndDrag_data()
    {
        QTest::addColumn<QString>("keys"); // Tab*N, Backtab*N, Right ... or drag:DX,DY
        QTest::addColumn<QList<int>>("moves"); // box, by how much; its pair's box, by how much
        QTest::newRow("Left Shape, Right") << "Tab*1 Right" << QList{1, 1, 2, 0};
        QTest::newRow("Time Shape, Shift+Down") << "Tab*9 Shift+Down" << QList{22, 10, 21, 0};
        QTest::newRow("digit 3, Left") << "Tab*13 Left" << QList{39, -1, 40, 0};
        QTest::newRow("colon, Up") << "Tab*12 Up" << QList{44, -1, 43, 0};
        QTest::newRow("HOME d, Right") << "Tab*18 Right" << QList{35, 1, 36, 0};
        QTest::newRow("AWAY d from the end, Shift+Down") << "Backtab*1 Shift+Down" << QList{26, 10, 20, 0};
        QTest::newRow("Team B Result, dragged") << "Tab*8 drag:7,-3" << QList{15, 7, 16, -3};
        QTest::newRow("AWAY b, dragged") << "Tab*20 drag:-2,5" << QList{18, -2, 24, 5};
        QTest::newRow("Left Shape, zoomed in and dragged") << "Tab*1 Ctrl+= drag:3,1" << QList{1, 3, 2, 1};
    }
    void nudgeAndDrag()
    {
        QFETCH(QString, keys);
        QFETCH(QList<int>, moves);
        QList<int> expected;
        for (int i = 0; i < 4; i += 2) {
            const int box = moves[i], scale = box >= 17 && box <= 36 && (box < 21 || box > 22) && (box < 27 || box > 28) ? 16 : 1;
            expected << this->box(box)->Value() + moves[i + 1]
                     << m_window->baza().value(layout::fieldForTextField(box - 1).index) + moves[i + 1] * scale;
        }
        const double scale = m_canvas->scale(0);
        drive(keys);
        QCOMPARE(m_canvas->scale(0), keys.contains("Ctrl+=") ? scale * 1.25 : scale);
        QList<int> seen;
        for (int box : {moves[0], moves[2]})
            seen << this->box(box)->Value() << m_window->baza().value(layout::fieldForTextField(box - 1).index);
        QCOMPARE(seen, expected);
    }

    // A move stops where the game file stops: markers at -32768 and 32767,
    // corners at 2047 pixels (kept in sixteenths; their boxes stop at 0), so
    // that the boxes never show what a Save would not write.
    void movesStopAtWhatTheFileHolds_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<int>>("values"); // box; its value before; after, shown and stored
        QTest::newRow("Left Shape, Right at the top") << "Tab*1 Right" << QList{1, 32767, 32767, 32767};
        QTest::newRow("Left Shape, Shift+Left to the bottom") << "Tab*1 Shift+Left" << QList{1, -32765, -32768, -32768};
        QTest::newRow("HOME d, Right at the top") << "Tab*18 Right" << QList{35, 2047, 2047, 32752};
        QTest::newRow("AWAY b, dragged far") << "Tab*20 drag:3000,0" << QList{18, 2000, 2047, 32752};
    }
    void movesStopAtWhatTheFileHolds()
    {
        QFETCH(QString, keys);
        QFETCH(QList<int>, values);
        box(values[0])->setValue(values[1]);
        drive(keys);
        QCOMPARE(box(values[0])->Value(), values[2]);
        QCOMPARE(int(m_window->baza().value(layout::fieldForTextField(values[0] - 1).index)), values[3]);
    }

    // From the keyboard alone: the handle Tab selects is scrolled into view
    // at any zoom, the arrows look around while none is selected, Ctrl+B
    // chooses a backdrop (a file that is no image is refused, named). Ctrl
    // and the wheel zoom by whole notches, gathered from a touchpad's small
    // parts; a sideways turn does not zoom.
    void keyboardAndWheel()
    {
        const double fitted = m_canvas->scale(0);
        drive("Ctrl+=*14");
        QCOMPARE(m_canvas->scale(0), fitted * std::pow(1.25, 14));
        const QPointF before = at(0);
        drive("Right");
        QCOMPARE(at(0), before - QPointF(20, 0));
        // Also on a right-to-left desktop: the game's screen still reads from the left.
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            m_window->map()->setLayoutDirection(direction);
            for (int h = 0; h < MapCanvas::kHandleCount; ++h) {
                drive("Tab");
                QVERIFY2(m_canvas->scene().view(maphandles::viewOf(h)).rect.contains(at(h)),
                         qPrintable(QString::number(h)));
            }
        }
        QString refused;
        whenShown<QMessageBox>([&refused](QMessageBox* message) { refused = message->text(), message->accept(); });
        QVERIFY(writeFile(m_dir.filePath("notes.png"), "not an image"));
        m_dialog.enqueue(m_dir.filePath("notes.png"));
        drive("Ctrl+B");
        QTRY_VERIFY(refused.contains(m_dir.filePath("notes.png")));

        QList<int> zooms;
        const double zoomed = m_canvas->scale(0);
        const QPointF mouse = m_canvas->scene().view(View::Scoreboard).rect.center();
        for (const QPoint turn : {QPoint(120, 0), QPoint(0, -40), QPoint(0, -40), QPoint(0, -40), QPoint(0, -120)}) {
            wheel(mouse, turn, Qt::ControlModifier);
            zooms << qRound(m_canvas->scale(0) / zoomed * 1000);
        }
        QCOMPARE(zooms, QList({1000, 1000, 1000, 800, 640}));
    }

    // The map opens fitted to the screen and both views to their content,
    // and fits again as it is resized, until it is zoomed; the wheel zooms
    // about the mouse; Ctrl+0 fits again.
    void fitsAndZoomsAboutTheMouse()
    {
        ScoreboardMap* map = m_window->map();
        QVERIFY(map->screen()->availableGeometry().contains(
            QRect(map->screen()->availableGeometry().topLeft(), map->frameSize())));
        QVERIFY(allInSight());
        const auto resize = [&](QSize size) {
            map->resize(size);
            QTRY_COMPARE(m_canvas->scene().view(View::Corners).rect.right(), m_canvas->width() - 8.0);
        };
        const auto scoreboard = [this] { return m_canvas->scene().view(View::Scoreboard).transform; };
        const QSize size = map->size();
        resize(size - QSize(100, 50));
        const ViewTransform small = scoreboard();
        QVERIFY(allInSight());
        resize(size);
        QVERIFY(allInSight() && scoreboard() != small);
        const QPointF mouse = at(4) + QPointF(13, 7);
        const QPointF under = scoreboard().toGame(mouse);
        wheel(mouse, {0, 240}, Qt::ControlModifier);
        const ViewTransform zoomed = scoreboard();
        QCOMPARE(zoomed.toScreen(under), mouse);
        resize(size - QSize(100, 50));
        QVERIFY(scoreboard() == zoomed);
        drive("Ctrl+0");
        QVERIFY(scoreboard() == small);
    }

    // The map's markers take the colours of the panel's frames.
    void coloursAreThePanels()
    {
        for (int h = 0; h < MapCanvas::kHandleCount; ++h) {
            QColor panel = Qt::black;
            for (auto* frame = qobject_cast<const PanelFrame*>(box(h, Axis::X)->parentWidget()); frame;
                 frame = qobject_cast<const PanelFrame*>(frame->parentWidget()))
                if (frame->caption().isEmpty() || !frame->caption().startsWith("Points")) {
                    panel = frame->caption().isEmpty() ? frame->background() : frame->captionColor();
                    break;
                }
            QCOMPARE(maphandles::colour(h), panel);
        }
    }

    // Click, Shift+click and Ctrl+click, a rubber band, Ctrl+A in the view
    // that has the focus, Escape, a double-click on the clock; the status
    // line says what is selected and where.
    void selections()
    {
        drive("Tab");
        QCOMPARE(status(), "Left Shape   X 24   Y 16");
        drag(at(0) - QPointF(7, 7), at(4) + QPointF(7, 7)); // around the three of Team A's side
        QCOMPARE(m_canvas->selection(), QList({0, 2, 4}));
        QCOMPARE(status(), "3 selected   X 24 to 48   Y 16 to 22");
        click(1, Qt::ShiftModifier);
        click(0, Qt::ControlModifier);
        QCOMPARE(m_canvas->selection(), QList({1, 2, 4}));
        drive("Escape");
        QVERIFY(m_canvas->selection().isEmpty());
        drive("Ctrl+A");
        QCOMPARE(m_canvas->selection().size(), 14);
        QCOMPARE(status(), "14 selected   X 24 to 336   Y 16 to 22");
        QTest::mouseClick(m_canvas, Qt::LeftButton, {}, at(maphandles::kHomeA).toPoint() + QPoint(30, 30));
        drive("Ctrl+A");
        QCOMPARE(m_canvas->selection(), QList({14, 15, 16, 17, 18, 19, 20, 21}));
        drag(at(0) - QPointF(7, 7), at(4) + QPointF(7, 7), Qt::ShiftModifier); // adds in its view only
        QCOMPARE(m_canvas->selection(), QList({0, 2, 4}));
        QTest::mouseDClick(m_canvas, Qt::LeftButton, {}, at(10).toPoint());
        QCOMPARE(m_canvas->selection(), QList({8, 9, 10, 11, 12, 13}));
        click(10); // one of several, without a drag: that one alone
        QCOMPARE(m_canvas->selection(), QList({10}));
    }

    // All fourteen or the clock, nudged or dragged: every member moves by the
    // same offset, the others stay, and one Undo puts all back exactly. Near
    // the file's limit the whole selection stops where its first member does.
    void selectionMovesAsOneStep_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("leftShapeX"); // before; 0: the sample's
        QTest::addColumn<QPoint>("offset");
        QTest::newRow("all, three nudges") << "Ctrl+A Right*3" << 0 << QPoint(3, 0);
        QTest::newRow("all, Shift+Up") << "Ctrl+A Shift+Up" << 0 << QPoint(0, -10);
        QTest::newRow("clock, dragged") << "clock drag:5,-2@10" << 0 << QPoint(5, -2);
        QTest::newRow("all, stopped at the limit") << "Ctrl+A Shift+Right*2" << 32765 << QPoint(2, 0);
        QTest::newRow("all, dragged past the limit") << "Ctrl+A drag:40,1@10" << 32765 << QPoint(2, 1);
    }
    void selectionMovesAsOneStep()
    {
        QFETCH(QString, keys);
        QFETCH(int, leftShapeX);
        QFETCH(QPoint, offset);
        if (leftShapeX)
            box(1)->setValue(leftShapeX);
        const editing::LayoutState before = state();
        std::array<QPoint, MapCanvas::kHandleCount> was;
        for (int h = 0; h < MapCanvas::kHandleCount; ++h)
            was[std::size_t(h)] = shown(h);
        if (keys.startsWith("clock"))
            QTest::mouseDClick(m_canvas, Qt::LeftButton, {}, at(10).toPoint());
        drive(keys.section(' ', keys.startsWith("clock")));
        const editing::LayoutState after = state();
        for (int h = 0; h < MapCanvas::kHandleCount; ++h)
            QCOMPARE(shown(h), was[std::size_t(h)] + (m_canvas->selection().contains(h) ? offset : QPoint()));
        trigger("undoAction");
        QVERIFY(state() == before);
        trigger("redoAction");
        QVERIFY(state() == after);
    }

    // A dragged handle takes the X or the Y of another marker within a few
    // screen pixels and a guide shows it; Alt turns that off; Shift keeps
    // the move horizontal.
    void guidesCatchADrag_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QPoint>("moved"); // Team A Result, dragged 19, -5 toward Central Shape at 152, 16
        QTest::addColumn<int>("guides");
        QTest::newRow("caught on both axes") << 0 << QPoint(20, -6) << 2;
        QTest::newRow("Alt: as the mouse moved") << int(Qt::AltModifier) << QPoint(19, -5) << 0;
        QTest::newRow("Shift: along X only") << int(Qt::ShiftModifier) << QPoint(20, 0) << 1;
    }
    void guidesCatchADrag()
    {
        QFETCH(int, modifiers);
        QFETCH(QPoint, moved);
        QFETCH(int, guides);
        const QPoint was = shown(6);
        const QPointF start = at(6), end = from(6, QPointF(19, -5));
        // Shift is held once the drag is under way: on the press it adds to the selection.
        mouse(QEvent::MouseButtonPress, start, Qt::KeyboardModifiers(modifiers) & ~Qt::ShiftModifier);
        mouse(QEvent::MouseMove, end, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(int(m_canvas->scene().guides().size()), guides);
        QCOMPARE(status(), QStringLiteral("Moving Team A Result by %1, %2").arg(moved.x()).arg(moved.y()));
        mouse(QEvent::MouseButtonRelease, end, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(shown(6), was + moved);
        QVERIFY(m_canvas->scene().guides().empty());
    }

    // From the context menu (the same commands as the tool bar), each one
    // step. Digit 4 first goes to X 337, so that the clock spans an odd 37.
    void alignAndDistribute_data()
    {
        QTest::addColumn<QList<int>>("handles");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("along"); // each handle's X or Y after
        const QList<int> digits{9, 10, 12, 13}, teamA{0, 2, 4};
        QTest::newRow("left") << digits << "alignLeftAction" << QList{300, 300, 300, 300};
        QTest::newRow("right") << digits << "alignRightAction" << QList{337, 337, 337, 337};
        QTest::newRow("same X, half a unit to the left")
            << digits << "alignHorizontalCentreAction" << QList{318, 318, 318, 318};
        QTest::newRow("top") << teamA << "alignTopAction" << QList{16, 16, 16};
        QTest::newRow("bottom") << teamA << "alignBottomAction" << QList{22, 22, 22};
        QTest::newRow("same Y") << teamA << "alignVerticalCentreAction" << QList{19, 19, 19};
        // 37 in three steps: 13, 12, 12.
        QTest::newRow("spread X, the first step longer")
            << digits << "distributeHorizontallyAction" << QList{300, 313, 325, 337};
        QTest::newRow("spread Y, ties in order")
            << QList{0, 2, 4, 7} << "distributeVerticallyAction" << QList{16, 18, 20, 22};
    }
    void alignAndDistribute()
    {
        QFETCH(QList<int>, handles);
        QFETCH(QString, command);
        QFETCH(QList<int>, along);
        box(13, Axis::X)->setValue(337);
        const editing::LayoutState before = state();
        for (const int h : handles)
            click(h, Qt::ShiftModifier);
        QCOMPARE(m_canvas->selection(), handles);
        QAction* action = m_window->map()->findChild<QAction*>(command);
        QVERIFY(m_canvas->actions().contains(action) &&
                m_window->map()->findChild<QToolBar*>()->actions().contains(action));
        action->trigger();
        const Axis axis =
            command.contains("Left") || command.contains("Right") || command.contains("Horizontal") ? Axis::X
                                                                                                    : Axis::Y;
        QList<int> seen;
        for (const int h : handles)
            seen << box(h, axis)->Value();
        QCOMPARE(seen, along);
        trigger("undoAction");
        QVERIFY(state() == before);
    }

    // The backdrop goes where its fields put it, and Alt+drag and Alt+wheel
    // move and scale it; what is shown for a game file comes back with it.
    void backdrop()
    {
        QImage image(400, 60, QImage::Format_RGB32);
        image.fill(QColor(10, 200, 30));
        QVERIFY(image.save(m_dir.filePath("shot.png")));
        ScoreboardMap* map = m_window->map();
        auto* button = map->findChild<QPushButton*>("backdropButton");
        m_dialog.enqueue(m_dir.filePath("shot.png"));
        button->click();
        const auto green = [this](QPointF game) {
            const QPointF seen = m_canvas->scene().view(View::Scoreboard).transform.toScreen(game);
            return m_canvas->grab().toImage().pixelColor(seen.toPoint()) == QColor(10, 200, 30);
        };
        // Probed where no marker or label is: one image pixel per game pixel.
        QVERIFY(green({250, 59}) && !green({250, 61}));
        map->findChild<QDoubleSpinBox*>("backdropX")->setValue(100);
        map->findChild<QDoubleSpinBox*>("backdropY")->setValue(60);
        map->findChild<QDoubleSpinBox*>("backdropScale")->setValue(50);
        // Now over X 100 to 300 and Y 60 to 90, below the markers and their labels.
        for (const QPointF edge : {QPointF(100, 75), QPointF(300, 75), QPointF(250, 60), QPointF(250, 90)}) {
            const QPointF out = (edge - QPointF(250, 75)) / QLineF(edge, QPointF(250, 75)).length();
            QVERIFY(green(edge - out) && !green(edge + out));
        }
        drag(from(0, {70, 30}), from(0, {80, 30}), Qt::AltModifier); // from empty ground
        QCOMPARE(map->findChild<QDoubleSpinBox*>("backdropX")->value(), 110);
        wheel(at(0), {0, 120}, Qt::AltModifier);
        QCOMPARE(map->findChild<QDoubleSpinBox*>("backdropScale")->value(), 51);
        const Backdrop::Placement placed = m_canvas->backdrop().placement();
        map->setGameFile(m_dir.filePath("other.bin"));
        QVERIFY(m_canvas->backdrop().isNull());
        map->setGameFile(game());
        QVERIFY(m_canvas->backdrop().path() == m_dir.filePath("shot.png") &&
                m_canvas->backdrop().placement() == placed);
        map->findChild<QPushButton*>("backdropClear")->click();
        map->setGameFile(m_dir.filePath("other.bin"));
        map->setGameFile(game());
        QVERIFY(m_canvas->backdrop().isNull());
        map->setGameFile({}); // as before any Open: a backdrop put up then goes with the file opened next
        m_dialog.enqueue(m_dir.filePath("shot.png"));
        button->click();
        map->setGameFile(m_dir.filePath("third.bin"));
        QVERIFY(!m_canvas->backdrop().isNull() && Backdrop::isRemembered(m_dir.filePath("third.bin")));
    }

    // What a box shows is part of each step, also where its value stays (an
    // emptied box): Undo takes back just the last thing done. Typing that
    // ends where it began is no step at all.
    void undoTakesBackJustTheLastThing()
    {
        QLineEdit* first = box(31)->txtValue();
        QLineEdit* second = box(1)->txtValue();
        const QString shown = first->text(), secondShown = second->text();
        first->setFocus();
        QTest::keyClick(first, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(first, "1");
        QTest::keyClick(first, Qt::Key_Backspace);
        second->setFocus();
        QTest::keyClick(second, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(second, "8");
        trigger("undoAction");
        QCOMPARE(std::pair(first->text(), second->text()), std::pair(QString(), secondShown));
        trigger("undoAction");
        QCOMPARE(first->text(), shown);

        trigger("invertAwayAction");
        const editing::LayoutState inverted = state();
        QLineEdit* third = box(8)->txtValue();
        third->setFocus();
        QTest::keyClick(third, Qt::Key_End);
        QTest::keyClicks(third, "2");
        QTest::keyClick(third, Qt::Key_Backspace);
        QCOMPARE(state(), inverted);
        trigger("undoAction");
        QVERIFY(state() != inverted);
        trigger("redoAction");
        QCOMPARE(state(), inverted);
    }

    // The map follows the record, whatever changed it: a marker moves with its box.
    void markerFollowsItsBox()
    {
        const QPointF before = at(0);
        box(1)->setValue(box(1)->Value() + 5);
        QCOMPARE(at(0), before + QPointF(5 * m_canvas->scale(0), 0));
        const QImage drawn = m_canvas->grab().toImage();
        QCOMPARE(drawn.pixelColor(m_canvas->screenPosition(0)), QColor(Qt::black)); // Left Shape's colour
    }

    // Export writes the record; Import shows a preset as an Open would, as one
    // step, unless it changes nothing; a preset that is refused changes
    // nothing and says why.
    void presets()
    {
        box(1)->setValue(70);
        m_dialog.enqueue(m_dir.filePath("out.json"));
        trigger("exportPresetAction");
        QString problem;
        QCOMPARE(gamefile::readPreset(m_dir.filePath("out.json"), &problem), m_window->baza().record());
        layout::Record values = m_window->baza().record();
        values[16] = 25; // AWAY a, first row, off the pixel grid: shown as 2, stored as 32
        QVERIFY(writeFile(m_dir.filePath("in.json"), gamefile::presetText(values)) && writeFile(m_dir.filePath("bad.json"), "{}"));
        const editing::LayoutState before = state();
        QString refused;
        whenShown<QMessageBox>([&refused](QMessageBox* message) { refused = message->text(), message->accept(); });
        m_dialog.enqueue(m_dir.filePath("bad.json"));
        trigger("importPresetAction");
        QVERIFY(refused.contains(m_dir.filePath("bad.json")) && state() == before);
        m_dialog.enqueue(m_dir.filePath("in.json"));
        trigger("importPresetAction");
        QCOMPARE(std::tuple(box(17)->Value(), m_window->baza().PointA(), box(1)->Value()), std::tuple(2, qint16(32), 70));
        trigger("undoAction");
        QCOMPARE(state(), before);
        // A preset of what is on show is no step: the import undone can still be redone.
        m_dialog.enqueue(m_dir.filePath("out.json"));
        trigger("importPresetAction");
        QVERIFY(state() == before && m_window->findChild<QAction*>("redoAction")->isEnabled());
    }

    // Inverting twice gives the state back exactly, also a corner of 32760,
    // which no box can show; once, A and C trade places, and so do B and D.
    void invertTwiceIsIdentity()
    {
        QByteArray plain = m_plainSample;
        write16(plain, 2272, 32760); // HOME C, first row
        QVERIFY(writeFile(game(), gamefile::packContainer(plain)));
        open(game());
        const editing::LayoutState before = state();
        QCOMPARE(before.record[30], qint16(32760));
        for (const char* team : {"invertHomeAction", "invertAwayAction"}) {
            trigger(team);
            const editing::LayoutState once = state();
            QVERIFY(once != before);
            QCOMPARE(once, editing::invertedState(before, team[6] == 'H' ? "home" : "away"));
            trigger(team);
            QCOMPARE(state(), before);
        }
    }

    // Undo puts back the state from before each kind of step, exactly, with
    // the focus in a box, and Redo the state after it; typing one number and
    // a run of nudges are one step each.
    void undoEachKindOfStep()
    {
        QLineEdit* typing = box(3)->txtValue();
        const QList<std::pair<QString, std::function<void()>>> steps{
            {"typed", [&] { QTest::keyClicks(typing, "123"); }},
            {"stepped", [&] { QTest::keyClick(typing, Qt::Key_Up); }},
            {"nudged", [&] { m_canvas->setFocus(), QTest::keyClick(m_canvas, Qt::Key_Tab);
                             for (int n = 0; n < 3; ++n) QTest::keyClick(m_canvas, Qt::Key_Down); }},
            {"dragged", [&] { const QPoint at = m_canvas->screenPosition(m_canvas->selected());
                              QTest::mousePress(m_canvas, Qt::LeftButton, {}, at);
                              QTest::mouseMove(m_canvas, at + QPoint(9, 9));
                              QTest::mouseMove(m_canvas, at + QPoint(30, 0));
                              QTest::mouseRelease(m_canvas, Qt::LeftButton, {}, at + QPoint(30, 0)); }},
            {"inverted", [&] { trigger("invertAwayAction"); }}};
        for (const auto& [kind, step] : steps) {
            typing->setFocus();
            QTest::keyClick(typing, Qt::Key_A, Qt::ControlModifier);
            const editing::LayoutState before = state();
            step();
            const editing::LayoutState after = state();
            QVERIFY2(after != before, qPrintable(kind));
            typing->setFocus();
            QTest::keyClick(typing, Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(state() == before, qPrintable(kind));
            QTest::keyClick(typing, Qt::Key_Y, Qt::ControlModifier);
            QVERIFY2(state() == after, qPrintable(kind));
        }
        answerQuestion(QMessageBox::Discard);
        open(game()); // only a successful Open clears the history
        QVERIFY(!m_window->findChild<QAction*>("undoAction")->isEnabled());
    }
};

QTEST_MAIN(tst_Map)
#include "tst_map.moc"
