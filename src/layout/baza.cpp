#include "baza.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QtEndian>

namespace {

// The bytes of one block as the record holds them now.
QByteArray blockBytes(const Baza& record, const layout::Block& block)
{
    // The time-box copies carry the time-box position.
    int source = block.offset;
    for (int copy : layout::kTimeBoxCopies)
        if (block.offset == copy)
            source = layout::kTimeBoxOffset;

    QByteArray bytes(block.size, '\0');
    for (int at = 0; at < block.size; at += 2) {
        const layout::FieldInfo* field = layout::fieldAtOffset(source + at);
        Q_ASSERT(field);
        qToLittleEndian<qint16>(record.value(field->index), bytes.data() + at);
    }
    return bytes;
}

} // namespace

bool Baza::Zmien_Dane(const LayoutValues& values)
{
    if (m_loaded) {
#define VARNEL_LAYOUT_COPY(i, name, offset, text, kind, group, key) m_values[i] = values.name;
        VARNEL_LAYOUT_FIELDS(VARNEL_LAYOUT_COPY)
#undef VARNEL_LAYOUT_COPY
    }
    return false;
}

bool Baza::Wczytaj(const QString& Str_Path)
{
    if (!File_Exists(Str_Path))
        return false;
    QFile file(Str_Path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return Wczytaj(file);
}

bool Baza::Wczytaj(QIODevice& device)
{
    // Every block is read into zeroed staging first; the record changes only
    // when all 16 reads went through.
    std::array<QByteArray, layout::kReadBlocks.size()> staging;
    for (std::size_t b = 0; b < layout::kReadBlocks.size(); ++b) {
        const layout::Block& block = layout::kReadBlocks[b];
        staging[b] = QByteArray(block.size, '\0');
        if (!device.isSequential() && block.offset >= device.size())
            continue; // beyond the end of a short file: stays zero
        if (!device.seek(block.offset))
            return false;
        if (device.read(staging[b].data(), block.size) < 0)
            return false;
    }

    for (std::size_t b = 0; b < layout::kReadBlocks.size(); ++b) {
        const layout::Block& block = layout::kReadBlocks[b];
        for (int at = 0; at < block.size; at += 2) {
            const layout::FieldInfo* field = layout::fieldAtOffset(block.offset + at);
            m_values[static_cast<std::size_t>(field->index)] = qFromLittleEndian<qint16>(staging[b].constData() + at);
        }
    }
    m_loaded = true;
    return true;
}

bool Baza::Zapisz(const QString& Str_Path)
{
    if (!m_loaded)
        return false;
    const QString target = Str_Path.isEmpty() ? m_path : Str_Path;
    if (target.isEmpty())
        throw LayoutWriteError(target, QStringLiteral("no file name to save the layout into"));

    const QString shown = QDir::toNativeSeparators(target);
    if (QFileInfo(target).isDir())
        throw LayoutWriteError(shown, QStringLiteral("is a folder, not a file"));
    QFile file(target);
    // ReadWrite creates a missing file and keeps an existing one whole.
    if (!file.open(QIODevice::ReadWrite))
        throw LayoutWriteError(shown, file.errorString());
    Zapisz(file, shown);
    if (!file.flush())
        throw LayoutWriteError(shown, file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw LayoutWriteError(shown, file.errorString());
    return true;
}

bool Baza::Zapisz(QIODevice& device, const QString& fileName)
{
    if (!m_loaded)
        return false;
    for (const layout::Block& block : layout::kWriteBlocks) {
        const QByteArray bytes = blockBytes(*this, block);
        if (!device.seek(block.offset) || device.write(bytes) != bytes.size())
            throw LayoutWriteError(fileName, device.errorString());
    }
    return true;
}

bool Baza::File_Exists(const QString& Str_Path)
{
    return !Str_Path.isEmpty() && QFileInfo::exists(Str_Path);
}
