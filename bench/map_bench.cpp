// The map on a database archive (the one-million-record benchmark database): building its points
// and spatial index, drawing it after a zoom or pan (the rasteriser alone, and the window's map
// canvas with its paint), finding the point under a click, and the bytes it holds a point
// (Google Benchmark). The archive is loaded once, as the window loads it.
//   QT_QPA_PLATFORM=offscreen map_bench ARCHIVE [--benchmark_...]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <optional>
#include <random>

#include "app/map_canvas.h"
#include "bench/bench_archive.h"
#include "radardb/map/map_raster.h"

using namespace radardb;

namespace {

// A large map window's drawing area.
constexpr int kWidth = 1000;
constexpr int kHeight = 800;

RecordTable& Rows() {
  static RecordTable rows;
  return rows;
}

std::vector<std::uint32_t> AllRows() {
  std::vector<std::uint32_t> rows(Rows().size());
  for (std::uint32_t row = 0; row < rows.size(); ++row) rows[row] = row;
  return rows;
}

const MapPoints& Points() {
  static const MapPoints points =
      MapPoints::Build(RecordTableSource(Rows()), AllRows(), ColourBy::kSc);
  return points;
}

// The worst case for drawing: a million points spread evenly, a dot on nearly every pixel.
const MapPoints& SpreadPoints() {
  static const MapPoints points = [] {
    std::mt19937 random(15);
    RecordTable table;
    RecordTable::Ints ints{};
    for (std::size_t i = 0; i < Rows().size(); ++i) {
      ints[static_cast<int>(Column::kCoordX)] = static_cast<std::int32_t>(random() % 1000000);
      ints[static_cast<int>(Column::kCoordY)] = static_cast<std::int32_t>(random() % 1000000);
      ints[static_cast<int>(Column::kSc)] = static_cast<std::int32_t>(random() % 32);
      table.Append(ints, "", "", "");
    }
    return MapPoints::Build(RecordTableSource(table), AllRows(), ColourBy::kSc);
  }();
  return points;
}

void BuildPoints(benchmark::State& state) {
  const std::vector<std::uint32_t> rows = AllRows();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const MapPoints points = MapPoints::Build(RecordTableSource(Rows()), rows, ColourBy::kSc);
    bytes = points.MemoryBytes();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["points"] = static_cast<double>(rows.size());
  state.counters["bytes_per_point"] = static_cast<double>(bytes) / double(rows.size());
}

// Draws the points (of the database, or spread evenly) zoomed in state.range(0) times from all
// points in, around the middle, panned a pixel further each time.
void DrawAfterZoomOrPan(benchmark::State& state, bool spread) {
  const MapPoints& points = spread ? SpreadPoints() : Points();
  const MapView zoomed = Zoomed(FitView(points.Bounds(), kWidth, kHeight), double(state.range(0)),
                                kWidth / 2.0, kHeight / 2.0);
  MapImage image;
  int step = 0;
  for (auto _ : state) {
    DrawMap(points, nullptr, Panned(zoomed, step++ % 40, 0), image);
    benchmark::DoNotOptimize(image.Pixels());
  }
  std::size_t drawn = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) drawn += image.At(x, y) != kMapBackground;
  }
  state.counters["coloured_pixels"] = double(drawn);
}

// The same through the map canvas: a zoom, then a synchronous paint of the widget.
void CanvasZoomOrPan(benchmark::State& state) {
  MapCanvas canvas;
  canvas.resize(kWidth, kHeight);
  canvas.show();
  canvas.SetPoints(MapPoints::Build(RecordTableSource(Rows()), AllRows(), ColourBy::kSc), {});
  int step = 0;
  for (auto _ : state) {
    // All points, then seven steps closer, again and again.
    if (step % 8 == 0) {
      canvas.FitAll();
    } else {
      canvas.ZoomBy(MapCanvas::kZoomStep);
    }
    canvas.repaint();
    ++step;
  }
}

void HitTest(benchmark::State& state) {
  const MapView view = FitView(Points().Bounds(), kWidth, kHeight);
  std::mt19937 random(15);
  std::size_t hits = 0;
  for (auto _ : state) {
    const double x = GridX(view, random() % kWidth);
    const double y = GridY(view, random() % kHeight);
    hits += Points().Nearest(x, y, MapCanvas::kPickRadiusPx / view.scale).has_value();
  }
  state.counters["hit_ratio"] = double(hits) / double(state.iterations());
}

}  // namespace

BENCHMARK(BuildPoints)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(DrawAfterZoomOrPan, database, false)
    ->Arg(1)
    ->Arg(4)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(DrawAfterZoomOrPan, spread, true)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(CanvasZoomOrPan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HitTest)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  std::optional<RecordTable> rows =
      LoadBenchArchive(argc, argv, "map_bench ARCHIVE [--benchmark_...]");
  if (!rows) return 1;
  Rows() = std::move(*rows);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
