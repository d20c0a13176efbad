#include "frmmain.h"

#include "artwork.h"
#include "editorpanel.h"
#include "fieldediting.h"
#include "fonts.h"
#include "layouthistory.h"
#include "numbertext.h"
#include "panelframe.h"
#include "preset.h"
#include "scn_common_dialog.h"
#include "scn_process.h"
#include "scoreboardmap.h"
#include "twips.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSettings>
#include <QUrl>

namespace {

const QString kCaption = QStringLiteral("Varnel 6.01.2011 BY Korvath");
const QString kOpenFilter = QStringLiteral("unnamed_278.bin (*.bin)|*.bin| All Files (*.*)|*.*");
const QString kPresetFilter = QStringLiteral("Varnel layouts (*.json)|*.json|All Files (*.*)|*.*");

// Where the folder of the last game file opened is remembered across runs.
QSettings settings() { return QSettings(QStringLiteral("Varnel"), QStringLiteral("Varnel")); }
const QString kLastFolder = QStringLiteral("lastGameFolder");

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

frmMain::frmMain(const QString& programFolder)
    : m_programFolder(programFolder), m_claim(m_programFolder.lockFolder()),
      m_toolTimeLimitMs(Scn_Process::kDefaultTimeLimitMs)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kCaption);
    setWindowIcon(artwork::windowIcon());
    // Relative paths resolve against the program folder.
    QDir::setCurrent(m_programFolder.path());

    m_panel = new EditorPanel(this);
    setCentralWidget(m_panel);
    // The panel sizes itself to the window's client area.
    m_panel->setFixedSize(m_panel->size());
    editing::connectStorePass(*m_panel, m_baza);
    m_history = new editing::LayoutHistory(*m_panel, m_baza, m_undo, this);
    connect(m_history, &editing::LayoutHistory::changed, this, &frmMain::updateCaption);
    connect(&m_undo, &QUndoStack::indexChanged, this, &frmMain::updateCommands);

    buildMenus();
    buildFixedElements();
    m_openReadme = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    m_runProcess = [](const QStringList& commandLine, int timeLimitMs) {
        Scn_Process process;
        process.setTimeLimit(timeLimitMs);
        return process.Run_Process(commandLine);
    };
    updateCommands();
}

void frmMain::buildMenus()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Menu"));
    menu->setObjectName(QStringLiteral("MENU"));
    m_open = menu->addAction(QStringLiteral("Open File"), this, &frmMain::MnuFileOpen_Click);
    m_open->setObjectName(QStringLiteral("MnuFileOpen"));
    menu->addSeparator()->setObjectName(QStringLiteral("Sep"));
    m_save = menu->addAction(QStringLiteral("Save"), this, &frmMain::cmdZapisz_Click);
    m_save->setObjectName(QStringLiteral("cmdZapisz"));
    m_readmy = menuBar()->addAction(QStringLiteral("Readmy"), this, &frmMain::cmdReadmy_Click);
    m_readmy->setObjectName(QStringLiteral("cmdReadmy"));
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
}

void frmMain::importPreset()
{
    const QString chosen = Scn_Common_Dialog().OpenFileName(this, QStringLiteral("Import Preset"), kPresetFilter);
    if (numbertext::isNumeric(chosen))
        return;
    QString problem;
    if (const std::optional<layout::Record> record = gamefile::readPreset(chosen, &problem))
        m_history->showRecord(*record);
    else
        QMessageBox::warning(this, QStringLiteral("Import Preset"),
                             QStringLiteral("The preset was not imported.\n\n%1").arg(problem));
}

void frmMain::exportPreset()
{
    const QString chosen = Scn_Common_Dialog::SaveFileName(this, QStringLiteral("Export Preset"), kPresetFilter);
    if (numbertext::isNumeric(chosen))
        return;
    // What a Save would write: the record, as it stands.
    if (const gamefile::StepResult written = gamefile::writePreset(chosen, m_baza.record()); !written.ok())
        QMessageBox::warning(this, QStringLiteral("Export Preset"),
                             QStringLiteral("%1 was not written.\n\nFailed step: %2\nReason: %3")
                                 .arg(QDir::toNativeSeparators(chosen), written.step(), written.reason()));
}

void frmMain::showMap()
{
    // Built on first use, so that start-up does not pay for it.
    if (!m_map)
        m_map = new ScoreboardMap(*m_panel, m_baza, *m_history, [this] {
            const QString chosen = Scn_Common_Dialog().OpenFileName(
                m_map, QStringLiteral("Backdrop"), QStringLiteral("Images (*.png *.jpg *.jpeg)|*.png;*.jpg;*.jpeg"));
            return numbertext::isNumeric(chosen) ? QString() : chosen;
        }, this);
    m_map->setGameFile(m_targetPath);
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
    const bool editable = !m_busy && m_baza.Loaded();
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
}

bool frmMain::hasUnsavedChanges() const
{
    return m_baza.Loaded() && m_baza.record() != m_savedRecord;
}

void frmMain::updateCaption()
{
    setWindowTitle(m_title.isEmpty() ? kCaption
                                     : kCaption + QStringLiteral(" - ") + m_title +
                                           (hasUnsavedChanges() ? QStringLiteral("*") : QString()));
}

