#pragma once

#include <cstddef>
#include <map>
#include <string>

// What a ZIP archive's central directory says about an entry beyond its local header: the
// entry's type and permission bits, recorded by archivers on Unix-like systems.
struct ZipEntryAttributes {
  bool isDirectory = false;
  bool isSymbolicLink = false;
  bool hasMode = false;  // false: the archiver recorded no Unix mode
  unsigned mode = 0;     // permission bits (within 07777) when hasMode
};

// Reads the central directory of the ZIP archive in `data` and returns the attributes of each
// stored path (the first record wins when a path occurs twice). An archive whose central
// directory is missing, damaged, or in the ZIP64 form gives an empty map; this never fails
// otherwise and never reads outside `data`.
std::map<std::string, ZipEntryAttributes> ReadZipCentralDirectory(const void* data, size_t size);
