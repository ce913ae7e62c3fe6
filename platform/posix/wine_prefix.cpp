// Locating the Wine prefix.
#include "platform/posix/wine_prefix.h"

#include <cstdlib>

namespace qvhelp::platform::posix {

std::optional<std::string> WinePrefixDirectory() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.wine";
  return std::nullopt;
}

}  // namespace qvhelp::platform::posix
