// Fuzzes the catalogue's text rules: joining the split lines gives the text with every break
// made CR LF, and a CR LF after a last line that had none; a join made where the text lies gives
// the same bytes and can be undone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "help_toc/catalogue_text.h"
#include "help_toc/help_toc_lines.h"
#include "help_toc/text_cut.h"

namespace {

// The rule written the plain way, byte by byte, to hold the real one against.
std::string WithCrLfBreaks(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') out += "\r\n";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qvhelp::HelpTocLines lines(text);
  std::size_t split = 0;
  qvhelp::CatalogueLineReader reader(text);
  while (reader.Next()) ++split;
  if (static_cast<std::size_t>(lines.Count()) != split ||
      qvhelp::CountCatalogueLines(text) != split || lines.Join() != WithCrLfBreaks(text)) {
    std::abort();
  }
  // Removing the entry block keeps the lines around it as they were.
  const std::int64_t marker = lines.IndexOfFirstContaining("Quorvane Components");
  // A list whose first call is the search measures the text in that pass: the same answers.
  const qvhelp::HelpTocLines searched_first(text);
  if (searched_first.IndexOfFirstContaining("Quorvane Components") != marker ||
      searched_first.Count() != lines.Count() || searched_first.Join() != lines.Join()) {
    std::abort();
  }
  if (marker >= 0 && marker + 3 <= lines.Count()) {
    for (int i = 0; i < 3; ++i) lines.Delete(marker);
    if (lines.Join().size() > WithCrLfBreaks(text).size()) std::abort();
  }
  if (auto joined = lines.JoinInPieces()) {
    const std::string expected = lines.Join();
    std::string buffer(text);
    // The pieces are views of `text`; the cut works on a copy at the same offsets.
    std::vector<std::string_view> pieces;
    for (std::string_view piece : joined->pieces) {
      pieces.emplace_back(buffer.data() + (piece.data() - text.data()), piece.size());
    }
    qvhelp::TextCut cut(buffer, pieces, joined->tail);
    if (cut.Text() != expected || cut.Undo() != text) std::abort();
  }
  return 0;
}