bool frmMain::settleUnsavedChanges()
{
    if (!hasUnsavedChanges())
        return true;
    QMessageBox question(QMessageBox::Question, kCaption, QStringLiteral("Save changes to %1?").arg(m_title),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    question.setObjectName(QStringLiteral("unsavedChanges"));
    question.setDefaultButton(QMessageBox::Save);
    question.setEscapeButton(QMessageBox::Cancel);
    switch (question.exec()) {
    case QMessageBox::Save:
        return cmdZapisz_Click();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

gamefile::ToolRun frmMain::runTool(const QStringList& arguments)
{
    const QString tool = m_programFolder.toolPath();
    const bool endedInTime = m_runProcess(QStringList{tool} + arguments, m_toolTimeLimitMs);
    return {tool, endedInTime, m_toolTimeLimitMs};
}

void frmMain::MnuFileOpen_Click()
{
    if (m_busy || !settleUnsavedChanges())
        return;
    // Nothing Open does to the fields is an edit; a new layout starts a new history.
    m_history->pause();
    bool loaded = false;
    const auto resume = qScopeGuard([this, &loaded] { m_history->resume(loaded); });
    Clear_Fields();

    Scn_Common_Dialog dialog;
    const QString startFolder = settings().value(kLastFolder, m_programFolder.path()).toString();
    const QString chosen = dialog.OpenFileName(this, QStringLiteral("Open File"), kOpenFilter, startFolder);
    const QString title = dialog.TitleName();
    if (numbertext::isNumeric(chosen))
        return;
    if (!Baza::File_Exists(chosen) || QFileInfo(chosen).isDir())
        return;

    setBusy(true);
    const auto idle = qScopeGuard([this] { setBusy(false); });
    const gamefile::WorkingFiles files = m_programFolder.workingFilesFor(title);
    // The working files are named after the title: another editor with a
    // game file of this name open has them, and must keep them.
    QString claimed;
    if (!m_claim.add(files, &claimed)) {
        if (!claimed.isEmpty())
            reportOpenRefusal(chosen, claimed);
        return;
    }
    const auto settleClaim = qScopeGuard([this, &loaded, &files] {
        m_claim.keepOnly(loaded ? std::optional(files) : shownFiles());
    });
    // An old decompressed file must never be taken for the new one. Both it
    // and an old plain copy come back if this Open fails: either may be a
    // working file of the layout on show (a game file named after the open
    // one plus ".unzlib"). Every other failure ends the Open quietly.
    gamefile::SetAside oldCopy(files.plainCopy, m_programFolder.asideFolder());
    gamefile::SetAside old(files.decompressed, m_programFolder.asideFolder());
    if (!oldCopy.ready() || !old.ready() || !gamefile::copyIn(chosen, files).ok())
        return;
    const gamefile::ToolRun run = runTool({files.plainCopy, QStringLiteral("-d")});
    if (!gamefile::checkDecompressed(files, run).ok() || !m_baza.Wczytaj(files.decompressed))
        return;
    oldCopy.keepNew();
    old.keepNew();
    m_targetPath = chosen;
    m_lokalizacja->setText(files.decompressed);
    editing::Show_Data(*m_panel, m_baza);
    loaded = true;
    m_title = title;
    m_savedRecord = m_baza.record();
    settings().setValue(kLastFolder, QFileInfo(chosen).absolutePath());
    if (m_map)
        m_map->setGameFile(chosen);
}

bool frmMain::cmdZapisz_Click()
{
    if (m_busy || !m_baza.Loaded())
        return false;
    setBusy(true);
    const auto idle = qScopeGuard([this] { setBusy(false); });
    const gamefile::WorkingFiles files = gamefile::WorkingFiles::ofDecompressed(m_lokalizacja->text());

    // The boxes still answer while the tool runs; what is typed meanwhile is
    // not in this Save.
    const layout::Record written = m_baza.record();
    gamefile::StepResult result = gamefile::writeLayout(m_baza, files);
    if (result.ok())
        result = gamefile::removeOldOutput(files);
    if (result.ok())
        result = gamefile::checkCompressed(files, runTool({files.decompressed}));
    if (result.ok())
        result = gamefile::keepOriginal(m_targetPath, m_programFolder.originalsFolder());
    if (result.ok())
        result = gamefile::replaceGameFile(files, m_targetPath);
    if (!result.ok()) {
        reportSaveFailure(result);
        return false;
    }
    m_savedRecord = written;
    updateCaption();
    return true;
}

void frmMain::reportSaveFailure(const gamefile::StepResult& failure)
{
    showWarning(QStringLiteral("Save"), QStringLiteral("SaveFailure"),
                QStringLiteral("%1 was not saved.\n\nFailed step: %2\nReason: %3")
                    .arg(QDir::toNativeSeparators(m_targetPath), failure.step(), failure.reason()));
}

void frmMain::reportOpenRefusal(const QString& gameFile, const QString& reason)
{
    showWarning(QStringLiteral("Open File"), QStringLiteral("OpenRefused"),
                QStringLiteral("%1 was not opened.\n\nReason: %2").arg(QDir::toNativeSeparators(gameFile), reason));
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

std::optional<gamefile::WorkingFiles> frmMain::shownFiles() const
{
    if (!m_baza.Loaded())
        return std::nullopt;
    return gamefile::WorkingFiles::ofDecompressed(m_lokalizacja->text());
}

void frmMain::cmdReadmy_Click()
{
    // Resolved against the program folder: an Open may have moved the
    // current directory elsewhere.
    m_openReadme(m_programFolder.readmePath());
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
    if (!settleUnsavedChanges()) {
        event->ignore();
        return;
    }
    if (m_map)
        m_map->close();
    QMainWindow::closeEvent(event);
}
