#include "tests/tools/cmd_csv_support.h"

#include <sys/wait.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

// Wraps `text` in single quotes for the shell.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted.push_back(c);
    }
  }
  return quoted + "'";
}

}  // namespace

ToolResult ToolFolder::Run(const std::vector<std::string>& args, const std::string& shellSetup,
                           const std::string& standardOutput) const {
  std::string command = "cd " + ShellQuoted(work_.path().string()) + " && " + shellSetup + " " +
                        ShellQuoted(KESTROLAN_DB);
  // Appended, not "x" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
  for (const std::string& arg : args) command.append(" ").append(ShellQuoted(arg));
  const fs::path out =
      standardOutput.empty() ? output_.path() / "stdout" : fs::path(standardOutput);
  const fs::path err = output_.path() / "stderr";
  command += " >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
  const int raw = std::system(command.c_str());
  ToolResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (standardOutput.empty()) result.out = ReadFileBytes(out);
  result.err = ReadFileBytes(err);
  return result;
}
