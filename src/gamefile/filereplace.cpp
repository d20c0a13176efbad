#include "filereplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace gamefile {

bool copyOver(const QString& source, const QString& target, QString* error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(QDir::toNativeSeparators(source), in.errorString());
        return false;
    }
    const QFileInfo existing(target);
    if (existing.isDir()) {
        *error = QStringLiteral("%1 is a folder").arg(QDir::toNativeSeparators(target));
        return false;
    }
    // A rename would go past a read-only mark, which the owner set so that
    // the file is not changed.
    if (existing.exists() && !existing.isWritable()) {
        *error = QStringLiteral("%1 is read-only").arg(QDir::toNativeSeparators(target));
        return false;
    }
    // QSaveFile writes beside the target and renames at commit; it keeps the
    // permissions of a file it replaces.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            *error = QStringLiteral("cannot read %1: %2").arg(QDir::toNativeSeparators(source), in.errorString());
            out.cancelWriting();
            return false;
        }
        if (out.write(chunk) != chunk.size()) {
            *error = out.errorString();
            out.cancelWriting();
            return false;
        }
    }
    // QSaveFile's commit renames even when the last buffered write failed
    // (a full disk), which would put an empty or cut file in place.
    if (!out.flush()) {
        *error = out.errorString();
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace gamefile
