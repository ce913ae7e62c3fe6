// Micro-benchmarks of the catalogue's text rules, in bytes per second: splitting (counting the
// lines), the marker search, and joining with CR LF breaks, into a new string or, when the
// breaks stay as they are, where the text lies.
#include <benchmark/benchmark.h>

#include <string>

#include "help_toc/catalogue_text.h"
#include "help_toc/help_toc_lines.h"
#include "help_toc/text_cut.h"

namespace {

std::string Catalogue(std::size_t size, std::string_view line_break) {
  std::string text;
  text.reserve(size + 128);
  for (int topic = 0; text.size() < size; ++topic) {
    if (topic == 100000) text += "    <HelpTOCNode Title=\"Quorvane Components\" Url=\"qv3\">";
    text += "    <HelpTOCNode Title=\"Topic " + std::to_string(topic) +
            "\" Url=\"ms-help://BDS/Help/t" + std::to_string(topic) + ".htm\"/>";
    text += line_break;
  }
  return text;
}

const std::string& Text(bool crlf) {
  static const std::string with_crlf = Catalogue(64 << 20, "\r\n");
  static const std::string with_lf = Catalogue(64 << 20, "\n");
  return crlf ? with_crlf : with_lf;
}

void Split(benchmark::State& state) {
  const std::string& text = Text(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(qvhelp::CountCatalogueLines(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Search(benchmark::State& state) {
  const std::string& text = Text(state.range(0) != 0);
  for (auto _ : state) {
    const qvhelp::HelpTocLines lines(text);
    benchmark::DoNotOptimize(lines.IndexOfFirstContaining("Quorvane Components"));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The run's own steps up to the join: the list, the search, the entry block deleted.
qvhelp::HelpTocLines WithEntryRemoved(std::string_view text) {
  qvhelp::HelpTocLines lines(text);
  const std::int64_t marker = lines.IndexOfFirstContaining("Quorvane Components");
  for (int i = 0; i < 3; ++i) lines.Delete(marker);
  return lines;
}

void Join(benchmark::State& state) {
  const std::string& text = Text(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(WithEntryRemoved(text).Join());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void JoinInPlace(benchmark::State& state) {
  std::string buffer = Text(true);
  for (auto _ : state) {
    auto joined = WithEntryRemoved(buffer).JoinInPieces();
    qvhelp::TextCut cut(buffer, joined->pieces, joined->tail);
    benchmark::DoNotOptimize(cut.Text().data());
    state.PauseTiming();
    cut.Undo();  // the same text for the next round
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

}  // namespace

// The argument is 1 for CR LF line ends, 0 for LF.
BENCHMARK(Split)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Search)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Join)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(JoinInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
