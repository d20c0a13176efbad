// What is on disk and what is on show: a game file another program changed,
// working files gone, originals put back, and numbers the record does not
// hold. The real window, the real zlibtool, real files.

#include "editorfixture.h"
#include "editorpanel.h"
#include "gamedata.h"
#include "reliabilitylog.h"
#include "savemarks.h"
#include "ucupdownbox.h"

#include <QLineEdit>

using namespace testfiles;

class tst_OnDisk : public QObject, EditorFixture
{
    Q_OBJECT
    ucUpDownBox* box(int n) const { return m_window->panel()->box(n); }
    QAction* action(const char* name) const { return m_window->findChild<QAction*>(name); }
    bool starred() const { return m_window->windowTitle().contains(".bin*"); }

private slots:
    void init() { setUpEditor(), m_asked.clear(); }
    void cleanup() { tearDownEditor(); }

    // Save first compares the game file with what was read or last written.
    // A change is written over only when the person says so, and then the
    // layout goes into the file as it is now: its other bytes are kept, as
    // `varnel-cli set` with all 44 values keeps them. A working file that is
    // gone is made anew from the game file. Back in the window, the caption
    // tells of a change before Save is asked for.
    void changedOnDisk_data()
    {
        QTest::addColumn<QString>("change"); // "other": another program's layout and bytes
        QTest::addColumn<int>("answer");     // to the question, if one comes
        QTest::addColumn<QString>(
            "outcome"); // asked or not; the layout merged into the file or nothing written
        QTest::newRow("changed, Escape") << "other" << int(QMessageBox::Escape) << "asked, untouched";
        QTest::newRow("changed, written into") << "other" << int(QMessageBox::NoButton) << "asked, merged";
        QTest::newRow("changed, the working file gone")
            << "other gone" << int(QMessageBox::NoButton) << "asked, merged";
        QTest::newRow("the working file gone") << "gone" << 0 << "not asked, merged";
        QTest::newRow("the working file emptied") << "emptied" << 0 << "not asked, merged";
        QTest::newRow("the same bytes written again") << "touched" << 0 << "not asked, merged";
    }
    void changedOnDisk()
    {
        QFETCH(QString, change);
        QFETCH(int, answer);
        QFETCH(QString, outcome);
        open(game());
        box(1)->setValue(111), box(21)->setValue(-7); // the time box is written three times
        QByteArray other = m_plainSample;
        other[4000] = 'o', other[2096] = 9; // a byte of its own, and a value of the layout
        QVERIFY(writeFile(game(), change.startsWith("other") ? gamefile::packContainer(other) : m_sample));
        if (!change.startsWith("other"))
            other = m_plainSample;
        QVERIFY(change == "emptied" ? writeFile(workingFile(), {})
                                    : !change.endsWith("gone") || QFile::remove(workingFile()));
        const QByteArray onDisk = readFile(game());
        QWidget elsewhere;
        elsewhere.show();
        for (QWidget* window : {&elsewhere, static_cast<QWidget*>(m_window.get())}) {
            window->activateWindow();
            QTRY_VERIFY(window->isActiveWindow());
        }
        QCOMPARE(m_window->windowTitle().endsWith("* (changed on disk)"), outcome.startsWith("asked"));
        answerQuestion(QMessageBox::StandardButton(answer), "changedOnDisk");
        save();
        QCOMPARE(m_asked.startsWith("unnamed_278.bin has changed on disk since Varnel opened it."),
                 outcome.startsWith("asked"));
        gamefile::GameData expected{onDisk, other};
        QVERIFY(gamefile::putLayout(&expected, m_window->baza().record()).ok());
        const bool merged = outcome.endsWith("merged");
        QCOMPARE(merged ? unpacked(game()) : readFile(game()), merged ? expected.plain : onDisk);
        QVERIFY((readFile(workingFile()) == expected.plain) == merged && starred() == !merged &&
                !shownMessage());
        reliabilitylog::record("Save after a change on disk", QTest::currentDataTag(),
                               QString(m_asked.isEmpty() ? "no question; " : "asked; ") +
                                   (merged ? "the layout "
                                             "written into the file as it is now, its other bytes kept"
                                           : "the file left as it was"));
    }

