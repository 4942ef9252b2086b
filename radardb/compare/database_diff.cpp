#include "radardb/compare/database_diff.h"

#include <algorithm>
#include <future>
#include <new>
#include <tuple>
#include <type_traits>

#include "radardb/records/record_content.h"

namespace radardb {

namespace {

struct HashedRow {
  std::uint64_t hash;
  std::uint32_t row;
};

struct PlacedRow {
  std::int32_t x, y, sc, dir;
  std::uint32_t row;
};

int ThreeWay(const auto& a, const auto& b) { return a < b ? -1 : (b < a ? 1 : 0); }

class Matcher {
 public:
  Matcher(const RecordTable& oldRows, const RecordTable& newRows)
      : old_(oldRows), new_(newRows), newOfOld_(oldRows.size(), kNoPartner) {
    diff_.newChanges.assign(newRows.size(), RecordChange::kAdded);
    diff_.oldPartners.assign(newRows.size(), kNoPartner);
  }

  // Both sides are sorted by content hash, each on its own thread. A hash held by one row on
  // each side makes a candidate pair, checked field by field afterwards in OLD row order: NEW rows
  // mostly follow the same order, so the check reads both tables nearly in sequence. Rows sharing
  // a hash on one side are sorted by content and paired exactly.
  void PairIdentical() {
    // std::async hands an exception of the other thread on, and waits for it before unwinding.
    std::future<std::vector<HashedRow>> oldSide =
        std::async(std::launch::async, [this] { return SortedByHash(old_); });
    const std::vector<HashedRow> news = SortedByHash(new_);
    const std::vector<HashedRow> olds = oldSide.get();

    const auto byContent = [](const RecordTable& ta, const HashedRow& a, const RecordTable& tb,
                              const HashedRow& b) {
      return CompareRecordContent(ta, a.row, tb, b.row);
    };
    std::vector<std::uint32_t> candidates(old_.size(), kNoPartner);
    std::size_t i = 0, j = 0;
    while (i < olds.size() && j < news.size()) {
      const std::uint64_t hash = olds[i].hash;
      if (hash != news[j].hash) {
        ++(hash < news[j].hash ? i : j);
        continue;
      }
      std::size_t oldEnd = i + 1, newEnd = j + 1;
      while (oldEnd < olds.size() && olds[oldEnd].hash == hash) ++oldEnd;
      while (newEnd < news.size() && news[newEnd].hash == hash) ++newEnd;
      if (oldEnd - i == 1 && newEnd - j == 1) {
        candidates[olds[i].row] = news[j].row;
      } else {
        PairEqual(std::vector<HashedRow>(olds.begin() + i, olds.begin() + oldEnd),
                  std::vector<HashedRow>(news.begin() + j, news.begin() + newEnd), byContent,
                  RecordChange::kUnchanged);
      }
      i = oldEnd;
      j = newEnd;
    }
    for (std::uint32_t row = 0; row < candidates.size(); ++row) {
      const std::uint32_t newRow = candidates[row];
      if (newRow != kNoPartner && CompareRecordContent(old_, row, new_, newRow) == 0) {
        Pair(row, newRow, RecordChange::kUnchanged);
      }
    }
  }

  void PairSamePosition() {
    const auto withDirection = [](const RecordTable&, const PlacedRow& a, const RecordTable&,
                                  const PlacedRow& b) {
      return ThreeWay(std::tie(a.x, a.y, a.sc, a.dir), std::tie(b.x, b.y, b.sc, b.dir));
    };
    const auto withoutDirection = [](const RecordTable&, const PlacedRow& a, const RecordTable&,
                                     const PlacedRow& b) {
      return ThreeWay(std::tie(a.x, a.y, a.sc), std::tie(b.x, b.y, b.sc));
    };
    PairEqual(Unpaired(old_, Placed, true), Unpaired(new_, Placed, false), withDirection,
              RecordChange::kChanged);
    PairEqual(Unpaired(old_, Placed, true), Unpaired(new_, Placed, false), withoutDirection,
              RecordChange::kChanged);
  }

  void PairNearby(int tolerance) {
    const auto rowOnly = [](const RecordTable&, std::uint32_t row) { return row; };
    NearbyRecords candidates(new_, Unpaired(new_, rowOnly, false), tolerance);
    NearbyRecords::Hint hint;
    for (const std::uint32_t oldRow : Unpaired(old_, rowOnly, true)) {
      NearbyRecords::Spot* best = nullptr;
      std::int64_t bestDistance = 0;
      std::uint32_t bestRow = 0;
      candidates.ForEachNear(
          old_.Int(oldRow, Column::kCoordX), old_.Int(oldRow, Column::kCoordY),
          old_.Int(oldRow, Column::kSc), old_.Int(oldRow, Column::kDir), hint,
          [&](NearbyRecords::Spot& spot, std::int64_t distance) {
            const std::uint32_t row = candidates.FirstMember(spot);
            if (best == nullptr || std::tie(distance, row) < std::tie(bestDistance, bestRow)) {
              best = &spot;
              bestDistance = distance;
              bestRow = row;
            }
          });
      if (candidates.Exhausted()) {
        diff_.status = Status::InvalidArgument(kTooCrowdedToCompare);
        return;
      }
      if (best == nullptr) continue;
      NearbyRecords::Take(*best);
      const bool same = SameFieldsBesidesPosition(old_, oldRow, new_, bestRow);
      Pair(oldRow, bestRow, same ? RecordChange::kMoved : RecordChange::kMovedChanged);
    }
  }

