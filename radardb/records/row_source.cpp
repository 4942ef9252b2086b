#include "radardb/records/row_source.h"

namespace radardb {

namespace {

using Kind = RowField::Kind;

constexpr RowField kRecordFields[] = {
    {"#", Kind::kInteger, static_cast<int>(Column::kIndex), false},
    {"CoordX", Kind::kInteger, static_cast<int>(Column::kCoordX), false},
    {"CoordY", Kind::kInteger, static_cast<int>(Column::kCoordY), false},
    {"SS", Kind::kInteger, static_cast<int>(Column::kSS), false},
    {"MS", Kind::kInteger, static_cast<int>(Column::kMS), false},
    {"LS", Kind::kInteger, static_cast<int>(Column::kLS), false},
    {"X", Kind::kInteger, static_cast<int>(Column::kX), false},
    {"Y", Kind::kInteger, static_cast<int>(Column::kY), false},
    {"sc", Kind::kInteger, static_cast<int>(Column::kSc), false},
    {"mph", Kind::kInteger, static_cast<int>(Column::kMph), false},
    {"spd", Kind::kInteger, static_cast<int>(Column::kSpd), false},
    {"dir", Kind::kInteger, static_cast<int>(Column::kDir), false},
    {"Speed", Kind::kText, static_cast<int>(Column::kSpeed), true},
    {"Road", Kind::kText, static_cast<int>(Column::kRoad), true},
    {"City", Kind::kText, static_cast<int>(Column::kCity), true},
};

}  // namespace

std::span<const RowField> RecordFields() { return kRecordFields; }

}  // namespace radardb
