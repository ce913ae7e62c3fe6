// The catalogue's text rules: how its bytes split into lines and how lines are written back.
//
// A break is CR LF, a lone CR or a lone LF; LF followed by CR is two breaks. The text after the
// last break is a line when it is not empty. Lines are written back each followed by CR LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qvhelp {

// Walks the lines of a text in order, as views into it.
class CatalogueLineReader {
 public:
  explicit CatalogueLineReader(std::string_view text) : text_(text) {}

  std::optional<std::string_view> Next();
  // Where the line that Next returns after this begins.
  std::size_t Position() const { return position_; }

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

struct CatalogueMeasure {
  std::size_t lines;
  std::size_t size_with_crlf_breaks;  // once every line is followed by CR LF
  bool only_crlf_breaks;              // every break already is a CR LF
};

// All of the above in one pass over the text.
CatalogueMeasure MeasureCatalogue(std::string_view text);

// Appends the text's lines to `out`, each followed by CR LF.
void AppendWithCrLfBreaks(std::string_view text, std::string& out);

inline constexpr std::string_view kCatalogueLineBreak = "\r\n";

}  // namespace qvhelp
