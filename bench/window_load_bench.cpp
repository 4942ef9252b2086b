// Loads a database archive through the window's own LoadRadarFile, as the Load button does:
// expand, read, decode and fill the table model, on an offscreen window. Prints the row count and
// the time the load took; any message the load shows is an error here.
//   QT_QPA_PLATFORM=offscreen window_load_bench ARCHIVE
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "app/kestrolan.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_load_bench ARCHIVE\n");
    return 2;
  }
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QElapsedTimer timer;
  timer.start();
  window.LoadRadarFile(QString::fromLocal8Bit(argv[1]));
  const double seconds = timer.nsecsElapsed() / 1e9;
  if (!prompts.shown.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(prompts.shown.join(QLatin1Char('\n'))));
    return 1;
  }
  std::printf("rows %d, LoadRadarFile %.3f s\n", window.Model().rowCount(), seconds);
  return 0;
}
