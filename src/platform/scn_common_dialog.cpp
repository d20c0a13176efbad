#include "scn_common_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>

#include <utility>

namespace {

// Set by tests only; nullptr means the platform's dialog.
FileDialogBackend* g_backendOverride = nullptr;

// Longest path the callers' 256-character fields can hold, with room for the
// terminating NUL.
constexpr qsizetype MaxPathLength = 255;

const QString CancelMarker = QStringLiteral("-1");

bool isPathSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\';
#else
    return c == u'/';
#endif
}

// The (display text, pattern) pairs of a "display|pattern|..." filter.
QList<QPair<QString, QString>> filterPairs(const QString& filter)
{
    QList<QPair<QString, QString>> pairs;
    if (filter.isEmpty())
        return pairs;

    const QStringList pieces = filter.split(u'|');
    for (qsizetype i = 0; i < pieces.size(); i += 2) {
        const QString& display = pieces.at(i);
        const QString pattern = i + 1 < pieces.size() ? pieces.at(i + 1) : QString();
        // "a|*.a|" ends in an empty piece: nothing more was meant.
        if (i + 1 == pieces.size() && display.isEmpty())
            break;
        pairs.append({display, pattern});
    }
    return pairs;
}

// Qt's dialog reads double quotes in its name field as a list of names and
// would pick another file, or go into a folder, for a name that holds them.
// A file of exactly the typed name is taken as typed.
class TypedNameDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    QString typedFile;

    void accept() override
    {
        const auto* nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (nameField && nameField->text().contains(u'"')) {
            typedFile = directory().absoluteFilePath(nameField->text());
            if (QFileInfo(typedFile).isFile())
                return QDialog::accept();
            typedFile.clear();
        }
        QFileDialog::accept();
    }
};

// Qt's dialog, opening or saving.
std::optional<QString> runQtDialog(QWidget* owner, const QString& title, const QStringList& nameFilters,
                                   const QString& startFolder, QFileDialog::AcceptMode mode)
{
    // On the heap with a guard: the owner may be destroyed while the dialog
    // runs its own event loop, taking the dialog with it.
    QPointer<TypedNameDialog> dialog = new TypedNameDialog(owner, title);
    // Some desktops' own dialogs refuse a name that does not exist in an Open
    // dialog; Qt's accepts it with AnyFile.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(mode);
    if (!startFolder.isEmpty())
        dialog->setDirectory(startFolder);
    if (!nameFilters.isEmpty()) {
        dialog->setNameFilters(nameFilters);
        // Qt tidies the blanks in the filters it is given; ask it for its own copy.
        dialog->selectNameFilter(dialog->nameFilters().constFirst());
    }
    // Block the owner's window only, like the platform's dialogs do.
    if (owner)
        dialog->setWindowModality(Qt::WindowModal);

    const int result = dialog->exec();
    if (!dialog)
        return std::nullopt;

    std::optional<QString> chosen;
    const QStringList files = dialog->selectedFiles();
    if (result == QDialog::Accepted && !files.isEmpty())
        chosen = dialog->typedFile.isEmpty() ? files.constFirst() : dialog->typedFile;
    delete dialog;
    return chosen;
}

} // namespace

FileDialogBackend::~FileDialogBackend() = default;

std::optional<QString> QtFileDialogBackend::getOpenFileName(QWidget* owner, const QString& title,
                                                            const QStringList& nameFilters, const QString& startFolder)
{
    return runQtDialog(owner, title, nameFilters, startFolder, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogBackend::getSaveFileName(QWidget* owner, const QString& title,
                                                            const QStringList& nameFilters,
                                                            const QString& startFolder)
{
    return runQtDialog(owner, title, nameFilters, startFolder, QFileDialog::AcceptSave);
}

void QueuedFileDialogBackend::enqueue(QString answer)
{
    m_answers.enqueue(std::move(answer));
}

void QueuedFileDialogBackend::enqueueCancel()
{
    m_answers.enqueue(std::nullopt);
}

std::optional<QString> QueuedFileDialogBackend::getOpenFileName(QWidget*, const QString&, const QStringList&,
                                                                const QString&)
{
    if (m_answers.isEmpty())
        return std::nullopt;
    return m_answers.dequeue();
}

std::optional<QString> QueuedFileDialogBackend::getSaveFileName(QWidget* owner, const QString& title,
                                                                const QStringList& nameFilters,
                                                                const QString& startFolder)
{
    return getOpenFileName(owner, title, nameFilters, startFolder);
}

std::optional<QString> Scn_Common_Dialog::ChooseFile(QWidget* owner, const QString& title,
                                                     const QString& filter, const QString& startFolder)
{
    std::optional<QString> chosen =
        asFromTheField(backend().getOpenFileName(owner, title, nameFilters(filter), startFolder));
    if (chosen)
        m_fileName = *chosen;
    return chosen;
}

QString Scn_Common_Dialog::OpenFileName(QWidget* FrmName, const QString& DialogTitle, const QString& Filter,
                                        const QString& StartFolder)
{
    return ChooseFile(FrmName, DialogTitle, Filter, StartFolder).value_or(CancelMarker);
}

std::optional<QString> Scn_Common_Dialog::ChooseFileToWrite(QWidget* owner, const QString& title,
                                                            const QString& filter, const QString& startFolder)
{
    return asFromTheField(backend().getSaveFileName(owner, title, nameFilters(filter), startFolder));
}

std::optional<QString> Scn_Common_Dialog::asFromTheField(const std::optional<QString>& answer)
{
    if (!answer)
        return std::nullopt;

    QString chosen = *answer;
    // Measured before trimming: the blanks would have taken room in the field.
    if (chosen.size() > MaxPathLength)
        return std::nullopt;
    // The field ends in NULs, so trimming its ends can only take leading
    // blanks; what follows the first NUL is not part of the name.
    qsizetype begin = 0;
    while (begin < chosen.size() && chosen.at(begin) == u' ')
        ++begin;
    chosen = chosen.mid(begin);
    if (const qsizetype nul = chosen.indexOf(QChar(u'\0')); nul >= 0)
        chosen.truncate(nul);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

QString Scn_Common_Dialog::TitleName() const
{
    qsizetype start = m_fileName.size();
    while (start > 0 && !isPathSeparator(m_fileName.at(start - 1)))
        --start;
    return m_fileName.mid(start);
}

QStringList Scn_Common_Dialog::nameFilters(const QString& filter)
{
    QStringList result;
    for (const auto& [display, pattern] : filterPairs(filter)) {
        QStringList patterns = pattern.split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        const QString qtPatterns = u'(' + patterns.join(u' ') + u')';

        QString text = display;
        const QString written = u'(' + pattern + u')';
        while (text.endsWith(u' '))
            text.chop(1);
        if (!pattern.isEmpty() && text.endsWith(written)) {
            text.chop(written.size());
            text += qtPatterns;
        } else {
            if (!text.isEmpty())
                text += u' ';
            text += qtPatterns;
        }
        result.append(text);
    }
    return result;
}

FileDialogBackend& Scn_Common_Dialog::backend()
{
    if (g_backendOverride)
        return *g_backendOverride;
    static QtFileDialogBackend platformDialog;
    return platformDialog;
}

ScopedFileDialogBackend::ScopedFileDialogBackend(FileDialogBackend& backend) : m_previous(g_backendOverride)
{
    g_backendOverride = &backend;
}

ScopedFileDialogBackend::~ScopedFileDialogBackend()
{
    g_backendOverride = m_previous;
}
