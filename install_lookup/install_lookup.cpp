// The install-root lookup.
#include "install_lookup/install_lookup.h"

#include <exception>
#include <optional>

#include "platform/errors.h"
#include "platform/registry.h"

namespace qvhelp {
namespace {

const std::string IdeKeyPath = "SOFTWARE\\Borland\\BDS\\3.0";
const std::string RootDirValueName = "RootDir";

// Raises ERegistryException when the value cannot be read as a string.
std::string ReadRootDir(const platform::RegistryKey& key) {
  const std::optional<platform::RegistryValueInfo> info = key.QueryValueInfo(RootDirValueName);
  if (!info || info->size == 0) return {};
  std::string value(info->size, '\0');
  const std::optional<platform::RegistryValueInfo> read =
      key.QueryValue(RootDirValueName, value.data(), value.size());
  if (!read) Raise<ERegistryException>("Failed to get data for '" + RootDirValueName + "'");
  if (read->type != platform::kRegistryString && read->type != platform::kRegistryExpandString) {
    Raise<ERegistryException>("Invalid data type for '" + RootDirValueName + "'");
  }
  // A value that shrank between the two queries holds only what the second one wrote.
  value.resize(read->size);
  return value.substr(0, value.find('\0'));
}

}  // namespace

bool InstallKeyExists() {
  try {
    return platform::RegistryKey::OpenLocalMachine(IdeKeyPath).has_value();
  } catch (const std::exception&) {
    return false;
  }
}

std::string ReadInstallRoot() {
  try {
    const std::optional<platform::RegistryKey> key =
        platform::RegistryKey::OpenLocalMachine(IdeKeyPath);
    if (!key) return {};
    return ReadRootDir(*key);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace qvhelp
