#pragma once

#include <string>

#include "platform/file_ops.h"

// The ways an output reaches its file, one set per system: a new file without a name that only
// its commit names, a new named file, or an existing file written where it is.
namespace platform {

// An output's open file: the stream the caller writes to and the descriptor under it (-1 where
// the system has none to offer).
struct OutputStream {
  File file;
  int descriptor = -1;
};

// Each of these keeps in `firstError` the system error (errno) of the first write to the stream
// that fails, where the C library lets a stream report it (glibc); elsewhere it stays 0. A failure
// returns an empty stream with errno set.

// A new, empty file in `folder` ("" for the current folder) that has no name, so that it vanishes
// with the process however that ends, until NameUnnamedOutput gives it one. With `ownerOnly` only
// its owner may read it. Fails with EOPNOTSUPP where the system or the file system has no such
// files.
OutputStream CreateUnnamedOutput(const std::string& folder, bool ownerOnly, int* firstError);

// A new, empty file at `path`; fails with EEXIST when anything of that name exists.
OutputStream CreateNamedOutput(const std::string& path, bool ownerOnly, int* firstError);

// The existing file at `path` (a regular file, a pipe, a device) opened for writing where it is,
// never created; a regular file is emptied first when `truncate`.
OutputStream OpenOutputInPlace(const std::string& path, bool truncate, int* firstError);

// Gives the unnamed file open as `descriptor` the name `path`. Fails with EEXIST, naming nothing,
// when `path` exists.
bool NameUnnamedOutput(int descriptor, const std::string& path);

// Gives the file open as `descriptor` the owner, group and permission bits of the file at
// `replaced`, as far as the system permits, without the set-user-ID and set-group-ID bits: those
// were granted to the old content, not to this one.
void TakeOverAttributes(int descriptor, const std::string& replaced);

}  // namespace platform
