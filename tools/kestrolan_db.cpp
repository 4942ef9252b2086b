#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/signal_cleanup.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"
#include "update/app_identity.h"

// Each command is defined in its own cmd_*.cpp.
extern const Command kUnpackCommand;
extern const Command kPackCommand;
extern const Command kInfoCommand;
extern const Command kExportCommand;
extern const Command kImportCommand;
extern const Command kDiffCommand;
extern const Command kCheckCommand;
extern const Command kPatchCommand;
extern const Command kMergeCommand;
extern const Command kMapCommand;
extern const Command kFetchCommand;
extern const Command kCheckUpdateCommand;

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      kUnpackCommand, kPackCommand,  kInfoCommand,  kExportCommand, kImportCommand,
      kDiffCommand,   kCheckCommand, kPatchCommand, kMergeCommand,  kMapCommand,
      kFetchCommand,  kCheckUpdateCommand,
  };
  return commands;
}

bool OutputsAreNotInputs(std::initializer_list<std::string> inputs,
                         std::initializer_list<std::string> outputs) {
  for (const std::string& output : outputs) {
    if (output == "-") continue;
    for (const std::string& input : inputs) {
      if (input == "-" || !platform::SameFile(input, output)) continue;
      std::fprintf(stderr, "kestrolan-db: '%s' is also an input\n",
                   radardb::PrintableText(output).c_str());
      return false;
    }
  }
  return true;
}

namespace {

void PrintHelp() {
  std::printf("kestrolan-db %s: radar database archives from the command line\n\n",
              update::AppVersion);
  std::printf("usage: kestrolan-db COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command& c : Commands()) {
    std::printf("  %s %s\n      %s\n", c.name, c.usage, c.summary);
  }
  std::printf("\n  COMMAND --help  the command's arguments\n");
  std::printf("  --help          this text\n  --version       the program's version\n");
}

// Parses the command's arguments and runs it: its --help prints its arguments, a command line
// it cannot take prints what is wrong and its usage line and exits kExitUsage.
int RunCommand(const Command& command, int argc, char** argv) {
  const std::string title = std::string("kestrolan-db ") + command.name;
  CLI::App app(command.summary, title);
  // An option given twice is a mistake, not a second thought.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);
  const CommandRun run = command.define(app);
  std::vector<const char*> args{title.c_str()};
  args.insert(args.end(), argv, argv + argc);
  try {
    app.parse(static_cast<int>(args.size()), args.data());
  } catch (const CLI::CallForHelp&) {
    std::printf("%s", app.help().c_str());
    return kExitSuccess;
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "%s: %s\nusage: %s %s\n", title.c_str(),
                 radardb::PrintableText(error.what()).c_str(), title.c_str(), command.usage);
    return kExitUsage;
  }
  try {
    return run();
  } catch (const std::bad_alloc&) {
    // The core reports memory it runs out of itself; this catches what is left.
    std::fprintf(stderr, "kestrolan-db: out of memory\n");
    return command.outOfMemoryStatus;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A run ended by Ctrl+C or kill leaves no partial output behind.
  platform::DeleteRegisteredFilesOnSignal();
  if (argc < 2) {
    std::fprintf(stderr, "usage: kestrolan-db COMMAND [ARGS...] (see --help)\n");
    return kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h") {
    PrintHelp();
    return kExitSuccess;
  }
  if (name == "--version") {
    std::printf("kestrolan-db %s %s\n", update::AppVersion, update::AppDate);
    return kExitSuccess;
  }
  for (const Command& command : Commands()) {
    if (name == command.name) return RunCommand(command, argc - 2, argv + 2);
  }
  std::fprintf(stderr, "kestrolan-db: unknown command '%s' (see --help)\n",
               radardb::PrintableText(name).c_str());
  return kExitUsage;
}
