#pragma once

#include "baza.h"
#include "gamefileworkflow.h"
#include "gameonshow.h"

#include <QMainWindow>
#include <QUndoStack>

#include <functional>
#include <optional>

class EditorPanel;
class RecentFiles;
class QAction;
class QLineEdit;
class ScoreboardMap;
namespace editing {
class LayoutHistory;
}

// The program's main window: the editor panel, the menus and the workflow
// around the working files and zlibtool. It owns the one layout record, the
// undo history of the layout and, once it is first asked for, the map.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // The program folder is the executable's folder.
    frmMain();
    // For tests that lay out a program folder of their own.
    explicit frmMain(const QString& programFolder);

    Baza& baza() { return m_baza; }
    EditorPanel* panel() const { return m_panel; }
    ScoreboardMap* map() const { return m_map; }

    // Opens the readme; replaced in tests. Answers whether a viewer started.
    using ReadmeOpener = std::function<bool(const QString& path)>;
    void setReadmeOpener(ReadmeOpener opener) { m_openReadme = std::move(opener); }

    // How zlibtool is run; see GameFileWorkflow.
    using ProcessRunner = GameFileWorkflow::ProcessRunner;
    void setProcessRunner(ProcessRunner runner) { m_workflow.setProcessRunner(std::move(runner)); }

    // How long zlibtool may run before it is stopped and its step fails.
    void setToolTimeLimit(int milliseconds) { m_workflow.setToolTimeLimit(milliseconds); }

    void MnuFileOpen_Click();
    // Opens a game file through Open File's steps; false, with a message
    // naming the file, the step and the reason, when one fails. With
    // `discarded`, a failure puts back the layout as last opened or saved.
    // whenFailed begins the message of a failure, %1 standing for the file.
    bool openGameFile(const QString& path, bool discarded = false,
                      const QString& whenFailed = QStringLiteral("%1 was not opened."));
    // True when the game file was replaced.
    bool cmdZapisz_Click();
    void cmdReadmy_Click();
    void showMap();
    void importPreset();
    void exportPreset();
    void restoreOriginal();
    // The file at the top of Recent Files is the newest.
    RecentFiles* recentFiles() const { return m_recent; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // One game file or preset may be dropped on the window; anything else is
    // refused while it is dragged.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class Settled { Cancelled, NothingLost, Discarded };

    void buildMenus();
    void buildLayoutMenu();
    void buildFixedElements();
    bool hasUnsavedChanges() const;
    Settled settleUnsavedChanges();
    // Open File's question, then its steps, for a file chosen otherwise.
    void openChosen(const QString& path);
    void openRecent(const QString& path);
    void importPresetFrom(const QString& path);
    // The folder a dialog starts in: the last one used for its kind of
    // file, or the home folder.
    QString startFolder(const QString& kind) const;
    void rememberFolder(const QString& kind, const QString& file);
    void updateCaption();
    void Clear_Fields();
    void setBusy(bool busy);
    void updateCommands();
    void reportFailure(const QString& what, const gamefile::StepResult& failure);
    void showWarning(const QString& caption, const QString& name, const QString& text);

    GameFileWorkflow m_workflow;
    Baza m_baza;
    std::optional<GameOnShow> m_game;
    bool m_changedOnDisk = false; // seen when the window was last activated
    EditorPanel* m_panel = nullptr;
    QLineEdit* m_lokalizacja = nullptr;
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_readmy = nullptr;
    QAction* m_mapAction = nullptr;
    QAction* m_invertHome = nullptr;
    QAction* m_invertAway = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_importPreset = nullptr;
    QAction* m_exportPreset = nullptr;
    QAction* m_restoreOriginal = nullptr;
    RecentFiles* m_recent = nullptr;
    QUndoStack m_undo;
    editing::LayoutHistory* m_history = nullptr;
    ScoreboardMap* m_map = nullptr;
    bool m_busy = false;
    bool m_closeRequested = false;
    ReadmeOpener m_openReadme;
};
