// The catalogue's line list.
#include "help_toc/help_toc_lines.h"

#include <algorithm>
#include <utility>

#include "help_toc/catalogue_text.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace qvhelp {
namespace {

// Whether the text after the last deleted line ends in a line without a break, which the join
// gives one; with only CR LF breaks that is the one change the join makes.
bool LastLineGainsBreak(std::string_view last_piece) {
  return !last_piece.empty() && last_piece.back() != '\n';
}

}  // namespace

const CatalogueMeasure& HelpTocLines::Measure() const {
  if (!measure_) measure_ = MeasureCatalogue(text_);
  return *measure_;
}

std::size_t HelpTocLines::LinesBefore(std::size_t line_start) const {
  const CatalogueMeasure before = MeasureCatalogue(text_.substr(0, line_start));
  if (!measure_) {
    // Split where a line starts, the measures of the two sides add up: the first search
    // measures the whole text in the same pass as the lines before its match.
    const CatalogueMeasure after = MeasureCatalogue(text_.substr(line_start));
    measure_ = CatalogueMeasure{before.lines + after.lines,
                                before.size_with_crlf_breaks + after.size_with_crlf_breaks,
                                before.only_crlf_breaks && after.only_crlf_breaks};
  }
  return before.lines;
}

std::int64_t HelpTocLines::Count() const {
  return static_cast<std::int64_t>(Measure().lines) - static_cast<std::int64_t>(deleted_.size());
}

std::int64_t HelpTocLines::IndexOfFirstContaining(std::string_view needle) const {
  // The needle holds no break, so a match never spans two lines: the whole text is searched,
  // and the match's line is then found by counting the breaks before it.
  std::size_t search_from = 0;
  for (;;) {
    const std::size_t match = text_.find(needle, search_from);
    if (match == std::string_view::npos) return -1;
    std::size_t line_start = match;
    while (line_start > 0 && text_[line_start - 1] != '\r' && text_[line_start - 1] != '\n') {
      --line_start;
    }
    const auto loaded_index = static_cast<std::int64_t>(LinesBefore(line_start));
    anchor_index_ = loaded_index;
    anchor_offset_ = line_start;
    if (!std::binary_search(deleted_.begin(), deleted_.end(), loaded_index)) {
      const auto deleted_before =
          std::lower_bound(deleted_.begin(), deleted_.end(), loaded_index) - deleted_.begin();
      return loaded_index - deleted_before;
    }
    search_from = LineStart(loaded_index + 1);
  }
}

void HelpTocLines::Delete(std::int64_t index) {
  if (index < 0 || index >= Count()) {
    Raise<EStringListError>("List index out of bounds (" + std::to_string(index) + ")");
  }
  std::int64_t loaded_index = index;
  auto position = deleted_.begin();
  while (position != deleted_.end() && *position <= loaded_index) {
    ++loaded_index;
    ++position;
  }
  deleted_.insert(position, loaded_index);
}

std::size_t HelpTocLines::LineStart(std::int64_t loaded_index) const {
  if (loaded_index < anchor_index_) {
    anchor_index_ = 0;
    anchor_offset_ = 0;
  }
  CatalogueLineReader reader(text_.substr(anchor_offset_));
  for (; anchor_index_ < loaded_index && reader.Next(); ++anchor_index_) {
  }
  anchor_offset_ += reader.Position();
  return anchor_offset_;
}

HelpTocLines::KeptText HelpTocLines::Kept() const {
  // The size is the whole text's less the deleted lines'.
  KeptText kept{{}, Measure().size_with_crlf_breaks};
  std::size_t from = 0;
  for (std::int64_t index : deleted_) {
    const std::size_t start = LineStart(index);
    kept.pieces.push_back(text_.substr(from, start - from));
    from = LineStart(index + 1);
    kept.joined_size -= SizeWithCrLfBreaks(text_.substr(start, from - start));
  }
  kept.pieces.push_back(text_.substr(from));
  return kept;
}

std::optional<HelpTocLines::JoinedPieces> HelpTocLines::JoinInPieces() const {
  if (!Measure().only_crlf_breaks) return std::nullopt;
  KeptText kept = Kept();
  if (kept.joined_size > text_.size()) return std::nullopt;
  const std::string_view tail =
      LastLineGainsBreak(kept.pieces.back()) ? kCatalogueLineBreak : std::string_view();
  return JoinedPieces{std::move(kept.pieces), tail};
}

std::string HelpTocLines::Join() const {
  const KeptText kept = Kept();
  std::string joined;
  joined.reserve(kept.joined_size);
  platform::AdviseBufferFill(joined.data(), kept.joined_size);
  if (Measure().only_crlf_breaks) {
    for (std::string_view piece : kept.pieces) joined.append(piece);
    if (LastLineGainsBreak(kept.pieces.back())) joined.append(kCatalogueLineBreak);
  } else {
    for (std::string_view piece : kept.pieces) AppendWithCrLfBreaks(piece, joined);
  }
  return joined;
}

}  // namespace qvhelp
