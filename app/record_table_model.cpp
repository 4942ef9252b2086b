#include "app/record_table_model.h"

#include <QBrush>
#include <QColor>
#include <QStringList>
#include <algorithm>

#include "app/text_decoding.h"
#include "radardb/map/map_points.h"

using namespace radardb;

namespace {

// A RecordTableSource that keeps its table alive.
std::shared_ptr<const RowSource> TableSource(std::shared_ptr<const RecordTable> rows) {
  struct Owned {
    std::shared_ptr<const RecordTable> rows;
    RecordTableSource source;
  };
  const RecordTable& table = *rows;
  auto owned = std::make_shared<const Owned>(Owned{std::move(rows), RecordTableSource(table)});
  return {owned, &owned->source};
}

// The change and the findings show as their words, and sort so.
static_assert(kFindingField == kChangeField);
bool IsTextField(int column) {
  return column == kChangeField || IsTextColumn(static_cast<Column>(column));
}

// What a finding is about, by FindingKind: the earlier record's "#", or the text field's name.
constexpr const char* kFindingTips[kFindingKindCount] = {
    QT_TRANSLATE_NOOP("RecordTableModel", "duplicate of #%1"),
    QT_TRANSLATE_NOOP("RecordTableModel", "conflicts with #%1"),
    QT_TRANSLATE_NOOP("RecordTableModel", "near-duplicate of #%1"),
    QT_TRANSLATE_NOOP("RecordTableModel", "%1 fills its whole field, with no ending zero"),
    QT_TRANSLATE_NOOP("RecordTableModel", "%1 holds a control character"),
    QT_TRANSLATE_NOOP("RecordTableModel", "unused bits set"),
};
constexpr Column kTextFields[] = {Column::kSpeed, Column::kRoad, Column::kCity};

QVariant CellValue(const RowSource& rows, std::uint32_t row, int column) {
  if (IsTextField(column)) return DecodeDatabaseText(rows.Text(row, column));
  return rows.Int(row, column);
}

}  // namespace

RecordTableModel::RecordTableModel(QObject* parent)
    : QAbstractTableModel(parent),
      rows_(std::make_shared<RecordTable>()),
      source_(TableSource(rows_)),
      order_(std::make_shared<const RowOrder>()),
      filter_(std::make_shared<const RecordFilter>()) {}

void RecordTableModel::SetRows(RecordTable&& rows) {
  log_ = EditLog(static_cast<std::uint32_t>(rows.size()));
  Show(std::make_shared<RecordTable>(std::move(rows)), nullptr);
}

void RecordTableModel::SetComparison(std::shared_ptr<const ComparedRows> compared) {
  if (compared == nullptr || compared->NewRows() != rows_) return;
  Show(rows_, std::move(compared));
}

void RecordTableModel::SetFindings(std::shared_ptr<const CheckedRows> checked) {
  if (checked == nullptr || checked->Rows() != rows_) return;
  Show(rows_, nullptr, std::move(checked));
}

void RecordTableModel::Show(std::shared_ptr<RecordTable> rows,
                            std::shared_ptr<const ComparedRows> compared,
                            std::shared_ptr<const CheckedRows> checked) {
  const std::span<const RowField> fieldsBefore = Fields();
  jobs_.Cancel();
  beginResetModel();
  rows_ = std::move(rows);
  compared_ = std::move(compared);
  checked_ = std::move(checked);
  source_ = compared_ != nullptr  ? std::shared_ptr<const RowSource>(compared_)
            : checked_ != nullptr ? std::shared_ptr<const RowSource>(checked_)
                                  : TableSource(rows_);
  const bool fieldsChange = Fields().data() != fieldsBefore.data();
  // The change and the findings share a field id, and only one of them is there at a time.
  if (fieldsChange && filter_->Reads(kChangeField)) {
    filter_ = std::make_shared<const RecordFilter>();
  }
  positions_.reset();
  order_ = std::make_shared<const RowOrder>(TableOrder(source_->size()));
  pendingSorts_.clear();
  filtered_ = !filter_->empty();
  shown_.clear();
  if (filtered_) shown_ = MatchingRows(*filter_, *source_, *order_);
  endResetModel();
  emit ShownRowsChanged();
  if (fieldsChange) emit FieldsChanged();
}

