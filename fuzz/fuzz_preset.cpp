// Reads arbitrary bytes as a preset, as the editor's import and the command
// line's apply do with a file a player shared: anything accepted must be
// written back as a preset that reads to the same values; anything refused
// must say why.

#include "preset.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString problem;
    const std::optional<layout::Record> read = gamefile::presetFromText(text, &problem);
    if (!read) {
        if (problem.isEmpty())
            std::abort();
        return 0;
    }
    const std::optional<layout::Record> again = gamefile::presetFromText(gamefile::presetText(*read), &problem);
    if (!again || *again != *read)
        std::abort();
    return 0;
}
