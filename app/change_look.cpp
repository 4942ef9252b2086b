#include "app/change_look.h"

#include <QPalette>

#include "app/record_table_model.h"
#include "radardb/compare/database_diff.h"
#include "radardb/map/map_colours.h"

using namespace radardb;

namespace {

// How much of the change's colour goes into the base: enough to tell the changes apart at a
// glance, little enough for the text to keep its contrast.
constexpr double kRowTint = 0.22;
constexpr double kCellTint = 0.45;

QColor Mixed(const QColor& base, const Rgb& colour, double share) {
  const auto mix = [share](int from, int to) {
    return static_cast<int>(from + (to - from) * share + 0.5);
  };
  return QColor(mix(base.red(), colour.r), mix(base.green(), colour.g), mix(base.blue(), colour.b));
}

}  // namespace

QColor ChangeTint(int change, const QPalette& palette, bool differs) {
  const auto kind = static_cast<RecordChange>(change);
  if (kind == RecordChange::kUnchanged || kind == RecordChange::kRemoved) return {};
  return Mixed(palette.color(QPalette::Base), ClassColour(ColourBy::kChange, change),
               differs ? kCellTint : kRowTint);
}

void ChangeLook::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  const QVariant change = index.data(RecordTableModel::kChangeRole);
  if (!change.isValid()) return;
  const bool differs = index.data(RecordTableModel::kDiffersRole).toBool();
  const QColor tint = ChangeTint(change.toInt(), option->palette, differs);
  if (tint.isValid()) option->backgroundBrush = tint;
  if (differs) option->font.setBold(true);
}