void RecordTableModel::DropFindings() {
  if (checked_ == nullptr) return;
  beginRemoveColumns({}, kFindingField, kFindingField);
  const bool filterDropped = ForgetFindings();
  endRemoveColumns();
  if (filterDropped) {
    jobs_.Cancel();
    ShowFiltered(order_, {}, false);
  }
  emit FieldsChanged();
}

bool RecordTableModel::ForgetFindings() {
  checked_.reset();
  source_ = TableSource(rows_);
  // The table's source has no findings to sort by.
  std::erase_if(pendingSorts_, [](const SortKey& key) { return key.column == kFindingField; });
  if (!filter_->Reads(kFindingField)) return false;
  filter_ = std::make_shared<const RecordFilter>();
  return true;
}

std::span<const RowField> RecordTableModel::Fields() const {
  if (compared_ != nullptr) return ComparedFields();
  return checked_ != nullptr ? CheckedFields() : RecordFields();
}

std::size_t RecordTableModel::MemoryBytes() const {
  return rows_->CapacityBytes() + (compared_ != nullptr ? compared_->MemoryBytes() : 0) +
         (checked_ != nullptr ? checked_->MemoryBytes() : 0) +
         (order_->capacity() + shown_.capacity()) * sizeof(std::uint32_t);
}

void RecordTableModel::SetFilter(RecordFilter filter) {
  filter_ = std::make_shared<const RecordFilter>(std::move(filter));
  if (!filter_->empty() || !pendingSorts_.empty()) {
    StartFilterJob();
    return;
  }
  // Nothing to work out: every row, in the order already at hand.
  jobs_.Cancel();
  if (filtered_) ShowFiltered(order_, {}, false);
}

void RecordTableModel::StartFilterJob() {
  jobs_.Post([this, source = source_, order = order_, sorts = pendingSorts_, filter = filter_,
              positions = positions_](std::stop_token stop) mutable -> std::function<void()> {
    SharedOrder sorted = order;
    for (const SortKey& key : sorts) {
      if (stop.stop_requested()) return {};
      sorted = std::make_shared<const RowOrder>(
          SortedOrder(*source, *sorted, key.column, IsTextField(key.column), key.direction));
    }
    if (!positions && filter->RequiredPlace() && source->size() >= kIndexedRows) {
      positions = std::make_shared<const MapPoints>(
          MapPoints::Build(*source, TableOrder(source->size()), ColourBy::kSc));
    }
    RowOrder shown = positions ? MatchingRows(*filter, *source, *sorted, *positions, stop)
                               : MatchingRows(*filter, *source, *sorted, stop);
    if (stop.stop_requested()) return {};
    return
        [this, sorted, positions, shown = std::move(shown), filtered = !filter->empty()]() mutable {
          positions_ = std::move(positions);
          ShowFiltered(sorted, std::move(shown), filtered);
        };
  });
}

void RecordTableModel::ShowFiltered(SharedOrder order, RowOrder shown, bool filtered) {
  beginResetModel();
  order_ = std::move(order);
  pendingSorts_.clear();
  shown_ = filtered ? std::move(shown) : RowOrder();
  filtered_ = filtered;
  endResetModel();
  emit ShownRowsChanged();
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Order().size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return compared_ != nullptr || checked_ != nullptr ? kColumnCount + 1 : kColumnCount;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const std::uint32_t row = Order()[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return CellValue(*source_, row, column);
    case Qt::EditRole:
      return CellValue(*source_, row, column).toString();
    case Qt::TextAlignmentRole:
      if (IsTextField(column)) return {};
      return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
      if (compared_ == nullptr || !compared_->IsRemoved(row)) return {};
      return QBrush(QColor::fromRgb(kRemovedRowRgb));
    case kChangeRole:
      if (compared_ == nullptr) return {};
      return static_cast<int>(compared_->Change(row));
    case kDiffersRole:
      return compared_ != nullptr && EarlierValue(row, column).isValid();
    case Qt::ToolTipRole: {
      if (checked_ != nullptr && column == kFindingField) return FindingsTip(row);
      const QVariant earlier = EarlierValue(row, column);
      if (!earlier.isValid()) return {};
      const QString shown = IsTextField(column) ? QStringLiteral("\"%1\"").arg(earlier.toString())
                                                : earlier.toString();
      return tr("was %1").arg(shown);
    }
    default:
      return {};
  }
}

