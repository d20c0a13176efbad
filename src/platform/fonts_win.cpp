#include "fonts.h"

namespace fonts {

// Windows keeps no font configuration to read: the font system asks the
// system's font list when the first font is made.
ConfigurationReader::ConfigurationReader() = default;

} // namespace fonts
