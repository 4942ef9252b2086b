#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
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

std::string SystemTempFolder() {
  char folder[MAX_PATH + 1];
  const DWORD length = ::GetTempPathA(sizeof folder, folder);
  return length == 0 || length > MAX_PATH ? std::string(".") : std::string(folder, length);
}

File CreateUnnamedFile(const std::string& folder) {
  char name[MAX_PATH];
  // GetTempFileNameA creates the file; the handle below takes it over and deletes it on close.
  if (::GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "kdb", 0, name) == 0) {
    return File();
  }
  const HANDLE handle = ::CreateFileA(
      name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    ::DeleteFileA(name);
    return File();
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(handle);
    return File();
  }
  std::FILE* stream = ::_fdopen(fd, "w+b");
  if (stream == nullptr) ::_close(fd);
  return File(stream);
}

std::optional<std::uint64_t> StreamSize(std::FILE* stream) {
  struct _stat64 info {};
  if (::_fstat64(::_fileno(stream), &info) != 0 || (info.st_mode & _S_IFREG) == 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace platform
