#pragma once

#include "frmmain.h"
#include "scn_common_dialog.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

class QMessageBox;

// A real editor window on a program folder of its own, with the real
// zlibtool, and a games folder holding a copy of the sample. The folder
// names hold blanks and a single quote, as a person's folders may.
class EditorFixture {
protected:
    // Call from a test program's init() and cleanup(); failures are
    // reported through QTest and skip the test function.
    void setUpEditor();
    void tearDownEditor();

    QString program() const { return m_dir.path() + "/prog 'x' folder"; }
    QString workingFolder() const { return program() + "/zlib/temp"; }
    QString workingFile() const { return workingFolder() + "/unnamed_278.bin.unzlib"; }
    QString games() const { return m_dir.path() + "/my games"; }
    QString game() const { return games() + "/unnamed_278.bin"; }

    // Open with the dialog answering path, and Save, each through its menu.
    void open(const QString& path);
    void save();

    // Puts a shell script in the tool's place; the real tool stays beside
    // it as zlib/real-tool, and the script finds its folder in $here.
    bool replaceTool(const QByteArray& body);

    // Decompresses a game file with the real tool, in a scratch folder.
    QByteArray decompressWithTool(const QString& gameFile);
    // Every file beside the game file, hidden ones included.
    QStringList besideGame() const;

    static QMessageBox* shownMessage();
    static void closeMessages();

    QTemporaryDir m_dir;
    QueuedFileDialogBackend m_dialog;
    std::unique_ptr<ScopedFileDialogBackend> m_scopedDialog;
    std::unique_ptr<frmMain> m_window;
    QByteArray m_sample;      // the bundled game file
    QByteArray m_plainSample; // its layout, decompressed
};
