#pragma once

#include <QByteArray>
#include <string>
#include <vector>

// Builds ZIP archives for the update tests with libarchive's writer.
enum class TestEntryType { kFile, kDirectory, kSymbolicLink };

struct TestZipEntry {
  std::string path;
  std::string content;  // the file's bytes, or a symbolic link's target
  unsigned mode = 0644;
  TestEntryType type = TestEntryType::kFile;
};

// A ZIP archive of `entries` in this order. `stored` keeps the data uncompressed, so a test can
// find an entry's bytes in the archive and damage them; otherwise the data is deflated.
QByteArray BuildZip(const std::vector<TestZipEntry>& entries, bool stored = false);

// `zip` with one byte flipped inside the first occurrence of `content` (an entry's data in a
// stored archive), so that entry fails its CRC-32 check.
QByteArray FlipContentByte(QByteArray zip, const std::string& content);
