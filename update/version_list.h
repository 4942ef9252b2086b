#pragma once

#include <QByteArray>

namespace update {

// What the version list says about one program, decided without asking anybody. FindUpdate turns
// it into the prompts; the command-line tool prints it.
struct UpdateDecision {
  enum class Kind {
    kNotFound,  // no entry with this program's name, a date and a file name
    kUpToDate,  // the first such entry lists a version that is not newer
    kNewer,     // the first such entry lists a newer version
  };
  Kind kind = Kind::kNotFound;
  // The fields of the deciding entry; empty for kNotFound.
  QByteArray version;
  QByteArray date;
  QByteArray file;  // the archive file name under "/software/" on the update server
};

// Reads the version list `list` (entries NAME=VERSION,DATE,FILE; the text ends at its first NUL
// byte) and decides by the first entry whose name equals `programName` byte for byte and whose
// date and file are not empty. Fields are cut strtok-style, each with its own delimiter set, so a
// missing field shifts the following ones.
UpdateDecision DecideUpdate(const QByteArray& list, const QByteArray& programName,
                            const QByteArray& programVersion);

// True when `listedVersion` is newer than `programVersion`: the texts after their first byte are
// compared in byte order (unsigned; a proper prefix sorts first); when they are equal, the first
// bytes decide, taken as signed values (an empty text's first byte counts as 0).
bool IsNewerVersion(const QByteArray& listedVersion, const QByteArray& programVersion);

}  // namespace update
