#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <limits>
#include <vector>

#include "app/load_feedback.h"
#include "app/transfer_progress_dialog.h"
#include "tests/update/http_scripted_server.h"

using namespace radardb;

using namespace update;

// The dialogs that show a long load and a transfer.
class ProgressDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void ShortLoadShowsNothing();
  void LongLoadShowsCountsAndBusyCursorUntilDone_data();
  void LongLoadShowsCountsAndBusyCursorUntilDone();
  void CancelStopsTheLoad();
  void TransferDialogShowsTextWidthAndPosition_data();
  void TransferDialogShowsTextWidthAndPosition();
  void TransferDialogReportsCancel();
  void CancelEndsAStalledTransfer_data();
  void CancelEndsAStalledTransfer();
};

void ProgressDialogsTest::ShortLoadShowsNothing() {
  constexpr int kHour = 3600 * 1000;
  LoadFeedback feedback(nullptr, QStringLiteral("Loading radar.lzw"), kHour);
  QVERIFY(feedback.Callback()(10, 1000));
  QCOMPARE(feedback.Dialog(), nullptr);
  QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void ProgressDialogsTest::LongLoadShowsCountsAndBusyCursorUntilDone_data() {
  QTest::addColumn<qulonglong>("done");
  QTest::addColumn<qulonglong>("total");
  QTest::addColumn<QString>("label");
  QTest::addColumn<int>("value");
  QTest::addColumn<int>("maximum");
  QTest::newRow("raw bytes, or records not counted from them")
      << 12'300'000ULL << 241'000'000ULL << "12.3 of 241.0 MB \u00b7 51,037 records" << 12'300'000
      << 241'000'000;
  // Beyond the dialog's int range counts are scaled down (by 2 here), never wrapped negative.
  QTest::newRow("a 4 GiB expansion scaled into range, thousands grouped")
      << 3'000'000'000ULL << 4'294'967'295ULL << "3,000.0 of 4,295.0 MB \u00b7 12,448,132 records"
      << 1'000'000'000 << 1'431'655'765;
}

void ProgressDialogsTest::LongLoadShowsCountsAndBusyCursorUntilDone() {
  QFETCH(qulonglong, done);
  QFETCH(qulonglong, total);
  QFETCH(QString, label);
  QFETCH(int, value);
  QFETCH(int, maximum);
  {
    LoadFeedback feedback(nullptr, QStringLiteral("Loading radar.lzw"), 0);
    QVERIFY(feedback.Callback()(done, total));
    QVERIFY(feedback.Dialog() != nullptr);
    QVERIFY(feedback.Dialog()->isVisible());
    QCOMPARE(feedback.Dialog()->windowTitle(), QStringLiteral("Loading radar.lzw"));
    QCOMPARE(feedback.Dialog()->labelText(), label);
    QCOMPARE(feedback.Dialog()->value(), value);
    QCOMPARE(feedback.Dialog()->maximum(), maximum);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// Faults caught: a dialog without Cancel, and a load that goes on after Cancel.
void ProgressDialogsTest::CancelStopsTheLoad() {
  LoadFeedback feedback(nullptr, QStringLiteral("Loading radar.lzw"), 0);
  QVERIFY(feedback.Report(1, 10));
  QPushButton* cancel = feedback.Dialog()->findChild<QPushButton*>();
  QVERIFY(cancel != nullptr);
  QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
  cancel->click();
  QVERIFY(!feedback.Report(2, 10));
  QVERIFY(!feedback.Report(0, 3));
}

void ProgressDialogsTest::TransferDialogShowsTextWidthAndPosition_data() {
  QTest::addColumn<qint64>("total");
  QTest::addColumn<qint64>("pos");
  QTest::addColumn<int>("value");
  QTest::addColumn<int>("maximum");
  QTest::newRow("bytes as they are") << qint64(1000) << qint64(250) << 250 << 1000;
  QTest::newRow("ten gigabytes scaled into range, not wrapped")
      << qint64(10'000'000'000) << qint64(5'000'000'000) << 1'000'000'000 << 2'000'000'000;
}

void ProgressDialogsTest::TransferDialogShowsTextWidthAndPosition() {
  QFETCH(qint64, total);
  QFETCH(qint64, pos);
  QFETCH(int, value);
  QFETCH(int, maximum);
  TransferProgressDialog progress;
  progress.Open(QStringLiteral("read : updates.example/software/lastversions.txt"), 520);
  QProgressDialog* dialog = progress.Dialog();
  QVERIFY(dialog != nullptr);
  QVERIFY(dialog->isVisible());
  QCOMPARE(dialog->labelText(), QStringLiteral("read : updates.example/software/lastversions.txt"));
  QCOMPARE(dialog->width(), 520);
  QCOMPARE(dialog->windowTitle(), QStringLiteral("Kestrolan"));
  progress.SetTotal(total);
  progress.SetPos(pos);
  QCOMPARE(dialog->maximum(), maximum);
  QCOMPARE(dialog->value(), value);
  QVERIFY(!progress.Cancelled());
  progress.Close();
  QCOMPARE(progress.Dialog(), nullptr);
}

void ProgressDialogsTest::TransferDialogReportsCancel() {
  TransferProgressDialog progress;
  progress.Open(QStringLiteral("read : host/file.zip"), 520);
  progress.SetTotal(100);
  progress.Dialog()->cancel();
  QVERIFY(progress.Cancelled());
  progress.SetPos(50);  // a late update after cancelling must not bring it back
  QVERIFY(progress.Cancelled());
}

// A real transfer against a server that stalls, and a user who presses Cancel 300 ms into it: the
// press only arrives when the dialog handles events while the client waits.
void ProgressDialogsTest::CancelEndsAStalledTransfer_data() {
  QTest::addColumn<QByteArray>("sentBeforeStall");
  QTest::newRow("Cancel ignored while the header is awaited") << QByteArray();
  QTest::newRow("Cancel ignored while an open-ended body stalls")
      << QByteArray("HTTP/1.1 200 OK\r\n\r\nhello");
}

void ProgressDialogsTest::CancelEndsAStalledTransfer() {
  QFETCH(QByteArray, sentBeforeStall);
  constexpr int kPressAtMs = 300;
  // Cancel must end the transfer within 250 ms; the bound leaves room for a busy machine.
  constexpr qint64 kEndBoundMs = 1000;
  std::vector<ServerStep> script;
  if (!sentBeforeStall.isEmpty()) script.push_back(Send(sentBeforeStall.toStdString()));
  script.push_back(Hold());
  ScriptedServer server(script);
  TransferProgressDialog progress;
  HttpGetOptions options;
  options.port = server.port();
  options.progress = &progress;

  QElapsedTimer clock;
  qint64 pressedAtMs = -1;
  QTimer::singleShot(kPressAtMs, [&] {
    QProgressDialog* dialog = progress.Dialog();
    if (dialog == nullptr) return;
    pressedAtMs = clock.elapsed();
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
  });
  clock.start();
  QCOMPARE(HttpGet("127.0.0.1/software/x.zip", options), QByteArray());
  const qint64 endedAtMs = clock.elapsed();
  QVERIFY2(pressedAtMs >= 0, "the press never reached the dialog during the transfer");
  QVERIFY2(endedAtMs - pressedAtMs < kEndBoundMs,
           qPrintable(QStringLiteral("ended %1 ms after the press").arg(endedAtMs - pressedAtMs)));
}

QTEST_MAIN(ProgressDialogsTest)
#include "progress_dialogs_test.moc"
