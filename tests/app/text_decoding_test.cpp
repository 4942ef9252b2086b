#include "app/text_decoding.h"

#include <QTest>
#include <string>

#include "radardb/text/case_folding.h"
#include "radardb/text/database_text.h"
#include "radardb/text/utf8_text.h"

using namespace radardb;

// Database texts are raw bytes: shown as UTF-8 when they are well-formed UTF-8, otherwise as
// Windows-1252, never lost or shown as replacement characters.
class TextDecodingTest : public QObject {
  Q_OBJECT

 private slots:
  void Decodes_data();
  void Decodes();
  void FoldingMatchesQtForEveryCodePoint();
};

void TextDecodingTest::Decodes_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<bool>("validUtf8");

  QTest::newRow("ascii passes unchanged") << QByteArray("A6 Paris, sud") << "A6 Paris, sud" << true;
  QTest::newRow("empty text") << QByteArray() << QString() << true;
  QTest::newRow("utf-8 e acute taken as utf-8, not two latin letters")
      << QByteArray("\xc3\xa9vry") << QStringLiteral(u"\u00e9vry") << true;
  QTest::newRow("lone latin-1 byte taken as windows-1252")
      << QByteArray("\xe9vry") << QStringLiteral(u"\u00e9vry") << false;
  QTest::newRow("0x80 is the euro sign, not a C1 control")
      << QByteArray("50\x80") << QStringLiteral(u"50\u20ac") << false;
  QTest::newRow("0x9f is Y diaeresis") << QByteArray("\x9f") << QStringLiteral(u"\u0178") << false;
  QTest::newRow("undefined 0x81 keeps its own value")
      << QByteArray("a\x81") << QStringLiteral(u"a\u0081") << false;
  QTest::newRow("0xa0..0xff equal latin-1")
      << QByteArray("\xa0\xff") << QStringLiteral(u"\u00a0\u00ff") << false;
  QTest::newRow("overlong slash rejected as utf-8")
      << QByteArray("\xc0\xaf") << QStringLiteral(u"\u00c0\u00af") << false;
  QTest::newRow("utf-16 surrogate rejected as utf-8")
      << QByteArray("\xed\xa0\x80") << QStringLiteral(u"\u00ed\u00a0\u20ac") << false;
  QTest::newRow("four-byte emoji taken as utf-8")
      << QByteArray("\xf0\x9f\x9a\xa6") << QStringLiteral(u"\U0001F6A6") << true;
  QTest::newRow("above U+10FFFF rejected")
      << QByteArray("\xf4\x90\x80\x80") << QStringLiteral(u"\u00f4\u0090\u20ac\u20ac") << false;
  QTest::newRow("sequence cut at the end rejected")
      << QByteArray("ab\xe2\x82") << QStringLiteral(u"ab\u00e2\u201a") << false;
  QTest::newRow("continuation byte missing rejected")
      << QByteArray("\xe2x\xac") << QStringLiteral(u"\u00e2x\u00ac") << false;
  QTest::newRow("capitals of both readings: Windows-1252")
      << QByteArray("\xc9TANG \x8a\x9f") << QStringLiteral(u"\u00c9TANG \u0160\u0178") << false;
  QTest::newRow("capitals of both readings: UTF-8, Greek and sharp s")
      << QByteArray("\xce\xa3\xce\xa9 \xe1\xba\x9e \xc3\x9f")
      << QStringLiteral(u"\u03a3\u03a9 \u1e9e \u00df") << true;
}

void TextDecodingTest::Decodes() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, shown);
  QFETCH(bool, validUtf8);
  const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  QCOMPARE(IsValidUtf8(view), validUtf8);
  QCOMPARE(DecodeDatabaseText(view), shown);
  // The filter compares what is displayed, case-folded.
  QCOMPARE(QString::fromStdString(FoldedText(view)), shown.toCaseFolded());
}

void TextDecodingTest::FoldingMatchesQtForEveryCodePoint() {
  int differences = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const char32_t qt = QChar::toCaseFolded(c);
    if (SimpleCaseFold(c) != qt && ++differences <= 5) {
      qWarning("U+%04X folds to U+%04X, Qt folds it to U+%04X", unsigned(c),
               unsigned(SimpleCaseFold(c)), unsigned(qt));
    }
  }
  QCOMPARE(differences, 0);
}

QTEST_APPLESS_MAIN(TextDecodingTest)
#include "text_decoding_test.moc"
