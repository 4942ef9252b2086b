#include "app/filter_help.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

QString Translated(const char* text) { return QCoreApplication::translate("FilterHelp", text); }

// `text` with its `backticks` dropped, or turned into <code> when `html`.
QString WithoutBackticks(const QString& text, bool html) {
  static const QRegularExpression code(QStringLiteral("`([^`]*)`"));
  if (!html) return QString(text).replace(code, QStringLiteral("\\1"));
  QString escaped = text.toHtmlEscaped();
  return escaped.replace(code, QStringLiteral("<code style=\"white-space:nowrap\">\\1</code>"));
}

}  // namespace

const QList<FilterTermHelp>& FilterTerms() {
  static const QList<FilterTermHelp> terms = {
      {{QStringLiteral("lyon"), QStringLiteral("\"bad orb\"")},
       QT_TRANSLATE_NOOP("FilterHelp",
                         "Speed, Road or City contains the word or the quoted phrase"),
       FilterColumns::kRecords},
      {{QStringLiteral("road:A3"), QStringLiteral("city:\"Bad Orb\""),
        QStringLiteral("speed:km/h")},
       QT_TRANSLATE_NOOP("FilterHelp", "that text column contains the text"),
       FilterColumns::kRecords},
      {{QStringLiteral("spd>=100"), QStringLiteral("sc=4"), QStringLiteral("mph!=1"),
        QStringLiteral("coordx>3000000")},
       QT_TRANSLATE_NOOP("FilterHelp",
                         "the number column compares so (`=`, `!=`, `<`, `<=`, `>`, `>=`; "
                         "`spd:100` is `spd=100`)"),
       FilterColumns::kRecords},
      {{QStringLiteral("dir=-10..10"), QStringLiteral("dir!=-10..10")},
       QT_TRANSLATE_NOOP("FilterHelp", "the number lies within (or outside) the inclusive range"),
       FilterColumns::kRecords},
      {{QStringLiteral("near:3113350,49169510,500")},
       QT_TRANSLATE_NOOP("FilterHelp",
                         "the grid position (`CoordX`, `CoordY`) lies within 500 grid units of "
                         "(3113350, 49169510), by straight-line distance, the edge included; the "
                         "radius may be 0, not negative"),
       FilterColumns::kRecords},
      {{QStringLiteral("-term")},
       QT_TRANSLATE_NOOP("FilterHelp", "the term does not match, as in `-city:Valmonte`"),
       FilterColumns::kRecords},
      {{QStringLiteral("change:added"), QStringLiteral("change:removed"),
        QStringLiteral("change:moved"), QStringLiteral("change:changed"),
        QStringLiteral("change:unchanged")},
       QT_TRANSLATE_NOOP("FilterHelp",
                         "while comparing: the Change column says so (`change:moved` includes "
                         "`moved+changed`)"),
       FilterColumns::kChange},
      {{QStringLiteral("finding:duplicate"), QStringLiteral("finding:conflict"),
        QStringLiteral("finding:near-duplicate"), QStringLiteral("finding:cut-text"),
        QStringLiteral("finding:control-character"), QStringLiteral("finding:any")},
       QT_TRANSLATE_NOOP("FilterHelp",
                         "after Tools \u2192 Check Database: the Finding column names it (a row "
                         "with several findings matches each; `finding:any` matches a row with any)"),
       FilterColumns::kFinding},
  };
  return terms;
}

QString FilterMeaning(const FilterTermHelp& help) { return Translated(help.meaning); }

QString FilterHelp(FilterColumns shown) {
  QString help = QCoreApplication::translate(
      "FilterHelp",
      "Shows the rows that match every term; separate terms with blanks. Letter case is "
      "ignored.\n");
  for (const FilterTermHelp& term : FilterTerms()) {
    if (term.needs != FilterColumns::kRecords && term.needs != shown) continue;
    help += term.examples.join(QStringLiteral("  ")) + QStringLiteral(": ") +
            WithoutBackticks(FilterMeaning(term), false) + u'\n';
  }
  return help + QCoreApplication::translate("FilterHelp", "Esc clears the filter; F1 tells more.");
}

QString FilterHelpHtml() {
  QString html = QStringLiteral("<p>%1</p><table cellspacing=\"0\" cellpadding=\"4\">")
                     .arg(QCoreApplication::translate(
                         "FilterHelp",
                         "The table shows the rows that match every term typed in "
                         "the filter field; separate terms with blanks. Letter case "
                         "is ignored, in texts and in column names."));
  html += QStringLiteral("<tr><th align=\"left\">%1</th><th align=\"left\">%2</th></tr>")
              .arg(QCoreApplication::translate("FilterHelp", "Term"),
                   QCoreApplication::translate("FilterHelp", "Shows the rows where"));
  for (const FilterTermHelp& term : FilterTerms()) {
    QStringList examples;
    for (const QString& example : term.examples) {
      examples << QStringLiteral("<code>%1</code>").arg(example.toHtmlEscaped());
    }
    html +=
        QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
            .arg(examples.join(QStringLiteral(", ")), WithoutBackticks(FilterMeaning(term), true));
  }
  html += QStringLiteral("</table>");
  for (const char* note :
       {QT_TRANSLATE_NOOP("FilterHelp",
                          "Number columns go by their headers: `#`, `CoordX`, `CoordY`, `SS`, "
                          "`MS`, `LS`, `X`, `Y`, `sc`, `mph`, `spd`, `dir`. A term that starts "
                          "with a name and an operator must name a column; quote it to look for "
                          "the text itself (`\"exit=3\"`)."),
        QT_TRANSLATE_NOOP("FilterHelp",
                          "A term that does not parse gives the field a red frame and its reason "
                          "as the tooltip; the table stays as it was."),
        QT_TRANSLATE_NOOP("FilterHelp",
                          "Esc in the field clears the filter. A box drawn on the map with Shift "
                          "held adds its `coordx=A..B coordy=C..D` terms.")}) {
    html += QStringLiteral("<p>%1</p>").arg(WithoutBackticks(Translated(note), true));
  }
  return html;
}
