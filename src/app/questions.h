#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// What the main window asks before it goes on, each a modal question with
// its answers, its default and Escape as the way out. Each has an object
// name, so that a test can find and answer it.
namespace questions
{

enum class UnsavedAnswer { Save, Discard, Cancel };

// "Save changes to TITLE?" (unsavedChanges)
UnsavedAnswer unsavedChanges(QWidget* owner, const QString& caption, const QString& title);

// Before a Save writes into a game file another program has changed
// (changedOnDisk): true for Write, the default.
bool writeIntoChangedFile(QWidget* owner, const QString& caption, const QString& title);

// Before Restore Original (restoreOriginal): true for Restore, the default.
bool restoreOriginal(QWidget* owner, const QString& caption, const QString& title, const QDateTime& keptAt,
                     bool changesLost);

// Before Export Preset writes over a file whose name Varnel completed, which
// the file dialog never asked about (replaceFile): true for Replace; Cancel
// is the default.
bool replaceFile(QWidget* owner, const QString& caption, const QString& path);

} // namespace questions
