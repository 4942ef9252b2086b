// Soak: 1,000 loads of a database through the window's own LoadRadarFile in one process, then
// 1,000 ExportCsvFile calls of its rows. Memory (resident set) and open file descriptors are
// taken after a warm-up and at the end; they must not grow (RSS within 5 %, the same descriptor
// count). Prints the figures; exit status 1 when either grew, or when a load or export failed.
//   QT_QPA_PLATFORM=offscreen soak_bench ARCHIVE [ROUNDS]
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/kestrolan.h"
#include "radardb/csv/csv_export.h"
#include "radardb/records/load_database.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

namespace {

constexpr int kDefaultRounds = 1000;
// Rounds before the first measurement: caches, allocator pools and Qt's own state settle.
constexpr int kWarmUpRounds = 20;
constexpr double kAllowedGrowth = 0.05;

struct Usage {
  long rssKiB = 0;
  long openFiles = 0;
};

Usage Measure() {
  Usage usage;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) usage.rssKiB = std::stol(line.substr(6));
  }
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++usage.openFiles;
  }
  return usage;
}

// Prints one line of figures; true when neither memory nor descriptors grew.
bool Report(const char* what, int rounds, const Usage& settled, const Usage& end) {
  const double growth = double(end.rssKiB - settled.rssKiB) / double(settled.rssKiB);
  std::printf(
      "%s x%d: RSS %ld KiB after %d, %ld KiB at the end (%+.1f %%); open files %ld -> %ld\n", what,
      rounds, settled.rssKiB, kWarmUpRounds, end.rssKiB, growth * 100, settled.openFiles,
      end.openFiles);
  return growth <= kAllowedGrowth && end.openFiles <= settled.openFiles;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: soak_bench ARCHIVE [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc == 3 ? std::stoi(argv[2]) : kDefaultRounds;
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  const QString archive = QString::fromLocal8Bit(argv[1]);

  Usage settled;
  for (int round = 1; round <= rounds; ++round) {
    window.LoadRadarFile(archive);
    if (round == kWarmUpRounds) settled = Measure();
  }
  if (!prompts.shown.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(prompts.shown.join(QLatin1Char('\n'))));
    return 1;
  }
  bool steady = Report("LoadRadarFile", rounds, settled, Measure());

  const LoadOutcome loaded = LoadDatabase(argv[1]);
  QTemporaryDir folder;
  const std::string csv = QDir(folder.path()).filePath(QStringLiteral("radar.csv")).toStdString();
  for (int round = 1; round <= rounds; ++round) {
    const Status exported = ExportCsvFile(loaded.rows, {}, csv);
    if (!exported.ok()) {
      std::fprintf(stderr, "%s\n", exported.message().c_str());
      return 1;
    }
    if (round == kWarmUpRounds) settled = Measure();
  }
  steady = Report("ExportCsvFile", rounds, settled, Measure()) && steady;
  std::printf("%s\n", steady ? "steady" : "GROWING");
  return steady ? 0 : 1;
}
