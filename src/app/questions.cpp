#include "questions.h"

#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace questions
{

namespace
{

// A question with Cancel on Escape and one answer of its own, the default
// unless it destroys something; true when that answer was given.
bool ask(QWidget* owner, const QString& caption, const char* name, const QString& text, const QString& answer,
         const QString& details = {}, bool answerIsDefault = true)
{
    QMessageBox question(QMessageBox::Question, caption, text, QMessageBox::Cancel, owner);
    question.setObjectName(QLatin1String(name));
    question.setInformativeText(details);
    QPushButton* yes = question.addButton(answer, QMessageBox::AcceptRole);
    if (answerIsDefault)
        question.setDefaultButton(yes);
    else
        question.setDefaultButton(QMessageBox::Cancel);
    question.setEscapeButton(QMessageBox::Cancel);
    question.exec();
    return question.clickedButton() == yes;
}

} // namespace

UnsavedAnswer unsavedChanges(QWidget* owner, const QString& caption, const QString& title)
{
    QMessageBox question(QMessageBox::Question, caption, QStringLiteral("Save changes to %1?").arg(title),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner);
    question.setObjectName(QStringLiteral("unsavedChanges"));
    question.setDefaultButton(QMessageBox::Save);
    question.setEscapeButton(QMessageBox::Cancel);
    switch (question.exec()) {
    case QMessageBox::Save:
        return UnsavedAnswer::Save;
    case QMessageBox::Discard:
        return UnsavedAnswer::Discard;
    default:
        return UnsavedAnswer::Cancel;
    }
}

bool writeIntoChangedFile(QWidget* owner, const QString& caption, const QString& title)
{
    return ask(
        owner, caption, "changedOnDisk",
        QStringLiteral("%1 has changed on disk since Varnel opened it. Write your layout into the file as "
                       "it is now?")
            .arg(title),
        QStringLiteral("Write"));
}

bool restoreOriginal(QWidget* owner, const QString& caption, const QString& title, const QDateTime& keptAt,
                     bool changesLost)
{
    return ask(
        owner, caption, "restoreOriginal",
        QStringLiteral("Put %1 back as it was before Varnel first saved it?").arg(title),
        QStringLiteral("Restore"),
        QStringLiteral("Its original was kept on %1.").arg(QLocale().toString(keptAt, QLocale::LongFormat)) +
            (changesLost ? QStringLiteral(" The changes you have not saved will be lost.") : QString()));
}

bool replaceFile(QWidget* owner, const QString& caption, const QString& path)
{
    return ask(owner, caption, "replaceFile",
               QStringLiteral("%1 already exists. Replace it?").arg(QDir::toNativeSeparators(path)),
               QStringLiteral("Replace"), {}, false);
}

} // namespace questions
