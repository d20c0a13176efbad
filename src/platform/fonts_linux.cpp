#include "fonts.h"

#include <fontconfig/fontconfig.h>
#include <malloc.h>

namespace fonts {

ConfigurationReader::ConfigurationReader()
{
    // In an arena of its own, what the reading frees (some 200 KiB) would
    // stay out of the main thread's reach and add to the peak memory.
    mallopt(M_ARENA_MAX, 1);
    m_thread = std::jthread([] { FcInit(); });
}

} // namespace fonts
