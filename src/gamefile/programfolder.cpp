#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace gamefile {

namespace {

#ifdef Q_OS_WIN
const QString kToolName = QStringLiteral("zlibtool.exe");
#else
const QString kToolName = QStringLiteral("zlibtool");
#endif

} // namespace

WorkingFiles WorkingFiles::ofDecompressed(const QString& decompressed)
{
    const QString suffix = QStringLiteral(".unzlib");
    QString plainCopy = decompressed;
    if (plainCopy.endsWith(suffix))
        plainCopy.chop(suffix.size());
    return {plainCopy, decompressed, decompressed + QStringLiteral(".zlib")};
}

ProgramFolder::ProgramFolder(const QString& folder) : m_path(QDir::toNativeSeparators(QDir(folder).absolutePath()))
{
    if (!m_path.endsWith(QDir::separator()))
        m_path += QDir::separator();
    m_data = m_path;
    if (!QFileInfo(m_path).isWritable()) {
        m_data = QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                          QStringLiteral("/varnel/"));
        QDir().mkpath(m_data + QStringLiteral("zlib/temp"));
    }
}

ProgramFolder ProgramFolder::ofExecutable()
{
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::toolPath() const
{
    return m_path + QStringLiteral("zlib") + QDir::separator() + kToolName;
}

QString ProgramFolder::workingFolder() const
{
    return m_data + QStringLiteral("zlib") + QDir::separator() + QStringLiteral("temp") + QDir::separator();
}

QString ProgramFolder::lockFolder() const
{
    return m_data + QStringLiteral("zlib") + QDir::separator() + QStringLiteral("locks") + QDir::separator();
}

QString ProgramFolder::asideFolder() const
{
    return m_data + QStringLiteral("zlib") + QDir::separator() + QStringLiteral("aside") + QDir::separator();
}

QString ProgramFolder::readmePath() const
{
    return m_path + QStringLiteral("doc") + QDir::separator() + QStringLiteral("Readmy.txt");
}

QString ProgramFolder::originalsFolder() const
{
    return m_data + QStringLiteral("originals") + QDir::separator();
}

WorkingFiles ProgramFolder::workingFilesFor(const QString& title) const
{
    const QString plainCopy = workingFolder() + title;
    return {plainCopy, plainCopy + QStringLiteral(".unzlib"), plainCopy + QStringLiteral(".unzlib.zlib")};
}

} // namespace gamefile
