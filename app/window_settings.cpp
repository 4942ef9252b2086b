#include "app/window_settings.h"

#include <QHeaderView>
#include <QSettings>
#include <algorithm>
#include <optional>
#include <vector>

#include "app/kestrolan.h"
#include "app/map_window.h"

using namespace radardb;

namespace {

// Bumped when the dock layout changes shape, so an old state is not applied to it.
constexpr int kDockStateVersion = 1;
constexpr int kWidestColumnPx = 4000;

constexpr char kGeometry[] = "window/geometry";
constexpr char kDockState[] = "window/state";
constexpr char kColumnOrder[] = "columns/order";
constexpr char kColumnWidths[] = "columns/widths";
constexpr char kHiddenColumns[] = "columns/hidden";
constexpr char kRecentFiles[] = "recent/files";

QString Key(const char* key) { return QString::fromLatin1(key); }

QString Joined(const std::vector<int>& values) {
  QStringList texts;
  for (const int value : values) texts << QString::number(value);
  return texts.join(u',');
}

// The whole numbers of a list written by Joined, each within [low, high]; nothing when any is not.
std::optional<std::vector<int>> Numbers(const QVariant& value, int low, int high) {
  std::vector<int> numbers;
  const QString text = value.toString();
  if (text.isEmpty()) return numbers;
  for (const QString& item : text.split(u',')) {
    bool ok = false;
    const int number = item.trimmed().toInt(&ok);
    if (!ok || number < low || number > high) return std::nullopt;
    numbers.push_back(number);
  }
  return numbers;
}

void SaveColumns(const QHeaderView& header, QSettings& settings) {
  std::vector<int> order;
  std::vector<int> widths;
  std::vector<int> hidden;
  for (int visual = 0; visual < header.count(); ++visual) {
    const int column = header.logicalIndex(visual);
    if (column < kColumnCount) order.push_back(column);
  }
  for (int column = 0; column < kColumnCount; ++column) {
    // A hidden column has no width of its own to keep: 0 leaves it its first.
    widths.push_back(header.isSectionHidden(column) ? 0 : header.sectionSize(column));
    if (header.isSectionHidden(column)) hidden.push_back(column);
  }
  settings.setValue(Key(kColumnOrder), Joined(order));
  settings.setValue(Key(kColumnWidths), Joined(widths));
  settings.setValue(Key(kHiddenColumns), Joined(hidden));
}

void RestoreColumns(QHeaderView& header, const QSettings& settings) {
  const auto order = Numbers(settings.value(Key(kColumnOrder)), 0, kColumnCount - 1);
  std::vector<int> sorted = order.value_or(std::vector<int>());
  std::sort(sorted.begin(), sorted.end());
  if (sorted.size() == kColumnCount &&
      std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) {
    for (int visual = 0; visual < kColumnCount; ++visual) {
      header.moveSection(header.visualIndex((*order)[visual]), visual);
    }
  }
  const auto widths = Numbers(settings.value(Key(kColumnWidths)), 0, kWidestColumnPx);
  if (widths && widths->size() == kColumnCount) {
    for (int column = 0; column < kColumnCount; ++column) {
      const int width = (*widths)[column];
      if (width >= header.minimumSectionSize()) header.resizeSection(column, width);
    }
  }
  const auto hidden = Numbers(settings.value(Key(kHiddenColumns)), 0, kColumnCount - 1);
  // At least one column stays in sight.
  if (hidden && hidden->size() < kColumnCount) {
    for (const int column : *hidden) header.setSectionHidden(column, true);
  }
}

QString SelectorKey(const char* name, const char* part) {
  return QStringLiteral("dialogs/%1/%2").arg(QLatin1String(name), QLatin1String(part));
}

void SaveSelector(const FileSelector& selector, const char* name, QSettings& settings) {
  settings.setValue(SelectorKey(name, "folder"), selector.directory);
  settings.setValue(SelectorKey(name, "file"), selector.file);
  settings.setValue(SelectorKey(name, "type"), selector.type);
}

void RestoreSelector(FileSelector& selector, const char* name, const QSettings& settings) {
  const auto restore = [&settings, name](const char* part, QString& value) {
    if (settings.contains(SelectorKey(name, part))) {
      value = settings.value(SelectorKey(name, part)).toString();
    }
  };
  restore("folder", selector.directory);
  restore("file", selector.file);
  const QString type = settings.value(SelectorKey(name, "type")).toString();
  const bool offered = std::any_of(selector.types.begin(), selector.types.end(),
                                   [&type](const FileType& known) { return known.name == type; });
  if (offered) selector.type = type;
}

// Each file dialog by the name it is kept under.
template <typename Window, typename Visit>
void ForEachSelector(Window& window, Visit&& visit) {
  visit(window.fsRadar, "radar");
  visit(window.fsCsv, "csv");
  visit(window.fsCompare, "compare");
  visit(window.Map().fsPng, "png");
}

}  // namespace

void SaveWindowSettings(const Kestrolan& window, QSettings& settings) {
  settings.setValue(Key(kGeometry), window.saveGeometry());
  settings.setValue(Key(kDockState), window.saveState(kDockStateVersion));
  SaveColumns(*window.acList->horizontalHeader(), settings);
  ForEachSelector(window, [&settings](const FileSelector& selector, const char* name) {
    SaveSelector(selector, name, settings);
  });
  settings.setValue(Key(kRecentFiles), window.RecentFiles());
}

void RestoreWindowSettings(Kestrolan& window, QSettings& settings) {
  window.restoreGeometry(settings.value(Key(kGeometry)).toByteArray());
  window.restoreState(settings.value(Key(kDockState)).toByteArray(), kDockStateVersion);
  RestoreColumns(*window.acList->horizontalHeader(), settings);
  ForEachSelector(window, [&settings](FileSelector& selector, const char* name) {
    RestoreSelector(selector, name, settings);
  });
  window.SetRecentFiles(settings.value(Key(kRecentFiles)).toStringList());
}
