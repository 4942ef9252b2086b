#pragma once

#include <QString>
#include <cstddef>

class QLabel;
class QLineEdit;
class RecordTableModel;

// Wires the filter field and the count beside it to `model` (all three must outlive the
// connections): every edit is parsed; a filter that parses goes to the model and the field's
// tooltip explains the language; one that does not gets a red frame and its reason as the
// tooltip, and the rows shown stay as they were. Esc in the field clears it. The count follows
// the rows shown.
void ConfigureFilterField(QLineEdit& field, QLabel& count, RecordTableModel& model);

// The field's tooltip while what it holds parses: the filter language in short.
QString FilterHelp();

// `count` with a comma between thousands, whatever the system's language: "1,234,567".
QString Thousands(std::size_t count);

// The count beside the filter: "3,000 records", or "17 of 3,000 records" while filtered.
QString RecordCountText(std::size_t shown, std::size_t total, bool filtered);
