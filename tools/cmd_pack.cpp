// kestrolan-db pack: compresses raw database bytes into an archive.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/file_ops.h"
#include "platform/output_file.h"
#include "radardb/archive/lzw_writer.h"
#include "tools/commands.h"

using namespace radardb;
using platform::Status;

namespace {

// The largest block size and input accepted: the format counts everything in 32 bits.
constexpr unsigned long long kMaxBlockSize = 0xFFFFFFFFull;
constexpr std::uint64_t kMaxInputSize = UINT32_MAX;

struct PackArgs {
  std::string input;
  std::string output;
  std::size_t blockSize = kDefaultLzwBlockSize;
};

std::optional<std::size_t> ParseBlockSize(const std::string& text) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != text.npos) {
    return {};
  }
  const unsigned long long value = std::stoull(text);
  if (value == 0 || value > kMaxBlockSize) return {};
  return static_cast<std::size_t>(value);
}

std::optional<PackArgs> ParsePackArgs(const CommandArgs& args) {
  PackArgs parsed;
  bool haveOutput = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "-o" && hasValue && !haveOutput) {
      parsed.output = args[++i];
      haveOutput = !parsed.output.empty();
      if (!haveOutput) return {};
    } else if (arg == "--block-size" && hasValue) {
      const std::optional<std::size_t> size = ParseBlockSize(args[++i]);
      if (!size) return {};
      parsed.blockSize = *size;
    } else if (parsed.input.empty() && !arg.empty() && (arg[0] != '-' || arg == "-")) {
      parsed.input = arg;
    } else {
      return {};
    }
  }
  if (parsed.input.empty() || !haveOutput) return {};
  return parsed;
}

int RunPack(const CommandArgs& args) {
  const std::optional<PackArgs> parsed = ParsePackArgs(args);
  if (!parsed) return UsageError(CommandNamed("pack"));
  std::string data;
  const Status read = platform::ReadWholeFile(parsed->input, data, kMaxInputSize);
  if (!read.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", read.message().c_str());
    return 1;
  }
  const std::string archive = CompressLzw(data, parsed->blockSize);
  if (archive.empty()) {
    std::fprintf(stderr, "kestrolan-db: %s: too large for an archive (4 GiB at most)\n",
                 parsed->input.c_str());
    return 1;
  }
  const Status written = platform::WriteOutputFile(parsed->output, archive);
  if (!written.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", written.message().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kPackCommand = {
    "pack", "FILE -o ARCHIVE [--block-size N]",
    "compresses FILE (- for standard input) into a new archive, N input bytes per block", RunPack};
