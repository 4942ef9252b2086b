#include "app/record_table_model.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

using namespace radardb;

namespace {

struct Row {
  int value;         // goes into every integer column but "#"
  std::string text;  // goes into every text column
};

// A table whose "#" column numbers the rows from 0 in table order.
RecordTable MakeTable(const std::vector<Row>& rows) {
  RecordTable table;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    RecordTable::Ints ints;
    ints.fill(rows[i].value);
    ints[static_cast<int>(Column::kIndex)] = static_cast<std::int32_t>(i);
    table.Append(ints, rows[i].text, rows[i].text, rows[i].text);
  }
  return table;
}

// Applies `expression` as the filter and waits until the model shows its result.
void Filter(RecordTableModel& model, const QString& expression) {
  RecordFilter filter;
  QCOMPARE(RecordFilter::Parse(expression.toStdString(), filter).message(), std::string());
  model.SetFilter(std::move(filter));
  QTRY_VERIFY(!model.Filtering());
}

// The "#" of every shown row, top to bottom.
QList<int> ShownIndexes(const RecordTableModel& model) {
  QList<int> indexes;
  for (int row = 0; row < model.rowCount(); ++row) {
    indexes << model.data(model.index(row, static_cast<int>(Column::kIndex))).toInt();
  }
  return indexes;
}

}  // namespace

class RecordTableModelTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsCellsTyped_data();
  void ShowsCellsTyped();
  void HeadersAreTheColumnNames();
  void Sorts_data();
  void Sorts();
  void SortsTextsAlikeInTheirFirstBytes_data();
  void SortsTextsAlikeInTheirFirstBytes();
  void ConsecutiveSortsAreStable();
  void SortKeepsPersistentIndexesOnTheirRows();
  void SortAnnouncesLayoutChangeNotReset();
  void SetRowsResetsOrderInOneReset();
  void ExposesShownOrderForExport();
  void FilterAndSortCompose_data();
  void FilterAndSortCompose();
  void NewerFilterSupersedesOneRunning();
  void NewRowsKeepTheFilter();
  void NearOnLargeTablesFollowsTheRows();
  void PassesModelTester();
  void MillionRowsStayCompactAndSort();
};

void RecordTableModelTest::ShowsCellsTyped_data() {
  QTest::addColumn<int>("column");
  QTest::addColumn<QVariant>("shown");
  QTest::addColumn<int>("alignment");  // 0: the view's own, to the left
  const int right = Qt::AlignRight | Qt::AlignVCenter;
  QTest::newRow("integer column yields an int, not text, aligned right")
      << int(Column::kDir) << QVariant(-45) << right;
  QTest::newRow("text decoded from windows-1252 bytes, aligned left")
      << int(Column::kCity) << QVariant(QStringLiteral(u"\u00e9vry")) << 0;
  QTest::newRow("index column counts from 0") << int(Column::kIndex) << QVariant(0) << right;
}

void RecordTableModelTest::ShowsCellsTyped() {
  QFETCH(int, column);
  QFETCH(QVariant, shown);
  QFETCH(int, alignment);
  RecordTableModel model;
  model.SetRows(MakeTable({{-45, "\xe9vry"}}));
  const QVariant cell = model.data(model.index(0, column));
  QCOMPARE(cell.typeId(), shown.typeId());
  QCOMPARE(cell, shown);
  QCOMPARE(model.data(model.index(0, column), Qt::TextAlignmentRole).toInt(), alignment);
  // An edit starts from the cell's text, so typing gets a line editor for every column.
  QCOMPARE(model.data(model.index(0, column), Qt::EditRole), QVariant(shown.toString()));
}

void RecordTableModelTest::HeadersAreTheColumnNames() {
  RecordTableModel model;
  QStringList headers;
  for (int c = 0; c < model.columnCount(); ++c)
    headers << model.headerData(c, Qt::Horizontal).toString();
  QCOMPARE(headers, QStringList({"#", "CoordX", "CoordY", "SS", "MS", "LS", "X", "Y", "sc", "mph",
                                 "spd", "dir", "Speed", "Road", "City"}));
  QCOMPARE(model.headerData(0, Qt::Vertical), QVariant());
}

