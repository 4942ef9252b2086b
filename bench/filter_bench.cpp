// The filter on a database archive (the one-million-record benchmark database): the time to
// re-filter every row for a text term, a numeric term and both, on all cores and on one (Google
// Benchmark). The archive is loaded once, as the window loads it.
//   filter_bench ARCHIVE [--benchmark_...]
#include <benchmark/benchmark.h>

#include <optional>

#include "bench/bench_archive.h"
#include "radardb/filter/record_filter.h"

using namespace radardb;

namespace {

RecordTable& Rows() {
  static RecordTable rows;
  return rows;
}

void Filter(benchmark::State& state, const char* expression) {
  RecordFilter filter;
  const Status parsed = RecordFilter::Parse(expression, filter);
  if (!parsed.ok()) {
    state.SkipWithError(parsed.message().c_str());
    return;
  }
  const RecordTableSource source(Rows());
  const RowOrder order = TableOrder(Rows().size());
  const auto threads = static_cast<unsigned>(state.range(0));
  std::size_t matches = 0;
  for (auto _ : state) {
    matches = MatchingRows(filter, source, order, {}, threads).size();
    benchmark::DoNotOptimize(matches);
  }
  state.counters["rows"] = static_cast<double>(Rows().size());
  state.counters["matches"] = static_cast<double>(matches);
}

}  // namespace

// A word found in several cities and streets; a word found nowhere (every text read to its end);
// a speed limit; both kinds at once.
BENCHMARK_CAPTURE(Filter, text_word, "ille")->Arg(2)->Arg(1)->UseRealTime();
BENCHMARK_CAPTURE(Filter, text_absent, "zzz")->Arg(2)->Arg(1)->UseRealTime();
BENCHMARK_CAPTURE(Filter, text_field, "road:\"ring road\"")->Arg(2)->Arg(1)->UseRealTime();
BENCHMARK_CAPTURE(Filter, numeric, "spd>=100")->Arg(2)->Arg(1)->UseRealTime();
BENCHMARK_CAPTURE(Filter, numeric_and_text, "spd>=100 -city:lyon")->Arg(2)->Arg(1)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::optional<RecordTable> rows =
      LoadBenchArchive(argc, argv, "filter_bench ARCHIVE [--benchmark_...]");
  if (!rows) return 1;
  Rows() = std::move(*rows);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
