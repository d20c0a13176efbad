#include "frmmain.h"

#include "artwork.h"
#include "editorpanel.h"
#include "fieldediting.h"
#include "filekind.h"
#include "fonts.h"
#include "layouthistory.h"
#include "originals.h"
#include "panelframe.h"
#include "preset.h"
#include "questions.h"
#include "recentfiles.h"
#include "savemarks.h"
#include "scn_common_dialog.h"
#include "scn_process.h"
#include "scoreboardmap.h"
#include "twips.h"
#include "varnelsettings.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScopeGuard>
#include <QUrl>

namespace {

const QString kCaption = QStringLiteral("Varnel 6.01.2011 BY Korvath");
const QString kOpenFilter = QStringLiteral("unnamed_278.bin (*.bin)|*.bin| All Files (*.*)|*.*");
const QString kPresetFilter =
    QStringLiteral("Varnel layouts (*.varnel.json *.json)|*.varnel.json;*.json|All Files (*.*)|*.*");
// What Export Preset adds to a name without a suffix: its own file type, and
// JSON to every other program.
const QString kPresetSuffix = QStringLiteral(".varnel.json");

// The last folder of each kind of file is remembered across runs.
const QString kGames = QStringLiteral("Game"), kPresets = QStringLiteral("Preset"),
              kImages = QStringLiteral("Image");

// The one local file of a drag that Varnel can take, and what it is.
std::optional<std::pair<QString, gamefile::FileKind>> droppedFile(const QMimeData* data)
{
    if (!data->hasUrls() || data->urls().size() != 1 || !data->urls()[0].isLocalFile())
        return std::nullopt;
    const QString path = data->urls()[0].toLocalFile();
    const gamefile::FileKind kind = gamefile::kindOf(path);
    if (kind == gamefile::FileKind::Other)
        return std::nullopt;
    return std::pair(path, kind);
}

const QString kHelpText = QStringLiteral("To invert the image you need to change some points\r\n"
                                         "At the point \r\n"
                                         "A you put the value of point c, \r\n"
                                         "At point B you put the value of point D, \r\n"
                                         "At the point C you put the value of point A, \r\n"
                                         "At the point D you put the value of point B:\r\n"
                                         "\r\n"
                                         "Point A (224,112)\r\n"
                                         "Point B (256,112)\r\n"
                                         "Point C (224,0)\r\n"
                                         "Point D (256,0)");

} // namespace

frmMain::frmMain() : frmMain(gamefile::ProgramFolder::ofExecutable().path()) {}

frmMain::frmMain(const QString& programFolder) : m_workflow(programFolder)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kCaption);
    setWindowIcon(artwork::windowIcon());
    // Relative paths resolve against the program folder.
    QDir::setCurrent(m_workflow.folder().path());

    m_panel = new EditorPanel(this);
    setCentralWidget(m_panel);
    // The panel sizes itself to the window's client area.
    m_panel->setFixedSize(m_panel->size());
    editing::connectStorePass(*m_panel, m_baza);
    auto* marks = new editing::SaveMarks(*m_panel, m_baza, this);
    m_history = new editing::LayoutHistory(*m_panel, m_baza, m_undo, this);
    connect(m_history, &editing::LayoutHistory::changed, this, &frmMain::updateCaption);
    connect(m_history, &editing::LayoutHistory::changed, marks, &editing::SaveMarks::updateAll);
    connect(&m_undo, &QUndoStack::indexChanged, this, &frmMain::updateCommands);

    buildMenus();
    buildFixedElements();
    m_openReadme = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    setAcceptDrops(true);
    updateCommands();
}

void frmMain::buildMenus()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Menu"));
    menu->setObjectName(QStringLiteral("MENU"));
    m_open = menu->addAction(QStringLiteral("Open File"), this, &frmMain::MnuFileOpen_Click);
    m_open->setObjectName(QStringLiteral("MnuFileOpen"));
    QMenu* recent = menu->addMenu(QStringLiteral("Recent Files"));
    recent->setObjectName(QStringLiteral("recentFilesMenu"));
    m_recent = new RecentFiles(recent, [this](const QString& path) { openRecent(path); });
    menu->addSeparator()->setObjectName(QStringLiteral("Sep"));
    m_save = menu->addAction(QStringLiteral("Save"), this, &frmMain::cmdZapisz_Click);
    m_save->setObjectName(QStringLiteral("cmdZapisz"));
    m_readmy = menuBar()->addAction(QStringLiteral("Readmy"), this, &frmMain::cmdReadmy_Click);
    m_readmy->setObjectName(QStringLiteral("cmdReadmy"));
    // The keys everyone presses, also in a box and on the map.
    for (const auto& [action, key] :
         {std::pair(m_open, QKeySequence::Open), std::pair(m_save, QKeySequence::Save),
          std::pair(m_readmy, QKeySequence::HelpContents)}) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    addAction(m_readmy); // a menu bar's own item takes keys only where a window holds it
    buildLayoutMenu();
}

