// The near: filter term over one million rows spread evenly on a grid 1,000,000 units square,
// for a radius that holds about 1,000 of them: answered by the map's points as a position index
// (as the window does for large tables), by the scan of every row, and the index's build; then
// the hover's lookup of the point under the pointer, a redraw in which every point draws its
// direction tick, and Tools → Check Database's check with its findings column (Google Benchmark;
// needs no archive).
//   near_bench [--benchmark_...]
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <string>

#include "radardb/compare/checked_rows.h"
#include "radardb/filter/record_filter.h"
#include "radardb/map/map_points.h"
#include "radardb/map/map_raster.h"

using namespace radardb;

namespace {

constexpr std::size_t kRows = 1'000'000;
constexpr std::int32_t kSide = 1'000'000;
constexpr std::size_t kNearPoints = 1000;
// Pixels of a large map window.
constexpr int kWidth = 1000;
constexpr int kHeight = 800;

// `rows` rows at random positions within a square `side` units wide, with random sc and dir.
RecordTable SpreadTable(std::size_t rows, std::int32_t side) {
  std::mt19937 random(29);
  RecordTable table;
  RecordTable::Ints ints{};
  for (std::size_t i = 0; i < rows; ++i) {
    ints[static_cast<int>(Column::kIndex)] = static_cast<std::int32_t>(i);
    ints[static_cast<int>(Column::kCoordX)] = static_cast<std::int32_t>(random() % side);
    ints[static_cast<int>(Column::kCoordY)] = static_cast<std::int32_t>(random() % side);
    ints[static_cast<int>(Column::kSc)] = static_cast<std::int32_t>(random() % 32);
    ints[static_cast<int>(Column::kDir)] = static_cast<std::int32_t>(random() % 470) - 180;
    table.Append(ints, "", "", "");
  }
  return table;
}

const RecordTable& Table() {
  static const RecordTable table = SpreadTable(kRows, kSide);
  return table;
}

const MapPoints& Index() {
  static const MapPoints index =
      MapPoints::Build(RecordTableSource(Table()), TableOrder(kRows), ColourBy::kSc);
  return index;
}

// "near:X,Y,R" around the middle, R holding about kNearPoints of the rows.
RecordFilter NearFilter() {
  const double radius = std::sqrt(double(kNearPoints) / kRows / std::numbers::pi) * kSide;
  RecordFilter filter;
  const std::string term = "near:" + std::to_string(kSide / 2) + "," + std::to_string(kSide / 2) +
                           "," + std::to_string(std::lround(radius));
  if (!RecordFilter::Parse(term, filter).ok()) std::abort();
  return filter;
}

void NearIndexed(benchmark::State& state) {
  const RecordFilter filter = NearFilter();
  const RecordTableSource source(Table());
  const RowOrder order = TableOrder(kRows);
  Index();
  std::size_t found = 0;
  for (auto _ : state) {
    found = MatchingRows(filter, source, order, Index()).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = double(found);
}

void NearScan(benchmark::State& state) {
  const RecordFilter filter = NearFilter();
  const RecordTableSource source(Table());
  const RowOrder order = TableOrder(kRows);
  std::size_t found = 0;
  for (auto _ : state) {
    found = MatchingRows(filter, source, order).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = double(found);
}

void BuildIndex(benchmark::State& state) {
  for (auto _ : state) {
    const MapPoints index =
        MapPoints::Build(RecordTableSource(Table()), TableOrder(kRows), ColourBy::kSc);
    benchmark::DoNotOptimize(index.size());
  }
}

// The hover's lookup at a zoom of state.range(0) pixels a 1,000 units (1: all points in view).
void HoverLookup(benchmark::State& state) {
  const double scale = state.range(0) / 1000.0;
  const MapView view{kWidth, kHeight, kSide / 2.0, kSide / 2.0, scale};
  std::mt19937 random(29);
  std::size_t hits = 0;
  for (auto _ : state) {
    const double x = GridX(view, random() % kWidth);
    const double y = GridY(view, random() % kHeight);
    hits += Index().Nearest(x, y, 5 / scale).has_value();
  }
  state.counters["hit_ratio"] = double(hits) / double(state.iterations());
}

// The worst redraw with ticks: every one of a million points in view at kTickMinScale, about
// one a pixel, each drawing its tick.
void DrawEveryTick(benchmark::State& state) {
  constexpr std::int32_t kDenseSide = static_cast<std::int32_t>(kHeight / kTickMinScale);
  static const RecordTable dense = SpreadTable(kRows, kDenseSide);
  static const MapPoints points =
      MapPoints::Build(RecordTableSource(dense), TableOrder(kRows), ColourBy::kSc);
  const MapView view{kWidth, kHeight, kDenseSide / 2.0, kDenseSide / 2.0, kTickMinScale};
  MapImage image;
  for (auto _ : state) {
    DrawMap(points, nullptr, view, image);
    benchmark::DoNotOptimize(image.Pixels());
  }
}

// The window's check of its million rows: texts, repeats and near-duplicates, then the column.
void CheckLoaded(benchmark::State& state) {
  static const auto rows = std::make_shared<const RecordTable>(SpreadTable(kRows, kSide));
  std::size_t findings = 0;
  for (auto _ : state) {
    std::shared_ptr<const CheckedRows> checked;
    if (!CheckLoadedRows(rows, checked).ok()) std::abort();
    findings = checked->Report().findings.size();
    benchmark::DoNotOptimize(findings);
  }
  state.counters["findings"] = double(findings);
}

}  // namespace

BENCHMARK(NearIndexed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(NearScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BuildIndex)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HoverLookup)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(DrawEveryTick)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CheckLoaded)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
