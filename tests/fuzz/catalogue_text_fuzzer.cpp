// Fuzzes the catalogue's text rules: the lines joined give the text with every break made CR LF
// and a CR LF after a last line that had none, and the patch leaves exactly the lines around
// the entry block, whichever way it takes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "help_toc/catalogue_text.h"
#include "help_toc/entry_block.h"
#include "platform/errors.h"

namespace {

constexpr std::string_view kMarker = "Quorvane Components";

// The rules written the plain way, byte by byte, to hold the real ones against.
std::vector<std::string> PlainLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string PlainJoin(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines = PlainLines(text);
  std::string joined;
  qvhelp::AppendWithCrLfBreaks(text, joined);
  const qvhelp::CatalogueMeasure measure = qvhelp::MeasureCatalogue(text);
  if (joined != PlainJoin(lines) || measure.lines != lines.size() ||
      measure.size_with_crlf_breaks != joined.size()) {
    std::abort();
  }
  std::size_t marker = 0;
  while (marker < lines.size() && lines[marker].find(kMarker) == std::string::npos) ++marker;
  std::optional<qvhelp::EntryBlock> block;
  try {
    block = qvhelp::FindEntryBlock(text, kMarker);
  } catch (const qvhelp::EStringListError&) {
    if (marker + 3 <= lines.size()) std::abort();  // raised though the block was whole
    return 0;
  }
  if (!block) {
    if (marker != lines.size()) std::abort();
    return 0;
  }
  if (block->MarkerIndex != static_cast<std::int64_t>(marker) || marker + 3 > lines.size()) {
    std::abort();
  }
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(marker),
              lines.begin() + static_cast<std::ptrdiff_t>(marker) + 3);
  const qvhelp::PatchedCatalogue patched(text, *block);
  std::string written;
  for (std::string_view span : patched.Spans()) written += span;
  if (written != PlainJoin(lines)) std::abort();
  return 0;
}
