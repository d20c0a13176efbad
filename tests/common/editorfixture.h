#pragma once

#include "container.h"
#include "containerbytes.h"
#include "frmmain.h"
#include "scn_common_dialog.h"
#include "testfiles.h"
#include "varnelsettings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// A real editor window on a program folder of its own, with the real
// zlibtool, and a games folder holding a copy of the sample. The folder
// names hold blanks and a single quote, as a person's folders may.
class EditorFixture {
protected:
    QTemporaryDir m_dir;
    QTemporaryDir m_settings; // what the window remembers, apart from test programs run alongside
    QueuedFileDialogBackend m_dialog;
    std::unique_ptr<ScopedFileDialogBackend> m_scopedDialog;
    std::unique_ptr<frmMain> m_window;
    QByteArray m_sample = testfiles::readFile(SAMPLE_PATH); // the bundled game file
    QByteArray m_plainSample = *unpack(m_sample);             // its layout

    QString program() const { return m_dir.path() + "/prog 'x' folder"; }
    QString workingFolder() const { return program() + "/zlib/temp"; }
    QString workingFile() const { return workingFolder() + "/unnamed_278.bin.unzlib"; }
    QString games() const { return m_dir.path() + "/my games"; }
    QString game() const { return games() + "/unnamed_278.bin"; }

    // Call from init() and cleanup(); failures skip the test function.
    void setUpEditor()
    {
        QStandardPaths::setTestModeEnabled(true); // the settings of a test run are its own
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        varnelSettings().clear();
        QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(workingFolder()) &&
                QDir().mkpath(program() + "/doc") && QDir().mkpath(games()));
        QVERIFY(QFile::copy(ZLIBTOOL_PATH, program() + "/zlib/zlibtool") && testfiles::writeFile(game(), m_sample));
        m_scopedDialog = std::make_unique<ScopedFileDialogBackend>(m_dialog);
        m_window = std::make_unique<frmMain>(program());
        m_window->show();
    }
    void tearDownEditor()
    {
        m_window.reset(); // and its messages with it
        m_scopedDialog.reset();
        m_dialog = QueuedFileDialogBackend();
    }

    // Open with the dialog answering path, and Save, each through its menu.
    void open(const QString& path)
    {
        m_dialog.enqueue(path);
        m_window->findChild<QAction*>("MnuFileOpen")->trigger();
    }
    void save() { m_window->findChild<QAction*>("cmdZapisz")->trigger(); }

    // What a container holds, by the codec's reading; nothing when it is none.
    static std::optional<QByteArray> unpack(const QByteArray& container)
    {
        try {
            return gamefile::unpackContainer(container);
        } catch (const zlibcodec::Error&) {
            return std::nullopt;
        }
    }
    QByteArray unpacked(const QString& gameFile) const { return unpack(testfiles::readFile(gameFile)).value_or(""); }

    // Puts a shell script in the tool's place; the real tool stays beside it
    // as zlib/real-tool, and the script finds its folder in $here.
    bool replaceTool(const QByteArray& body) const
    {
        const QString tool = program() + "/zlib/zlibtool";
        return QFile::rename(tool, program() + "/zlib/real-tool") &&
               testfiles::writeFile(tool, "#!/bin/sh\nhere=\"$(dirname \"$0\")\"\n" + body) &&
               QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Acts on the next modal dialog of the given kind (and name) once it shows.
    template <typename Dialog> void whenShown(std::function<void(Dialog*)> act, const QString& name = {})
    {
        auto* poll = new QTimer(m_window.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, act, name] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible() && (name.isEmpty() || dialog->objectName() == name))
                poll->deleteLater(), act(dialog);
        });
        poll->start(10);
    }
    // Answers the next question of that name with button, with the Escape
    // key for QMessageBox::Escape, or with its default button for NoButton;
    // m_asked then holds its text and informative text, joined by "|".
    QString m_asked;
    void answerQuestion(QMessageBox::StandardButton button, const QString& name = "unsavedChanges")
    {
        whenShown<QMessageBox>(
            [this, button](QMessageBox* question) {
                m_asked = question->text() + "|" + question->informativeText();
                button == QMessageBox::Escape     ? QTest::keyClick(question, Qt::Key_Escape)
                : button == QMessageBox::NoButton ? question->defaultButton()->click()
                                                  : question->button(button)->click();
            },
            name);
    }

    static QMessageBox* shownMessage()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                return box;
        return nullptr;
    }
};
