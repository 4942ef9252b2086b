#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "radardb/archive/lzw_output.h"

namespace radardb {

// Random access to the bytes of an archive.
class LzwArchiveSource {
 public:
  virtual ~LzwArchiveSource() = default;
  // The archive's size in bytes.
  virtual std::uint64_t Size() const = 0;
  // Reads exactly `size` bytes at `offset` into `into`; false when they cannot all be read.
  virtual bool ReadAt(std::uint64_t offset, std::size_t size, unsigned char* into) = 0;
};

// An archive held by an open stream (not owned; must outlive this object).
class LzwFileSource : public LzwArchiveSource {
 public:
  explicit LzwFileSource(std::FILE* file);
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, std::size_t size, unsigned char* into) override;

 private:
  std::FILE* file_;
  std::uint64_t size_ = 0;
};

// An archive held in memory (not owned; must outlive this object).
class LzwMemorySource : public LzwArchiveSource {
 public:
  explicit LzwMemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, std::size_t size, unsigned char* into) override;

 private:
  std::string_view bytes_;
};

// Writes to an open stream (not owned) that nothing has been read from or written to yet. Turns
// the stream's buffer off: the expansion hands over its bytes in pieces of tens of kilobytes or
// more, and a buffer would only split each piece into two writes.
class LzwFileSink : public LzwOutputSink {
 public:
  explicit LzwFileSink(std::FILE* file);
  bool Write(const unsigned char* data, std::size_t size) override;
  // The system's error code (errno) of the first write that failed, 0 while none has.
  int Error() const { return error_; }

 private:
  std::FILE* file_;
  int error_ = 0;
};

// Appends to a string (not owned), which makes room for the promised total at once, so that a
// large database is not copied as the string grows.
class LzwStringSink : public LzwOutputSink {
 public:
  explicit LzwStringSink(std::string& into) : into_(into) {}
  void Expect(std::uint64_t total) override;
  bool Write(const unsigned char* data, std::size_t size) override;

 private:
  std::string& into_;
};

// Counts the bytes and drops them.
class LzwCountingSink : public LzwOutputSink {
 public:
  bool Write(const unsigned char*, std::size_t size) override {
    count_ += size;
    return true;
  }
  std::uint64_t Count() const { return count_; }

 private:
  std::uint64_t count_ = 0;
};

}  // namespace radardb