QVariant RecordTableModel::EarlierValue(std::uint32_t row, int column) const {
  if (compared_ == nullptr || column == int(Column::kIndex) || column >= kColumnCount) return {};
  const auto [earlier, at] = compared_->Earlier(row);
  if (earlier == nullptr) return {};
  const RecordTableSource old(*earlier);
  const bool same = IsTextField(column) ? old.Text(at, column) == source_->Text(row, column)
                                        : old.Int(at, column) == source_->Int(row, column);
  if (same) return {};
  return CellValue(old, at, column);
}

QString RecordTableModel::FindingsTip(std::uint32_t row) const {
  QStringList tips;
  for (const Finding& finding : checked_->FindingsOf(row)) {
    const QString tip = tr(kFindingTips[static_cast<int>(finding.kind)]);
    if (finding.other != kNoOtherRecord && finding.other < rows_->size()) {
      tips << tip.arg(rows_->Int(finding.other, Column::kIndex));
    } else if (finding.kind == FindingKind::kCutText ||
               finding.kind == FindingKind::kControlCharacter) {
      tips << tip.arg(QString::fromLatin1(kColumnLooks[int(kTextFields[finding.field])].header));
    } else {
      tips << tip;
    }
  }
  return tips.join(u'\n');
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section < 0 || section >= columnCount()) return {};
  if (checked_ != nullptr && section == kFindingField)
    return QString::fromLatin1(kFindingLook.header);
  return QString::fromLatin1(kColumnLooks[section].header);
}

void RecordTableModel::sort(int column, Qt::SortOrder direction) {
  if (column < 0 || column >= columnCount()) {
    pendingSorts_.clear();
    RowOrder identity = TableOrder(TotalRows());
    if (filtered_) {
      RowOrder restored = shown_;
      std::sort(restored.begin(), restored.end());
      order_ = std::make_shared<const RowOrder>(std::move(identity));
      Rearrange(std::move(restored));
    } else {
      // Rearrange reads the order being left to move the persistent indexes.
      Rearrange(std::move(identity));
    }
  } else {
    const SortKey key{column, direction == Qt::AscendingOrder ? SortDirection::kAscending
                                                              : SortDirection::kDescending};
    // Filtered, only the rows shown are sorted now; the whole order follows with the next filter.
    if (filtered_) pendingSorts_.push_back(key);
    Rearrange(SortedOrder(*source_, Order(), key.column, IsTextField(key.column), key.direction));
  }
  // A filter being applied started from the order before: it starts again from the new one.
  if (jobs_.Busy()) StartFilterJob();
}

void RecordTableModel::Rearrange(RowOrder newShown) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  if (!before.isEmpty()) {
    // Where each table row lands in the new order, to move the persistent indexes with it.
    std::vector<std::uint32_t> newPosition(TotalRows());
    for (std::uint32_t position = 0; position < newShown.size(); ++position) {
      newPosition[newShown[position]] = position;
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
      const std::uint32_t row = Order()[static_cast<std::size_t>(index.row())];
      after << createIndex(static_cast<int>(newPosition[row]), index.column());
    }
    changePersistentIndexList(before, after);
  }
  if (filtered_) {
    shown_ = std::move(newShown);
  } else {
    order_ = std::make_shared<const RowOrder>(std::move(newShown));
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
