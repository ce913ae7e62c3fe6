// The catalogue's line list.
#include "help_toc/help_toc_lines.h"

#include <algorithm>

#include "help_toc/catalogue_text.h"
#include "platform/errors.h"

namespace qvhelp {

HelpTocLines::HelpTocLines(std::string_view text)
    : text_(text), loaded_count_(static_cast<std::int64_t>(CountCatalogueLines(text))) {}

std::int64_t HelpTocLines::Count() const {
  return loaded_count_ - static_cast<std::int64_t>(deleted_.size());
}

std::int64_t HelpTocLines::IndexOfFirstContaining(std::string_view needle) const {
  // The needle holds no break, so a match never spans two lines: searching the whole text and
  // then finding the line that holds the match is much faster than searching line by line.
  CatalogueLineReader reader(text_);
  std::int64_t loaded_index = -1;
  std::size_t search_from = 0;
  for (;;) {
    const std::size_t match = text_.find(needle, search_from);
    if (match == std::string_view::npos) return -1;
    bool reached = false;
    while (reader.Next()) {
      ++loaded_index;
      if (reader.Position() > match) {
        reached = true;
        break;
      }
    }
    if (!reached) return -1;
    if (!std::binary_search(deleted_.begin(), deleted_.end(), loaded_index)) {
      const auto deleted_before =
          std::lower_bound(deleted_.begin(), deleted_.end(), loaded_index) - deleted_.begin();
      return loaded_index - deleted_before;
    }
    search_from = reader.Position();
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

std::string HelpTocLines::Join() const {
  auto for_each_kept_line = [this](auto&& visit) {
    CatalogueLineReader reader(text_);
    std::int64_t loaded_index = 0;
    auto next_deleted = deleted_.begin();
    while (auto line = reader.Next()) {
      if (next_deleted != deleted_.end() && *next_deleted == loaded_index) {
        ++next_deleted;
      } else {
        visit(*line);
      }
      ++loaded_index;
    }
  };
  // Measured first, so that the text is made with one allocation of its final size.
  std::size_t size = 0;
  for_each_kept_line(
      [&](std::string_view line) { size += line.size() + kCatalogueLineBreak.size(); });
  std::string joined;
  joined.reserve(size);
  for_each_kept_line([&](std::string_view line) {
    joined.append(line);
    joined.append(kCatalogueLineBreak);
  });
  return joined;
}

}  // namespace qvhelp
