#include "app/translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <string>

#include "app/kestrolan.h"
#include "app/qt_prompts.h"
#include "app/status_text.h"
#include "app/window_actions.h"
#include "app/window_status.h"
#include "platform/output_file.h"
#include "radardb/archive/lzw_errors.h"
#include "radardb/compare/compared_rows.h"
#include "radardb/csv/csv_export.h"
#include "radardb/filter/record_filter.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

// The window in English, exactly as written, and in German, with Qt's own buttons translated
// too; numbers grouped as the language groups them; the core's texts translated by their forms.
class TranslationsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup();
  void WindowSpeaksTheLanguage_data();
  void WindowSpeaksTheLanguage();
  void NeutralLocaleCountsInUsEnglish();
  void SystemLanguageIsFollowed();
  void CoreTextsTranslatedByForm_data();
  void CoreTextsTranslatedByForm();

 private:
  static void Speak(const QLocale& locale);
};

void TranslationsTest::Speak(const QLocale& locale) {
  QLocale::setDefault(locale);
  InstallTranslations(*QCoreApplication::instance());
}

void TranslationsTest::cleanup() { Speak(QLocale::c()); }

void TranslationsTest::WindowSpeaksTheLanguage_data() {
  QTest::addColumn<QLocale>("locale");
  QTest::addColumn<QStringList>("buttons");  // Load, Export, Exit
  QTest::addColumn<QStringList>("menus");    // the menu bar's
  QTest::addColumn<QString>("loadCommand");
  QTest::addColumn<QStringList>("questionButtons");
  QTest::addColumn<QStringList>("shown");  // a failed load, then the update offer declined
  QTest::addColumn<QString>("count");

  QTest::newRow("English: as written")
      << QLocale(QLocale::English, QLocale::UnitedKingdom)
      << QStringList{"Load LZW", "Export CSV", "Exit"}
      << QStringList{"&File", "&Edit", "&View", "&Tools", "&Help"}
      << QStringLiteral("&Load LZW\u2026") << QStringList{"&No", "&Yes"}
      << QStringList{"info: LZW file not found", "details: missing.lzw",
                     "yesno: Check for program updates ?"}
      << QStringLiteral("694,300 of 1,000,000 records");
  QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                          << QStringList{"LZW laden", "CSV-Export", "Beenden"}
                          << QStringList{"&Datei", "&Bearbeiten", "&Ansicht", "&Werkzeuge",
                                         "&Hilfe"}
                          << QStringLiteral("LZW &laden\u2026") << QStringList{"&Ja", "&Nein"}
                          << QStringList{"info: LZW-Datei nicht gefunden", "details: missing.lzw",
                                         "yesno: Nach Programm-Updates suchen?"}
                          << QStringLiteral("694.300 von 1.000.000 Datens\u00e4tzen");
}

void TranslationsTest::WindowSpeaksTheLanguage() {
  QFETCH(QLocale, locale);
  QFETCH(QStringList, buttons);
  QFETCH(QStringList, menus);
  QFETCH(QString, loadCommand);
  QFETCH(QStringList, questionButtons);
  QFETCH(QStringList, shown);
  QFETCH(QString, count);
  Speak(locale);

  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QCOMPARE((QStringList{window.btLoad->text(), window.btExport->text(), window.btExit->text()}),
           buttons);
  QStringList menuTitles;
  for (const QAction* menu : window.menuBar()->actions()) menuTitles << menu->text();
  QCOMPARE(menuTitles, menus);
  QCOMPARE(window.Actions().loadLzw->text(), loadCommand);

  const auto box = MakeMessageBox(QMessageBox::Question, QStringLiteral("?"),
                                  QMessageBox::Yes | QMessageBox::No);
  QStringList texts;
  for (const QAbstractButton* button : box->buttons()) texts << button->text();
  texts.sort();
  QCOMPARE(texts, questionButtons);

  window.LoadRadarFile(QStringLiteral("missing.lzw"));
  prompts.SetNextAnswer(false);
  QVERIFY(!window.CheckUpdate());
  QCOMPARE(prompts.shown, shown);
  QCOMPARE(RecordCountText(694'300, 1'000'000, true), count);
}

void TranslationsTest::NeutralLocaleCountsInUsEnglish() {
  Speak(QLocale::c());
  QCOMPARE(DisplayLocale(), QLocale(QLocale::English, QLocale::UnitedStates));
  QCOMPARE(RecordCountText(1'000'000, 1'000'000, false), QStringLiteral("1,000,000 records"));
}

void TranslationsTest::SystemLanguageIsFollowed() {
  Speak(QLocale::system());  // as main() set it: LANGUAGE=de, LANG=C.UTF-8
  ScriptedPrompts prompts;
  const Kestrolan window(prompts);
  QCOMPARE(window.btLoad->text(), QStringLiteral("LZW laden"));
  QCOMPARE(RecordCountText(1'000'000, 1'000'000, false),
           QStringLiteral("1.000.000 Datens\u00e4tze"));
}

void TranslationsTest::CoreTextsTranslatedByForm_data() {
  QTest::addColumn<QString>("english");
  QTest::addColumn<QString>("german");
  const auto filterError = [](const char* typed, std::span<const RowField> fields) {
    RecordFilter filter;
    return RecordFilter::Parse(typed, filter, fields);
  };
  const struct {
    const char* name;
    Status status;
    std::string german;  // with the system's reason as the system words it
  } cases[] = {
      {"a whole text", LzwDecompressError(), "Fehler beim Entpacken der LZW-Datei"},
      {"a text with the path", ExportCsvFile({}, nullptr, "/no/such/folder/x.csv"),
       "Fehler beim Anlegen der Datei /no/such/folder/x.csv"},
      {"the path and the system's reason", platform::WriteOutputFile("/no/such/folder/map.png", ""),
       std::string("\u201e/no/such/folder/map.png\u201c kann nicht angelegt werden: ") +
           std::strerror(ENOENT)},
      {"a filter's term", filterError("spd=fast", RecordFields()),
       "ung\u00fcltige Zahl \u201efast\u201c in \u201espd=fast\u201c"},
      {"three parts", filterError("change:gone", ComparedFields()),
       "Spalte \u201eChange\u201c verlangt added, removed, moved, changed or unchanged in "
       "\u201echange:gone\u201c"},
      {"a text not in the table, as it is", Status::InvalidArgument("something new"),
       "something new"},
  };
  for (const auto& c : cases) {
    QTest::newRow(c.name) << QString::fromStdString(c.status.message())
                          << QString::fromStdString(c.german);
  }
}

void TranslationsTest::CoreTextsTranslatedByForm() {
  QFETCH(QString, english);
  QFETCH(QString, german);
  const Status status = Status::InvalidArgument(english.toStdString());
  QCOMPARE(StatusText(status), english);
  Speak(QLocale(QLocale::German, QLocale::Germany));
  QCOMPARE(StatusText(status), german);
}

// The system's locale is German as LANGUAGE=de makes it on a desktop whose other settings are the
// C locale's, numbers included: the window must still write German numbers.
int main(int argc, char* argv[]) {
  qputenv("LANGUAGE", "de");
  qputenv("LANG", "C.UTF-8");
  for (const char* overriding : {"LC_ALL", "LC_MESSAGES", "LC_NUMERIC"}) qunsetenv(overriding);
  QApplication application(argc, argv);
  TranslationsTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "translations_test.moc"
