#include "workingclaim.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace gamefile {

namespace {

std::vector<QString> pathsOf(const WorkingFiles& files)
{
    return {files.plainCopy, files.decompressed, files.compressed};
}

QString lockPathFor(const QString& workingFile)
{
    const QFileInfo file(workingFile);
    return file.dir().filePath(QStringLiteral("locks/") + file.fileName() + QStringLiteral(".lock"));
}

} // namespace

bool WorkingClaim::add(const WorkingFiles& files, QString* problem)
{
    std::map<QString, std::unique_ptr<QLockFile>> taken;
    for (const QString& path : pathsOf(files)) {
        if (m_locks.count(path) || taken.count(path))
            continue;
        const QString lockPath = lockPathFor(path);
        // Inside the working folder only, never making it: without it the
        // Open cannot go on anyway.
        const QFileInfo lockFolder(QFileInfo(lockPath).path());
        if (!lockFolder.isDir() && !QDir(QFileInfo(path).path()).mkdir(lockFolder.fileName()))
            return false;
        auto lock = std::make_unique<QLockFile>(lockPath);
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
        taken.emplace(path, std::move(lock));
    }
    m_locks.merge(taken);
    return true;
}

void WorkingClaim::keepOnly(const std::optional<WorkingFiles>& files)
{
    const std::vector<QString> kept = files ? pathsOf(*files) : std::vector<QString>{};
    for (auto it = m_locks.begin(); it != m_locks.end();)
        it = std::find(kept.begin(), kept.end(), it->first) == kept.end() ? m_locks.erase(it) : std::next(it);
}

} // namespace gamefile
