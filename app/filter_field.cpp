#include "app/filter_field.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <string_view>

#include "app/record_table_model.h"
#include "radardb/record_filter.h"

namespace {

constexpr char kInvalidLook[] = "QLineEdit { border: 2px solid #d40000; }";

void ApplyFilterText(QLineEdit& field, RecordTableModel& model, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  RecordFilter filter;
  const Status parsed = RecordFilter::Parse(
      std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), filter);
  if (!parsed.ok()) {
    field.setStyleSheet(QString::fromLatin1(kInvalidLook));
    field.setToolTip(QString::fromStdString(parsed.message()));
    return;
  }
  field.setStyleSheet(QString());
  field.setToolTip(FilterHelp());
  model.SetFilter(std::move(filter));
}

}  // namespace

QString Thousands(std::size_t count) {
  return QLocale(QLocale::English, QLocale::UnitedStates).toString(qulonglong{count});
}

QString FilterHelp() {
  return QStringLiteral(
      "Shows the rows that match every term; separate terms with blanks.\n"
      "word or \"a phrase\": in Speed, Road or City, ignoring letter case\n"
      "road:A3  city:\"Bad Orb\"  speed:km/h: in that column\n"
      "spd>=100  sc=4  dir=-10..10: a number column with = != < <= > >= or a range A..B\n"
      "-term: the rows the term does not match, as in -city:Valmonte\n"
      "Esc clears the filter.");
}

QString RecordCountText(std::size_t shown, std::size_t total, bool filtered) {
  const QString noun = total == 1 ? QStringLiteral("record") : QStringLiteral("records");
  if (!filtered) return QStringLiteral("%1 %2").arg(Thousands(total), noun);
  return QStringLiteral("%1 of %2 %3").arg(Thousands(shown), Thousands(total), noun);
}

void ConfigureFilterField(QLineEdit& field, QLabel& count, RecordTableModel& model) {
  field.setToolTip(FilterHelp());
  QObject::connect(&field, &QLineEdit::textChanged, &model,
                   [&field, &model](const QString& text) { ApplyFilterText(field, model, text); });
  auto* clear =
      new QShortcut(QKeySequence(Qt::Key_Escape), &field, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(clear, &QShortcut::activated, &field, &QLineEdit::clear);

  const auto showCount = [&count, &model] {
    count.setText(RecordCountText(static_cast<std::size_t>(model.rowCount()), model.TotalRows(),
                                  model.Filtered()));
  };
  QObject::connect(&model, &RecordTableModel::ShownRowsChanged, &count, showCount);
  showCount();
}
