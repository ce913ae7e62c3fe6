// The in-place cut.
#include "help_toc/text_cut.h"

#include <cstring>

namespace qvhelp {
namespace {

// memmove, also for the empty views whose data may be null.
void MoveBytes(char* to, const char* from, std::size_t count) {
  if (count > 0) std::memmove(to, from, count);
}

}  // namespace

template <typename Visit>
void TextCut::ForEachCutRun(Visit visit) const {
  std::size_t from = 0;
  for (const KeptPiece& piece : kept_) {
    visit(from, piece.offset);
    from = piece.offset + piece.size;
  }
  visit(from, buffer_.size());
}

TextCut::TextCut(std::span<char> buffer, std::span<const std::string_view> kept,
                 std::string_view tail)
    : buffer_(buffer) {
  // Everything that can fail comes first, so that a failure leaves the buffer untouched.
  kept_.reserve(kept.size());
  for (std::string_view piece : kept) {
    kept_.push_back({static_cast<std::size_t>(piece.data() - buffer.data()), piece.size()});
    kept_size_ += piece.size();
  }
  cut_bytes_.reserve(buffer.size() - kept_size_);
  ForEachCutRun([this](std::size_t from, std::size_t to) {
    cut_bytes_.append(buffer_.data() + from, to - from);
  });

  for (const KeptPiece& piece : kept_) {
    MoveBytes(buffer.data() + size_, buffer.data() + piece.offset, piece.size);
    size_ += piece.size;
  }
  MoveBytes(buffer.data() + size_, tail.data(), tail.size());
  size_ += tail.size();
}

std::string_view TextCut::Undo() {
  // From the last piece back: each one's old place lies past where the earlier ones now stand.
  std::size_t moved_to = kept_size_;
  for (auto piece = kept_.rbegin(); piece != kept_.rend(); ++piece) {
    moved_to -= piece->size;
    MoveBytes(buffer_.data() + piece->offset, buffer_.data() + moved_to, piece->size);
  }
  const char* cut = cut_bytes_.data();
  ForEachCutRun([this, &cut](std::size_t from, std::size_t to) {
    MoveBytes(buffer_.data() + from, cut, to - from);
    cut += to - from;
  });
  size_ = buffer_.size();
  return Text();
}

}  // namespace qvhelp
