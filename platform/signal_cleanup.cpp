#include "platform/signal_cleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <pthread.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// Outputs open at the same time; the tool has one.
constexpr int kMaxRegistered = 16;
constexpr std::size_t kMaxPathBytes = 4096;

enum SlotState { kFree, kFilling, kArmed };

// The handler reads these while the program may be changing them, so each slot is claimed and
// armed through an atomic state, and its path is written only while no handler looks at it.
struct Slot {
  std::atomic<int> state{kFree};
  char path[kMaxPathBytes];
};
Slot slots[kMaxRegistered];

// Every signal whose default action ends the process. The ones a fault raises (SIGSEGV, SIGBUS,
// ...) are among them: a crash must not leave a partial output either.
constexpr int kEndingSignals[] = {
    SIGINT,  SIGTERM,   SIGABRT, SIGSEGV, SIGILL,  SIGFPE,
#ifndef _WIN32
    SIGHUP,  SIGQUIT,   SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXFSZ,
    SIGXCPU, SIGVTALRM, SIGPROF, SIGBUS,  SIGSYS,  SIGTRAP,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#endif
};

#ifndef _WIN32
// The signals another process sends or the system raises at any moment, held back while a file
// is made and registered. Faults are raised by the code itself and may not be blocked.
constexpr int kAsynchronousSignals[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT,   SIGPIPE, SIGALRM,
                                        SIGUSR1, SIGUSR2, SIGXFSZ, SIGVTALRM, SIGPROF, SIGXCPU};
#endif

// Only async-signal-safe calls: unlink, signal, raise.
extern "C" void DeleteRegisteredAndEnd(int signal) {
  for (Slot& slot : slots) {
    if (slot.state.load() != kArmed) continue;
#ifdef _WIN32
    ::_unlink(slot.path);
#else
    ::unlink(slot.path);
#endif
  }
  // The signal is blocked until this handler returns; then its default action ends the process.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free slots");

}  // namespace

void DeleteRegisteredFilesOnSignal() {
  for (const int signal : kEndingSignals) {
    // Only signals left to their default action: one the parent had ignored (a background job's
    // SIGINT) stays ignored, and one with a handler (a sanitizer's) keeps it.
    const auto previous = std::signal(signal, DeleteRegisteredAndEnd);
    if (previous != SIG_DFL) std::signal(signal, previous);
  }
}

int RegisterFileForSignal(const std::string& path) {
  if (path.size() >= kMaxPathBytes) return -1;
  for (int ticket = 0; ticket < kMaxRegistered; ++ticket) {
    int expected = kFree;
    if (!slots[ticket].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[ticket].path, path.c_str(), path.size() + 1);
    slots[ticket].state.store(kArmed);
    return ticket;
  }
  return -1;
}

void UnregisterFile(int ticket) {
  if (ticket >= 0 && ticket < kMaxRegistered) slots[ticket].state.store(kFree);
}

#ifdef _WIN32
SignalHold::SignalHold() = default;
SignalHold::~SignalHold() = default;
#else
SignalHold::SignalHold() {
  sigset_t held;
  sigemptyset(&held);
  for (const int signal : kAsynchronousSignals) sigaddset(&held, signal);
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalHold::~SignalHold() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
#endif

}  // namespace platform
