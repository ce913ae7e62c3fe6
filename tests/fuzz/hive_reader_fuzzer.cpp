// Fuzzes the registry hive reader: any input, fed in pieces split anywhere, reads without a
// crash, a hang or a read out of bounds, and the same however it is split.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/hive_reader.h"

namespace {

std::optional<qvhelp::platform::posix::HiveValue> Read(std::string_view hive, std::size_t piece) {
  qvhelp::platform::posix::HiveKeyScanner scanner("SOFTWARE\\Borland\\BDS\\3.0");
  for (std::size_t at = 0; at < hive.size(); at += piece) scanner.Feed(hive.substr(at, piece));
  const auto lines = scanner.Finish();
  if (!lines) return std::nullopt;
  auto value = qvhelp::platform::posix::FindHiveValue(*lines, "RootDir");
  if (value) qvhelp::platform::posix::Utf16LeToUtf8(value->data);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses how the rest is split into pieces.
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view hive(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto whole = Read(hive, hive.size() + 1);
  const auto pieces = Read(hive, piece);
  if (whole.has_value() != pieces.has_value() ||
      (whole && (whole->type != pieces->type || whole->data != pieces->data))) {
    std::abort();
  }
  return 0;
}
