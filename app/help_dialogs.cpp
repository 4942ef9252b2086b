#include "app/help_dialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/filter_help.h"
#include "app/kestrolan.h"
#include "app/window_actions.h"
#include "update/app_identity.h"

using namespace update;

namespace {

QString Translated(const char* text) { return QCoreApplication::translate("HelpDialogs", text); }

// A dialog titled `title` holding `content` above a Close button.
QDialog* MakeDialog(const QString& title, QWidget* content, QWidget* parent) {
  auto* dialog = new QDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(title);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  auto* layout = new QVBoxLayout(dialog);
  content->setParent(dialog);
  layout->addWidget(content, 1);
  layout->addWidget(buttons);
  return dialog;
}

QDialog* MakeTextDialog(const QString& title, const QString& html, QSize size, QWidget* parent) {
  auto* text = new QTextBrowser;
  text->setHtml(html);
  text->setAccessibleName(title);
  QDialog* dialog = MakeDialog(title, text, parent);
  dialog->resize(size);
  return dialog;
}

QString Row(const QString& keys, const QString& what) {
  return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
      .arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
}

QString Heading(const QString& text) {
  return QStringLiteral("<tr><td colspan=\"2\"><h3>%1</h3></td></tr>").arg(text.toHtmlEscaped());
}

}  // namespace

QDialog* MakeAboutDialog(QWidget* parent) {
  auto* content = new QWidget;
  auto* icon = new QLabel(content);
  icon->setPixmap(KestrolanIcon().pixmap(64, 64));
  icon->setAlignment(Qt::AlignTop);
  icon->setAccessibleName(QString::fromLatin1(AppName));
  const QString html =
      QStringLiteral("<h2>%1</h2><p>%2</p><p>%3</p><p>%4</p><p>%5</p>")
          .arg(QString::fromLatin1(AppName),
               QCoreApplication::translate("HelpDialogs", "Version %1 of %2, by Tolvenqar")
                   .arg(AppVersion, AppDate),
               QCoreApplication::translate(
                   "HelpDialogs",
                   "A viewer for radar databases of speed checks and danger zones "
                   "(radar.lzw, dangerz.lzw)."),
               QCoreApplication::translate("HelpDialogs", "Built with Qt %1, running on Qt %2.")
                   .arg(QT_VERSION_STR, qVersion()),
               QCoreApplication::translate(
                   "HelpDialogs",
                   "Licence: MIT License. Copyright (c) 2026 The Kestrolan developers. "
                   "Free to use, copy, change and pass on, with this notice; given as it "
                   "is, without warranty of any kind."));
  auto* text = new QLabel(html, content);
  text->setWordWrap(true);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QHBoxLayout(content);
  layout->addWidget(icon);
  layout->addWidget(text, 1);
  QDialog* dialog =
      MakeDialog(QCoreApplication::translate("HelpDialogs", "About Kestrolan"), content, parent);
  dialog->resize(460, dialog->sizeHint().height());
  return dialog;
}

QDialog* MakeFilterHelpDialog(QWidget* parent) {
  return MakeTextDialog(QCoreApplication::translate("HelpDialogs", "Filter Language"),
                        FilterHelpHtml(), {620, 460}, parent);
}

QDialog* MakeShortcutsDialog(const QList<QAction*>& actions, QWidget* parent) {
  QString html = QStringLiteral("<table cellpadding=\"3\">") +
                 Heading(QCoreApplication::translate("HelpDialogs", "Commands"));
  for (const QAction* action : actions) {
    if (action->shortcut().isEmpty()) continue;
    html += Row(action->shortcut().toString(QKeySequence::NativeText), PlainText(*action));
  }
  const struct {
    const char* heading;
    std::initializer_list<std::pair<const char*, const char*>> keys;
  } places[] = {
      {QT_TRANSLATE_NOOP("HelpDialogs", "In the table"),
       {{QT_TRANSLATE_NOOP("HelpDialogs", "Arrows, Page Up, Page Down"),
         QT_TRANSLATE_NOOP("HelpDialogs", "move through the rows")},
        {QT_TRANSLATE_NOOP("HelpDialogs", "Home, End"),
         QT_TRANSLATE_NOOP("HelpDialogs", "first or last row")},
        {QT_TRANSLATE_NOOP("HelpDialogs", "Tab"),
         QT_TRANSLATE_NOOP("HelpDialogs", "on to the next control")}}},
      {QT_TRANSLATE_NOOP("HelpDialogs", "In the filter field"),
       {{QT_TRANSLATE_NOOP("HelpDialogs", "Esc"),
         QT_TRANSLATE_NOOP("HelpDialogs", "clear the filter")}}},
      {QT_TRANSLATE_NOOP("HelpDialogs", "In the map"),
       {{QT_TRANSLATE_NOOP("HelpDialogs", "Wheel"),
         QT_TRANSLATE_NOOP("HelpDialogs", "zoom around the pointer")},
        {QT_TRANSLATE_NOOP("HelpDialogs", "+, -"),
         QT_TRANSLATE_NOOP("HelpDialogs", "zoom around the middle")},
        {QT_TRANSLATE_NOOP("HelpDialogs", "Home"),
         QT_TRANSLATE_NOOP("HelpDialogs", "fit all points in")},
        {QT_TRANSLATE_NOOP("HelpDialogs", "Drag"), QT_TRANSLATE_NOOP("HelpDialogs", "pan")},
        {QT_TRANSLATE_NOOP("HelpDialogs", "Click"),
         QT_TRANSLATE_NOOP("HelpDialogs", "select the row of the point")},
        {QT_TRANSLATE_NOOP("HelpDialogs", "Shift+drag"),
         QT_TRANSLATE_NOOP("HelpDialogs", "filter the table to the box drawn")}}},
  };
  for (const auto& place : places) {
    html += Heading(Translated(place.heading));
    for (const auto& [keys, what] : place.keys) html += Row(Translated(keys), Translated(what));
  }
  return MakeTextDialog(QCoreApplication::translate("HelpDialogs", "Keyboard Shortcuts"),
                        html + QStringLiteral("</table>"), {480, 640}, parent);
}
