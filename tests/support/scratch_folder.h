#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A fresh, empty folder for one test, removed with everything in it when the object goes. Its
// name is unique, so tests running side by side never share one.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder, as a string.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // The names of the entries directly in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::filesystem::path path_;
};

// The whole content of the file at `path`; "" when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
// Creates or replaces the file at `path` with `bytes`.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
