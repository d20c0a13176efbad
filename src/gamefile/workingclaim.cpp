#include "workingclaim.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace gamefile {

namespace {

// A lock's name is a digest of its working file's name, which as a game
// file's name may already be as long as a file name can be. Names that the
// file system takes for one file get one lock.
QString lockNameFor(const QString& workingFile)
{
    QString name = QFileInfo(workingFile).fileName();
#ifdef Q_OS_WIN
    // Windows drops blanks and dots at the end of a name: "a.bin. " is "a.bin".
    while (name.endsWith(u' ') || name.endsWith(u'.'))
        name.chop(1);
#endif
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    name = name.toCaseFolded(); // one file, however its name is cased
#endif
    return QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".lock");
}

std::vector<QString> lockNamesOf(const WorkingFiles& files)
{
    return {lockNameFor(files.plainCopy), lockNameFor(files.decompressed), lockNameFor(files.compressed)};
}

} // namespace

bool WorkingClaim::add(const WorkingFiles& files, QString* problem)
{
    // Never making the working folder: without it the Open cannot go on.
    if (!QFileInfo(QFileInfo(files.decompressed).path()).isDir() || !QDir().mkpath(m_lockFolder))
        return false;
    std::map<QString, std::unique_ptr<QLockFile>> taken;
    for (const QString& name : lockNamesOf(files)) {
        if (m_locks.count(name) || taken.count(name))
            continue;
        auto lock = std::make_unique<QLockFile>(QDir(m_lockFolder).filePath(name));
        // Held for as long as a layout is on show: only a lock whose editor
        // has ended is stale, however old it is.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            qint64 pid = 0;
            QString host, application;
            if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application))
                *problem = QStringLiteral("another Varnel (process %1) has a game file of this name open").arg(pid);
            return false;
        }
        taken.emplace(name, std::move(lock));
    }
    m_locks.merge(taken);
    return true;
}

void WorkingClaim::keepOnly(const std::optional<WorkingFiles>& files)
{
    const std::vector<QString> kept = files ? lockNamesOf(*files) : std::vector<QString>{};
    for (auto it = m_locks.begin(); it != m_locks.end();)
        it = std::find(kept.begin(), kept.end(), it->first) == kept.end() ? m_locks.erase(it) : std::next(it);
}

} // namespace gamefile
