#include "radardb/lzw_archive.h"

#include <cstdio>

#include "radardb/lzw_io.h"

namespace {

// Opens the archive and reads its layout; on failure leaves `file` empty.
Status OpenArchive(const std::string& archivePath, platform::File& file, LzwArchiveLayout& layout) {
  file = platform::OpenFile(archivePath, "rb");
  if (!file) return Status::Error(kLzwFileNotFound);
  LzwFileSource source(file.get());
  Status status = ReadLzwLayout(source, layout);
  if (!status.ok()) file = platform::File();
  return status;
}

// The expanded database's file, in the archive's folder or else the system's temporary folder;
// `folder` tells which.
platform::File CreateTempFile(const std::string& archivePath, std::string& folder) {
  folder = platform::FolderOf(archivePath);
  platform::File file = platform::CreateUnnamedFile(folder);
  if (file) return file;
  folder = platform::SystemTempFolder();
  return platform::CreateUnnamedFile(folder);
}

bool FitsFreeSpace(const LzwArchiveLayout& layout, const std::string& folder,
                   const FreeSpaceProbe& freeSpace) {
  if (!freeSpace) return true;
  const std::optional<std::uint64_t> available = freeSpace(folder.empty() ? "." : folder);
  return !available || std::uint64_t{layout.expandedSize} + kLzwFreeSpaceMargin <= *available;
}

// Writes to the expanded database's file and gives the same bytes to a second sink, if any.
class FileAndCopySink : public LzwOutputSink {
 public:
  FileAndCopySink(std::FILE* file, LzwOutputSink* copy) : file_(file), copy_(copy) {}
  void Expect(std::uint64_t total) override {
    if (copy_ != nullptr) copy_->Expect(total);
  }
  bool Write(const unsigned char* data, std::size_t size) override {
    return file_.Write(data, size) && (copy_ == nullptr || copy_->Write(data, size));
  }

 private:
  LzwFileSink file_;
  LzwOutputSink* copy_;
};

}  // namespace

Status DecompressLzw(const std::string& archivePath, platform::File& expanded,
                     const DecompressOptions& options) {
  expanded = platform::File();
  platform::File archive;
  LzwArchiveLayout layout;
  Status status = OpenArchive(archivePath, archive, layout);
  if (!status.ok()) return status;
  std::string folder;
  platform::File temp = CreateTempFile(archivePath, folder);
  if (!temp || !FitsFreeSpace(layout, folder, options.freeSpace)) {
    return Status::Error(kLzwTempFileError);
  }
  LzwFileSource source(archive.get());
  FileAndCopySink sink(temp.get(), options.copyTo);
  status = ExpandLzwBlocks(source, layout, sink, options.progress, options.threads);
  if (!status.ok()) return status;
  if (std::fflush(temp.get()) != 0 || std::fseek(temp.get(), 0, SEEK_SET) != 0) {
    return Status::Error(kLzwTempFileError);
  }
  expanded = std::move(temp);
  return Status();
}

Status ExpandLzwArchive(const std::string& archivePath, LzwOutputSink& out, unsigned threads) {
  platform::File archive;
  LzwArchiveLayout layout;
  Status status = OpenArchive(archivePath, archive, layout);
  if (!status.ok()) return status;
  LzwFileSource source(archive.get());
  return ExpandLzwBlocks(source, layout, out, {}, threads);
}
