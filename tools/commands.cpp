#include "tools/commands.h"

extern const Command kFetchCommand;  // cmd_fetch.cpp
extern const Command kCheckUpdateCommand;  // cmd_check_update.cpp
extern const Command kExportCommand;  // cmd_export.cpp
extern const Command kImportCommand;  // cmd_import.cpp
extern const Command kUnpackCommand;  // cmd_unpack.cpp
extern const Command kPackCommand;  // cmd_pack.cpp
extern const Command kInfoCommand;  // cmd_info.cpp

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      kFetchCommand,
      kCheckUpdateCommand,
      kExportCommand,
      kImportCommand,
      kUnpackCommand,
      kPackCommand,
      kInfoCommand,
  };
  return commands;
}
