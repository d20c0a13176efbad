#include "scn_common_dialog.h"

#include <QFileDialog>
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

// Only blanks, like the callers expect; a tab is part of a name.
QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

FileDialogBackend::~FileDialogBackend() = default;

std::optional<QString> QtFileDialogBackend::getOpenFileName(QWidget* owner, const QString& title,
                                                            const QStringList& nameFilters)
{
    // On the heap with a guard: the owner may be destroyed while the dialog
    // runs its own event loop, taking the dialog with it.
    QPointer<QFileDialog> dialog = new QFileDialog(owner, title);
    // Some desktops' own dialogs refuse a name that does not exist in an Open
    // dialog; Qt's accepts it with AnyFile.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
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
        chosen = files.constFirst();
    delete dialog;
    return chosen;
}

void QueuedFileDialogBackend::enqueue(QString answer)
{
    m_answers.enqueue(std::move(answer));
}

void QueuedFileDialogBackend::enqueueCancel()
{
    m_answers.enqueue(std::nullopt);
}

std::optional<QString> QueuedFileDialogBackend::getOpenFileName(QWidget* owner, const QString& title,
                                                                const QStringList& nameFilters)
{
    m_requests.append({owner, title, nameFilters});
    if (m_answers.isEmpty())
        return std::nullopt;
    return m_answers.dequeue();
}

QString Scn_Common_Dialog::OpenFileName(QWidget* FrmName, const QString& DialogTitle, const QString& Filter)
{
    const std::optional<QString> answer = backend().getOpenFileName(FrmName, DialogTitle, nameFilters(Filter));
    if (!answer)
        return CancelMarker;

    QString chosen = *answer;
    const qsizetype nul = chosen.indexOf(QChar(u'\0'));
    if (nul >= 0)
        chosen.truncate(nul);
    // Measured before trimming: the blanks would have taken room in the field.
    if (chosen.size() > MaxPathLength)
        return CancelMarker;
    chosen = trimBlanks(chosen);
    if (chosen.isEmpty())
        return CancelMarker;

    m_fileName = chosen;
    return chosen;
}

QString Scn_Common_Dialog::TitleName() const
{
    qsizetype start = m_fileName.size();
    while (start > 0 && !isPathSeparator(m_fileName.at(start - 1)))
        --start;
    return m_fileName.mid(start);
}

QList<QPair<QString, QString>> Scn_Common_Dialog::filterPairs(const QString& filter)
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

void Scn_Common_Dialog::setBackendForTesting(FileDialogBackend* backend)
{
    g_backendOverride = backend;
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
