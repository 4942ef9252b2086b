#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/signal_cleanup.h"
#include "tools/commands.h"
#include "update/app_identity.h"

using namespace update;

// Each command is defined in its own cmd_*.cpp.
extern const Command kUnpackCommand;
extern const Command kPackCommand;
extern const Command kInfoCommand;
extern const Command kExportCommand;
extern const Command kImportCommand;
extern const Command kDiffCommand;
extern const Command kCheckCommand;
extern const Command kMapCommand;
extern const Command kFetchCommand;
extern const Command kCheckUpdateCommand;

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      kUnpackCommand, kPackCommand,  kInfoCommand, kExportCommand, kImportCommand,
      kDiffCommand,   kCheckCommand, kMapCommand,  kFetchCommand,  kCheckUpdateCommand,
  };
  return commands;
}

namespace {

void PrintHelp() {
  std::printf("kestrolan-db %s: radar database archives from the command line\n\n", AppVersion);
  std::printf("usage: kestrolan-db COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command& c : Commands()) {
    std::printf("  %s %s\n      %s\n", c.name, c.usage, c.summary);
  }
  std::printf("\n  --help     this text\n  --version  the program's version\n");
}

}  // namespace

int UsageError(const Command& command) {
  std::fprintf(stderr, "usage: kestrolan-db %s %s\n", command.name, command.usage);
  return 2;
}

const Command& CommandNamed(const char* name) {
  for (const Command& c : Commands()) {
    if (std::strcmp(c.name, name) == 0) return c;
  }
  std::abort();
}

int main(int argc, char** argv) {
  // A run ended by Ctrl+C or kill leaves no partial output behind.
  platform::DeleteRegisteredFilesOnSignal();
  if (argc < 2) {
    std::fprintf(stderr, "usage: kestrolan-db COMMAND [ARGS...] (see --help)\n");
    return 2;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h") {
    PrintHelp();
    return 0;
  }
  if (name == "--version") {
    std::printf("kestrolan-db %s %s\n", AppVersion, AppDate);
    return 0;
  }
  for (const Command& c : Commands()) {
    if (name != c.name) continue;
    try {
      return c.run(CommandArgs(argv + 2, argv + argc));
    } catch (const std::bad_alloc&) {
      // The core reports memory it runs out of itself; this catches what is left.
      std::fprintf(stderr, "kestrolan-db: out of memory\n");
      return c.outOfMemoryStatus;
    }
  }
  std::fprintf(stderr, "kestrolan-db: unknown command '%s' (see --help)\n", name.c_str());
  return 2;
}
