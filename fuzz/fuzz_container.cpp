// Feeds arbitrary bytes to the container decoder: it must either decode or
// throw zlibcodec::Error, never crash, hang or allocate beyond its limit.

#include "container.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const std::vector<std::uint8_t> plain = zlibcodec::decompressContainer({data, size});
        // What decodes must encode and decode back to the same bytes.
        if (zlibcodec::decompressContainer(zlibcodec::compressContainer(plain)) != plain)
            std::abort();
    } catch (const zlibcodec::Error&) {
    }
    try {
        (void)zlibcodec::decompressRaw({data, size});
    } catch (const zlibcodec::Error&) {
    }
    return 0;
}
