// The catalogue as an ordered list of lines with zero-based indexes.
//
// The lines stay views into the catalogue's text and a deletion only records which line went,
// so that the list costs next to nothing beside the text itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qvhelp {

class HelpTocLines {
 public:
  explicit HelpTocLines(std::string_view text);

  std::int64_t Count() const;
  // The index of the first line that contains `needle`, or -1.
  std::int64_t IndexOfFirstContaining(std::string_view needle) const;
  // Removes the line at `index`, moving the following lines up by one; raises
  // EStringListError "List index out of bounds (index)" when there is no such line.
  void Delete(std::int64_t index);
  // Every line in order, each followed by CR LF.
  std::string Join() const;

 private:
  std::string_view text_;
  std::int64_t loaded_count_;
  std::vector<std::int64_t> deleted_;  // indexes into the loaded lines, ascending
};

}  // namespace qvhelp
