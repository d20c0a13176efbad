#pragma once

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// Makes a file or folder read-only for this process for as long as it lives:
// read-only for its owner, and for root, which writes past that, immutable
// too. whyNot says why that cannot be done here.
class ReadOnly {
public:
    explicit ReadOnly(QString path) : m_path(std::move(path))
    {
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
        if (::geteuid() == 0 && !setImmutable(true))
            whyNot = "running as root, and the immutable flag cannot be set: " + QString::fromLocal8Bit(std::strerror(errno));
    }
    ~ReadOnly()
    {
        setImmutable(false);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;

    QString whyNot;

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
        int flags = 0;
        const bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                          (flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL,
                           ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        errno = error;
        return done;
    }

    QString m_path;
};
