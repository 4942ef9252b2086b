// The window while the user types a filter over a loaded archive (the one-million-record
// benchmark database): keys arrive every kKeyIntervalMs as from a fast typist, each changing the
// filter field; a heartbeat timer measures the longest time the GUI thread did not answer. Also
// reports how long the last key took to show its rows (Google Benchmark, offscreen window).
//   QT_QPA_PLATFORM=offscreen window_typing_bench ARCHIVE [--benchmark_...]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "app/kestrolan.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

namespace {

constexpr int kKeyIntervalMs = 60;
constexpr int kHeartbeatMs = 5;

Kestrolan* window = nullptr;

// Runs the event loop until the model holds no filter work.
void Settle() {
  while (window->Model().Filtering())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents();
}

void TypeFilter(benchmark::State& state, const char* text) {
  const QString typed = QString::fromUtf8(text);
  double worstStallMs = 0;
  double lastKeyMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    window->esFilter->clear();
    Settle();
    state.ResumeTiming();

    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    qint64 lastBeat = 0;
    qint64 longestGap = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      longestGap = std::max(longestGap, now - lastBeat);
      lastBeat = now;
    });
    heartbeat.start(kHeartbeatMs);
    qint64 lastKeyAt = 0;
    int typedKeys = 0;
    QTimer keys;
    QObject::connect(&keys, &QTimer::timeout, [&] {
      window->esFilter->setText(typed.left(++typedKeys));
      if (typedKeys < typed.size()) return;
      keys.stop();
      lastKeyAt = clock.nsecsElapsed();
    });
    QObject::connect(&window->Model(), &RecordTableModel::ShownRowsChanged, &loop, [&] {
      if (lastKeyAt != 0 && !window->Model().Filtering()) loop.quit();
    });
    keys.start(kKeyIntervalMs);
    loop.exec();
    lastKeyMs = (clock.nsecsElapsed() - lastKeyAt) / 1e6;
    worstStallMs = std::max(worstStallMs, (longestGap / 1e6) - kHeartbeatMs);
  }
  state.counters["max_gui_stall_ms"] = worstStallMs;
  state.counters["last_key_to_rows_ms"] = lastKeyMs;
  state.counters["rows_shown"] = window->Model().rowCount();
}

}  // namespace

BENCHMARK_CAPTURE(TypeFilter, text, "marseille")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(TypeFilter, numeric, "spd>=100")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(TypeFilter, both, "road:a1 -city:lyon")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_typing_bench ARCHIVE [--benchmark_...]\n");
    return 2;
  }
  ScriptedPrompts prompts;
  Kestrolan kestrolan(prompts);
  window = &kestrolan;
  kestrolan.show();
  kestrolan.LoadRadarFile(QString::fromLocal8Bit(argv[1]));
  if (!prompts.shown.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(prompts.shown.join(QLatin1Char('\n'))));
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
