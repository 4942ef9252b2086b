#include "app/filter_field.h"

#include <QLineEdit>
#include <QShortcut>
#include <string_view>

#include "app/filter_help.h"
#include "app/record_table_model.h"
#include "app/status_text.h"
#include "radardb/filter/record_filter.h"

using namespace radardb;

namespace {

constexpr char kInvalidLook[] = "QLineEdit { border: 2px solid #d40000; }";

void ApplyFilterText(QLineEdit& field, RecordTableModel& model, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  RecordFilter filter;
  const Status parsed =
      RecordFilter::Parse(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                          filter, model.Fields());
  if (!parsed.ok()) {
    field.setStyleSheet(QString::fromLatin1(kInvalidLook));
    field.setToolTip(StatusText(parsed));
    return;
  }
  field.setStyleSheet(QString());
  field.setToolTip(FilterHelp(model.Comparison() != nullptr ? FilterColumns::kChange
                              : model.Findings() != nullptr ? FilterColumns::kFinding
                                                            : FilterColumns::kRecords));
  model.SetFilter(std::move(filter));
}

}  // namespace

void ConfigureFilterField(QLineEdit& field, RecordTableModel& model) {
  field.setToolTip(FilterHelp());
  QObject::connect(&field, &QLineEdit::textChanged, &model,
                   [&field, &model](const QString& text) { ApplyFilterText(field, model, text); });
  QObject::connect(&model, &RecordTableModel::FieldsChanged, &field,
                   [&field, &model] { ApplyFilterText(field, model, field.text()); });
  auto* clear =
      new QShortcut(QKeySequence(Qt::Key_Escape), &field, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(clear, &QShortcut::activated, &field, &QLineEdit::clear);
}
