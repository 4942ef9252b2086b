#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The filter language explained, from one table: the filter field's tooltip, Help → Filter
// Language and the README's table all say the same.

// What the table shows besides the records, and so what the filter may name.
enum class FilterColumns { kRecords, kChange, kFinding };

// One kind of term: examples as typed, and which rows they match. `meaning` is English, with
// `backticks` around what is typed; show it through FilterMeaning.
struct FilterTermHelp {
  QStringList examples;
  const char* meaning;
  FilterColumns needs;  // kRecords: always; else only while that column is on show
};

// The kinds of term, in the order they are explained.
const QList<FilterTermHelp>& FilterTerms();

// `help`'s meaning, translated, with its backticks as they are.
QString FilterMeaning(const FilterTermHelp& help);

// The field's tooltip while what it holds parses: the language in short, with the terms of the
// Change or the Finding column while it is on show.
QString FilterHelp(FilterColumns shown = FilterColumns::kRecords);

// The language in full for the help window, as HTML: every kind of term with its examples, the
// column names and what a term that does not parse does.
QString FilterHelpHtml();
