#include <QApplication>
#include <QStringList>

#include "app/kestrolan.h"
#include "app/qt_prompts.h"
#include "app/startup.h"

namespace {

// The build says whether the viewer offers its own update: a distribution's package manager
// owns the installed files, so its build leaves the offer out.
constexpr bool kOfferUpdate = KESTROLAN_UPDATE_CHECK;
// The name of the desktop entry, by which desktops match the running program to its entry.
constexpr char kDesktopFileName[] = "example.kestrolan.Kestrolan";

}  // namespace

// Every command-line argument belongs to the program: Qt sees only the program's name, so an
// argument such as "-style" is a database path here, as any other. Returns 0 on every path.
int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  application.setQuitOnLastWindowClosed(false);
  application.setWindowIcon(KestrolanIcon());
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
  QtPrompts prompts;
  Kestrolan window(prompts);
  if (StartWindow(window, arguments, kOfferUpdate)) window.Run();
  return 0;
}
