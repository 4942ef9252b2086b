#pragma once

#include <QByteArray>

struct UpdateEnvironment;

// The whole update: fetches the version list from env.host + "/software/lastversions.txt",
// decides and asks through FindUpdate, fetches env.host + "/software/" + the archive file name,
// installs the archive's entries into the folder of env.executablePath (see InstallArchive) and,
// when `restart` is set and every entry was installed, starts env.executablePath again, detached,
// with the single argument "-nocheck".
// Returns true when the archive was fetched, every entry installed and, with `restart`, the new
// process started; false in every other case. Failed fetches, and an archive that is not a
// readable ZIP or holds no entry, are reported as "Download of " + URL + " failed".
bool UpdateProgram(const UpdateEnvironment& env, const QByteArray& programName,
                   const QByteArray& programVersion, bool restart);
