#pragma once

class Kestrolan;
class QSettings;

// What the window keeps between runs, in `settings`: the program's one file in the standard
// configuration folder (main opens it; tests give their own). It holds the window's geometry and
// its dock's state, the table's column order, widths and visibility (the fifteen record
// columns), each file dialog's folder, file and type, and the recent files.

// Writes what `window` shows now into `settings`.
void SaveWindowSettings(const Kestrolan& window, QSettings& settings);

// Applies `settings` to `window`, before it is first shown. A piece that is missing, unreadable
// or out of its range, as in a damaged file, is skipped: that piece keeps its default.
void RestoreWindowSettings(Kestrolan& window, QSettings& settings);
