#pragma once

#include <QLocale>

class QCoreApplication;

// The language of the window: its texts are written in English and translated from the
// resource's kestrolan_<language>.qm, Qt's own dialogs and buttons from Qt's qtbase_<language>.qm.

// The locale the window speaks and formats numbers in: the language and country of QLocale(),
// that is the system's (as Qt reads LANGUAGE, LC_ALL, LC_MESSAGES and LANG) unless set
// otherwise, with that language's own digits and separators ("1.000.000" in German, even under
// LANG=C with LANGUAGE=de). The C and POSIX locales stand for US English, so counts read
// "1,000,000" there as before.
QLocale DisplayLocale();

// Installs the program's and Qt's translations for the first of QLocale()'s languages that has
// them, replacing those installed by an earlier call. The default locale is left as it is, so
// the table's numbers read as before. A language without a translation stays English, silently.
// Call before the first window is made: texts already shown keep their language.
void InstallTranslations(QCoreApplication& application);
