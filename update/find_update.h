#pragma once

#include <QByteArray>

class Prompts;

// Decides from the version list `list` (see DecideUpdate) and tells the user through `prompts`:
// "No update found" or "Your program is up to date" as information, or, for a newer version, the
// OK/Cancel question whether to download it. Returns the archive file name to fetch when the user
// chose OK, and an empty name in every other case.
QByteArray FindUpdate(const QByteArray& list, const QByteArray& programName,
                      const QByteArray& programVersion, Prompts& prompts);
