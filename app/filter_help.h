#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The filter language explained, from one table: the filter field's tooltip, Help → Filter
// Language and the README's table all say the same.

// One kind of term: examples as typed, and which rows they match. `meaning` is English, with
// `backticks` around what is typed; show it through FilterMeaning.
struct FilterTermHelp {
  QStringList examples;
  const char* meaning;
  bool comparingOnly;  // the Change column's terms
};

// The kinds of term, in the order they are explained.
const QList<FilterTermHelp>& FilterTerms();

// `help`'s meaning, translated, with its backticks as they are.
QString FilterMeaning(const FilterTermHelp& help);

// The field's tooltip while what it holds parses: the language in short, with the change terms
// while comparing.
QString FilterHelp(bool comparing = false);

// The language in full for the help window, as HTML: every kind of term with its examples, the
// column names and what a term that does not parse does.
QString FilterHelpHtml();
