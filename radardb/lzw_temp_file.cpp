#include "radardb/lzw_temp_file.h"

#include <cerrno>

namespace {

// Variants of the name tried before giving up.
constexpr int kMaxNameVariants = 1000;
constexpr char kSuffixWithoutExtension[] = ".tmp";

}  // namespace

std::string LzwTempFileBaseName(const std::string& archivePath) {
  const std::size_t slash = archivePath.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = archivePath.find_last_of('.');
  // A dot that starts the name ("/maps/.lzw") or lies in a folder name is no extension.
  if (dot == std::string::npos || dot <= nameStart) return archivePath + kSuffixWithoutExtension;
  return archivePath.substr(0, dot);
}

LzwUniqueFile CreateLzwTempFile(const std::string& archivePath, std::string& createdPath) {
  createdPath.clear();
  const std::string base = LzwTempFileBaseName(archivePath);
  for (int variant = 0; variant < kMaxNameVariants; ++variant) {
    const std::string candidate = variant == 0 ? base : base + "-" + std::to_string(variant);
    // "x": created exclusively; fails with EEXIST instead of truncating someone's file.
    LzwUniqueFile file(std::fopen(candidate.c_str(), "wbx"));
    if (file) {
      createdPath = candidate;
      return file;
    }
    if (errno != EEXIST) break;
  }
  return nullptr;
}
