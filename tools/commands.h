#pragma once

#include <string>
#include <vector>

// The subcommands of kestrolan-db. Each takes its arguments (without the tool's and the
// subcommand's names) and returns the process exit status: 0 success, 1 failure (the message on
// standard error), 2 a usage error (a usage line on standard error).
using CommandArgs = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;  // the arguments, for the usage line
  const char* summary;
  int (*run)(const CommandArgs& args);
  // The exit status when memory runs out in a way the core does not report itself.
  int outOfMemoryStatus = 1;
};

// All subcommands, in the order --help lists them.
const std::vector<Command>& Commands();

// Prints "usage: kestrolan-db NAME USAGE" to standard error and returns 2.
int UsageError(const Command& command);
// The command named `name`; aborts when there is none (a programming error).
const Command& CommandNamed(const char* name);
