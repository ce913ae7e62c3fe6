// Splitting catalogue text into lines.
#include "help_toc/catalogue_text.h"

#include <algorithm>

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

namespace {

struct BreakCounts {
  std::size_t lines;
  std::size_t break_bytes;
  bool only_crlf;
};

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// Both counting loops are written without early exits and with byte-wide counters over
// blocks of at most 255 bytes, so that the compiler vectorises them sixteen bytes at a time:
// catalogues run to hundreds of megabytes.
constexpr std::size_t kCountBlock = 255;

BreakCounts CountBreaks(std::string_view text) {
  const std::size_t size = text.size();
  if (size == 0) return {0, 0, true};
  const char* const data = text.data();
  std::size_t crs = 0;
  std::size_t lfs = 0;
  std::size_t cr_lfs = 0;
  for (std::size_t i = 0; i + 1 < size;) {
    const std::size_t block = std::min(size - 1 - i, kCountBlock);
    unsigned char block_crs = 0;
    unsigned char block_lfs = 0;
    unsigned char block_cr_lfs = 0;
    for (std::size_t j = i; j < i + block; ++j) {
      block_crs = static_cast<unsigned char>(block_crs + (data[j] == '\r'));
      block_lfs = static_cast<unsigned char>(block_lfs + (data[j] == '\n'));
      block_cr_lfs =
          static_cast<unsigned char>(block_cr_lfs + ((data[j] == '\r') & (data[j + 1] == '\n')));
    }
    crs += block_crs;
    lfs += block_lfs;
    cr_lfs += block_cr_lfs;
    i += block;
  }
  crs += data[size - 1] == '\r';
  lfs += data[size - 1] == '\n';
  // Every break ends one line, CR LF being one break; a last line without one counts too.
  const std::size_t breaks = crs + lfs - cr_lfs;
  // Each CR LF pairs one CR with one LF; when they account for all of both, no break is alone.
  return {breaks + (IsBreak(data[size - 1]) ? 0 : 1), crs + lfs, crs == cr_lfs && lfs == cr_lfs};
}

// Whether every break in [begin, end) is a CR LF: each CR followed by an LF and each LF after
// a CR, the one byte past `end` included.
bool OnlyCrLfBreaks(const char* data, std::size_t begin, std::size_t end, std::size_t size) {
  const std::size_t last = end < size ? end : size - 1;
  unsigned char mismatches = 0;
  for (std::size_t i = begin; i < last;) {
    const std::size_t block_end = std::min(last, i + kCountBlock);
    unsigned char block_mismatches = 0;
    for (std::size_t j = i; j < block_end; ++j) {
      block_mismatches |= static_cast<unsigned char>((data[j] == '\r') != (data[j + 1] == '\n'));
    }
    mismatches |= block_mismatches;
    i = block_end;
  }
  return mismatches == 0;
}

}  // namespace

std::size_t CountCatalogueLines(std::string_view text) { return CountBreaks(text).lines; }

CatalogueMeasure MeasureCatalogue(std::string_view text) {
  const BreakCounts counts = CountBreaks(text);
  return {counts.lines,
          text.size() - counts.break_bytes + counts.lines * kCatalogueLineBreak.size(),
          counts.only_crlf};
}

std::size_t SizeWithCrLfBreaks(std::string_view text) {
  return MeasureCatalogue(text).size_with_crlf_breaks;
}

void AppendWithCrLfBreaks(std::string_view text, std::string& out) {
  // A catalogue mostly ends its lines in CR LF already: blocks whose breaks all are CR LF are
  // copied whole, and only the others go line by line.
  constexpr std::size_t kBlock = 64 * 1024;
  const char* const data = text.data();
  const std::size_t size = text.size();
  std::size_t position = 0;
  while (position < size) {
    std::size_t block_end = std::min(size, position + kBlock);
    // A block starts at a line's start, where an LF is a break of its own.
    if (block_end < size && data[position] != '\n' &&
        OnlyCrLfBreaks(data, position, block_end, size)) {
      if (data[block_end - 1] == '\r') ++block_end;  // and the LF that completes its break
      out.append(data + position, block_end - position);
      position = block_end;
      continue;
    }
    // Line by line up to the first line that ends at or after the block's end.
    CatalogueLineReader reader(text.substr(position));
    const std::size_t start = position;
    while (position < block_end) {
      const std::optional<std::string_view> line = reader.Next();
      if (!line) break;
      out.append(*line);
      out.append(kCatalogueLineBreak);
      position = start + reader.Position();
    }
  }
}

}  // namespace qvhelp
