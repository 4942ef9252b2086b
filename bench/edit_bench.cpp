// Editing the one-million-record benchmark database through the window's model: one cell edit
// and its undo, removing 100,000 selected rows and putting them back, the memory held before and
// after, and Save against packing the same records (Google Benchmark). The archive is loaded
// once, as the window loads it.
//   edit_bench ARCHIVE [--benchmark_...]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/record_table_model.h"
#include "bench/bench_archive.h"
#include "platform/output_file.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/edit/edited_save.h"

using namespace radardb;

namespace {

constexpr std::uint32_t kRemovedRows = 100'000;

std::string& Archive() {
  static std::string path;
  return path;
}

RecordTableModel& Model() {
  static RecordTableModel model;
  return model;
}

std::string OutputPath() {
  return (std::filesystem::temp_directory_path() / "edit_bench_saved.lzw").string();
}

// Every tenth row, as a selection of 100,000 rows spread over the table.
std::vector<std::uint32_t> SpreadRows() {
  std::vector<std::uint32_t> rows;
  const std::uint32_t step = static_cast<std::uint32_t>(Model().Rows().size() / kRemovedRows);
  for (std::uint32_t i = 0; i < kRemovedRows; ++i) rows.push_back(i * step);
  return rows;
}

void CellEditAndUndo(benchmark::State& state) {
  RecordTableModel& model = Model();
  const std::uint32_t row = static_cast<std::uint32_t>(model.Rows().size() / 2);
  int value = 0;
  for (auto _ : state) {
    CellChange change;
    // Alternating values, so every edit changes the cell.
    value = value == 70 ? 80 : 70;
    const Status prepared = model.PrepareCellChange(row, static_cast<int>(Column::kSpd),
                                                    QString::number(value), change);
    if (prepared.cancelled()) continue;
    if (!prepared.ok()) {
      state.SkipWithError(prepared.message().c_str());
      return;
    }
    model.ApplyCellChange(change, true);
    model.ApplyCellChange(change, false);
  }
}

void RemoveRows(benchmark::State& state) {
  RecordTableModel& model = Model();
  const std::vector<std::uint32_t> rows = SpreadRows();
  const std::size_t fresh = model.MemoryBytes();
  std::size_t held = 0;
  for (auto _ : state) {
    const RowsChange change = model.RemoveRows(rows);
    state.PauseTiming();
    held = change.rows.capacity() * sizeof(change.rows[0]);
    model.PutBackRows(change);
    state.ResumeTiming();
  }
  state.counters["fresh_MiB"] = static_cast<double>(fresh) / (1 << 20);
  state.counters["after_MiB"] = static_cast<double>(model.MemoryBytes()) / (1 << 20);
  state.counters["undo_MiB"] = static_cast<double>(held) / (1 << 20);
}

void PutBackRows(benchmark::State& state) {
  RecordTableModel& model = Model();
  const std::vector<std::uint32_t> rows = SpreadRows();
  for (auto _ : state) {
    state.PauseTiming();
    const RowsChange change = model.RemoveRows(rows);
    state.ResumeTiming();
    model.PutBackRows(change);
  }
}

// Save with one edit, against `kestrolan-db pack` of the same expanded records.
void Save(benchmark::State& state) {
  RecordTableModel& model = Model();
  CellChange change;
  if (!model.PrepareCellChange(0, static_cast<int>(Column::kRoad), QStringLiteral("A7"), change)
           .ok()) {
    state.SkipWithError("edit refused");
    return;
  }
  model.ApplyCellChange(change, true);
  for (auto _ : state) {
    const Status saved = SaveEditedDatabase(Archive(), model.Rows(), model.Log(), OutputPath());
    if (!saved.ok()) state.SkipWithError(saved.message().c_str());
  }
  model.ApplyCellChange(change, false);
}

// Reading the archive and building the records Save compresses.
void BuildRecords(benchmark::State& state) {
  std::string expanded;
  for (auto _ : state) {
    const Status built = BuildEditedRecords(Archive(), Model().Rows(), Model().Log(), expanded);
    if (!built.ok()) state.SkipWithError(built.message().c_str());
  }
}

void Pack(benchmark::State& state) {
  std::string expanded;
  const Status built = BuildEditedRecords(Archive(), Model().Rows(), Model().Log(), expanded);
  if (!built.ok()) {
    state.SkipWithError(built.message().c_str());
    return;
  }
  for (auto _ : state) {
    const Status written = platform::WriteOutputFile(OutputPath(), CompressLzw(expanded));
    if (!written.ok()) state.SkipWithError(written.message().c_str());
  }
}

}  // namespace

BENCHMARK(CellEditAndUndo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RemoveRows)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(PutBackRows)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(Save)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BuildRecords)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(Pack)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::optional<RecordTable> rows =
      LoadBenchArchive(argc, argv, "edit_bench ARCHIVE [--benchmark_...]");
  if (!rows) return 1;
  Archive() = argv[1];
  Model().SetRows(std::move(*rows));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(OutputPath());
  return 0;
}
