#pragma once

#include <string>

#ifndef _WIN32
#include <signal.h>
#endif

// Files that must not outlive a process that a signal ends: the temporary files of unfinished
// outputs. Only a program that leaves SIGINT, SIGTERM and SIGHUP to their default action (the
// command-line tool) turns this on; elsewhere registering a file costs nothing and does nothing.
namespace platform {

// From now on SIGINT, SIGTERM and SIGHUP first delete every registered file, then end the process
// as they would have; a signal that is ignored stays ignored. Call once, early, before any output
// is opened.
void DeleteRegisteredFilesOnSignal();

// Registers `path` (an existing file's) for deletion should a signal end the process. Returns a
// ticket for UnregisterFile, or -1 when it cannot be registered (too many files, a path too long).
int RegisterFileForSignal(const std::string& path);

// Forgets the registration `ticket` (-1 is ignored), once the file is gone or has its final name.
void UnregisterFile(int ticket);

// Holds SIGINT, SIGTERM and SIGHUP back while it lives (they arrive when it goes), so that making
// a file and registering it, or renaming it and unregistering it, happen as one step. POSIX only;
// nothing on Windows.
class SignalHold {
 public:
  SignalHold();
  ~SignalHold();
  SignalHold(const SignalHold&) = delete;
  SignalHold& operator=(const SignalHold&) = delete;

 private:
#ifndef _WIN32
  sigset_t previous_;  // the thread's signal mask before
#endif
};

}  // namespace platform