void RecordTableModelTest::Sorts_data() {
  QTest::addColumn<int>("column");
  QTest::addColumn<int>("order");
  QTest::addColumn<QList<int>>("shown");  // "#" of the rows top to bottom

  // Rows: #0 value 10 "b", #1 value -5 "a", #2 value 2 "\xc3\xa9", #3 value -40 "B", #4 value 2 "".
  QTest::newRow("integers by number, negatives first, not as text")
      << int(Column::kDir) << int(Qt::AscendingOrder) << QList<int>{3, 1, 2, 4, 0};
  QTest::newRow("integers descending, equal keys keep their current order")
      << int(Column::kX) << int(Qt::DescendingOrder) << QList<int>{0, 2, 4, 1, 3};
  QTest::newRow("texts by unsigned bytes: empty, upper case, lower case, then above 0x7f")
      << int(Column::kRoad) << int(Qt::AscendingOrder) << QList<int>{4, 3, 1, 0, 2};
  QTest::newRow("texts descending put bytes above 0x7f first")
      << int(Column::kCity) << int(Qt::DescendingOrder) << QList<int>{2, 0, 1, 3, 4};
  QTest::newRow("column -1 restores the table order")
      << -1 << int(Qt::AscendingOrder) << QList<int>{0, 1, 2, 3, 4};
}

void RecordTableModelTest::Sorts() {
  QFETCH(int, column);
  QFETCH(int, order);
  QFETCH(QList<int>, shown);
  RecordTableModel model;
  model.SetRows(MakeTable({{10, "b"}, {-5, "a"}, {2, "\xc3\xa9"}, {-40, "B"}, {2, ""}}));
  model.sort(int(Column::kSpeed), Qt::DescendingOrder);  // a prior order the sort must replace
  model.sort(column, static_cast<Qt::SortOrder>(order));
  QCOMPARE(ShownIndexes(model), shown);
}

void RecordTableModelTest::SortsTextsAlikeInTheirFirstBytes_data() {
  QTest::addColumn<int>("order");
  QTest::addColumn<QList<int>>("shown");
  // Rows: #0 "Route de Lyon", #1 "Route de", #2 "Route de Lyo\xe9", #3 "Route de Lyon 2",
  // #4 "Route deA", #5 "Route de Lyon" again. All share their first eight bytes.
  QTest::newRow("ascending: prefix first, 0xe9 after 'n', equal texts in table order")
      << int(Qt::AscendingOrder) << QList<int>{1, 0, 5, 3, 2, 4};
  QTest::newRow("descending: reversed, equal texts still in table order")
      << int(Qt::DescendingOrder) << QList<int>{4, 2, 3, 0, 5, 1};
}

void RecordTableModelTest::SortsTextsAlikeInTheirFirstBytes() {
  QFETCH(int, order);
  QFETCH(QList<int>, shown);
  RecordTableModel model;
  model.SetRows(MakeTable({{0, "Route de Lyon"},
                           {0, "Route de"},
                           {0, "Route de Lyo\xe9"},
                           {0, "Route de Lyon 2"},
                           {0, "Route deA"},
                           {0, "Route de Lyon"}}));
  model.sort(int(Column::kRoad), static_cast<Qt::SortOrder>(order));
  QCOMPARE(ShownIndexes(model), shown);
}

void RecordTableModelTest::ConsecutiveSortsAreStable() {
  RecordTableModel model;
  model.SetRows(MakeTable({{2, "x"}, {1, "y"}, {2, "y"}, {1, "x"}}));
  model.sort(int(Column::kDir), Qt::AscendingOrder);
  model.sort(int(Column::kRoad), Qt::AscendingOrder);
  // Sorted by Road, and within equal roads still by dir from the first sort.
  QCOMPARE(ShownIndexes(model), QList<int>({3, 0, 1, 2}));
}

void RecordTableModelTest::SortKeepsPersistentIndexesOnTheirRows() {
  RecordTableModel model;
  model.SetRows(MakeTable({{30, "c"}, {10, "a"}, {20, "b"}}));
  const QPersistentModelIndex first(model.index(0, int(Column::kRoad)));
  const QPersistentModelIndex last(model.index(2, int(Column::kCity)));
  model.sort(int(Column::kDir), Qt::AscendingOrder);
  QCOMPARE(first.row(), 2);
  QCOMPARE(first.column(), int(Column::kRoad));
  QCOMPARE(first.data().toString(), QStringLiteral("c"));
  QCOMPARE(last.row(), 1);
  QCOMPARE(last.data().toString(), QStringLiteral("b"));
  model.sort(-1, Qt::AscendingOrder);  // back to the table's own order
  QCOMPARE(first.row(), 0);
  QCOMPARE(first.data().toString(), QStringLiteral("c"));
  QCOMPARE(last.row(), 2);
  QCOMPARE(last.data().toString(), QStringLiteral("b"));
}

