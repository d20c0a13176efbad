// The scoreboard map, invert and undo, on the real window with a layout open.

#include "editorfixture.h"
#include "editorpanel.h"
#include "layoutstate.h"
#include "mapcanvas.h"
#include "preset.h"
#include "scoreboardmap.h"
#include "ucupdownbox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

using namespace testfiles;

class tst_Map : public QObject, EditorFixture {
    Q_OBJECT
    MapCanvas* m_canvas = nullptr;

    editing::LayoutState state() const { return editing::captureState(*m_window->panel(), m_window->baza()); }
    ucUpDownBox* box(int n) const { return m_window->panel()->box(n); }
    void trigger(const char* action) { m_window->findChild<QAction*>(action)->trigger(); }
    // Keys on the map, such as "Tab*9 Shift+Down", or a drag of the selected
    // handle by game pixels, "drag:DX,DY".
    void drive(const QString& keys)
    {
        for (const QString& key : keys.split(' ')) {
            if (key.startsWith("drag:")) {
                const QPoint from = m_canvas->screenPosition(m_canvas->selected());
                const QPoint to = from + QPoint(key.mid(5).section(',', 0, 0).toInt(), key.section(',', 1).toInt()) *
                                             m_canvas->zoom();
                QTest::mousePress(m_canvas, Qt::LeftButton, {}, from);
                QTest::mouseMove(m_canvas, to);
                QTest::mouseRelease(m_canvas, Qt::LeftButton, {}, to);
            } else {
                for (int n = key.section('*', 1).toInt() | !key.contains('*'); n > 0; --n)
                    QTest::keySequence(m_canvas, QKeySequence(key.section('*', 0, 0)));
            }
        }
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
        drive(keys);
        QCOMPARE(m_canvas->zoom(), keys.contains("Ctrl+=") ? 3 : 2);
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
    // chooses a backdrop. Ctrl and the wheel zoom by whole notches, gathered
    // from a touchpad's small parts; a sideways turn does not zoom.
    void keyboardAndWheel()
    {
        auto* scroll = qobject_cast<QScrollArea*>(m_canvas->parentWidget()->parentWidget());
        drive("Ctrl+=*14");
        QCOMPARE(m_canvas->zoom(), 16);
        drive("Right");
        QVERIFY(scroll->horizontalScrollBar()->value() > 0);
        // Also on a right-to-left desktop: the game's screen still reads from the left.
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            m_window->map()->setLayoutDirection(direction);
            for (int h = 0; h < MapCanvas::kHandleCount; ++h) {
                drive("Tab");
                const QPoint seen = m_canvas->mapTo(scroll->viewport(), m_canvas->screenPosition(h));
                QVERIFY2(scroll->viewport()->rect().contains(seen), qPrintable(QString::number(h)));
            }
        }
        QString refused;
        whenShown<QMessageBox>([&refused](QMessageBox* message) { refused = message->text(), message->accept(); });
        QVERIFY(writeFile(m_dir.filePath("notes.png"), "not an image"));
        m_dialog.enqueue(m_dir.filePath("notes.png"));
        drive("Ctrl+B");
        QTRY_VERIFY(refused.contains(m_dir.filePath("notes.png")));

        QList<int> zooms;
        for (const QPoint turn : {QPoint(120, 0), QPoint(0, -40), QPoint(0, -40), QPoint(0, -40), QPoint(0, -120)}) {
            QWheelEvent wheel(QPointF(10, 10), m_canvas->mapToGlobal(QPointF(10, 10)), {}, turn, Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(m_canvas, &wheel);
            zooms << m_canvas->zoom();
        }
        QCOMPARE(zooms, QList({16, 16, 16, 15, 14}));
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
        const QPoint before = m_canvas->screenPosition(0);
        box(1)->setValue(box(1)->Value() + 5);
        QCOMPARE(m_canvas->screenPosition(0), before + QPoint(5 * m_canvas->zoom(), 0));
        const QImage drawn = m_canvas->grab().toImage();
        QCOMPARE(drawn.pixelColor(m_canvas->screenPosition(0)), QColor(Qt::black)); // Left Shape's colour
        QVERIFY(drawn.save(QDir::temp().filePath("varnel-map.png")));
    }

    // A PNG or JPEG goes under the markers, one image pixel per game pixel;
    // another file is refused with a message that names it.
    void backdrop()
    {
        QImage image(400, 60, QImage::Format_RGB32);
        image.fill(QColor(10, 200, 30));
        QVERIFY(image.save(m_dir.filePath("shot.png")) && writeFile(m_dir.filePath("notes.png"), "not an image"));
        auto* button = m_window->map()->findChild<QPushButton*>("backdropButton");
        QString refused;
        whenShown<QMessageBox>([&refused](QMessageBox* message) { refused = message->text(), message->accept(); });
        m_dialog.enqueue(m_dir.filePath("notes.png"));
        button->click();
        QVERIFY(refused.contains(m_dir.filePath("notes.png")));
        m_dialog.enqueue(m_dir.filePath("shot.png"));
        button->click();
        const QPoint inside = m_canvas->screenPosition(0) + (QPoint(323, 47) - QPoint(24, 16)) * m_canvas->zoom();
        QCOMPARE(m_canvas->grab().toImage().pixelColor(inside), QColor(10, 200, 30));
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
