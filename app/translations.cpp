#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The translators this file installed, found again by their name so a second call can replace
// them.
constexpr char kTranslatorName[] = "KestrolanTranslator";
constexpr char kResourceFolder[] = ":/i18n";

void Load(QCoreApplication& application, const QLocale& locale, const QString& name,
          const QString& folder) {
  auto* translator = new QTranslator(&application);
  translator->setObjectName(QString::fromLatin1(kTranslatorName));
  if (translator->load(locale, name, QStringLiteral("_"), folder)) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

}  // namespace

QLocale DisplayLocale() {
  const QLocale locale;
  if (locale.language() == QLocale::C) return QLocale(QLocale::English, QLocale::UnitedStates);
  // The language's own numbers, not the system's numeric settings: under LANGUAGE=de and
  // LANG=C those are the C locale's, and a German sentence would carry English numbers.
  return QLocale(locale.language(), locale.territory());
}

void InstallTranslations(QCoreApplication& application) {
  for (QTranslator* old : application.findChildren<QTranslator*>(
           QString::fromLatin1(kTranslatorName), Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  // QLocale() keeps every language the user listed (LANGUAGE=fr:de): the first translated wins.
  const QLocale locale;
  Load(application, locale, QStringLiteral("qtbase"),
       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  Load(application, locale, QStringLiteral("kestrolan"), QString::fromLatin1(kResourceFolder));
}