void RecordTableModelTest::SortAnnouncesLayoutChangeNotReset() {
  RecordTableModel model;
  model.SetRows(MakeTable({{2, "b"}, {1, "a"}}));
  QSignalSpy aboutToChange(&model, &QAbstractItemModel::layoutAboutToBeChanged);
  QSignalSpy changed(&model, &QAbstractItemModel::layoutChanged);
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  model.sort(int(Column::kSS), Qt::AscendingOrder);
  QCOMPARE(aboutToChange.count(), 1);
  QCOMPARE(changed.count(), 1);
  QCOMPARE(reset.count(), 0);
  QCOMPARE(changed.first().at(1).value<QAbstractItemModel::LayoutChangeHint>(),
           QAbstractItemModel::VerticalSortHint);
}

void RecordTableModelTest::SetRowsResetsOrderInOneReset() {
  RecordTableModel model;
  model.SetRows(MakeTable({{2, "b"}, {1, "a"}, {3, "c"}}));
  model.sort(int(Column::kY), Qt::DescendingOrder);
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  model.SetRows(MakeTable({{5, "e"}, {4, "d"}}));
  QCOMPARE(reset.count(), 1);
  QCOMPARE(inserted.count(), 0);
  QCOMPARE(ShownIndexes(model), QList<int>({0, 1}));
  QCOMPARE(model.data(model.index(1, int(Column::kSpeed))).toString(), QStringLiteral("d"));
}

void RecordTableModelTest::ExposesShownOrderForExport() {
  RecordTableModel model;
  model.SetRows(MakeTable({{2, "b"}, {1, "a"}, {3, "c"}}));
  QCOMPARE(model.Order(), RowOrder({0, 1, 2}));
  model.sort(int(Column::kCity), Qt::DescendingOrder);
  QCOMPARE(model.Order(), RowOrder({2, 0, 1}));
  QCOMPARE(model.Rows().Text(model.Order().front(), Column::kCity), std::string_view("c"));
}

void RecordTableModelTest::FilterAndSortCompose_data() {
  QTest::addColumn<QStringList>("steps");  // "filter EXPRESSION", or "sort COLUMN a|d"
  QTest::addColumn<QList<int>>("shown");   // "#" of the rows top to bottom

  // Rows: #0 dir 10 "b", #1 dir -5 "a", #2 dir 2 "c", #3 dir -40 "B", #4 dir 2 "".
  QTest::newRow("filter loses the sort")
      << QStringList{"sort 11 d", "filter dir<5"} << QList<int>{2, 4, 1, 3};
  QTest::newRow("sort while filtered not applied to the rows shown")
      << QStringList{"filter dir<5", "sort 13 a"} << QList<int>{4, 3, 1, 2};
  QTest::newRow("sort while filtered lost when the filter changes")
      << QStringList{"filter dir<5", "sort 13 a", "filter dir<=10"} << QList<int>{4, 3, 1, 0, 2};
  QTest::newRow("sort while filtered lost when the filter is cleared")
      << QStringList{"filter dir<5", "sort 13 d", "filter "} << QList<int>{2, 0, 1, 3, 4};
  QTest::newRow("earlier sort forgotten as tie order while filtered")
      << QStringList{"sort 13 a", "filter dir>-10", "sort 11 a"} << QList<int>{1, 4, 2, 0};
  QTest::newRow("table order not restored while filtered")
      << QStringList{"sort 11 a", "filter dir>-10", "sort -1 a", "filter "}
      << QList<int>{0, 1, 2, 3, 4};
}

