#pragma once

#include <QQueue>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// The one place where the platform's file dialog is called. Tests put their
// own answers in its place, since nothing can click in a real one for them.
class FileDialogBackend {
public:
    virtual ~FileDialogBackend();

    // Shows an Open dialog modal to owner, in startFolder unless that is
    // empty. nameFilters are ready for QFileDialog ("Text (*.txt)"), the
    // first one preselected; it may be empty. Returns the chosen path as the
    // dialog gave it, or nothing on Cancel.
    virtual std::optional<QString> getOpenFileName(QWidget* owner, const QString& title,
                                                   const QStringList& nameFilters, const QString& startFolder) = 0;
    // The same for a file to write, which need not exist.
    virtual std::optional<QString> getSaveFileName(QWidget* owner, const QString& title,
                                                   const QStringList& nameFilters,
                                                   const QString& startFolder) = 0;
};

// The backend used unless a test has put another in place: Qt's own
// QFileDialog widget. A typed name is taken as typed: Qt reads double quotes
// in it as a list of several names, which would pick another file.
class QtFileDialogBackend : public FileDialogBackend {
public:
    std::optional<QString> getOpenFileName(QWidget* owner, const QString& title, const QStringList& nameFilters,
                                           const QString& startFolder) override;
    std::optional<QString> getSaveFileName(QWidget* owner, const QString& title,
                                           const QStringList& nameFilters,
                                           const QString& startFolder) override;
};

// A backend for tests and tools that drive the window: gives back queued
// answers in order, and Cancel once the queue is empty.
class QueuedFileDialogBackend : public FileDialogBackend {
public:
    void enqueue(QString answer);
    void enqueueCancel();

    std::optional<QString> getOpenFileName(QWidget* owner, const QString& title, const QStringList& nameFilters,
                                           const QString& startFolder) override;
    std::optional<QString> getSaveFileName(QWidget* owner, const QString& title,
                                           const QStringList& nameFilters,
                                           const QString& startFolder) override;

private:
    QQueue<std::optional<QString>> m_answers;
};

// The file Open dialog. Remembers the last file chosen.
class Scn_Common_Dialog {
public:
    // Filter is "display|pattern|display|pattern...", as in
    // "unnamed_278.bin (*.bin)|*.bin| All Files (*.*)|*.*"; the first pair is
    // preselected. The dialog opens in StartFolder, or in no particular folder,
    // and accepts a typed name of a file that does not exist, so the caller's
    // own existence test has the last word.
    //
    // Returns the full path chosen, or "-1" on Cancel. The path is read as
    // from a 256-character field padded with NULs: blanks are trimmed from
    // the ends of the whole field, then it is cut at the first NUL, so only
    // leading blanks go and a blank at the end of a name stays part of it.
    // A path longer than 255 characters counts as Cancel too.
    QString OpenFileName(QWidget* FrmName, const QString& DialogTitle, const QString& Filter = QString(),
                         const QString& StartFolder = QString());

    // The same, with Cancel as nothing rather than "-1".
    std::optional<QString> ChooseFile(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& startFolder = QString());

    // The same for a file to write: a preset, for one. Not one of the
    // platform's Open dialogs, so nothing is stored for TitleName.
    static std::optional<QString> ChooseFileToWrite(QWidget* owner, const QString& title,
                                                    const QString& filter,
                                                    const QString& startFolder = QString());

    // The stored file name's last part, after the last path separator ("/",
    // and "\" on Windows). The whole name when it has no separator; empty when
    // the name is empty or ends with a separator.
    QString TitleName() const;

    // Filter as QFileDialog name filters: split at every "|" into (display
    // text, pattern) pairs, blanks kept; a trailing "|" adds nothing. Qt reads the patterns from the
    // last parentheses and wants them separated by blanks, so "*.a;*.b"
    // becomes "(*.a *.b)", and a display text that does not already end in
    // its pattern gets " (pattern)" added. An empty pattern shows everything.
    static QStringList nameFilters(const QString& filter);

    // The platform's dialog, unless a ScopedFileDialogBackend has put
    // another in its place.
    static FileDialogBackend& backend();

private:
    // The answer read as from the 256-character field; nothing for Cancel.
    static std::optional<QString> asFromTheField(const std::optional<QString>& answer);

    QString m_fileName;
};

// Puts a backend in place for as long as it lives, then restores the one
// before it.
class ScopedFileDialogBackend {
public:
    explicit ScopedFileDialogBackend(FileDialogBackend& backend);
    ~ScopedFileDialogBackend();
    ScopedFileDialogBackend(const ScopedFileDialogBackend&) = delete;
    ScopedFileDialogBackend& operator=(const ScopedFileDialogBackend&) = delete;

private:
    FileDialogBackend* m_previous;
};
