#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The translators this file installed, found again by their name so a second call can replace
// them.
constexpr char kTranslatorName[] = "KestrolanTranslator";
constexpr char kResourceFolder[] = ":/i18n";

bool IsNeutral(const QLocale& locale) { return locale.language() == QLocale::C; }

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
  if (!IsNeutral(locale)) return locale;
  for (const QString& language : locale.uiLanguages()) {
    const QLocale asked(language);
    if (!IsNeutral(asked)) return asked;
  }
  return QLocale(QLocale::English, QLocale::UnitedStates);
}

void InstallTranslations(QCoreApplication& application) {
  for (QTranslator* old : application.findChildren<QTranslator*>(
           QString::fromLatin1(kTranslatorName), Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  const QLocale locale = DisplayLocale();
  Load(application, locale, QStringLiteral("qtbase"),
       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  Load(application, locale, QStringLiteral("kestrolan"), QString::fromLatin1(kResourceFolder));
}
