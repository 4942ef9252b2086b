#pragma once

#include <string>

#ifndef _WIN32
#include <signal.h>
#endif

// Files that must not outlive a process that a signal ends: the temporary files of unfinished
// outputs. Only a program that leaves the signals that end a process to their default action (the
// command-line tool) turns this on; elsewhere registering a file costs nothing and does nothing.
namespace platform {

// From now on every signal whose default action ends the process (SIGINT, SIGTERM, SIGHUP,
// SIGQUIT, SIGXFSZ, SIGUSR1, SIGSEGV, ...) first deletes every registered file, then ends the
// process as it would have; a signal that is ignored or has a handler keeps it. Call once, early,
// before any output is opened.
void DeleteRegisteredFilesOnSignal();

// Registers `path` (an existing file's) for deletion should a signal end the process. Returns a
// ticket for UnregisterFile, or -1 when it cannot be registered (too many files, a path too long).
int RegisterFileForSignal(const std::string& path);

// Forgets the registration `ticket` (-1 is ignored), once the file is gone or has its final name.
void UnregisterFile(int ticket);

// Holds the signals other processes send (SIGINT, SIGTERM, SIGHUP, ...) back while it lives (they
// arrive when it goes), so that making a file and registering it, or renaming it and unregistering
// it, happen as one step. POSIX only; nothing on Windows.
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
