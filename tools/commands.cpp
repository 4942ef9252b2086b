#include "tools/commands.h"

// Each command is defined in its own cmd_*.cpp.
extern const Command kUnpackCommand;
extern const Command kPackCommand;
extern const Command kInfoCommand;
extern const Command kExportCommand;
extern const Command kImportCommand;
extern const Command kFetchCommand;
extern const Command kCheckUpdateCommand;

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      kUnpackCommand, kPackCommand,  kInfoCommand,        kExportCommand,
      kImportCommand, kFetchCommand, kCheckUpdateCommand,
  };
  return commands;
}
