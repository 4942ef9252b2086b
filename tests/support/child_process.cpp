#include "tests/support/child_process.h"

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace {

constexpr uid_t kNobody = 65534;

// Reads `fd` to its end.
std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, std::size_t(got));
  return text;
}

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
    if (put <= 0) return;
    done += std::size_t(put);
  }
}

}  // namespace

std::string RunInChild(const std::function<std::string()>& body, bool unprivileged) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return "pipe failed";
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    if (unprivileged && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      WriteAll(pipeFds[1], "cannot become nobody");
      ::_exit(1);
    }
    WriteAll(pipeFds[1], "returned: " + body());
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  const std::string text = ReadAll(pipeFds[0]);
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  const std::string returned = "returned: ";
  if (text.rfind(returned, 0) != 0) return text.empty() ? "child ended abnormally" : text;
  return text.substr(returned.size());
}

int KillWhenReady(const std::function<void(const std::function<void()>& ready)>& body, int signal) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return -1;
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    body([&] {
      WriteAll(pipeFds[1], "r");
      for (;;) ::pause();
    });
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  char signalled = 0;
  const bool ready = ::read(pipeFds[0], &signalled, 1) == 1;
  ::close(pipeFds[0]);
  if (ready) ::kill(child, signal);
  int status = 0;
  ::waitpid(child, &status, 0);
  return ready ? status : -1;
}
