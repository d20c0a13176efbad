#include "filereplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <functional>

namespace gamefile {

namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// A disk that fills part-way through a write cuts it short without an
// error; writing the rest then fails with the reason ("No space left on
// device"), which the message passes on.
bool writeAll(QSaveFile& out, const QByteArray& bytes)
{
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 more = out.write(bytes.constData() + written, bytes.size() - written);
        if (more <= 0)
            return false;
        written += more;
    }
    return true;
}

// Writes what `write` gives into a temporary file beside target, then
// renames it over target; any failure removes the temporary file.
bool replaceWith(const QString& target, QString* error, const std::function<bool(QSaveFile&)>& write)
{
    const QFileInfo existing(target);
    if (existing.isDir()) {
        *error = QStringLiteral("%1 is a folder").arg(native(target));
        return false;
    }
    // A rename would go past a read-only mark, which the owner set so that
    // the file is not changed.
    if (existing.exists() && !existing.isWritable()) {
        *error = QStringLiteral("%1 is read-only").arg(native(target));
        return false;
    }
    // QSaveFile writes beside the target and renames at commit; it keeps the
    // permissions of a file it replaces. Unbuffered, each write reaches the
    // disk at once, so a cut-short one is seen where it happens.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = out.errorString();
        return false;
    }
    // QSaveFile's commit renames even when the last buffered write failed
    // (a full disk), which would put an empty or cut file in place.
    if (!write(out) || !out.flush()) {
        if (error->isEmpty())
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

} // namespace

bool copyOver(const QString& source, const QString& target, QString* error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(native(source), in.errorString());
        return false;
    }
    return replaceWith(target, error, [&](QSaveFile& out) {
        while (!in.atEnd()) {
            const QByteArray chunk = in.read(1 << 20);
            if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
                *error = QStringLiteral("cannot read %1: %2").arg(native(source), in.errorString());
                return false;
            }
            if (!writeAll(out, chunk))
                return false;
        }
        return true;
    });
}

bool writeOver(const QByteArray& bytes, const QString& target, QString* error)
{
    return replaceWith(target, error, [&bytes](QSaveFile& out) { return writeAll(out, bytes); });
}

} // namespace gamefile
