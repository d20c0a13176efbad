// Varnel as a desktop program: its keys, its command line, files dropped on
// it and the files it remembers. The real window, offscreen, and the real
// varnel and zlibtool.

#include "commandline.h"
#include "editorfixture.h"
#include "editorpanel.h"
#include "mapcanvas.h"
#include "preset.h"
#include "recentfiles.h"
#include "scoreboardmap.h"
#include "ucupdownbox.h"

#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>

using namespace testfiles;

class tst_Desktop : public QObject, EditorFixture
{
    Q_OBJECT
    // Drags the files onto a box and drops them, through the window as the
    // platform delivers them; whether the window took them.
    bool drop(const QStringList& paths)
    {
        QMimeData data;
        for (const QString& path : paths)
            data.setUrls(data.urls() << QUrl::fromLocalFile(path));
        data.setText(paths.join('\n')); // as file managers offer them too
        const QPoint onBox = m_window->panel()->box(1)->txtValue()->mapTo(m_window.get(), QPoint(4, 4));
        QDragEnterEvent enter(onBox, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_window->windowHandle(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(onBox, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_window->windowHandle(), &dropped);
        QCoreApplication::processEvents(); // the drop is acted on once the drag has ended
        return true;
    }
    QStringList recent() const { return m_window->recentFiles()->files(); }

private slots:
    void init() { setUpEditor(); }
    void cleanup() { tearDownEditor(); }

    // Ctrl+O, Ctrl+S and F1, with the focus in a box and on the map; Ctrl+S
    // with nothing open does nothing.
    void keys()
    {
        QStringList opened;
        m_window->setReadmeOpener([&opened](const QString& path) { return opened << path, true; });
        m_window->activateWindow();
        QTRY_VERIFY(m_window->isActiveWindow());
        QTest::keyClick(m_window->panel()->box(1)->txtValue(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!shownMessage() && !m_window->baza().Loaded());
        m_window->showMap();
        for (QWidget* focus : {static_cast<QWidget*>(m_window->panel()->box(1)->txtValue()),
                               static_cast<QWidget*>(m_window->map()->canvas())}) {
            focus->window()->activateWindow();
            QTRY_VERIFY(focus->window()->isActiveWindow());
            m_dialog.enqueue(game());
            QTest::keyClick(focus, Qt::Key_O, Qt::ControlModifier);
            QTRY_VERIFY(m_window->baza().Loaded());
            m_window->panel()->box(1)->setValue(opened.size() + 60);
            QTest::keyClick(focus, Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(read16(unpacked(game()), 2096), opened.size() + 60);
            QTest::keyClick(focus, Qt::Key_F1);
        }
        QCOMPARE(opened.size(), 2);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome"); // what is done, then the file (CWD: here) or what is printed
        QTest::newRow("a file") << QStringList{"a b.bin"} << "0: CWD/a b.bin";
        QTest::newRow("a name after --") << QStringList{"--", "-x.bin"} << "0: CWD/-x.bin";
        QTest::newRow("help") << QStringList{"x", "-h"} << "1: usage: varnel [FILE]";
        QTest::newRow("version") << QStringList{"--version"} << "2: varnel 0.";
        QTest::newRow("unknown option")
            << QStringList{"--open"} << "3: varnel: unknown option \"--open\"\nusage:";
        QTest::newRow("an empty name") << QStringList{""} << "3: varnel: the file name is empty\nusage:";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, outcome);
        const CommandLine line = CommandLine::parse(arguments);
        QVERIFY2((QString::number(line.action) + ": " + line.file.value_or(line.output()))
                     .startsWith(outcome.replace("CWD", QDir::currentPath())),
                 qPrintable(line.output()));
    }

    // The real `varnel FILE` opens the file through Open File's steps, and
    // remembers it; a usage error is told on stderr with exit status 2.
    void varnelFile()
    {
        // A copy in the test's program folder: its working files stay there.
        const QString program = this->program() + "/varnel";
        QVERIFY(QFile::copy(QFileInfo(ZLIBTOOL_PATH).path() + "/../varnel", program));
        QProcess varnel;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", m_settings.path());
        varnel.setProcessEnvironment(environment);
        const QString title =
            QStringLiteral("opened from outside %1.bin").arg(QCoreApplication::applicationPid());
        QVERIFY(writeFile(games() + "/" + title, m_sample));
        varnel.setWorkingDirectory(games()); // the name is relative to it, not to the program folder
        varnel.start(program, {"-platform", "offscreen", title});
        const QString settingsFile = m_settings.path() + "/Varnel/Varnel.conf";
        QTRY_VERIFY_WITH_TIMEOUT(readFile(settingsFile).contains(title.toUtf8()), 20000);
        varnel.kill();
        varnel.waitForFinished();
        varnel.start(program, {"-platform", "offscreen", "a.bin", "b.bin"});
        QVERIFY(varnel.waitForFinished(20000) && varnel.exitCode() == 2);
        QVERIFY(varnel.readAllStandardError().contains("varnel: one FILE at most\nusage: varnel [FILE]"));
        // A damaged file given so goes the way of one chosen in the dialog.
        const QString damaged = games() + "/damaged.bin";
        QVERIFY(writeFile(damaged, m_sample.left(100)) && !m_window->openGameFile(damaged));
        QVERIFY(shownMessage() && shownMessage()->text().startsWith(damaged + " was not opened."));
    }

    // One game file dropped opens, after the unsaved-changes question; one
    // preset dropped is imported as one undo step. Several files, or a file
    // of another kind, are refused while being dragged.
    void drops()
    {
        layout::Record preset{};
        preset[0] = 1234;
        QVERIFY(writeFile(games() + "/my layout.json", gamefile::presetText(preset)) &&
                writeFile(games() + "/notes.json", "{\"format\": \"other\"}"));
        QVERIFY(!drop({games() + "/my layout.json"})); // nothing open to import into
        QVERIFY(drop({game()}) && m_window->baza().Loaded());
        for (const QStringList& refused :
             {QStringList{game(), game()}, {games() + "/notes.json"}, {"/dev/zero"}})
            QVERIFY(!drop(refused));
        QVERIFY(drop({games() + "/my layout.json"}));
        QCOMPARE(m_window->baza().PozycjaX(), 1234);
        m_window->findChild<QAction*>("undoAction")->trigger();
        QCOMPARE(m_window->baza().PozycjaX(), read16(m_plainSample, 2096));
        m_window->findChild<QAction*>("redoAction")->trigger();
        answerQuestion(QMessageBox::Discard);
        QVERIFY(drop({game()}) && !m_asked.isEmpty());
        QCOMPARE(m_window->baza().PozycjaX(), read16(m_plainSample, 2096));
    }

    // The last eight game files opened, newest first, across a restart; a
    // file that is gone leaves the list with a message when chosen.
    void recentFiles()
    {
        for (int n = 0; n < 10; ++n) {
            QVERIFY(writeFile(games() + QStringLiteral("/%1.bin").arg(n), m_sample));
            open(games() + QStringLiteral("/%1.bin").arg(n % 9)); // 8.bin, then 0.bin again
        }
        m_window = std::make_unique<frmMain>(program());
        QStringList expected;
        for (int n : {0, 8, 7, 6, 5, 4, 3, 2})
            expected << games() + QStringLiteral("/%1.bin").arg(n);
        QCOMPARE(recent(), expected);
        QMenu* menu = m_window->findChild<QMenu*>("recentFilesMenu");
        QFile::remove(expected[1]);
        emit menu->aboutToShow();
        menu->actions()[1]->trigger(); // 8.bin, gone
        QVERIFY(shownMessage() &&
                shownMessage()->text().endsWith("8.bin is no longer there. It has been taken off "
                                                "the recent files."));
        QCOMPARE(recent(), QStringList(expected).mid(0, 1) + expected.mid(2));
        emit menu->aboutToShow();
        menu->actions()[0]->trigger();
        QVERIFY(m_window->windowTitle().endsWith(" - 0.bin"));
        m_window->findChild<QAction*>("clearRecentFiles")->trigger();
        QVERIFY(recent().isEmpty());
    }
};

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
