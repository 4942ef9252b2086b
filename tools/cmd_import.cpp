// kestrolan-db import: rebuilds a database archive from a CSV file in the export's format, for
// databases edited in a spreadsheet.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "radardb/csv_import.h"
#include "radardb/lzw_writer.h"
#include "tools/commands.h"
#include "tools/output_file.h"

namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 20;

struct ImportArgs {
  std::string csv;
  std::string archive;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::optional<ImportArgs> ParseImportArgs(const CommandArgs& args) {
  ImportArgs parsed;
  bool haveOutput = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size() && !haveOutput) {
      parsed.archive = args[++i];
      haveOutput = true;
    } else if (parsed.csv.empty() && !args[i].empty() && args[i] != "-o") {
      parsed.csv = args[i];
    } else {
      return std::nullopt;
    }
  }
  if (parsed.csv.empty() || !haveOutput) return std::nullopt;
  return parsed;
}

// Reads the whole file at `path` into `bytes`; "" or the reason it could not.
std::string ReadWholeFile(const std::string& path, std::string& bytes) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return "cannot open '" + path + "': " + std::strerror(errno);
  std::size_t got = 0;
  do {
    bytes.resize(bytes.size() + kReadChunk);
    got = std::fread(bytes.data() + bytes.size() - kReadChunk, 1, kReadChunk, file.get());
    bytes.resize(bytes.size() - kReadChunk + got);
  } while (got == kReadChunk);
  if (std::ferror(file.get())) return "cannot read '" + path + "': " + std::strerror(errno);
  return "";
}

int RunImport(const CommandArgs& args) {
  const std::optional<ImportArgs> parsed = ParseImportArgs(args);
  if (!parsed) return UsageError(CommandNamed("import"));
  std::string csv;
  std::string error = ReadWholeFile(parsed->csv, csv);
  if (!error.empty()) {
    std::fprintf(stderr, "kestrolan-db import: %s\n", error.c_str());
    return 1;
  }
  std::string records;
  error = CsvToRecords(csv, records);
  if (!error.empty()) {
    std::fprintf(stderr, "%s: %s\n", parsed->csv.c_str(), error.c_str());
    return 1;
  }
  csv = std::string();
  const std::string archive = CompressLzw(records);
  if (!WriteOutputFile(parsed->archive, archive, error)) {
    std::fprintf(stderr, "kestrolan-db import: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kImportCommand = {
    "import", "FILE.csv -o ARCHIVE",
    "builds a database archive from a CSV file in the export's format", RunImport};
