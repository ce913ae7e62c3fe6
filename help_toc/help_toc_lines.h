// The catalogue as an ordered list of lines with zero-based indexes.
//
// The lines stay views into the catalogue's text and a deletion only records which line went,
// so that the list costs next to nothing beside the text itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "help_toc/catalogue_text.h"

namespace qvhelp {

class HelpTocLines {
 public:
  explicit HelpTocLines(std::string_view text) : text_(text) {}

  std::int64_t Count() const;
  // The index of the first line that contains `needle`, or -1.
  std::int64_t IndexOfFirstContaining(std::string_view needle) const;
  // Removes the line at `index`, moving the following lines up by one; raises
  // EStringListError "List index out of bounds (index)" when there is no such line.
  void Delete(std::int64_t index);
  // Every line in order, each followed by CR LF.
  std::string Join() const;

  // The joined text as it stands in the text, when every break already is a CR LF: the views
  // of the text between deleted lines, followed by `tail` (a CR LF for a last line that had
  // none). Nothing when the breaks change or the joined text would be longer than the text.
  struct JoinedPieces {
    std::vector<std::string_view> pieces;
    std::string_view tail;
  };
  std::optional<JoinedPieces> JoinInPieces() const;

 private:
  struct KeptText {
    std::vector<std::string_view> pieces;  // the text between deleted lines
    std::size_t joined_size;
  };
  KeptText Kept() const;

  // The whole text's lines, size once joined and breaks, measured once.
  const CatalogueMeasure& Measure() const;
  // How many lines come before `line_start`, where a line starts.
  std::size_t LinesBefore(std::size_t line_start) const;
  // Where a loaded line starts; the line count gives the end of the text.
  std::size_t LineStart(std::int64_t loaded_index) const;

  std::string_view text_;
  mutable std::optional<CatalogueMeasure> measure_;
  std::vector<std::int64_t> deleted_;  // indexes into the loaded lines, ascending
  // The last line found, so that lines after it are found without walking from the top.
  mutable std::int64_t anchor_index_ = 0;
  mutable std::size_t anchor_offset_ = 0;
};

}  // namespace qvhelp
