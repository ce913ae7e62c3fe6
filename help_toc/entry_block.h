// The library's entry block in the catalogue's text, and the text once it is gone.
//
// The entry block is the first line that contains the marker and the two lines after it. Only
// what the patch needs is counted: the lines before the marker's, for its index, and the three
// lines of the block; no list of the text's lines is ever built, as a catalogue may run to
// hundreds of megabytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "help_toc/catalogue_text.h"

namespace qvhelp {

struct EntryBlock {
  std::int64_t MarkerIndex;  // the zero-based index of the marker's line
  std::size_t begin;         // where the marker's line starts in the text
  std::size_t end;           // where the line after the block starts, or the text's end
  CatalogueMeasure before;   // the text before the block, measured on the way
};

// The entry block of the first line that contains `marker`, byte for byte; nothing when no
// line does. Raises EStringListError "List index out of bounds (MarkerIndex)" when fewer than
// three lines start at the marker's line.
std::optional<EntryBlock> FindEntryBlock(std::string_view text, std::string_view marker);

// The text without the entry block, as the catalogue is written: every line followed by CR LF.
class PatchedCatalogue {
 public:
  PatchedCatalogue(std::string_view text, const EntryBlock& block);
  PatchedCatalogue(const PatchedCatalogue&) = delete;
  PatchedCatalogue& operator=(const PatchedCatalogue&) = delete;

  // The patched text, in the order it is written.
  std::span<const std::string_view> Spans() const { return {spans_.data(), span_count_}; }

 private:
  // Used only when some break is not a CR LF already: the text joined anew.
  std::string joined_;
  // Otherwise the text around the block as it was read, and a CR LF for a last line that had
  // none.
  std::array<std::string_view, 3> spans_;
  std::size_t span_count_ = 0;
};

}  // namespace qvhelp
