// Compares two releases in the window as "Compare with…" does: loads NEW through LoadRadarFile,
// then compares it with OLD on the window's own background thread, on an offscreen window. Prints
// the time of each step, the status bar's count and summary, and the summary's tooltip; any
// message shown is an error here.
//   QT_QPA_PLATFORM=offscreen window_compare_bench OLD NEW
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <cstdio>

#include "app/kestrolan.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

namespace {

constexpr int kWaitMs = 600000;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_compare_bench OLD NEW\n");
    return 2;
  }
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QElapsedTimer timer;
  timer.start();
  window.LoadRadarFile(QString::fromLocal8Bit(argv[2]));
  const double loadSeconds = timer.nsecsElapsed() / 1e9;
  prompts.SetNextFileName(QString::fromLocal8Bit(argv[1]));
  timer.restart();
  window.CompareWith();
  if (!QTest::qWaitFor([&] { return !window.Comparing(); }, kWaitMs)) {
    std::fprintf(stderr, "the comparison did not end\n");
    return 1;
  }
  const double compareSeconds = timer.nsecsElapsed() / 1e9;
  if (prompts.shown.size() != 1) {
    std::fprintf(stderr, "%s\n", qPrintable(prompts.shown.join(QLatin1Char('\n'))));
    return 1;
  }
  std::printf("load NEW %.3f s, compare with OLD %.3f s, together %.3f s; rows %d; %s, %s (%s)\n",
              loadSeconds, compareSeconds, loadSeconds + compareSeconds, window.Model().rowCount(),
              qPrintable(window.lbCount->text()), qPrintable(window.lbChanges->text()),
              qPrintable(window.lbChanges->toolTip()));
  return 0;
}
