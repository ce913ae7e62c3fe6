// Micro-benchmarks of the catalogue's text rules, in bytes per second: measuring (counting the
// lines), finding the entry block, and the patched text, as spans of the text when its breaks
// all are CR LF, else joined anew.
#include <benchmark/benchmark.h>

#include <string>

#include "help_toc/catalogue_text.h"
#include "help_toc/entry_block.h"

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
  for (auto _ : state) benchmark::DoNotOptimize(qvhelp::MeasureCatalogue(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Search(benchmark::State& state) {
  const std::string& text = Text(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(qvhelp::FindEntryBlock(text, "Quorvane Components"));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Patch(benchmark::State& state) {
  const std::string& text = Text(state.range(0) != 0);
  for (auto _ : state) {
    const qvhelp::PatchedCatalogue patched(text,
                                           *qvhelp::FindEntryBlock(text, "Quorvane Components"));
    benchmark::DoNotOptimize(patched.Spans().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace

// The argument is 1 for CR LF line ends, 0 for LF.
BENCHMARK(Split)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Search)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Patch)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
