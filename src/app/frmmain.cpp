#include "frmmain.h"

#include "programfolder.h"

#include <QDir>

frmMain::frmMain() : frmMain(programfolder::ofExecutable()) {}

frmMain::frmMain(const QString& programFolder) : m_programFolder(programfolder::withTrailingSeparator(programFolder))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Varnel 6.01.2011 BY Korvath"));
    // Relative paths resolve against the program folder.
    QDir::setCurrent(m_programFolder);
}
