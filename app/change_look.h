#pragma once

#include <QColor>
#include <QStyledItemDelegate>

class QPalette;

// How the table shows a comparison: a row is tinted by its change, in the map's colour for that
// change (ColourBy::kChange) mixed into the palette's base colour, so the tint reads in light and
// dark themes alike; a cell whose value differs from the earlier release is tinted stronger and
// bold. Unchanged and removed rows keep the base (removed ones are greyed by the model). Reads
// RecordTableModel's kChangeRole and kDiffersRole.
class ChangeLook : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// The background of a row marked with `change` (a RecordChange's value) on `palette`, or an
// invalid colour for a row shown as usual. `differs`: the tint of a cell whose value changed.
QColor ChangeTint(int change, const QPalette& palette, bool differs);