void frmMain::buildLayoutMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Layout"));
    menu->setObjectName(QStringLiteral("layoutMenu"));
    const auto add = [this, menu](const char* name, const QString& caption, auto handler,
                                  const QList<QKeySequence>& keys = {}) {
        QAction* action = menu->addAction(caption, this, handler);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        // Also in a box, whose own text undo gives these keys up, and on the map.
        action->setShortcutContext(Qt::ApplicationShortcut);
        return action;
    };
    m_mapAction = add("mapAction", QStringLiteral("Scoreboard Map"), &frmMain::showMap, {QKeySequence(Qt::CTRL | Qt::Key_M)});
    m_invertHome = add("invertHomeAction", QStringLiteral("Invert HOME"), [this] { m_history->invert("home"); });
    m_invertAway = add("invertAwayAction", QStringLiteral("Invert AWAY"), [this] { m_history->invert("away"); });
    menu->addSeparator();
    m_undoAction = add("undoAction", QStringLiteral("Undo"), [this] { m_undo.undo(); }, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m_redoAction = add("redoAction", QStringLiteral("Redo"), [this] { m_undo.redo(); },
                       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu->addSeparator();
    m_importPreset = add("importPresetAction", QStringLiteral("Import Preset..."), &frmMain::importPreset);
    m_exportPreset = add("exportPresetAction", QStringLiteral("Export Preset..."), &frmMain::exportPreset);
    menu->addSeparator();
    m_restoreOriginal =
        add("restoreOriginalAction", QStringLiteral("Restore Original..."), &frmMain::restoreOriginal);
}

void frmMain::importPreset()
{
    if (const std::optional<QString> chosen = Scn_Common_Dialog().ChooseFile(
            this, QStringLiteral("Import Preset"), kPresetFilter, startFolder(kPresets)))
        importPresetFrom(*chosen);
}

void frmMain::importPresetFrom(const QString& path)
{
    rememberFolder(kPresets, path);
    QString problem;
    if (const std::optional<layout::Record> record = gamefile::readPreset(path, &problem))
        m_history->showRecord(*record);
    else
        QMessageBox::warning(this, QStringLiteral("Import Preset"),
                             QStringLiteral("The preset was not imported.\n\n%1").arg(problem));
}

void frmMain::exportPreset()
{
    std::optional<QString> chosen = Scn_Common_Dialog::ChooseFileToWrite(
        this, QStringLiteral("Export Preset"), kPresetFilter, startFolder(kPresets));
    if (!chosen)
        return;
    if (QFileInfo(*chosen).suffix().isEmpty()) {
        *chosen += kPresetSuffix;
        if (QFileInfo::exists(*chosen) &&
            !questions::replaceFile(this, QStringLiteral("Export Preset"), *chosen))
            return;
    }
    rememberFolder(kPresets, *chosen);
    // What a Save would write: the record, as it stands.
    if (const gamefile::StepResult written = gamefile::writePreset(*chosen, m_baza.record()); !written.ok())
        QMessageBox::warning(this, QStringLiteral("Export Preset"),
                             QStringLiteral("%1 was not written.\n\nFailed step: %2\nReason: %3")
                                 .arg(QDir::toNativeSeparators(*chosen), written.step(), written.reason()));
}

void frmMain::showMap()
{
    // Built on first use, so that start-up does not pay for it.
    if (!m_map)
        m_map = new ScoreboardMap(
            *m_panel, m_baza, *m_history,
            [this] {
                const QString chosen =
                    Scn_Common_Dialog()
                        .ChooseFile(m_map, QStringLiteral("Backdrop"),
                                    QStringLiteral("Images (*.png *.jpg *.jpeg)|*.png;*.jpg;*.jpeg"),
                                    startFolder(kImages))
                        .value_or(QString());
                rememberFolder(kImages, chosen);
                return chosen;
            },
            this);
    m_map->setGameFile(m_game ? m_game->gameFile : QString());
    m_map->show();
    m_map->raise();
    m_map->activateWindow();
}

void frmMain::buildFixedElements()
{
    auto place = [this](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(twips::toPixels(QRect(left, top, width, height), m_panel));
    };

    m_lokalizacja = new QLineEdit(m_panel);
    m_lokalizacja->setObjectName(QStringLiteral("Lokalizacja"));
    place(m_lokalizacja, 12840, 6240, 615, 285);
    m_lokalizacja->setEnabled(false);
    m_lokalizacja->hide();

    auto* logo = new QLabel(m_panel);
    logo->setObjectName(QStringLiteral("Picture1"));
    logo->setFrameStyle(QFrame::Box | QFrame::Plain);
    logo->setAlignment(Qt::AlignCenter);
    logo->setPixmap(artwork::logoBanner());
    place(logo, 12840, 6600, 2535, 1230);

    auto* thanks = new QLabel(QStringLiteral("Thanks to everyone who measured their scoreboards and sent in "
                                             "the numbers."),
                              m_panel);
    thanks->setObjectName(QStringLiteral("Label35"));
    thanks->setFont(fonts::designFont(QStringLiteral("MS Sans Serif"), 9.75, true));
    place(thanks, 120, 7920, 8205, 240);

    PanelFrame* vertexGroup = m_panel->frame(QStringLiteral("Frame9"));
    auto* help = new QLabel(vertexGroup);
    help->setObjectName(QStringLiteral("Picture2"));
    help->setPixmap(artwork::cornerHelp());
    place(help, 5640, 360, 3540, 2475);

    auto* helpText = new QLabel(kHelpText, vertexGroup);
    helpText->setObjectName(QStringLiteral("Label9"));
    helpText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    helpText->setWordWrap(true);
    // Small enough that the eleven lines fit the box with the stand-in font.
    helpText->setFont(fonts::designFont(QStringLiteral("MS Sans Serif"), 7.5));
    helpText->setAutoFillBackground(true);
    QPalette white = helpText->palette();
    white.setColor(QPalette::Window, Qt::white);
    helpText->setPalette(white);
    place(helpText, 5640, 3480, 3720, 2145);
}

void frmMain::Clear_Fields()
{
    for (int k = 0; k < 44; ++k)
        m_panel->txt(k)->setText(QString());
}

void frmMain::setBusy(bool busy)
{
    m_busy = busy;
    updateCommands();
    if (!busy && m_closeRequested) {
        m_closeRequested = false;
        close();
    }
}

void frmMain::updateCommands()
{
    const bool editable = !m_busy && m_game;
    m_open->setEnabled(!m_busy);
    m_save->setEnabled(editable);
    m_readmy->setEnabled(true);
    m_mapAction->setEnabled(!m_busy);
    m_invertHome->setEnabled(editable);
    m_invertAway->setEnabled(editable);
    m_undoAction->setEnabled(editable && m_undo.canUndo());
    m_redoAction->setEnabled(editable && m_undo.canRedo());
    m_importPreset->setEnabled(editable);
    m_exportPreset->setEnabled(editable);
    m_restoreOriginal->setEnabled(editable && gamefile::keptAt(m_game->original));
}

bool frmMain::hasUnsavedChanges() const
{
    return m_game && m_baza.record() != m_game->fileRecord;
}

void frmMain::updateCaption()
{
    if (!m_game)
        return setWindowTitle(kCaption);
    setWindowTitle(kCaption + QStringLiteral(" - ") + m_game->title +
                   (hasUnsavedChanges() ? QStringLiteral("*") : QString()) +
                   (m_changedOnDisk ? QStringLiteral(" (changed on disk)") : QString()));
}

// Back in the window, the person sees whether another program has changed
// the game file meanwhile; Save asks before it writes over such a change.
void frmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_game && !m_busy) {
        m_changedOnDisk = !m_game->onDisk.seemsToMatch(m_game->gameFile);
        updateCaption();
    }
    QMainWindow::changeEvent(event);
}

