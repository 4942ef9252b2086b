#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <initializer_list>
#include <string>

// The subcommands of kestrolan-db, their exit statuses and the pieces their arguments share.

// Exit statuses. diff and check exit as diff(1) does: 0 nothing found, 1 something found, 2
// trouble.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFound = 1;
inline constexpr int kExitTrouble = 2;

// Runs a command whose arguments have been parsed; returns its exit status.
using CommandRun = std::function<int()>;

struct Command {
  const char* name;
  const char* usage;  // the arguments, for the usage line
  const char* summary;
  // Declares the command's arguments and options on `app` and returns what runs the command
  // once `app` has parsed them.
  CommandRun (*define)(CLI::App& app);
  // The exit status when memory runs out in a way the core does not report itself.
  int outOfMemoryStatus = kExitFailure;
};

// All subcommands, in the order --help lists them.
const std::vector<Command>& Commands();

// Refuses a value that is the empty string.
inline const CLI::Validator kNotEmpty(
    [](const std::string& value) { return value.empty() ? "must not be empty" : std::string(); },
    "", "not empty");

// A TCP port, 1 to 65535, in decimal.
inline const CLI::Range kPortRange(1, 65535);

// Before any work: false, with "kestrolan-db: 'PATH' is also an input" on standard error, when
// one of `outputs` is the same file as one of `inputs` ("-", standard input or output, is none),
// however either is spelled (see platform::SameFile).
bool OutputsAreNotInputs(std::initializer_list<std::string> inputs,
                         std::initializer_list<std::string> outputs);
