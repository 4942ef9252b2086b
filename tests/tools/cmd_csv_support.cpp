#include "tests/tools/cmd_csv_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

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

ToolFolder::ToolFolder() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("kestrolan_tool_") + test->test_suite_name() + "_" + test->name();
  std::replace(name.begin(), name.end(), '/', '_');
  root_ = fs::temp_directory_path() / name;
  work_ = root_ / "work";
  fs::remove_all(root_);
  fs::create_directories(work_);
}

ToolFolder::~ToolFolder() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

ToolResult ToolFolder::Run(const std::vector<std::string>& args) const {
  std::string command = "cd " + ShellQuoted(work_.string()) + " && " + ShellQuoted(KESTROLAN_DB);
  // Appended, not "x" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
  for (const std::string& arg : args) command.append(" ").append(ShellQuoted(arg));
  const fs::path out = root_ / "stdout";
  const fs::path err = root_ / "stderr";
  command += " >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
  const int raw = std::system(command.c_str());
  ToolResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFileBytes(out);
  result.err = ReadFileBytes(err);
  return result;
}

std::vector<std::string> ToolFolder::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(work_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
