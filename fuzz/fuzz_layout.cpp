// Loads a layout from arbitrary bytes and saves it back into them: the save
// may change only the 96 bytes of its blocks, and a reload must give the
// values that were saved.

#include "baza.h"

#include <QBuffer>

#include <cstdlib>

namespace {

bool insideWriteBlock(qsizetype at)
{
    for (const layout::Block& block : layout::kWriteBlocks)
        if (at >= block.offset && at < block.offset + block.size)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray original = bytes;
    Baza baza;
    {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        if (!baza.Wczytaj(in))
            std::abort(); // a readable buffer always loads, short or not
    }
    QBuffer out(&bytes);
    out.open(QIODevice::ReadWrite);
    baza.Zapisz(out, QStringLiteral("buffer"));
    out.close();
    for (qsizetype at = 0; at < original.size(); ++at)
        if (bytes[at] != original[at] && !insideWriteBlock(at))
            std::abort();

    Baza reloaded;
    QBuffer again(&bytes);
    again.open(QIODevice::ReadOnly);
    if (!reloaded.Wczytaj(again))
        std::abort();
    for (int i = 0; i < layout::kFieldCount; ++i)
        if (reloaded.value(i) != baza.value(i))
            std::abort();
    return 0;
}