void RecordTableModelTest::FilterAndSortCompose() {
  QFETCH(QStringList, steps);
  QFETCH(QList<int>, shown);
  RecordTableModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
  model.SetRows(MakeTable({{10, "b"}, {-5, "a"}, {2, "c"}, {-40, "B"}, {2, ""}}));
  for (const QString& step : steps) {
    const QString argument = step.section(QLatin1Char(' '), 1);
    if (step.startsWith(QLatin1String("filter"))) {
      Filter(model, argument);
    } else {
      model.sort(argument.section(QLatin1Char(' '), 0, 0).toInt(),
                 argument.endsWith(QLatin1Char('a')) ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
  }
  QCOMPARE(ShownIndexes(model), shown);
  QCOMPARE(model.Order(), RowOrder(shown.begin(), shown.end()));
}

void RecordTableModelTest::NewerFilterSupersedesOneRunning() {
  RecordTableModel model;
  model.SetRows(MakeTable({{1, "a"}, {2, "b"}, {3, "a"}}));
  QSignalSpy changed(&model, &RecordTableModel::ShownRowsChanged);
  RecordFilter first, second;
  QVERIFY(RecordFilter::Parse("a", first).ok());
  QVERIFY(RecordFilter::Parse("dir>=2", second).ok());
  model.SetFilter(std::move(first));
  QVERIFY(model.Filtering());
  model.SetFilter(std::move(second));
  QTRY_VERIFY(!model.Filtering());
  QCOMPARE(ShownIndexes(model), QList<int>({1, 2}));
  QCoreApplication::processEvents();
  QCOMPARE(changed.count(), 1);  // the first filter's rows never showed
  QVERIFY(model.Filtered());
  QCOMPARE(model.TotalRows(), std::size_t{3});
}

void RecordTableModelTest::NewRowsKeepTheFilter() {
  RecordTableModel model;
  model.SetRows(MakeTable({{1, "a"}}));
  Filter(model, "road:b");
  QCOMPARE(model.rowCount(), 0);
  model.SetRows(MakeTable({{1, "b"}, {2, "a"}, {3, "abc"}}));
  QCOMPARE(ShownIndexes(model), QList<int>({0, 2}));
  Filter(model, "");
  QCOMPARE(ShownIndexes(model), QList<int>({0, 1, 2}));
  QVERIFY(!model.Filtered());
}

// Past kIndexedRows rows the position index answers near:; it must give the scan's rows in the
// order shown, and be dropped with the rows it indexed.
void RecordTableModelTest::NearOnLargeTablesFollowsTheRows() {
  const auto diagonal = [](std::int32_t offset) {
    std::vector<Row> rows;
    for (std::size_t i = 0; i < RecordTableModel::kIndexedRows + 10; ++i) {
      rows.push_back({static_cast<std::int32_t>(i) + offset, ""});  // at (i + offset, i + offset)
    }
    return MakeTable(rows);
  };
  RecordTableModel model;
  model.SetRows(diagonal(0));
  model.sort(int(Column::kIndex), Qt::DescendingOrder);
  // (i - 100) * sqrt(2) <= 10 for i from 93 to 107.
  Filter(model, "near:100,100,10");
  QList<int> expected;
  for (int i = 107; i >= 93; --i) expected << i;
  QCOMPARE(ShownIndexes(model), expected);
  model.SetRows(diagonal(50));
  // The new rows lie 50 further along: 43 to 57, in the table's own order again.
  expected.clear();
  for (int i = 43; i <= 57; ++i) expected << i;
  QCOMPARE(ShownIndexes(model), expected);
  Filter(model, "near:100,100,10 #<50");
  QCOMPARE(ShownIndexes(model), QList<int>({43, 44, 45, 46, 47, 48, 49}));
}

void RecordTableModelTest::PassesModelTester() {
  RecordTableModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
  model.SetRows(MakeTable({{2, "b"}, {1, "a"}, {3, "\xff"}}));
  model.sort(int(Column::kRoad), Qt::DescendingOrder);
  model.SetRows(RecordTable());
}

void RecordTableModelTest::MillionRowsStayCompactAndSort() {
  constexpr std::size_t kRows = 1'000'000;
  // Speed, road and city as long as in a typical database line: 2 + 20 + 8 bytes.
  constexpr std::size_t kTextBytes = 30;
  // Measured: 64-byte row record (twelve ints, text offset, three lengths), 4-byte order entry
  // and the texts themselves; nothing per cell.
  constexpr std::size_t kMaxBytesPerRow = 64 + 4 + kTextBytes;

  RecordTable table;
  table.Reserve(kRows, kRows * kTextBytes);
  RecordTable::Ints ints{};
  std::string road = "Route nationale 0000";
  for (std::size_t i = 0; i < kRows; ++i) {
    ints[static_cast<int>(Column::kIndex)] = static_cast<std::int32_t>(i);
    // Roads in a scrambled order, so the sort has work to do.
    std::size_t key = (i * 7919) % 10000;
    for (std::size_t d = 1; d <= 4; ++d, key /= 10) road[road.size() - d] = char('0' + key % 10);
    table.Append(ints, "50", road, "Ville 42");
  }
  RecordTableModel model;
  model.SetRows(std::move(table));
  QCOMPARE(model.rowCount(), int(kRows));
  QVERIFY2(model.MemoryBytes() / kRows <= kMaxBytesPerRow,
           qPrintable(QStringLiteral("%1 bytes per row").arg(model.MemoryBytes() / kRows)));

  model.sort(int(Column::kRoad), Qt::AscendingOrder);
  const RowOrder& order = model.Order();
  for (std::size_t i = 1; i < kRows; ++i) {
    const std::string_view before = model.Rows().Text(order[i - 1], Column::kRoad);
    const std::string_view after = model.Rows().Text(order[i], Column::kRoad);
    QVERIFY(before < after || (before == after && order[i - 1] < order[i]));
  }
}

QTEST_GUILESS_MAIN(RecordTableModelTest)
#include "record_table_model_test.moc"
