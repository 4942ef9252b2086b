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

// `zip` with the signature of its `index`-th local header (from 0) damaged.
QByteArray DamageLocalHeader(QByteArray zip, int index);

// `zip` with the central directory record of `name` saying the entry was made on a Unix system
// with the file type bits `unixType` (e.g. 010000 for a FIFO) and permission bits 0644.
QByteArray WithUnixFileType(QByteArray zip, const std::string& name, unsigned unixType);

// `zip` with every central directory record saying it was made on MS-DOS, with the archive
// attribute only, as DOS and Windows zip tools write it: no Unix mode at all.
QByteArray WithoutUnixModes(QByteArray zip);

// `zip` with every header saying its entry needs ZIP version `version` (63 is 6.3) to extract.
QByteArray WithVersionNeeded(QByteArray zip, int version);

// `zip` with the central directory record of `name` naming `newName` instead; the local header
// keeps `name`.
QByteArray WithDirectoryName(QByteArray zip, const std::string& name, const std::string& newName);

// `zip` with its end record counting `count` directory records, whatever the directory holds.
QByteArray WithEntryCount(QByteArray zip, unsigned count);
