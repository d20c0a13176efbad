#pragma once

#include "baza.h"
#include "gamefilesteps.h"
#include "workingclaim.h"

#include <QMainWindow>
#include <QUndoStack>

#include <array>
#include <functional>
#include <optional>

class EditorPanel;
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

    // Runs zlibtool (the program, then its arguments) and returns once it
    // has ended, or false when it was stopped at the time limit; Scn_Process
    // by default. The benchmark puts other ways of waiting here.
    using ProcessRunner = std::function<bool(const QStringList& commandLine, int timeLimitMs)>;
    void setProcessRunner(ProcessRunner runner) { m_runProcess = std::move(runner); }

    // How long zlibtool may run before it is stopped and its step fails.
    void setToolTimeLimit(int milliseconds) { m_toolTimeLimitMs = milliseconds; }

    void MnuFileOpen_Click();
    // True when the game file was replaced.
    bool cmdZapisz_Click();
    void cmdReadmy_Click();
    void showMap();
    void importPreset();
    void exportPreset();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildLayoutMenu();
    void buildFixedElements();
    bool hasUnsavedChanges() const;
    // True when the person may go on: nothing unsaved, or saved, or dropped.
    bool settleUnsavedChanges();
    void updateCaption();
    void Clear_Fields();
    void setBusy(bool busy);
    void updateCommands();
    gamefile::ToolRun runTool(const QStringList& arguments);
    void reportSaveFailure(const gamefile::StepResult& failure);
    void reportOpenRefusal(const QString& gameFile, const QString& reason);
    void showWarning(const QString& caption, const QString& name, const QString& text);
    // The working files of the layout on show, if one is.
    std::optional<gamefile::WorkingFiles> shownFiles() const;

    gamefile::ProgramFolder m_programFolder;
    gamefile::WorkingClaim m_claim; // the working files of the layout on show
    Baza m_baza;
    QString m_targetPath;
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
    QUndoStack m_undo;
    editing::LayoutHistory* m_history = nullptr;
    ScoreboardMap* m_map = nullptr;
    QString m_title; // of the game file on show
    layout::Record m_savedRecord{}; // as opened or last saved
    bool m_busy = false;
    bool m_closeRequested = false;
    int m_toolTimeLimitMs;
    ReadmeOpener m_openReadme;
    ProcessRunner m_runProcess;
};
