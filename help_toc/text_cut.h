// A text with some of its bytes cut out where it lies.
//
// What is kept moves up over what is cut, inside the text's own buffer, and the cut bytes are
// set aside so that the buffer can be put back as it was. This spares a second buffer the size
// of the whole text.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qvhelp {

class TextCut {
 public:
  // `kept`: views into `buffer`, in order and apart from each other. The text becomes these
  // followed by `tail`, which must fit in the buffer beside them.
  TextCut(std::span<char> buffer, std::span<const std::string_view> kept, std::string_view tail);

  std::string_view Text() const { return {buffer_.data(), size_}; }
  // Puts the buffer back as it was before the cut, once, and returns it.
  std::string_view Undo();

 private:
  struct KeptPiece {
    std::size_t offset;  // where it stood in the buffer
    std::size_t size;
  };
  // Calls `visit(from, to)` for each run of bytes between the kept pieces, in order.
  template <typename Visit>
  void ForEachCutRun(Visit visit) const;

  std::span<char> buffer_;
  std::vector<KeptPiece> kept_;
  std::string cut_bytes_;  // everything between the kept pieces, in order
  std::size_t kept_size_ = 0;
  std::size_t size_ = 0;
};

}  // namespace qvhelp
