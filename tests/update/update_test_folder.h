#pragma once

#include <QString>
#include <map>
#include <string>
#include <vector>

// A file the update tests place in, or expect in, a test folder.
struct TestFile {
  std::string path;  // relative to the test folder
  std::string content;
  unsigned mode = 0644;
};

// A link the update tests place in a test folder.
struct TestLink {
  std::string path;    // relative to the test folder
  std::string target;  // a symbolic link's target as written; a hard link's file, relative to
                       // the test folder
  bool hard = false;
};

// Creates each link of `links` under `root`; false when one cannot be made.
bool PlaceLinks(const QString& root, const std::vector<TestLink>& links);

// Creates each file of `files` under `root` (folders as needed) with its content and mode;
// false when one cannot be written.
bool PlaceFiles(const QString& root, const std::vector<TestFile>& files);

// Every file and symbolic link under `root`, by path relative to it: a file's content, or
// "-> " + target for a link. Catches files written where they should not be.
std::map<std::string, std::string> FilesUnder(const QString& root);

// The permission bits of the file at `path`, or 0 when there is none.
unsigned ModeOf(const QString& path);
