// Fuzz target: any bytes, signed with the target's own release key, installed as an update
// archive into a scratch program folder that holds the awkward things a real one may hold: an
// executable, a file in a sub-folder, a file with a second hard link outside, a backup name taken
// by a folder, a sub-folder that is a link to outside. Afterwards nothing outside the program
// folder has changed, no temporary file is left, every file that was there holds either its old
// content or the whole content of an entry of its name that reads back complete and correct
// (never half of one), and a backup beside it holds its old content. The same bytes under their
// signature with one bit flipped are refused first, without a word.
#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "fuzz/fuzz_check.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/scripted_prompts.h"
#include "tests/update/test_release_key.h"
#include "update/update_install.h"

using namespace update;

namespace fs = std::filesystem;

namespace {

constexpr qint64 kMaxWritten = 1 << 20;

// The program folder's files before the installation, by path under "prog/".
const std::map<std::string, std::string> kProgramFiles = {
    {"Kestrolan", "old program"}, {"a.txt", "old a"}, {"lang/en.txt", "old en"},
    {"shared.txt", "shared"},     {"b.txt", "old b"}, {"b.txt.OLD/keep", "keep"}};
// Everything outside the program folder, by path under the scratch folder.
const std::map<std::string, std::string> kOutsideFiles = {{"outside/keep.txt", "keep"},
                                                          {"outside.txt", "shared"}};

void Place(const ScratchFolder& scratch) {
  for (const auto& [path, content] : kProgramFiles) {
    fs::create_directories((scratch.path() / "prog" / path).parent_path());
    WriteFileBytes(scratch.path() / "prog" / path, content);
  }
  for (const auto& [path, content] : kOutsideFiles) {
    fs::create_directories((scratch.path() / path).parent_path());
    WriteFileBytes(scratch.path() / path, content);
  }
  fs::remove(scratch.path() / "prog/shared.txt");
  fs::create_hard_link(scratch.path() / "outside.txt", scratch.path() / "prog/shared.txt");
  fs::create_directory_symlink("../outside", scratch.path() / "prog/linked");
}

// Every file under `root` that is not under `skip`, with its content.
std::map<std::string, std::string> FilesUnder(const fs::path& root, const fs::path& skip) {
  std::map<std::string, std::string> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    if (it->path() == skip) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file())
      files[fs::relative(it->path(), root).string()] = ReadFileBytes(it->path());
  }
  return files;
}

// The contents of every entry whose data reads back complete, by stored name.
std::map<std::string, std::set<std::string>> CompleteEntries(const std::uint8_t* data,
                                                             std::size_t size) {
  std::map<std::string, std::set<std::string>> entries;
  const std::unique_ptr<archive, int (*)(archive*)> reader(archive_read_new(), archive_read_free);
  archive_read_support_format_zip_streamable(reader.get());
  if (archive_read_open_memory(reader.get(), data, size) != ARCHIVE_OK) return entries;
  archive_entry* entry = nullptr;
  while (archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK) {
    const char* name = archive_entry_pathname(entry);
    std::string content;
    char buffer[4096];
    la_ssize_t got = 0;
    while ((got = archive_read_data(reader.get(), buffer, sizeof buffer)) > 0) {
      content.append(buffer, static_cast<std::size_t>(got));
    }
    if (got == 0 && name != nullptr) entries[name].insert(content);
    if (got < 0) break;
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TestReleaseKey key;
  const ScratchFolder scratch;
  Place(scratch);
  const fs::path program = scratch.path() / "prog";
  const QString directory = QString::fromStdString(program.string() + "/");
  const QByteArray archive(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QByteArray signature = key.Sign(archive);
  ScriptedPrompts prompts;

  QByteArray damaged = signature;
  damaged[static_cast<qsizetype>(size % kReleaseSignatureBytes)] ^= 0x01;
  FuzzCheck(InstallArchive(archive, damaged, key.publicKey(), directory, prompts, kMaxWritten) ==
                    InstallResult::kNotSigned &&
                prompts.shown.isEmpty(),
            "a damaged signature is refused without a word");
  FuzzCheck(InstallArchive(archive, signature, key.publicKey(), directory, prompts, kMaxWritten) !=
                InstallResult::kNotSigned,
            "the archive's own signature is accepted");

  FuzzCheck(FilesUnder(scratch.path(), program) == kOutsideFiles,
            "nothing outside the program folder changes");
  FuzzCheck(fs::is_symlink(program / "linked"), "the linked sub-folder stays a link");
  const std::map<std::string, std::set<std::string>> entries = CompleteEntries(data, size);
  const std::map<std::string, std::string> after = FilesUnder(program, program / "linked");
  for (const auto& [path, content] : after) {
    FuzzCheck(path.find(".new") == std::string::npos || entries.count(path) != 0,
              "no new file is left beside its target");
  }
  for (const auto& [path, old] : kProgramFiles) {
    const auto now = after.find(path);
    FuzzCheck(now != after.end(), "no file that was there goes missing");
    const auto complete = entries.find(path);
    FuzzCheck(now->second == old ||
                  (complete != entries.end() && complete->second.count(now->second) != 0),
              "a file is old or a whole new one, never half");
    const auto backup = after.find(path + ".OLD");
    FuzzCheck(backup == after.end() || backup->second == old, "a backup holds the old file");
  }
  return 0;
}
