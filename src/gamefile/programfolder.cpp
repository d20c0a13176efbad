#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace gamefile {

namespace {

#ifdef Q_OS_WIN
const QString kToolName = QStringLiteral("zlibtool.exe");
#else
const QString kToolName = QStringLiteral("zlibtool");
#endif

// A folder of the data folder's zlib/, ending with the native separator.
QString zlibFolder(const QString& data, const char* name)
{
    return data + QStringLiteral("zlib") + QDir::separator() + QLatin1String(name) + QDir::separator();
}

// Tried, not read off the folder's attributes: on Windows the read-only
// attribute of a folder says nothing about Program Files, which only an
// administrator may write to.
bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral(".varnel-probe-XXXXXX"));
    return probe.open(); // and removed again as it goes
}

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
    // An installed program keeps the person's files in their own data
    // folder, root's too: nothing of a run is left among the package's files.
    if (QFileInfo::exists(m_path + QStringLiteral("installed")) || !canWriteIn(m_path)) {
        m_data = QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                          QStringLiteral("/varnel/"));
        QDir().mkpath(workingFolder());
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
    return zlibFolder(m_data, "temp");
}

QString ProgramFolder::lockFolder() const
{
    return zlibFolder(m_data, "locks");
}

QString ProgramFolder::asideFolder() const
{
    return zlibFolder(m_data, "aside");
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
