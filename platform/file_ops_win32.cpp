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

// `wide` as UTF-8, the encoding of our paths.
std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

// A C stream over the Win32 `handle`, which it then owns; an empty File (the handle closed) when
// that fails.
File StreamOver(HANDLE handle, int flags, const char* mode) {
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd < 0) {
    ::CloseHandle(handle);
    return File();
  }
  std::FILE* stream = ::_fdopen(fd, mode);
  if (stream == nullptr) ::_close(fd);
  return File(stream);
}

// errno for the Win32 error of the last call, for the system's reason in messages.
void SetErrnoFromLastError() {
  switch (::GetLastError()) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      errno = ENOENT;
      break;
    case ERROR_DISK_FULL:
      errno = ENOSPC;
      break;
    default:
      errno = EACCES;
  }
}

}  // namespace

bool DeleteFile(const std::string& path) { return ::DeleteFileW(Widen(path).c_str()) != 0; }

// Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists.
bool MoveFile(const std::string& from, const std::string& to) {
  return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) != 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  if (::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0) {
    return true;
  }
  SetErrnoFromLastError();
  return false;
}

std::optional<std::uint64_t> AvailableBytes(const std::string& path) {
  // The call wants a folder; a file's figure is that of the folder holding it.
  std::error_code error;
  std::filesystem::path folder = FilesystemPath(path);
  if (!std::filesystem::is_directory(folder, error)) folder = folder.parent_path();
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
  // fopen's "x" is not honoured by the Windows C library: it would truncate an existing file.
  const HANDLE handle = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    SetErrnoFromLastError();
    return File();
  }
  return StreamOver(handle, _O_WRONLY | _O_BINARY, "wb");
}

std::filesystem::path FilesystemPath(const std::string& path) {
  return std::filesystem::path(Widen(path));
}

std::string PathText(const std::filesystem::path& path) { return Narrow(path.wstring()); }

namespace {

// The identity of the file at `path`, links followed; false when it cannot be opened.
bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  // No access rights are needed to read the identity, and folders open with the backup flag.
  const HANDLE handle =
      ::CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool read = ::GetFileInformationByHandle(handle, &info) != 0;
  ::CloseHandle(handle);
  return read;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return IdentityOf(a, first) && IdentityOf(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

std::optional<std::uint64_t> StreamSize(std::FILE* stream) {
  struct _stat64 info {};
  if (::_fstat64(::_fileno(stream), &info) != 0 || (info.st_mode & _S_IFREG) == 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace platform
