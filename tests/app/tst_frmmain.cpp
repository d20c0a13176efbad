// The main window end to end: the real window, the real zlibtool, real files.

#include "editorfixture.h"
#include "editorpanel.h"
#include "layoutstate.h"
#include "preset.h"
#include "reliabilitylog.h"
#include "scn_process.h"
#include "testfiles.h"
#include "ucupdownbox.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace testfiles;

class tst_frmMain : public QObject, EditorFixture {
    Q_OBJECT
    QLineEdit* lokalizacja() const { return m_window->findChild<QLineEdit*>("Lokalizacja"); }

private slots:
    void init() { setUpEditor(); }
    void cleanup() { tearDownEditor(); }

    void windowAndMenus()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Varnel 6.01.2011 BY Korvath"));
        QCOMPARE(m_window->centralWidget()->size(), QSize(1034, 551));
        // clang-format off
        QStringList menus, expected{"MENU:Menu", "MnuFileOpen:Open File", "recentFilesMenu:Recent Files", "Sep:-",
                                    "cmdZapisz:Save", "cmdReadmy:Readmy", "layoutMenu:Layout", "mapAction:Scoreboard Map",
                                    "invertHomeAction:Invert HOME", "invertAwayAction:Invert AWAY", ":-", "undoAction:Undo",
                                    "redoAction:Redo", ":-", "importPresetAction:Import Preset...",
                                    "exportPresetAction:Export Preset...", ":-", "restoreOriginalAction:Restore Original..."};
        // clang-format on
        for (QAction* item : m_window->menuBar()->actions())
            for (QAction* action : QList{item} + (item->menu() ? item->menu()->actions() : QList<QAction*>{}))
                menus << (action->menu() ? action->menu() : static_cast<QObject*>(action))->objectName() + ":" +
                             (action->isSeparator() ? "-" : action->text());
        QCOMPARE(menus, expected);
        for (QAction* action : m_window->findChild<QMenu*>("layoutMenu")->actions()) // nothing loaded yet
            QCOMPARE(action->isEnabled(), action->isSeparator() || action->objectName() == "mapAction");
        QCOMPARE(m_window->findChild<QAction*>("redoAction")->shortcuts(),
                 QList<QKeySequence>({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
        QStringList keys;
        for (const char* name : {"MnuFileOpen", "cmdZapisz", "cmdReadmy"})
            keys << m_window->findChild<QAction*>(name)->shortcut().toString();
        QCOMPARE(keys, QStringList({"Ctrl+O", "Ctrl+S", "F1"}));
        QVERIFY(!m_window->findChild<QAction*>("cmdZapisz")->isEnabled());
        QVERIFY(!lokalizacja()->isVisibleTo(m_window.get()) && !lokalizacja()->isEnabled());
        const QStringList help = m_window->findChild<QLabel*>("Label9")->text().split("\r\n");
        QCOMPARE(QStringList({QString::number(help.size()), help[2], help[6], help[10]}),
                 QStringList({"11", "A you put the value of point c, ", "", "Point D (256,0)"}));
        // The pictures drawn at build time, read in the right size and byte order: the banner's green, the
        // help picture's white.
        const QImage corners = m_window->findChild<QLabel*>("Picture2")->pixmap().toImage();
        const QImage banner = m_window->findChild<QLabel*>("Picture1")->pixmap().toImage();
        QCOMPARE(QList({corners.size(), banner.size()}), QList({QSize(236, 165), QSize(165, 78)}));
        QCOMPARE(QList({banner.pixel(1, 1), corners.pixel(1, 1)}), QList({qRgb(20, 90, 40), qRgb(255, 255, 255)}));
        QCOMPARE(m_window->windowIcon().availableSizes().size(), 3);
    }

    // The 96 bytes a Save writes for 44 distinct values entered in the boxes
    // (plain box N: -(1000 + N) or 1000 + N, vertex box N: 100 + N pixels),
    // block by block, with the time box three times; every other byte stays.
    void saveWritesTheLayoutBlocks()
    {
        open(game());
        for (int n = 1; n <= 44; ++n) {
            ucUpDownBox* box = m_window->panel()->box(n);
            box->setValue(box->Min() == 0 ? 100 + n : (n % 2 ? -(1000 + n) : 1000 + n));
        }
        save();
        QVERIFY(!shownMessage());
        const QList<std::pair<int, QByteArray>> blocks{
            {2096, "17fcea03"}, {2160, "15fcec03"}, {2224, "13fcee03"}, {2288, "11fcf003"},
            {2784, "0ffcf203"}, {2812, "0dfcf403"}, {2840, "0bfcf603"}, {2868, "09fcf803"},
            {2328, "5007b0076007c0077007d0078007e007"}, {3044, "03fcfe03"}, {3108, "03fcfe03"},
            {3172, "03fcfe03"}, {2264, "10082008300840085008600870088008"}, {3318, "fdfb0404"},
            {3298, "f3fb0e04"}, {3258, "f1fb1004"}, {3238, "effb1204"}, {3278, "edfb1404"}};
        const QByteArray saved = unpacked(game());
        QByteArray expected = m_plainSample;
        for (const auto& [offset, hex] : blocks)
            expected.replace(offset, hex.size() / 2, QByteArray::fromHex(hex));
        QCOMPARE(saved.toHex(), expected.toHex());
        QCOMPARE(QDir(games()).entryList(QDir::Files), QStringList{"unnamed_278.bin"});
    }

    // A cancelled Open leaves everything on show as it was, the grey fields
    // included; a failed one too, and says why, naming the file. A Save then
    // writes the earlier layout over the earlier file. The last one fails on
    // a file whose working copy is the open layout's working file.
    void failedOpensKeepTheEarlierLayout()
    {
        open(game());
        const QByteArray working = readFile(workingFile());
        const editing::LayoutState shown = editing::captureState(*m_window->panel(), m_window->baza());
        const QByteArray broken = QByteArray(m_sample).replace(40, 1, "\x55");
        const QString other = m_dir.path() + "/other/unnamed_278.bin"; // the same title
        QVERIFY(QDir().mkpath(m_dir.path() + "/other") && writeFile(other, broken));
        QVERIFY(writeFile(game() + ".unzlib", "not a container") &&
                writeFile(games() + "/my layout.json", gamefile::presetText(m_window->baza().record())));
        // clang-format off
        const QList<std::pair<QString, QString>> answers{
            {{}, {}}, {games() + "/typed but missing.bin", "it does not exist"}, {other, "zlibtool said: zlibtool: "},
            {"/dev/zero", "Reason: it is not a regular file"}, {games() + "/my layout.json", "it is a preset, not a"},
            {game() + ".unzlib", "not a container"}};
        // clang-format on
        for (const auto& [answer, reason] : answers) {
            answer.isEmpty() ? m_dialog.enqueueCancel() : m_dialog.enqueue(answer);
            m_window->findChild<QAction*>("MnuFileOpen")->trigger();
            QCOMPARE(editing::captureState(*m_window->panel(), m_window->baza()), shown);
            QCOMPARE(std::pair(lokalizacja()->text(), readFile(workingFile())), std::pair(workingFile(), working));
            const QString message = shownMessage() ? shownMessage()->text() : QString();
            QVERIFY2(answer.isEmpty()
                         ? message.isEmpty()
                         : message.startsWith(answer + " was not opened") && message.contains(reason),
                     qPrintable(message));
            reliabilitylog::record(
                "Open cancelled or failed", answer.isEmpty() ? "Cancel" : QFileInfo(answer).fileName(),
                (answer.isEmpty() ? "no message" : message.section("\n", 2).replace(m_dir.path(), "…")) +
                    "; the layout on show as before");
            delete shownMessage();
        }
        m_window->baza().KroX(1234);
        save();
        QCOMPARE(read16(unpacked(game()), 3278), qint16(1234));
        QCOMPARE(readFile(other), broken);
    }

    // What is typed while the tool compresses is not in that Save, so it
    // stays an unsaved change.
    void anEditDuringSaveStaysUnsaved()
    {
        open(game());
        m_window->panel()->box(1)->setValue(70);
        m_window->setProcessRunner([this](const QStringList& commandLine, int limit) {
            m_window->panel()->box(3)->setValue(33);
            return Scn_Process::run(commandLine, limit);
        });
        save();
        QByteArray expected = m_plainSample;
        write16(expected, 2096, 70);
        QCOMPARE(unpacked(game()).toHex(), expected.toHex());
        QVERIFY(m_window->windowTitle().endsWith('*'));
    }

    // Every player's game file has the same name, and so have the working
    // files: while one editor has them, another cannot open a file of that
    // name, and gets told why. A lock left by an editor that ended without
    // freeing it is no hindrance.
    void anotherEditorKeepsItsWorkingFiles()
    {
        if (const pid_t child = fork(); child == 0) {
            const gamefile::ProgramFolder folder(program());
            gamefile::WorkingClaim left(folder.lockFolder());
            QString problem;
            _exit(left.add(folder.workingFilesFor("unnamed_278.bin"), &problem) ? 0 : 1); // ends holding it
        } else {
            int status = 0;
            QVERIFY(waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        open(game());
        QVERIFY(m_window->baza().Loaded());
        const QString backup = m_dir.path() + "/backup/unnamed_278.bin";
        QByteArray otherPlain = m_plainSample;
        otherPlain[100] = char(0x5A);
        QVERIFY(QDir().mkpath(m_dir.path() + "/backup") && writeFile(backup, gamefile::packContainer(otherPlain)));
        {
            frmMain second(program());
            m_dialog.enqueue(backup);
            second.findChild<QAction*>("MnuFileOpen")->trigger();
            QVERIFY(!second.baza().Loaded() && shownMessage());
            QVERIFY(shownMessage()->text().startsWith(QDir::toNativeSeparators(backup) + " was not opened"));
            QVERIFY(shownMessage()->text().contains("another Varnel"));
        }
        m_window->panel()->box(1)->setValue(55);
        save();
        QByteArray expected = m_plainSample;
        write16(expected, 2096, 55);
        QCOMPARE(unpacked(game()).toHex(), expected.toHex());
        m_window.reset(); // gone, and its claim with it
        frmMain third(program());
        m_dialog.enqueue(backup);
        third.findChild<QAction*>("MnuFileOpen")->trigger();
        QVERIFY(third.baza().Loaded());
    }

    // Names as a person may have them open and save the very file named,
    // whatever lies beside it. (tst_platform types them into Qt's dialog.)
    void namesOpenAndSaveThatFile()
    {
        QByteArray plain = m_plainSample;
        write16(plain, 2096, 4321);
        QVERIFY(writeFile(games() + "/a.bin", m_sample));
        QStringList paths;
        for (const QString name : {"my \"best\" board.bin", "locks", "aside", "a.bin ", "data", "-it's.bin",
                                   "tablica wyników.bin"})
            paths << games() + "/" + name;
        // As long as the dialog's 255 characters and the working files'
        // names allow; opened twice, so that its working files are set aside.
        const QTemporaryDir near(QStringLiteral("/tmp/XXXXXX"));
        const qsizetype longest = std::min<qsizetype>(243, 255 - near.path().size() - 1);
        const QString longPath = near.path() + "/" + QString(longest - 4, u'x') + ".bin";
        paths << longPath << longPath;
        for (const QString& path : paths) {
            const QString name = QFileInfo(path).fileName();
            QVERIFY(writeFile(path, gamefile::packContainer(plain)));
            open(path);
            QCOMPARE(std::pair(name, m_window->panel()->box(1)->Value()), std::pair(name, 4321));
            QCOMPARE(lokalizacja()->text(), QDir::toNativeSeparators(workingFolder() + "/" + name + ".unzlib"));
            m_window->panel()->box(1)->setValue(77);
            save();
            QVERIFY(!shownMessage());
            QCOMPARE(std::pair(name, read16(unpacked(path), 2096)), std::pair(name, qint16(77)));
            QCOMPARE(readFile(games() + "/a.bin"), m_sample);
        }
    }

    // With unsaved changes, Open and closing first ask; only Save and Discard
    // go on, and a Save that fails stops them too. An Open that fails after
    // Discard shows the layout as last opened. The caption tells.
    void unsavedChanges_data()
    {
        QTest::addColumn<bool>("closing");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveFails");
        for (bool closing : {false, true})
            for (const auto& [name, answer] : {std::pair("Save", QMessageBox::Save), {"Discard", QMessageBox::Discard},
                                               {"Cancel", QMessageBox::Cancel}, {"Escape", QMessageBox::Escape}})
                QTest::addRow("%s, %s", closing ? "close" : "Open", name) << closing << int(answer) << false;
        QTest::newRow("Open, Save fails") << false << int(QMessageBox::Save) << true;
        QTest::newRow("close, Save fails") << true << int(QMessageBox::Save) << true;
        QTest::newRow("Open, Discard, the Open fails") << false << int(QMessageBox::Discard) << true;
    }
    void unsavedChanges()
    {
        QFETCH(bool, closing);
        QFETCH(int, answer);
        QFETCH(bool, saveFails);
        const QString caption = "Varnel 6.01.2011 BY Korvath - ";
        QByteArray plain = m_plainSample;
        write16(plain, 2096, 4321);
        QVERIFY(writeFile(games() + "/other.bin", gamefile::packContainer(plain)));
        open(game());
        QCOMPARE(m_window->windowTitle(), caption + "unnamed_278.bin");
        m_window->panel()->box(1)->setValue(1234);
        QCOMPARE(m_window->windowTitle(), caption + "unnamed_278.bin*");
        const bool openFails = saveFails && answer == QMessageBox::Discard;
        QVERIFY(!saveFails || openFails || QFile::remove(program() + "/zlib/zlibtool"));
        answerQuestion(QMessageBox::StandardButton(answer));
        closing ? void(m_window->close()) : open(openFails ? "/dev/zero" : games() + "/other.bin");
        const bool saved = answer == QMessageBox::Save && !saveFails;
        const bool goesOn = saved || answer == QMessageBox::Discard;
        QCOMPARE(read16(unpacked(game()), 2096), saved ? 1234 : read16(m_plainSample, 2096));
        QCOMPARE(m_window->isVisible(), !closing || !goesOn);
        QCOMPARE(m_window->windowTitle(), caption + (goesOn && !closing && !openFails ? "other.bin"
                                                     : saved || openFails             ? "unnamed_278.bin"
                                                                                      : "unnamed_278.bin*"));
    }

    // Before the first Save that replaces a game file, a copy of it as it was
    // is kept, once for each path: later Saves, also after a restart, leave it.
    void originalsKeptOnce()
    {
        const QString originals = program() + "/originals", other = m_dir.path() + "/other/unnamed_278.bin";
        QVERIFY(QDir().mkpath(m_dir.path() + "/other") && writeFile(other, m_sample));
        for (int save = 0; save < 3; ++save) {
            if (save == 2) // a restart
                m_window = std::make_unique<frmMain>(program());
            open(game());
            m_window->panel()->box(1)->setValue(100 + save);
            this->save();
            QVERIFY(!shownMessage() && read16(unpacked(game()), 2096) == 100 + save);
            const QStringList kept = QDir(originals).entryList(QDir::Files);
            QVERIFY(kept.size() == 1 && QRegularExpression("^unnamed_278\\.bin-[0-9a-f]{8}$").match(kept[0]).hasMatch());
            QCOMPARE(readFile(originals + "/" + kept[0]), m_sample);
        }
        open(other); // the same title elsewhere is another original
        m_window->panel()->box(1)->setValue(7);
        save();
        QCOMPARE(QDir(originals).entryList(QDir::Files).size(), 2);
        // A copy that cannot be made fails the Save, before the game file is touched.
        QVERIFY(QDir(originals).removeRecursively() && writeFile(originals, "in the way"));
        m_window->panel()->box(1)->setValue(8);
        save();
        QVERIFY(shownMessage() && shownMessage()->text().contains("Failed step: keeping the original"));
        QCOMPARE(read16(unpacked(other), 2096), qint16(7));
    }

    // Qt's dialogs open in the home folder at first, never in the program
    // folder; then in the folder last used for their kind of file, also
    // after a restart. A preset's name Varnel completes is asked about before
    // it is written over, as the dialog never saw it.
    void dialogsStartInTheLastFolder()
    {
        QStringList seen;
        const QString presets = m_dir.path() + "/presets";
        QVERIFY(QDir().mkpath(presets));
        for (const QString step : {"MnuFileOpen", "open", "MnuFileOpen", "importPresetAction", "export",
                                   "restart", "MnuFileOpen", "open", "importPresetAction"}) {
            // Through the seam, the one way to choose that cannot fail here.
            if (step == "open" || step == "export" || step == "restart") {
                step == "open" ? open(game()) : step == "export" ? m_dialog.enqueue(presets + "/p") : void();
                if (step != "open")
                    step == "export" ? m_window->findChild<QAction*>("exportPresetAction")->trigger()
                                     : void(m_window = std::make_unique<frmMain>(program()));
                continue;
            }
            m_scopedDialog.reset(); // Qt's own dialog, cancelled once its folder is seen
            whenShown<QFileDialog>([&seen](QFileDialog* dialog) {
                seen << QDir(dialog->directory()).absolutePath();
                dialog->reject();
            });
            m_window->findChild<QAction*>(qPrintable(step))->trigger();
            m_scopedDialog = std::make_unique<ScopedFileDialogBackend>(m_dialog);
        }
        QCOMPARE(seen, QStringList({QDir::homePath(), games(), QDir::homePath(), games(), presets}));
        QVERIFY(QFile::exists(presets + "/p.varnel.json")); // a name without a suffix gets the preset's
        QVERIFY(writeFile(presets + "/p.varnel.json", "mine"));
        answerQuestion(QMessageBox::Escape, "replaceFile"), m_dialog.enqueue(presets + "/p");
        m_window->findChild<QAction*>("exportPresetAction")->trigger();
        QVERIFY(m_asked.contains("already exists") && readFile(presets + "/p.varnel.json") == "mine");
    }

    // Readmy opens the program folder's readme wherever the current folder is.
    void readmy()
    {
        QStringList opened;
        m_window->setReadmeOpener([&opened](const QString& path) { return opened << path, true; });
        QDir::setCurrent(games());
        m_window->findChild<QAction*>("cmdReadmy")->trigger();
        QCOMPARE(opened, QStringList{QDir::toNativeSeparators(program() + "/doc/Readmy.txt")});
        QVERIFY(!shownMessage());
        m_window->setReadmeOpener([](const QString&) { return false; }); // no viewer on this desktop
        m_window->findChild<QAction*>("cmdReadmy")->trigger();
        QVERIFY(shownMessage() && shownMessage()->text().startsWith(opened[0] + " cannot be opened"));
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
