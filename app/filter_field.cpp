#include "app/filter_field.h"

#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <string_view>

#include "app/record_table_model.h"
#include "radardb/compare/diff_report.h"
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
    field.setToolTip(QString::fromStdString(parsed.message()));
    return;
  }
  field.setStyleSheet(QString());
  field.setToolTip(FilterHelp(model.Comparison() != nullptr));
  model.SetFilter(std::move(filter));
}

}  // namespace

QString Thousands(std::size_t count) { return QString::fromStdString(GroupedNumber(count)); }

QString FilterHelp(bool comparing) {
  QString help = QStringLiteral(
      "Shows the rows that match every term; separate terms with blanks.\n"
      "word or \"a phrase\": in Speed, Road or City, ignoring letter case\n"
      "road:A3  city:\"Bad Orb\"  speed:km/h: in that column\n"
      "spd>=100  sc=4  dir=-10..10: a number column with = != < <= > >= or a range A..B\n");
  if (comparing) {
    help += QStringLiteral(
        "change:added  change:removed  change:moved  change:changed  change:unchanged: "
        "the Change column (moved includes moved+changed)\n");
  }
  return help + QStringLiteral(
                    "-term: the rows the term does not match, as in -city:Valmonte\n"
                    "Esc clears the filter.");
}

QString RecordCountText(std::size_t shown, std::size_t total, bool filtered) {
  const QString noun = total == 1 ? QStringLiteral("record") : QStringLiteral("records");
  if (!filtered) return QStringLiteral("%1 %2").arg(Thousands(total), noun);
  return QStringLiteral("%1 of %2 %3").arg(Thousands(shown), Thousands(total), noun);
}

QString ChangeCountText(const ChangeCounts& counts) {
  return QStringLiteral("+%1 \u2212%2 \u2194%3 ~%4")
      .arg(Thousands(counts.added), Thousands(counts.removed), Thousands(counts.moved),
           Thousands(counts.changed));
}

QString ChangeSummaryText(const ChangeCounts& counts) {
  return QString::fromStdString(DiffSummary(counts)) +
         QStringLiteral("\n+ added, \u2212 removed, \u2194 moved, ~ changed");
}

void ConfigureFilterField(QLineEdit& field, QLabel& count, RecordTableModel& model) {
  field.setToolTip(FilterHelp());
  QObject::connect(&field, &QLineEdit::textChanged, &model,
                   [&field, &model](const QString& text) { ApplyFilterText(field, model, text); });
  QObject::connect(&model, &RecordTableModel::FieldsChanged, &field,
                   [&field, &model] { ApplyFilterText(field, model, field.text()); });
  auto* clear =
      new QShortcut(QKeySequence(Qt::Key_Escape), &field, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(clear, &QShortcut::activated, &field, &QLineEdit::clear);

  const auto showCount = [&count, &model] {
    const ComparedRows* compared = model.Comparison();
    count.setText(compared != nullptr && !model.Filtered()
                      ? ChangeCountText(compared->Counts())
                      : RecordCountText(static_cast<std::size_t>(model.rowCount()),
                                        model.TotalRows(), model.Filtered()));
    count.setToolTip(compared != nullptr ? ChangeSummaryText(compared->Counts()) : QString());
  };
  QObject::connect(&model, &RecordTableModel::ShownRowsChanged, &count, showCount);
  showCount();
}
