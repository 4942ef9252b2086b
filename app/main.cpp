#include <QApplication>
#include <QStringList>

#include "app/kestrolan.h"
#include "app/qt_prompts.h"
#include "app/startup.h"

// Every command-line argument belongs to the program: Qt sees only the program's name, so an
// argument such as "-style" is a database path here, as any other. Returns 0 on every path.
int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  application.setQuitOnLastWindowClosed(false);
  application.setWindowIcon(KestrolanIcon());
  QtPrompts prompts;
  Kestrolan window(prompts);
  const StartupActions actions{
      [&window](QString path) { window.LoadRadarFile(std::move(path)); },
      [&window] { return window.CheckUpdate(); },
  };
  if (WalkArguments(arguments, actions)) window.Run();
  return 0;
}
