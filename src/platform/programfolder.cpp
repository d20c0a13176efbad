#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace programfolder {

QString withTrailingSeparator(const QString& folder)
{
    QString native = QDir::toNativeSeparators(folder);
    if (!native.endsWith(QDir::separator()))
        native += QDir::separator();
    return native;
}

QString ofExecutable()
{
    return withTrailingSeparator(QCoreApplication::applicationDirPath());
}

} // namespace programfolder
