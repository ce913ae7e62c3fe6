// Finding the entry block and taking it out of the text.
#include "help_toc/entry_block.h"

#include "help_toc/catalogue_text.h"
#include "platform/errors.h"

namespace qvhelp {
namespace {

constexpr int kEntryBlockLines = 3;

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::optional<EntryBlock> FindEntryBlock(std::string_view text, std::string_view marker) {
  // The marker holds no break, so its first occurrence lies in the first line that holds it.
  const std::size_t match = text.find(marker);
  if (match == std::string_view::npos) return std::nullopt;
  std::size_t begin = match;
  while (begin > 0 && !IsBreak(text[begin - 1])) --begin;
  // The text before a line's start ends in a break, so each of its lines ends in one.
  const CatalogueMeasure before = MeasureCatalogue(text.substr(0, begin));
  const auto MarkerIndex = static_cast<std::int64_t>(before.lines);
  CatalogueLineReader reader(text.substr(begin));
  for (int line = 0; line < kEntryBlockLines; ++line) {
    if (!reader.Next()) {
      Raise<EStringListError>("List index out of bounds (" + std::to_string(MarkerIndex) + ")");
    }
  }
  return EntryBlock{MarkerIndex, begin, begin + reader.Position(), before};
}

PatchedCatalogue::PatchedCatalogue(std::string_view text, const EntryBlock& block) {
  // Both sides are cut where a line starts, so each splits into whole lines of its own, and a
  // CR LF never falls apart between them.
  const std::string_view before = text.substr(0, block.begin);
  const std::string_view after = text.substr(block.end);
  const CatalogueMeasure& before_measure = block.before;
  const CatalogueMeasure after_measure = MeasureCatalogue(after);
  if (before_measure.only_crlf_breaks && after_measure.only_crlf_breaks) {
    spans_[span_count_++] = before;
    spans_[span_count_++] = after;
    if (!after.empty() && after.back() != '\n') spans_[span_count_++] = kCatalogueLineBreak;
    return;
  }
  joined_.reserve(before_measure.size_with_crlf_breaks + after_measure.size_with_crlf_breaks);
  AppendWithCrLfBreaks(before, joined_);
  AppendWithCrLfBreaks(after, joined_);
  spans_[span_count_++] = joined_;
}

}  // namespace qvhelp
