#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "platform/file_ops.h"

// <windows.h> maps these names to their A/W variants; ours are plain functions.
#undef DeleteFile
#undef MoveFile

namespace platform {

namespace {

// `text` as UTF-16 for the wide-character calls; empty when it is not valid UTF-8, which no
// existing file is named by, so every call with it fails.
std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

bool DeleteFile(const std::string& path) { return ::DeleteFileW(Widen(path).c_str()) != 0; }

// Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists.
bool MoveFile(const std::string& from, const std::string& to) {
  return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) != 0;
}

std::optional<std::uint64_t> AvailableBytes(const std::string& path) {
  // The call wants a folder; a file's figure is that of the folder holding it.
  std::filesystem::path folder = FilesystemPath(path);
  if (!std::filesystem::is_directory(folder)) folder = folder.parent_path();
  if (folder.empty()) folder = L".";
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

File OpenFile(const std::string& path, const char* mode) {
  const std::wstring wide = Widen(path);
  if (wide.empty()) {
    errno = ENOENT;
    return File();
  }
  return File(::_wfopen(wide.c_str(), Widen(mode).c_str()));
}

File CreateNewFile(const std::string& path, bool) {
  const std::wstring wide = Widen(path);
  if (wide.empty()) {
    errno = ENOENT;
    return File();
  }
  // fopen's "x" is not honoured by the Windows C library: it would truncate an existing file.
  int fd = -1;
  if (::_wsopen_s(&fd, wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYNO,
                  _S_IREAD | _S_IWRITE) != 0) {
    return File();
  }
  std::FILE* stream = ::_fdopen(fd, "wb");
  if (stream == nullptr) {
    const int saved = errno;
    ::_close(fd);
    ::DeleteFileW(wide.c_str());
    errno = saved;
  }
  return File(stream);
}

std::filesystem::path FilesystemPath(const std::string& path) {
  return std::filesystem::path(Widen(path));
}

}  // namespace platform
