// What an output does to each kind of thing its path may name, and what it leaves when the
// process dies or the disk fills. POSIX only: pipes, devices, links, users and signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/output_file.h"
#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

// The account permission checks apply to, where the tests run as root.
constexpr uid_t kNobody = 65534;
// A child's exit status for "this machine does not allow the case".
constexpr int kNotAllowed = 77;

// Runs `body` in a child process, as an ordinary user when we are root, so that a mode-555
// folder or a 0444 file really refuse; returns its exit status. The folder's content is handed
// to that user first.
int InChild(const ScratchFolder& dir, bool unprivileged, const std::function<int()>& body) {
  const bool dropPrivileges = unprivileged && ::geteuid() == 0;
  if (dropPrivileges) {
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
      [[maybe_unused]] const int ignored = ::lchown(entry.path().c_str(), kNobody, kNobody);
    }
    [[maybe_unused]] const int ignored = ::chown(dir.path().c_str(), kNobody, kNobody);
  }
  const pid_t child = ::fork();
  if (child == 0) {
    if (dropPrivileges && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(kNotAllowed);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

struct TargetCase {
  const char* name;
  bool unprivileged;  // run as an ordinary user
  // Makes the target in `dir` and returns the path to write to; "" when the machine cannot.
  std::function<std::string(const ScratchFolder&)> make;
  const char* message;  // the Open/Commit outcome; "PATH" stands for the path written to
  // Checks what the folder holds afterwards.
  std::function<void(const ScratchFolder&)> check;
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

std::vector<TargetCase> TargetCases() {
  return {
      {"regular file replaced by a new one", false,
       [](const ScratchFolder& d) {
         WriteFileBytes(d / "a.csv", "old");
         return d / "a.csv";
       },
       "", [](const ScratchFolder& d) { EXPECT_EQ(ReadFileBytes(d / "a.csv"), "new"); }},
      {"missing file created", false, [](const ScratchFolder& d) { return d / "a.csv"; }, "",
       [](const ScratchFolder& d) { EXPECT_EQ(d.Entries(), std::vector<std::string>{"a.csv"}); }},
      {"dangling link creates its target and stays a link", false,
       [](const ScratchFolder& d) {
         fs::create_directory(d.path() / "real");
         fs::create_symlink("real/a.csv", d.path() / "link");
         return d / "link";
       },
       "",
       [](const ScratchFolder& d) {
         EXPECT_TRUE(fs::is_symlink(d.path() / "link"));
         EXPECT_EQ(ReadFileBytes(d.path() / "real/a.csv"), "new");
       }},
      {"named pipe written, not replaced", false,
       [](const ScratchFolder& d) {
         ::mkfifo((d / "pipe").c_str(), 0600);
         return d / "pipe";
       },
       "", [](const ScratchFolder& d) { EXPECT_TRUE(fs::is_fifo(d.path() / "pipe")); }},
      {"device written, not replaced", false,
       [](const ScratchFolder& d) {
         // A null device of our own, so the system's /dev/null is never at stake.
         if (::mknod((d / "null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
           return std::string();
         return d / "null";
       },
       "", [](const ScratchFolder& d) { EXPECT_TRUE(fs::is_character_file(d.path() / "null")); }},
      {"read-only file refused", true,
       [](const ScratchFolder& d) {
         WriteFileBytes(d / "a.csv", "old");
         fs::permissions(d.path() / "a.csv", fs::perms(0444));
         return d / "a.csv";
       },
       "cannot create 'PATH': Permission denied",
       [](const ScratchFolder& d) { EXPECT_EQ(ReadFileBytes(d / "a.csv"), "old"); }},
      {"writable file in a read-only folder rewritten in place", true,
       [](const ScratchFolder& d) {
         fs::create_directory(d.path() / "shut");
         WriteFileBytes(d / "shut/a.csv", "older and longer");
         fs::permissions(d.path() / "shut", fs::perms(0555));
         return d / "shut/a.csv";
       },
       "", [](const ScratchFolder& d) { EXPECT_EQ(ReadFileBytes(d / "shut/a.csv"), "new"); }},
  };
}

class OutputTargetTest : public testing::TestWithParam<TargetCase> {};

// Faults caught: a pipe or device replaced by a regular file (as root, /dev/null once became a
// CSV file), a dangling link replaced, a file in a closed folder left unwritten.
TEST_P(OutputTargetTest, WritesTheTargetAsItsKindWants) {
  const TargetCase& c = GetParam();
  ScratchFolder dir;
  const std::string path = c.make(dir);
  if (path.empty()) GTEST_SKIP() << "this machine cannot make the target";
  std::thread reader;
  std::string piped;
  if (fs::is_fifo(path)) reader = std::thread([&] { piped = ReadFileBytes(path); });
  const ino_t inodeBefore = InodeOf(path);
  std::string expected = c.message;
  if (const auto at = expected.find("PATH"); at != std::string::npos) expected.replace(at, 4, path);
  const int status = InChild(dir, c.unprivileged, [&] {
    return platform::WriteOutputFile(path, "new").message() == expected ? 0 : 1;
  });
  if (reader.joinable()) reader.join();
  if (status == kNotAllowed) GTEST_SKIP() << "cannot become an ordinary user";
  EXPECT_EQ(status, 0) << "expected \"" << expected << "\"";
  c.check(dir);
  if (fs::is_fifo(path)) {
    EXPECT_EQ(piped, "new");
  }
  const bool inPlace =
      !fs::is_regular_file(path) || std::string(c.name).find("in place") != std::string::npos;
  if (inPlace && inodeBefore != 0) {
    EXPECT_EQ(InodeOf(path), inodeBefore);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, OutputTargetTest, testing::ValuesIn(TargetCases()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

#if defined(__linux__) && !defined(KESTROLAN_TESTS_WITHOUT_NAMELESS_FILES)
// Fault caught: a new file with a name of its own while it is written, which SIGKILL (no
// handler can run) leaves behind.
TEST(OutputFileDeathTest, SigkillMidWriteLeavesNothing) {
  ScratchFolder dir;
  WriteFileBytes(dir / "out.db", "keep me");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    platform::OutputFile out;
    if (!out.Open(dir / "out.db").ok()) ::_exit(1);
    std::fputs("partial", out.Stream());
    std::fflush(out.Stream());
    [[maybe_unused]] const ssize_t told = ::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.db"});
  EXPECT_EQ(ReadFileBytes(dir / "out.db"), "keep me");
}
#endif

#ifdef __linux__
// Fault caught: a full disk reported with the error of a later call ("No such file or directory"
// when the target did not exist before). A 64 KiB file system of its own, in a private mount
// namespace, is filled.
TEST(OutputFileFullDiskTest, SaysTheDiskIsFull) {
  ScratchFolder dir;
  const std::string target = dir / "new.db";
  const int status = InChild(dir, false, [&] {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
      return kNotAllowed;
    }
    const std::string big(1 << 20, 'x');
    return platform::WriteOutputFile(target, big).message() ==
                   "cannot write '" + target + "': No space left on device"
               ? 0
               : 1;
  });
  if (status == kNotAllowed) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(status, 0);
}
#endif

}  // namespace
