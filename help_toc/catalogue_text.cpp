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

// The counting loops have no early exits, and the counts are kept per lane of sixteen bytes in
// byte-wide counters, so that the compiler turns each lane array into one vector register:
// catalogues run to hundreds of megabytes. A byte-wide counter takes 255 steps, so the lanes
// are added up every 255 rounds.
constexpr std::size_t kLanes = 16;
constexpr std::size_t kRoundsPerBlock = 255;

BreakCounts CountBreaks(std::string_view text) {
  const std::size_t size = text.size();
  if (size == 0) return {0, 0, true};
  const char* const data = text.data();
  // Each byte but the last is looked at together with the byte after it.
  const std::size_t paired = size - 1;
  std::size_t crs = 0;
  std::size_t lfs = 0;
  std::size_t cr_lfs = 0;
  std::size_t i = 0;
  while (paired - i >= kLanes) {
    const std::size_t rounds = std::min((paired - i) / kLanes, kRoundsPerBlock);
    unsigned char lane_crs[kLanes] = {};
    unsigned char lane_lfs[kLanes] = {};
    unsigned char lane_cr_lfs[kLanes] = {};
    for (std::size_t round = 0; round < rounds; ++round, i += kLanes) {
      for (std::size_t lane = 0; lane < kLanes; ++lane) {
        const char byte = data[i + lane];
        lane_crs[lane] = static_cast<unsigned char>(lane_crs[lane] + (byte == '\r'));
        lane_lfs[lane] = static_cast<unsigned char>(lane_lfs[lane] + (byte == '\n'));
        lane_cr_lfs[lane] = static_cast<unsigned char>(
            lane_cr_lfs[lane] + ((byte == '\r') & (data[i + lane + 1] == '\n')));
      }
    }
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
      crs += lane_crs[lane];
      lfs += lane_lfs[lane];
      cr_lfs += lane_cr_lfs[lane];
    }
  }
  for (; i < paired; ++i) {
    crs += data[i] == '\r';
    lfs += data[i] == '\n';
    cr_lfs += (data[i] == '\r') & (data[i + 1] == '\n');
  }
  crs += data[size - 1] == '\r';
  lfs += data[size - 1] == '\n';
  // Every break ends one line, CR LF being one break; a last line without one counts too.
  const std::size_t breaks = crs + lfs - cr_lfs;
  // Each CR LF pairs one CR with one LF; when they account for all of both, no break is alone.
  return {breaks + (IsBreak(data[size - 1]) ? 0 : 1), crs + lfs, crs == cr_lfs && lfs == cr_lfs};
}

// Whether every break in [begin, end) is a CR LF: each CR followed by an LF and each LF after
// a CR, the one byte past `end` included. A byte-wide flag, or-ed over lanes, vectorises too.
bool OnlyCrLfBreaks(const char* data, std::size_t begin, std::size_t end, std::size_t size) {
  const std::size_t last = end < size ? end : size - 1;
  unsigned char mismatches = 0;
  for (std::size_t i = begin; i < last; ++i) {
    mismatches |= static_cast<unsigned char>((data[i] == '\r') != (data[i + 1] == '\n'));
  }
  return mismatches == 0;
}

}  // namespace

CatalogueMeasure MeasureCatalogue(std::string_view text) {
  const BreakCounts counts = CountBreaks(text);
  return {counts.lines,
          text.size() - counts.break_bytes + counts.lines * kCatalogueLineBreak.size(),
          counts.only_crlf};
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
