#pragma once

#include <QString>
#include <cstddef>

class QLabel;
class QLineEdit;
class RecordTableModel;
namespace radardb {
struct ChangeCounts;
}

// Wires the filter field and the count beside it to `model` (all three must outlive the
// connections): every edit is parsed over the model's fields; a filter that parses goes to the
// model and the field's tooltip explains the language; one that does not gets a red frame and its
// reason as the tooltip, and the rows shown stay as they were. When a comparison begins or ends
// the text is parsed anew. Esc in the field clears it. The count follows the rows shown: while
// comparing, unfiltered, it sums the differences up (ChangeCountText), and its tooltip tells the
// whole summary (ChangeSummaryText).
void ConfigureFilterField(QLineEdit& field, QLabel& count, RecordTableModel& model);

// The field's tooltip while what it holds parses: the filter language in short, with the change
// terms while comparing.
QString FilterHelp(bool comparing = false);

// `count` with a comma between thousands, whatever the system's language: "1,234,567".
QString Thousands(std::size_t count);

// The count beside the filter: "3,000 records", or "17 of 3,000 records" while filtered.
QString RecordCountText(std::size_t shown, std::size_t total, bool filtered);

// The count while comparing, unfiltered: the differences in short, the label being narrow:
// "+1,203 −87 ↔40 ~312" (added, removed, moved, changed).
QString ChangeCountText(const radardb::ChangeCounts& counts);

// The count's tooltip while comparing: the summary in words, as `kestrolan-db diff` prints it,
// and what the short form's signs stand for.
QString ChangeSummaryText(const radardb::ChangeCounts& counts);
