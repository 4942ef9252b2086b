#include <windows.h>

#include "platform/file_ops.h"

// <windows.h> maps these names to their A/W variants; ours are plain functions.
#undef DeleteFile
#undef MoveFile

namespace platform {

bool DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

// MoveFileA already fails when the target exists.
bool MoveFile(const std::string& from, const std::string& to) {
  return ::MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::optional<std::uint64_t> AvailableBytes(const std::string& path) {
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

}  // namespace platform
