// The install-root lookup.
#include "install_lookup/install_lookup.h"

#include <exception>
#include <new>
#include <optional>
#include <string_view>

#include "platform/errors.h"
#include "platform/registry.h"

namespace qvhelp {
namespace {

// Constants, not std::string objects: nothing is allocated before the run's error handler is
// in place.
constexpr std::string_view IdeKeyPath = "SOFTWARE\\Borland\\BDS\\3.0";
constexpr std::string_view RootDirValueName = "RootDir";

// Raises ERegistryException when the value cannot be read as a string.
std::string ReadRootDir(const platform::RegistryKey& key) {
  const std::string name(RootDirValueName);
  const std::optional<platform::RegistryValueInfo> info = key.QueryValueInfo(name);
  if (!info || info->size == 0) return {};
  std::string value(info->size, '\0');
  const std::optional<platform::RegistryValueInfo> read =
      key.QueryValue(name, value.data(), value.size());
  if (!read) Raise<ERegistryException>("Failed to get data for '" + name + "'");
  if (read->type != platform::kRegistryString && read->type != platform::kRegistryExpandString) {
    Raise<ERegistryException>("Invalid data type for '" + name + "'");
  }
  // A value that shrank between the two queries holds only what the second one wrote.
  value.resize(read->size);
  return value.substr(0, value.find('\0'));
}

}  // namespace

bool InstallKeyExists() {
  try {
    return platform::RegistryKey::OpenLocalMachine(std::string(IdeKeyPath)).has_value();
  } catch (const std::bad_alloc&) {
    throw;  // memory running out is reported, never taken for a key that is not there
  } catch (const std::exception&) {
    return false;
  }
}

std::string ReadInstallRoot() {
  try {
    const std::optional<platform::RegistryKey> key =
        platform::RegistryKey::OpenLocalMachine(std::string(IdeKeyPath));
    if (!key) return {};
    return ReadRootDir(*key);
  } catch (const std::bad_alloc&) {
    throw;  // an empty root would send the run to the current drive's catalogue
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace qvhelp
