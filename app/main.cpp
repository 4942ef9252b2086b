#include <QApplication>
#include <QSettings>
#include <QStringList>
#include <cstdio>

#include "app/command_line.h"
#include "app/kestrolan.h"
#include "app/qt_prompts.h"
#include "app/startup.h"
#include "app/translations.h"
#include "app/window_settings.h"
#include "update/app_identity.h"

namespace {

// The build says whether the viewer offers its own update: a distribution's package manager
// owns the installed files, so its build leaves the offer out.
constexpr bool kOfferUpdate = KESTROLAN_UPDATE_CHECK;
// The name of the desktop entry, by which desktops match the running program to its entry.
constexpr char kDesktopFileName[] = "example.kestrolan.Kestrolan";

}  // namespace

// Every command-line argument belongs to the program: Qt sees only the program's name, so an
// argument such as "-style" is a database path here, as any other (see ParseCommandLine).
// Returns 0 on every path.
int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const CommandLine line = ParseCommandLine(arguments);
  int qtArgc = 1;
  if (line.request != CommandLine::Request::kRunWindow) {
    // The help is printed in the user's language, as the window speaks it.
    QCoreApplication core(qtArgc, argv);
    InstallTranslations(core);
    const QString text =
        line.request == CommandLine::Request::kPrintUsage ? UsageText() : VersionText();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
  }

  QApplication application(qtArgc, argv);
  application.setQuitOnLastWindowClosed(false);
  InstallTranslations(application);
  application.setWindowIcon(KestrolanIcon());
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
  // One settings file, Kestrolan/Kestrolan.ini in the user's configuration folder, on every
  // system (no registry on Windows).
  QCoreApplication::setOrganizationName(QString::fromLatin1(update::AppName));
  QCoreApplication::setApplicationName(QString::fromLatin1(update::AppName));
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings settings;

  QtPrompts prompts;
  Kestrolan window(prompts);
  RestoreWindowSettings(window, settings);
  if (StartWindow(window, arguments, kOfferUpdate)) {
    window.Run();
    SaveWindowSettings(window, settings);
  }
  return 0;
}
