#pragma once

class QLineEdit;
class RecordTableModel;

// Wires the filter field to `model` (both must outlive the connections): every edit is parsed
// over the model's fields; a filter that parses goes to the model and the field's tooltip
// explains the language (FilterHelp); one that does not gets a red frame and its reason as the
// tooltip, and the rows shown stay as they were. When a comparison begins or ends the text is
// parsed anew. Esc in the field clears it.
void ConfigureFilterField(QLineEdit& field, RecordTableModel& model);
