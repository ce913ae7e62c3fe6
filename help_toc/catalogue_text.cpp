// Splitting catalogue text into lines.
#include "help_toc/catalogue_text.h"

namespace qvhelp {

std::optional<std::string_view> CatalogueLineReader::Next() {
  const std::size_t size = text_.size();
  if (position_ >= size) return std::nullopt;
  const char* const data = text_.data();
  const std::size_t begin = position_;
  std::size_t end = begin;
  while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
  position_ = end;
  if (end < size) {
    position_ += (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') ? 2 : 1;
  }
  return text_.substr(begin, end - begin);
}

std::size_t CountCatalogueLines(std::string_view text) {
  // Every break ends one line; CR LF is one break. Written without early exits so that the
  // compiler can vectorise it: catalogues run to hundreds of megabytes.
  std::size_t breaks = 0;
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const bool lf = text[i] == '\n';
    const bool cr_not_before_lf = text[i] == '\r' && (i + 1 == size || text[i + 1] != '\n');
    breaks += static_cast<std::size_t>(lf) + static_cast<std::size_t>(cr_not_before_lf);
  }
  const bool unterminated_last_line = !text.empty() && text.back() != '\n' && text.back() != '\r';
  return breaks + (unterminated_last_line ? 1 : 0);
}

}  // namespace qvhelp
