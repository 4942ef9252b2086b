// kestrolan-db unpack: expands an archive into its raw database bytes.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/output_file.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_io.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;

namespace {

struct UnpackArgs {
  std::string archive;
  std::string output;
};

int RunUnpack(const UnpackArgs& args) {
  if (!OutputsAreNotInputs({args.archive}, {args.output})) return kExitUsage;
  platform::OutputFile out;
  Status status = out.Open(args.output);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", status.message().c_str());
    return kExitFailure;
  }
  LzwFileSink sink(out.Stream());
  const Status expanded = DecompressLzw(args.archive, sink);
  // A failed write is the output's fault, not the archive's: name the output and the reason.
  if (sink.Error() != 0) {
    std::fprintf(stderr, "kestrolan-db: %s\n", out.WriteFailure(sink.Error()).message().c_str());
    return kExitFailure;
  }
  if (!expanded.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", PrintableText(args.archive).c_str(),
                 expanded.message().c_str());
    return kExitFailure;
  }
  status = out.Commit();
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", status.message().c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

CommandRun DefineUnpack(CLI::App& app) {
  auto args = std::make_shared<UnpackArgs>();
  app.add_option("ARCHIVE", args->archive, "the archive to expand")->required()->check(kNotEmpty);
  app.add_option("-o", args->output, "where the expanded bytes go (- for standard output)")
      ->required()
      ->check(kNotEmpty);
  return [args] { return RunUnpack(*args); };
}

}  // namespace

extern const Command kUnpackCommand = {
    "unpack", "ARCHIVE -o FILE", "expands ARCHIVE into FILE (- for standard output)", DefineUnpack};
