#include "tools/commands.h"

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
  };
  return commands;
}