  DatabaseDiff Finish() {
    for (std::uint32_t row = 0; row < newOfOld_.size(); ++row) {
      if (newOfOld_[row] == kNoPartner) diff_.removed.push_back(row);
    }
    ChangeCounts& counts = diff_.counts;
    counts.removed = diff_.removed.size();
    for (const RecordChange change : diff_.newChanges) {
      switch (change) {
        case RecordChange::kUnchanged:
          ++counts.unchanged;
          break;
        case RecordChange::kChanged:
          ++counts.changed;
          break;
        case RecordChange::kMoved:
        case RecordChange::kMovedChanged:
          ++counts.moved;
          break;
        case RecordChange::kAdded:
          ++counts.added;
          break;
        case RecordChange::kRemoved:
          break;
      }
    }
    return std::move(diff_);
  }

 private:
  static std::vector<HashedRow> SortedByHash(const RecordTable& table) {
    std::vector<HashedRow> rows(table.size());
    for (std::uint32_t row = 0; row < rows.size(); ++row) {
      rows[row] = {RecordContentHash(table, row), row};
    }
    std::sort(rows.begin(), rows.end(), [](const HashedRow& a, const HashedRow& b) {
      return std::tie(a.hash, a.row) < std::tie(b.hash, b.row);
    });
    return rows;
  }

  static PlacedRow Placed(const RecordTable& table, std::uint32_t row) {
    return {table.Int(row, Column::kCoordX), table.Int(row, Column::kCoordY),
            table.Int(row, Column::kSc), table.Int(row, Column::kDir), row};
  }

  // make(table, row) for every row of `table` (OLD when `isOld`) without a partner, ascending.
  template <typename Make>
  std::vector<std::invoke_result_t<Make, const RecordTable&, std::uint32_t>> Unpaired(
      const RecordTable& table, Make make, bool isOld) const {
    std::vector<std::invoke_result_t<Make, const RecordTable&, std::uint32_t>> items;
    for (std::uint32_t row = 0; row < table.size(); ++row) {
      const bool paired =
          isOld ? newOfOld_[row] != kNoPartner : diff_.oldPartners[row] != kNoPartner;
      if (!paired) items.push_back(make(table, row));
    }
    return items;
  }

  // Pairs OLD and NEW items that `order` (three-way, across the tables) finds equal: each side is
  // sorted by (order, row), so within a run of equal items the lowest rows pair first.
  template <typename Item, typename Order>
  void PairEqual(std::vector<Item> olds, std::vector<Item> news, Order order, RecordChange change) {
    const auto sortSide = [&order](std::vector<Item>& items, const RecordTable& table) {
      std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        const int c = order(table, a, table, b);
        return c != 0 ? c < 0 : a.row < b.row;
      });
    };
    sortSide(olds, old_);
    sortSide(news, new_);
    std::size_t i = 0, j = 0;
    while (i < olds.size() && j < news.size()) {
      const int c = order(old_, olds[i], new_, news[j]);
      if (c < 0) {
        ++i;
      } else if (c > 0) {
        ++j;
      } else {
        Pair(olds[i++].row, news[j++].row, change);
      }
    }
  }

  void Pair(std::uint32_t oldRow, std::uint32_t newRow, RecordChange change) {
    newOfOld_[oldRow] = newRow;
    diff_.oldPartners[newRow] = oldRow;
    diff_.newChanges[newRow] = change;
  }

  const RecordTable& old_;
  const RecordTable& new_;
  std::vector<std::uint32_t> newOfOld_;
  DatabaseDiff diff_;
};

}  // namespace

std::string_view ChangeWord(RecordChange change) {
  switch (change) {
    case RecordChange::kUnchanged:
      return "";
    case RecordChange::kChanged:
      return "changed";
    case RecordChange::kMoved:
      return "moved";
    case RecordChange::kMovedChanged:
      return "moved+changed";
    case RecordChange::kAdded:
      return "added";
    case RecordChange::kRemoved:
      return "removed";
  }
  return "";
}

DatabaseDiff CompareDatabases(const RecordTable& oldRows, const RecordTable& newRows,
                              int tolerance) {
  DatabaseDiff diff;
  const Status status = platform::GuardMemory([&] {
    Matcher matcher(oldRows, newRows);
    matcher.PairIdentical();
    matcher.PairSamePosition();
    matcher.PairNearby(tolerance);
    diff = matcher.Finish();
    return diff.status;
  });
  if (!status.ok()) {
    diff = DatabaseDiff();
    diff.status = status;
  }
  return diff;
}

}  // namespace radardb
