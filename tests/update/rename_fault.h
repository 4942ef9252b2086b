#pragma once

#include <string>

// Makes renames fail on purpose, to test what an update does when the operating system refuses
// one at the worst moment. Linked into a test program, it takes the place of the C library's
// renameat2, which platform::MoveFile calls; every other rename goes through unchanged.

// The next `count` renames onto `target` (the path exactly as passed) fail with EMFILE, as when
// the process is out of file descriptors.
void FailRenamesOnto(const std::string& target, int count);

// Renames that failed on purpose since the last FailRenamesOnto.
int FailedRenames();
