#include "filekind.h"

#include "readablefile.h"

#include <QFile>

namespace gamefile
{

FileKind kindOf(const QString& path)
{
    if (!whyNotReadable(path, kMaxGameFileSize).isEmpty())
        return FileKind::Other;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileKind::Other;
    // The same bytes the desktop's description of our file types matches.
    const QByteArray start = file.read(256);
    if (start.startsWith(QByteArray(reinterpret_cast<const char*>(zlibcodec::kSignature.data()), 8)))
        return FileKind::GameFile;
    const bool preset =
        start.contains("\"format\": \"varnel-layout\"") || start.contains("\"format\":\"varnel-layout\"");
    return preset && file.size() <= kMaxPresetSize ? FileKind::Preset : FileKind::Other;
}

} // namespace gamefile
