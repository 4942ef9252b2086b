// kestrolan-db pack: compresses raw database bytes into an archive.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/file_ops.h"
#include "platform/output_file.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;
using platform::Status;

namespace {

// The largest block size and input accepted: the format counts everything in 32 bits.
constexpr std::size_t kMaxBlockSize = 0xFFFFFFFF;
constexpr std::uint64_t kMaxInputSize = UINT32_MAX;

struct PackArgs {
  std::string input;
  std::string output;
  std::size_t blockSize = kDefaultLzwBlockSize;
};

int RunPack(const PackArgs& args) {
  if (!OutputsAreNotInputs({args.input}, {args.output})) return kExitUsage;
  std::string data;
  const Status read = platform::ReadWholeFile(args.input, data, kMaxInputSize);
  if (!read.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", read.message().c_str());
    return kExitFailure;
  }
  const std::string archive = CompressLzw(data, args.blockSize);
  if (archive.empty()) {
    std::fprintf(stderr, "kestrolan-db: %s: too large for an archive (4 GiB at most)\n",
                 PrintableText(args.input).c_str());
    return kExitFailure;
  }
  const Status written = platform::WriteOutputFile(args.output, archive);
  if (!written.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", written.message().c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

CommandRun DefinePack(CLI::App& app) {
  auto args = std::make_shared<PackArgs>();
  app.add_option("FILE", args->input, "the raw database bytes (- for standard input)")
      ->required()
      ->check(kNotEmpty);
  app.add_option("-o", args->output, "the new archive")->required()->check(kNotEmpty);
  app.add_option("--block-size", args->blockSize, "input bytes per block")
      ->check(CLI::Range(std::size_t{1}, kMaxBlockSize));
  return [args] { return RunPack(*args); };
}

}  // namespace

extern const Command kPackCommand = {
    "pack", "FILE -o ARCHIVE [--block-size N]",
    "compresses FILE (- for standard input) into a new archive, N input bytes per block",
    DefinePack};
