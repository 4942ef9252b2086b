#pragma once

#include <QString>
#include <cstddef>

class QLabel;
class QStatusBar;
class RecordTableModel;
namespace radardb {
struct ChangeCounts;
struct CheckReport;
}  // namespace radardb

// The status bar's labels: the loaded database's file name, the count of rows, while comparing
// the comparison's summary and while a check's findings are on show their summary.
struct StatusLabels {
  QLabel* file;
  QLabel* count;
  QLabel* changes;
  QLabel* findings;
};

// Adds the labels to `bar`: the file name at the left, given the room left over (elided in the
// middle when short of it, the full path as its tooltip; see ShowStatusFile), then the count and
// the summary, which always claim the width of their whole text, so no figure is ever cut: the
// window cannot be made narrower than they need. Both follow `model` (which must outlive them):
// the count as RecordCountText, the summary as ChangeSummaryText while comparing, hidden
// otherwise, with the whole summary as `kestrolan-db diff` prints it as its tooltip; the
// findings' as FindingSummaryText while they are on show.
StatusLabels AddStatusLabels(QStatusBar& bar, const RecordTableModel& model);

// Shows the file name of the database at `path` in `file`, its path as the tooltip.
void ShowStatusFile(QLabel& file, const QString& path);

// `count` with its thousands grouped as DisplayLocale() groups them: "1,234,567" in English,
// "1.234.567" in German.
QString Thousands(std::size_t count);

// The count: "3,000 records", or "694,300 of 1,000,000 records" while filtered.
QString RecordCountText(std::size_t shown, std::size_t total, bool filtered);

// The comparison in words: "5 added, 3 removed, 4 moved, 6 changed" (moved and changed records
// count as moved).
QString ChangeSummaryText(const radardb::ChangeCounts& counts);

// The check's findings in words, as `kestrolan-db check` sums them up but for the unused bits:
// "1 duplicate, 0 conflict, 3 near-duplicate, 0 cut-text, 0 control-character".
QString FindingSummaryText(const radardb::CheckReport& report);