    // Once Write is answered, the working files hold the changed file even
    // when the store fails: a file put back after that is asked about again.
    void changedThenNotStored()
    {
        open(game());
        QVERIFY(writeFile(game(), gamefile::packContainer(QByteArray(m_plainSample).replace(4000, 1, "o"))));
        m_window->setProcessRunner([](const QStringList& line, int limit) { // compressing fails
            return line.contains("-d") ? Scn_Process::run(line, limit) : ProcessOutcome{};
        });
        answerQuestion(QMessageBox::NoButton, "changedOnDisk"), save();
        QVERIFY(shownMessage()->text().contains("was not saved") && writeFile(game(), m_sample));
        m_window->setProcessRunner(&Scn_Process::run);
        m_asked.clear(), answerQuestion(QMessageBox::Escape, "changedOnDisk"), save();
        QVERIFY(m_asked.startsWith("unnamed_278.bin has changed on disk") && readFile(game()) == m_sample);
    }

    // Restore Original puts the game file back as it was before the first
    // Save and opens it again; the original stays for another time.
    void restoreOriginal()
    {
        open(game());
        QVERIFY(!action("restoreOriginalAction")->isEnabled()); // nothing kept yet
        for (int value : {101, 102, 103})
            box(1)->setValue(value), value < 103 ? void(save()) : void();
        for (int time = 0; time < 3;
             ++time) { // Escape, then twice Restore, the second time with nothing unsaved
            answerQuestion(time ? QMessageBox::NoButton : QMessageBox::Escape, "restoreOriginal");
            action("restoreOriginalAction")->trigger();
            QVERIFY(m_asked.startsWith("Put unnamed_278.bin back as it was before Varnel first saved it?|Its "
                                       "original was kept on "));
            QCOMPARE(m_asked.endsWith("will be lost."), time < 2);
            QCOMPARE(read16(unpacked(game()), 2096), time ? read16(m_plainSample, 2096) : 102);
        }
        QCOMPARE(readFile(game()), m_sample);
        QCOMPARE(box(1)->Value(), int(read16(m_plainSample, 2096)));
        QVERIFY(!starred() && !action("undoAction")->isEnabled() && !shownMessage());
        QVERIFY(replaceTool("exit 1\n")); // put back, but not to be read again: the message says so
        answerQuestion(QMessageBox::NoButton, "restoreOriginal"), action("restoreOriginalAction")->trigger();
        QVERIFY(shownMessage() && shownMessage()->text().contains("278.bin was put back as it was, but"));
    }

    // A number the record does not take is marked where it stands, and Save
    // writes what the mark says. So is a fraction a grey field keeps after
    // Open, and the caption then has its "*" at once.
    void marksWhatSaveWrites()
    {
        QByteArray whole = m_plainSample, fraction = m_plainSample;
        write16(whole, 2328, 32), write16(fraction, 2328, 25); // AWAY a.x: 2 pixels, then 1.5625
        QVERIFY(writeFile(games() + "/whole.bin", gamefile::packContainer(whole)) &&
                writeFile(game(), gamefile::packContainer(fraction)));
        open(games() + "/whole.bin");
        open(game());
        auto* marks = m_window->findChild<editing::SaveMarks*>();
        QVERIFY(marks->mark(16) == "Save writes 2: 1.5625 is not a whole pixel" && starred());
        const QPalette unmarked = marks->shownBy(0)->palette();
        for (const auto& [n, typed, mark] :
             {std::tuple(1, "40000", "Save writes 4000: 40000 does not fit"),
              std::tuple(43, "-40000", "Save writes -4000: -40000 does not fit")}) {
            box(n)->txtValue()->selectAll();
            QTest::keyClicks(box(n)->txtValue(), typed); // 4000 on the way
            QVERIFY(marks->mark(n - 1) == mark && marks->shownBy(n - 1)->toolTip() == mark);
            reliabilitylog::record("Numbers the record cannot take",
                                   QStringLiteral("%1 typed into box %2").arg(typed).arg(n),
                                   QStringLiteral("marked \"%1\"; Save wrote what the mark says").arg(mark));
        }
        QVERIFY(marks->shownBy(42) == box(43)->txtValue() && marks->shownBy(0) == m_window->panel()->txt(0));
        QVERIFY(marks->shownBy(0)->palette() != unmarked);
        save();
        QCOMPARE(QList({read16(unpacked(game()), 2096), read16(unpacked(game()), 3278)}),
                 QList<qint16>({4000, -4000}));
        QTest::keyClick(box(1)->txtValue(), Qt::Key_Backspace);
        QVERIFY(marks->mark(0).isEmpty() && marks->shownBy(0)->palette() == unmarked);
    }
};

QTEST_MAIN(tst_OnDisk)
#include "tst_ondisk.moc"
