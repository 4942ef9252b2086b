// The record table model on one million rows: the bytes it holds per row, the time to sort it by
// a text column and by an integer column, whole and filtered, and the time a filter takes to
// show through the model (Google Benchmark).
//   record_model_bench [--benchmark_...]
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <random>
#include <string>

#include "app/record_table_model.h"

using namespace radardb;

namespace {

constexpr std::size_t kRows = 1'000'000;

// Rows like a real database's: speeds, road names and cities in no particular order.
RecordTable MakeRows() {
  std::mt19937 random(20120902);
  const char* kRoadKinds[] = {"A", "N", "D", "Route de ", "Rue ", "Avenue "};
  const char* kCities[] = {"Lyon",
                           "Marseille",
                           "Toulouse",
                           "Nantes",
                           "Lille",
                           "Rennes",
                           "Reims",
                           "Dijon",
                           "Angers",
                           "N\xc3\xaemes",
                           "Saint-\xc3\x89tienne",
                           "Brest"};
  RecordTable table;
  table.Reserve(kRows, kRows * 40);
  RecordTable::Ints ints{};
  for (std::size_t i = 0; i < kRows; ++i) {
    ints[static_cast<int>(Column::kIndex)] = static_cast<std::int32_t>(i);
    for (int c = 1; c < kIntColumnCount; ++c)
      ints[c] = static_cast<std::int32_t>(random() % 100000);
    const std::string speed = std::to_string(30 + 10 * (random() % 11)) + " km/h";
    const std::string road =
        std::string(kRoadKinds[random() % 6]) + std::to_string(random() % 5000);
    const std::string city =
        kCities[random() % 12] + std::string(" ") + std::to_string(random() % 100);
    table.Append(ints, speed, road, city);
  }
  return table;
}

RecordTableModel& Model() {
  static RecordTableModel* model = [] {
    auto* built = new RecordTableModel;
    built->SetRows(MakeRows());
    return built;
  }();
  return *model;
}

void SortBy(benchmark::State& state, Column column) {
  RecordTableModel& model = Model();
  for (auto _ : state) {
    model.sort(-1);  // back to table order, so every run sorts the same input
    model.sort(static_cast<int>(column), Qt::AscendingOrder);
  }
  state.counters["bytes_per_row"] = static_cast<double>(model.MemoryBytes()) / kRows;
  state.counters["rows"] = static_cast<double>(model.rowCount());
}

// Sets `expression` as the model's filter and runs the event loop until it shows.
void ApplyFilter(RecordTableModel& model, const char* expression) {
  RecordFilter filter;
  if (!RecordFilter::Parse(expression, filter).ok()) std::abort();
  model.SetFilter(std::move(filter));
  while (model.Filtering()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Sorting while a filter shows part of the rows: only those are sorted.
void SortFilteredBy(benchmark::State& state, const char* expression, Column column) {
  RecordTableModel& model = Model();
  model.sort(-1);
  ApplyFilter(model, expression);
  for (auto _ : state) {
    model.sort(-1);
    model.sort(static_cast<int>(column), Qt::AscendingOrder);
  }
  state.counters["rows"] = static_cast<double>(model.rowCount());
  ApplyFilter(model, "");
}

// A filter applied through the model: scan on the model's worker, then the model reset.
void FilterThroughModel(benchmark::State& state, const char* expression) {
  RecordTableModel& model = Model();
  for (auto _ : state) {
    ApplyFilter(model, expression);
    state.PauseTiming();
    ApplyFilter(model, "");
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(model.TotalRows());
}

void BM_SortByRoadText(benchmark::State& state) { SortBy(state, Column::kRoad); }
void BM_SortByCityText(benchmark::State& state) { SortBy(state, Column::kCity); }
void BM_SortByXInteger(benchmark::State& state) { SortBy(state, Column::kX); }

}  // namespace

BENCHMARK(BM_SortByRoadText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByCityText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByXInteger)->Unit(benchmark::kMillisecond);
// About half the rows, and about one in twelve.
BENCHMARK_CAPTURE(SortFilteredBy, half_by_road, "x<50000", Column::kRoad)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortFilteredBy, half_by_x, "x<50000", Column::kX)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortFilteredBy, twelfth_by_road, "city:lyon", Column::kRoad)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FilterThroughModel, text, "lyon")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FilterThroughModel, numeric, "x<50000")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);  // the filter's results arrive through its loop
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
