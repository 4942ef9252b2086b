// Loads a database archive with LoadDatabase, as the window's Load button does, and prints the
// row count, the time taken and the memory the rows hold.
//   load_database_bench ARCHIVE
#include <chrono>
#include <cstdio>

#include "radardb/records/load_database.h"

using namespace radardb;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: load_database_bench ARCHIVE\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const LoadOutcome outcome = LoadDatabase(argv[1]);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!outcome.status.ok()) {
    std::fprintf(stderr, "%s\n", outcome.status.message().c_str());
    return 1;
  }
  std::printf("rows %zu, load %.3f s, table %zu bytes\n", outcome.rows.size(), elapsed.count(),
              outcome.rows.CapacityBytes());
  return 0;
}
