#pragma once

#include <string>

// The two file operations the program calls on the operating system directly. Paths are byte
// strings handed to the OS unchanged.
namespace platform {

// Deletes the file at `path`. Returns true when a file was deleted.
bool DeleteFile(const std::string& path);

// Renames `from` to `to`. Fails, touching neither, when `to` already exists or `from` does not.
bool MoveFile(const std::string& from, const std::string& to);

}  // namespace platform
