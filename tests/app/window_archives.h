#pragma once

#include <QString>
#include <string>
#include <vector>

// Test archives for the window's Load and Export: each record gets `roads[i]` as its road text
// and i as its X, all else zero.
std::string RecordBytes(const std::vector<std::string>& roads);
// Compresses `expanded` into an archive at `path`; false when the file cannot be written.
bool WriteArchive(const QString& path, const std::string& expanded);
