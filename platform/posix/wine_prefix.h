// Where the Wine prefix lies that stands for the Windows machine: $WINEPREFIX, else ~/.wine.
#pragma once

#include <optional>
#include <string>

namespace qvhelp::platform::posix {

std::optional<std::string> WinePrefixDirectory();

}  // namespace qvhelp::platform::posix
