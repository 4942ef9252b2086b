#include "app/window_status.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>

#include "app/record_table_model.h"
#include "app/translations.h"
#include "radardb/compare/diff_report.h"

using namespace radardb;

namespace {

constexpr int kFigureMarginPx = 6;

QString Translated(const char* text) { return QCoreApplication::translate("WindowStatus", text); }

// A label that gives up its width first: short of room it shows its text elided in the middle,
// while screen readers still read all of it.
class ElidingLabel : public QLabel {
 public:
  using QLabel::QLabel;

  QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect room = contentsRect();
    painter.drawText(room, static_cast<int>(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
  }
};

}  // namespace

QString Thousands(std::size_t count) {
  return DisplayLocale().toString(static_cast<qulonglong>(count));
}

QString RecordCountText(std::size_t shown, std::size_t total, bool filtered) {
  // Whole sentences, so a language can put the numbers and the noun where it needs them.
  const bool one = total == 1;
  if (!filtered) {
    return Translated(one ? QT_TRANSLATE_NOOP("WindowStatus", "%1 record")
                          : QT_TRANSLATE_NOOP("WindowStatus", "%1 records"))
        .arg(Thousands(total));
  }
  return Translated(one ? QT_TRANSLATE_NOOP("WindowStatus", "%1 of %2 record")
                        : QT_TRANSLATE_NOOP("WindowStatus", "%1 of %2 records"))
      .arg(Thousands(shown), Thousands(total));
}

QString ChangeSummaryText(const ChangeCounts& counts) {
  return QCoreApplication::translate("WindowStatus", "%1 added, %2 removed, %3 moved, %4 changed")
      .arg(Thousands(counts.added), Thousands(counts.removed), Thousands(counts.moved),
           Thousands(counts.changed));
}

QString FindingSummaryText(const CheckReport& report) {
  const auto count = [&report](FindingKind kind) {
    return Thousands(report.counts[static_cast<int>(kind)]);
  };
  return QCoreApplication::translate(
             "WindowStatus",
             "%1 duplicate, %2 conflict, %3 near-duplicate, %4 cut-text, %5 control-character")
      .arg(count(FindingKind::kDuplicate), count(FindingKind::kConflict),
           count(FindingKind::kNearDuplicate), count(FindingKind::kCutText),
           count(FindingKind::kControlCharacter));
}

StatusLabels AddStatusLabels(QStatusBar& bar, const RecordTableModel& model) {
  StatusLabels labels{new ElidingLabel(&bar), new QLabel(&bar), new QLabel(&bar), new QLabel(&bar)};
  labels.file->setObjectName(QStringLiteral("lbFile"));
  labels.count->setObjectName(QStringLiteral("lbCount"));
  labels.changes->setObjectName(QStringLiteral("lbChanges"));
  labels.findings->setObjectName(QStringLiteral("lbFindings"));
  labels.findings->setToolTip(
      Translated(QT_TRANSLATE_NOOP("WindowStatus",
                                   "The findings of Tools \u2192 Check Database. Unused bits are "
                                   "not looked for: the table does not hold them.")));
  // Room between the figures, which the status bar's style may not mark.
  for (QLabel* figures : {labels.count, labels.changes, labels.findings}) {
    figures->setContentsMargins(kFigureMarginPx, 0, kFigureMarginPx, 0);
  }
  bar.addWidget(labels.file, 1);
  bar.addPermanentWidget(labels.count);
  bar.addPermanentWidget(labels.changes);
  bar.addPermanentWidget(labels.findings);

  const auto follow = [labels, &model] {
    labels.count->setText(RecordCountText(static_cast<std::size_t>(model.rowCount()),
                                          model.TotalRows(), model.Filtered()));
    const CheckedRows* checked = model.Findings();
    labels.findings->setVisible(checked != nullptr);
    if (checked != nullptr) labels.findings->setText(FindingSummaryText(checked->Report()));
    const ComparedRows* compared = model.Comparison();
    labels.changes->setVisible(compared != nullptr);
    if (compared == nullptr) return;
    labels.changes->setText(ChangeSummaryText(compared->Counts()));
    labels.changes->setToolTip(QString::fromStdString(DiffSummary(compared->Counts())));
  };
  QObject::connect(&model, &RecordTableModel::ShownRowsChanged, labels.count, follow);
  QObject::connect(&model, &RecordTableModel::FieldsChanged, labels.count, follow);
  follow();
  return labels;
}

void ShowStatusFile(QLabel& file, const QString& path) {
  file.setText(QFileInfo(path).fileName());
  file.setToolTip(path);
}
