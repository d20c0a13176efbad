#pragma once

#include "baza.h"

#include <QMainWindow>

#include <functional>

class EditorPanel;
class QAction;
class QLineEdit;

// The program's only window: the editor panel, the menus and the workflow
// around the working files and zlibtool. It owns the one layout record.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // The program folder is the executable's folder.
    frmMain();
    // For tests that lay out a program folder of their own.
    explicit frmMain(const QString& programFolder);

    const QString& programFolder() const { return m_programFolder; }
    Baza& baza() { return m_baza; }
    EditorPanel* panel() const { return m_panel; }
    QString targetPath() const { return m_targetPath; }

    // Opens the readme; replaced in tests. Answers whether a viewer started.
    using ReadmeOpener = std::function<bool(const QString& path)>;
    void setReadmeOpener(ReadmeOpener opener) { m_openReadme = std::move(opener); }

    // Runs a zlibtool command line and returns once the tool has ended;
    // Scn_Process by default. The benchmark puts other ways of waiting here.
    using ProcessRunner = std::function<void(const QString& commandLine)>;
    void setProcessRunner(ProcessRunner runner) { m_runProcess = std::move(runner); }

    void MnuFileOpen_Click();
    void cmdZapisz_Click();
    void cmdReadmy_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildFixedElements();
    void Clear_Fields();
    void setBusy(bool busy);
    void updateCommands();
    void reportSaveFailure(const QString& step, const QString& reason);
    QString toolPath() const;
    QString workingFolder() const;

    QString m_programFolder;
    Baza m_baza;
    QString m_targetPath;
    EditorPanel* m_panel = nullptr;
    QLineEdit* m_lokalizacja = nullptr;
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_readmy = nullptr;
    bool m_busy = false;
    bool m_closeRequested = false;
    ReadmeOpener m_openReadme;
    ProcessRunner m_runProcess;
};