frmMain::Settled frmMain::settleUnsavedChanges()
{
    if (!hasUnsavedChanges())
        return Settled::NothingLost;
    switch (questions::unsavedChanges(this, kCaption, m_game->title)) {
    case questions::UnsavedAnswer::Save:
        return cmdZapisz_Click() ? Settled::NothingLost : Settled::Cancelled;
    case questions::UnsavedAnswer::Discard:
        return Settled::Discarded;
    case questions::UnsavedAnswer::Cancel:
        break;
    }
    return Settled::Cancelled;
}

void frmMain::MnuFileOpen_Click()
{
    if (m_busy)
        return;
    const Settled settled = settleUnsavedChanges();
    if (settled == Settled::Cancelled)
        return;
    // Cancel leaves everything on show as it is, the grey fields included.
    if (const std::optional<QString> chosen = Scn_Common_Dialog().ChooseFile(
            this, QStringLiteral("Open File"), kOpenFilter, startFolder(kGames)))
        openGameFile(*chosen, settled == Settled::Discarded);
}

void frmMain::openChosen(const QString& path)
{
    if (const Settled settled = m_busy ? Settled::Cancelled : settleUnsavedChanges();
        settled != Settled::Cancelled)
        openGameFile(path, settled == Settled::Discarded);
}

