#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

// Runs the built kestrolan-db for the export and import tests, each test in a fresh folder.

struct ToolResult {
  int status = -1;  // the exit status, -1 when the tool did not exit normally
  std::string out;  // everything it wrote to standard output
  std::string err;  // everything it wrote to standard error
};

// A fresh, empty folder for the running test, and a second one for captured output; both are
// removed when the object goes.
class ToolFolder {
 public:
  ToolFolder() = default;
  ToolFolder(const ToolFolder&) = delete;
  ToolFolder& operator=(const ToolFolder&) = delete;

  const std::filesystem::path& path() const { return work_.path(); }
  // Runs kestrolan-db with `args` in this folder. `shellSetup` (shell commands ended by ';', e.g.
  // "ulimit -v 524288;") runs first in the same shell; `standardOutput` names a file to send
  // standard output to instead of capturing it.
  ToolResult Run(const std::vector<std::string>& args, const std::string& shellSetup = "",
                 const std::string& standardOutput = "") const;
  // The names of the files in this folder, sorted.
  std::vector<std::string> Entries() const { return work_.Entries(); }

 private:
  ScratchFolder work_;
  ScratchFolder output_;
};
