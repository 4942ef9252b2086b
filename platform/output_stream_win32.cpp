#include <cerrno>

#include "platform/output_stream.h"

// Windows has no nameless files and no POSIX owners: outputs are named temporary files, and a
// replaced file's attributes are those the move keeps.
namespace platform {

OutputStream CreateUnnamedOutput(const std::string&, bool, int*) {
  errno = EOPNOTSUPP;
  return {};
}

OutputStream CreateNamedOutput(const std::string& path, bool ownerOnly, int*) {
  return {CreateNewFile(path, ownerOnly), -1};
}

OutputStream OpenOutputInPlace(const std::string& path, bool truncate, int*) {
  return {OpenFile(path, truncate ? "wb" : "r+b"), -1};
}

bool NameUnnamedOutput(int, const std::string&) {
  errno = EOPNOTSUPP;
  return false;
}

void TakeOverAttributes(int, const std::string&) {}

}  // namespace platform