void frmMain::openRecent(const QString& path)
{
    if (QFileInfo(path).isFile())
        return openChosen(path);
    m_recent->remove(path);
    showWarning(kCaption, QStringLiteral("failure"),
                QStringLiteral("%1 is no longer there. It has been taken off the recent files.")
                    .arg(QDir::toNativeSeparators(path)));
}

QString frmMain::startFolder(const QString& kind) const
{
    const QString last = varnelSettings().value(QStringLiteral("last%1Folder").arg(kind)).toString();
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

void frmMain::rememberFolder(const QString& kind, const QString& file)
{
    if (!file.isEmpty())
        varnelSettings().setValue(QStringLiteral("last%1Folder").arg(kind), QFileInfo(file).absolutePath());
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    const auto dropped = droppedFile(event->mimeData());
    // A preset goes into a layout on show; without one it has nowhere to go.
    if (!m_busy && dropped && (m_game || dropped->second == gamefile::FileKind::GameFile))
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const auto dropped = droppedFile(event->mimeData());
    if (!dropped)
        return;
    event->acceptProposedAction();
    // After the drag has ended: Open may ask, and waits for zlibtool.
    QMetaObject::invokeMethod(
        this,
        [this, dropped] {
            if (dropped->second == gamefile::FileKind::GameFile)
                openChosen(dropped->first);
            else if (m_game && !m_busy)
                importPresetFrom(dropped->first);
        },
        Qt::QueuedConnection);
}

bool frmMain::openGameFile(const QString& path, bool discarded, const QString& whenFailed)
{
    if (m_busy)
        return false;
    setBusy(true);
    const auto idle = qScopeGuard([this] { setBusy(false); });
    const QString title = QFileInfo(path).fileName();
    const gamefile::WorkingFiles files = m_workflow.folder().workingFilesFor(title);
    gamefile::FileFingerprint read;
    gamefile::StepResult result = m_workflow.fetch(path, files, &read);
    // Nothing Open does to the fields is an edit; a new layout starts a new history.
    m_history->pause();
    const editing::LayoutState before = editing::captureState(*m_panel, m_baza);
    if (result.ok()) {
        Clear_Fields();
        if (!m_baza.Wczytaj(files.decompressed))
            result = gamefile::StepResult::failed(
                QStringLiteral("reading the layout"),
                QStringLiteral("%1 cannot be read").arg(QDir::toNativeSeparators(files.decompressed)));
    }
    if (!result.ok()) {
        editing::putBackState(*m_panel, m_baza, discarded && m_game ? m_game->saved : before);
        m_history->resume(discarded);
        m_workflow.keepClaimOnly(m_game ? std::optional(m_game->files) : std::nullopt);
        reportFailure(whenFailed.arg(QDir::toNativeSeparators(path)), result);
        return false;
    }
    const layout::Record fileRecord = m_baza.record();
    m_lokalizacja->setText(files.decompressed);
    editing::Show_Data(*m_panel, m_baza);
    const QString original = gamefile::originalFor(path, m_workflow.folder().originalsFolder());
    m_game =
        GameOnShow{path, title, files, original, read, fileRecord, editing::captureState(*m_panel, m_baza)};
    m_changedOnDisk = false;
    m_workflow.keepClaimOnly(files);
    m_history->resume(true);
    rememberFolder(kGames, path);
    m_recent->add(path);
    if (m_map)
        m_map->setGameFile(path);
    return true;
}

bool frmMain::cmdZapisz_Click()
{
    if (m_busy || !m_game)
        return false;
    setBusy(true);
    const auto idle = qScopeGuard([this] { setBusy(false); });
    GameOnShow& game = *m_game;
    // Another program's change is never overwritten unseen: the layout goes
    // into the file as it is now, if the person wants that.
    const bool changed = !game.onDisk.matches(game.gameFile);
    if (changed) {
        gamefile::StepResult still = gamefile::checkStillAGameFile(game.gameFile);
        if (still.ok() && !questions::writeIntoChangedFile(this, kCaption, game.title))
            return false;
        if (!still.ok()) {
            reportFailure(QStringLiteral("%1 was not saved.").arg(QDir::toNativeSeparators(game.gameFile)),
                          still);
            return false;
        }
    }
    // A working file removed or emptied meanwhile is made anew from the game file.
    const QFileInfo working(game.files.decompressed);
    gamefile::FileFingerprint read, written;
    gamefile::StepResult result = gamefile::StepResult::done();
    if (changed || !working.isFile() || working.size() == 0) {
        result = m_workflow.fetch(game.gameFile, game.files, &read);
        // The working files now hold the game file as it is, whatever the
        // store does: the next Save compares with that.
        if (result.ok())
            game.onDisk = read;
    }
    // The boxes still answer while the tool runs; what is typed meanwhile is
    // not in this Save.
    const editing::LayoutState shown = editing::captureState(*m_panel, m_baza);
    if (result.ok())
        result = m_workflow.store(m_baza, game, &written);
    if (!result.ok()) {
        reportFailure(QStringLiteral("%1 was not saved.").arg(QDir::toNativeSeparators(game.gameFile)),
                      result);
        return false;
    }
    game.onDisk = written;
    game.fileRecord = shown.record;
    game.saved = shown;
    m_changedOnDisk = false;
    updateCaption();
    return true;
}

void frmMain::restoreOriginal()
{
    const std::optional<QDateTime> kept = m_game ? gamefile::keptAt(m_game->original) : std::nullopt;
    if (m_busy || !kept)
        return;
    if (!questions::restoreOriginal(this, kCaption, m_game->title, *kept, hasUnsavedChanges()))
        return;
    const QString gameFile = m_game->gameFile;
    if (const gamefile::StepResult result = gamefile::restoreOriginal(m_game->original, gameFile);
        !result.ok())
        return reportFailure(QStringLiteral("%1 was not put back.").arg(QDir::toNativeSeparators(gameFile)),
                             result);
    // As if opened anew: the original's values, no unsaved changes, a new history.
    openGameFile(gameFile, true,
                 QStringLiteral("%1 was put back as it was, but could not be opened again: the layout on "
                                "show is the one from before."));
}

void frmMain::reportFailure(const QString& what, const gamefile::StepResult& failure)
{
    showWarning(
        kCaption, QStringLiteral("failure"),
        QStringLiteral("%1\n\nFailed step: %2\nReason: %3").arg(what, failure.step(), failure.reason()));
}

// Window-modal, so that the command returns at once and the window stays
// as it is behind the message.
void frmMain::showWarning(const QString& caption, const QString& name, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, this);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void frmMain::cmdReadmy_Click()
{
    // Resolved against the program folder: an Open may have moved the
    // current directory elsewhere.
    const QString readme = m_workflow.folder().readmePath();
    if (!m_openReadme(readme))
        showWarning(kCaption, QStringLiteral("failure"),
                    QStringLiteral("%1 cannot be opened: no program to show text files was found.")
                        .arg(QDir::toNativeSeparators(readme)));
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Never leave a Save half done: close once the running command ends,
    // which the tool's time limit makes sure of.
    if (m_busy) {
        m_closeRequested = true;
        event->ignore();
        return;
    }
    if (settleUnsavedChanges() == Settled::Cancelled) {
        event->ignore();
        return;
    }
    if (m_map)
        m_map->close();
    QMainWindow::closeEvent(event);
}
