#pragma once

#include <QLocale>

class QCoreApplication;

// The language of the window: its texts are written in English and translated from the
// resource's kestrolan_<language>.qm, Qt's own dialogs and buttons from Qt's qtbase_<language>.qm.

// The locale the window speaks and formats numbers in: QLocale()'s, that is the system's (as Qt
// reads LANGUAGE, LC_ALL, LC_MESSAGES and LANG) unless set otherwise. The C and POSIX locales
// stand for the first language the user asked for (LANGUAGE=de under LANG=C speaks German), and
// for US English when none was asked for, so counts read "1,000,000" there too.
QLocale DisplayLocale();

// Installs the program's and Qt's translations for DisplayLocale(), replacing those installed by
// an earlier call. The default locale is left as it is, so the table's numbers read as before. A
// language without a translation stays English, silently. Call before the first window is made:
// texts already shown keep their language.
void InstallTranslations(QCoreApplication& application);
