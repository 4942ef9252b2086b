#include "app/status_text.h"

#include <QCoreApplication>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

namespace {

// The core's texts as forms: `%1` to `%3` stand for the parts filled in (a path, the system's
// reason, a filter's term), the rest is as the core words it. More particular forms come before the
// general ones they would also match.
constexpr const char* kForms[] = {
    QT_TRANSLATE_NOOP("CoreErrors", "LZW file not found"),
    QT_TRANSLATE_NOOP("CoreErrors", "LZW file read error"),
    QT_TRANSLATE_NOOP("CoreErrors", "Wrong file format"),
    QT_TRANSLATE_NOOP("CoreErrors", "Error creating temporary destination file"),
    QT_TRANSLATE_NOOP("CoreErrors", "LZW decompress error"),
    QT_TRANSLATE_NOOP("CoreErrors", "Database ends inside a record"),
    QT_TRANSLATE_NOOP("CoreErrors", "Out of memory"),
    QT_TRANSLATE_NOOP("CoreErrors", "Error creating file %1"),
    QT_TRANSLATE_NOOP("CoreErrors", "Error writing file %1"),
    QT_TRANSLATE_NOOP("CoreErrors", "cannot create '%1': no free temporary name in its folder"),
    QT_TRANSLATE_NOOP("CoreErrors", "cannot create '%1': %2"),
    QT_TRANSLATE_NOOP("CoreErrors", "cannot write '%1': %2"),
    QT_TRANSLATE_NOOP("CoreErrors", "cannot open '%1': %2"),
    QT_TRANSLATE_NOOP("CoreErrors", "cannot read '%1': %2"),
    // The filter field's: the problem, then the term as typed.
    QT_TRANSLATE_NOOP("CoreErrors", "missing closing quote in '%1'"),
    QT_TRANSLATE_NOOP("CoreErrors", "'-' must be followed by a term in '%1'"),
    QT_TRANSLATE_NOOP("CoreErrors", "'-' twice in '%1'"),
    QT_TRANSLATE_NOOP("CoreErrors", "empty text in '%1'"),
    QT_TRANSLATE_NOOP("CoreErrors", "no column before '%1' in '%2'"),
    QT_TRANSLATE_NOOP("CoreErrors", "unknown column '%1' in '%2'"),
    QT_TRANSLATE_NOOP("CoreErrors", "text column '%1' takes ':' in '%2'"),
    QT_TRANSLATE_NOOP("CoreErrors", "missing number in '%1'"),
    QT_TRANSLATE_NOOP("CoreErrors", "a range takes '=' or '!=' in '%1'"),
    QT_TRANSLATE_NOOP("CoreErrors", "bad number '%1' in '%2'"),
    QT_TRANSLATE_NOOP("CoreErrors", "empty range in '%1'"),
    QT_TRANSLATE_NOOP("CoreErrors", "column '%1' takes %2 in '%3'"),
    QT_TRANSLATE_NOOP("CoreErrors",
                      "near takes ':' and X,Y,R (a grid position and a radius) in '%1'"),
    QT_TRANSLATE_NOOP("CoreErrors", "negative radius '%1' in '%2'"),
    // An edited cell's: why the value typed was refused.
    QT_TRANSLATE_NOOP("CoreErrors", "# is the record's place in the file and cannot be edited"),
    QT_TRANSLATE_NOOP("CoreErrors", "dir must be a whole number from -180 to 289, or 360"),
    QT_TRANSLATE_NOOP("CoreErrors", "%1 must be a whole number from %2 to %3"),
    QT_TRANSLATE_NOOP("CoreErrors", "%1 must be a whole number"),
    QT_TRANSLATE_NOOP("CoreErrors", "CoordX must end in at most %1 for this record, whose X is %2"),
    QT_TRANSLATE_NOOP("CoreErrors", "CoordY must end in at most %1 for this record, whose Y is %2"),
    QT_TRANSLATE_NOOP("CoreErrors", "%1 must be valid text"),
    QT_TRANSLATE_NOOP("CoreErrors", "%1 cannot hold a zero character: it ends the text"),
    QT_TRANSLATE_NOOP("CoreErrors", "%1 is written in Windows-1252, which has no \"%2\""),
    QT_TRANSLATE_NOOP("CoreErrors",
                      "%1 is written in Windows-1252, and these characters would read back as "
                      "other ones"),
    QT_TRANSLATE_NOOP("CoreErrors",
                      "%1 holds at most %2 bytes besides its ending zero; this text needs %3"),
    // Saving an edited database.
    QT_TRANSLATE_NOOP("CoreErrors",
                      "The database has changed on disk since it was loaded, so its records "
                      "cannot be written back exactly"),
    QT_TRANSLATE_NOOP("CoreErrors", "The database is too large for an archive"),
};

// A form as a pattern of the whole text, each placeholder capturing what stands in its place.
QRegularExpression Pattern(const char* form) {
  static const QRegularExpression placeholder(QStringLiteral("%[1-3]"));
  const QStringList pieces = QString::fromLatin1(form).split(placeholder);
  QString pattern = QRegularExpression::escape(pieces.first());
  for (qsizetype i = 1; i < pieces.size(); ++i) {
    pattern += QStringLiteral("(.*)") + QRegularExpression::escape(pieces[i]);
  }
  return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                            QRegularExpression::DotMatchesEverythingOption);
}

struct Form {
  const char* english;
  QRegularExpression pattern;
};

const QList<Form>& Forms() {
  static const QList<Form> forms = [] {
    QList<Form> made;
    for (const char* form : kForms) made.append({form, Pattern(form)});
    return made;
  }();
  return forms;
}

}  // namespace

QString StatusText(const platform::Status& status) {
  const QString text = QString::fromStdString(status.message());
  for (const Form& form : Forms()) {
    const QRegularExpressionMatch match = form.pattern.match(text);
    if (!match.hasMatch()) continue;
    const QString translated = QCoreApplication::translate("CoreErrors", form.english);
    switch (match.lastCapturedIndex()) {
      case 0:
        return translated;
      case 1:
        return translated.arg(match.captured(1));
      case 2:
        return translated.arg(match.captured(1), match.captured(2));
      default:
        return translated.arg(match.captured(1), match.captured(2), match.captured(3));
    }
  }
  return text;
}
