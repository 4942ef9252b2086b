// Writes a synthetic radar database: N records of 241 bytes, big-endian, with plausible grid
// positions, packed fields and short texts from small vocabularies. The same N and seed always
// give the same bytes, so benchmark runs compare like with like.
//
// With --changed it writes a pair of releases for the comparison: OLD (the same bytes as the
// first form writes) and NEW, in which one record in a hundred differs: a quarter each removed,
// added, moved (a few grid units, every other field kept) and changed (another speed limit). It
// also writes EXPECTED, the differences a comparison must find, one "status,old_index,new_index"
// line each, in the order of the diff's CSV: NEW's records in NEW order, then the removed ones.
//
// usage: make_database RECORDS OUTPUT [SEED]
//        make_database --changed RECORDS OLD NEW EXPECTED [SEED]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "radardb/records/radar_record.h"

using namespace radardb;

namespace {

constexpr std::uint32_t kDefaultSeed = 20120902;
// The grid: LS spans 28 x 28 large squares, each split 16 x 16 (MS) and again 16 x 16 (SS).
constexpr std::uint32_t kLargeSquaresPerSide = 28;
constexpr std::uint32_t kPositionRange = 1000;
constexpr std::uint32_t kDirectionMax = 6284;  // thousandths of a radian in a turn

// Of every kChangeCycle records one is removed, one moved, one changed and one followed by an
// added record: one in a hundred differs.
constexpr std::uint32_t kChangeCycle = 400;
enum Change : std::uint32_t { kRemove, kMove, kChange, kAdd };
// A move shifts X and Y by at most this much, well within the comparison's default tolerance.
constexpr int kMaxShift = 10;
// Added records take categories the generated releases never use, so that no added record can
// pass for a moved one.
constexpr std::uint32_t kAddedCategoryBase = 8;
constexpr std::uint32_t kCategoryMask = 31;
constexpr std::uint32_t kSpeedMask = 255;
constexpr std::uint32_t kSpeedStep = 10;
constexpr std::uint32_t kTopSpeed = 130;

const char* const kSpeeds[] = {"30",     "50",     "50 km/h",   "70",     "80",
                               "90",     "110",    "130",       "30 mph", "40 mph",
                               "60 mph", "70 mph", "Feu rouge", "Tunnel"};
const char* const kRoadPrefixes[] = {"A", "N", "D", "M", "B", "E"};
const char* const kStreets[] = {"Rue de la Gare",    "Avenue du General Leclerc",
                                "High Street",       "Hauptstrasse",
                                "Route Nationale",   "Boulevard Voltaire",
                                "Via Roma",          "Station Road",
                                "Chemin des Vignes", "Ring Road"};
const char* const kCities[] = {"Paris",
                               "Lyon",
                               "Marseille",
                               "Toulouse",
                               "Lille",
                               "Nantes",
                               "Strasbourg",
                               "Bordeaux",
                               "Rennes",
                               "Reims",
                               "Le Havre",
                               "Saint-Etienne",
                               "Toulon",
                               "Grenoble",
                               "Dijon",
                               "Angers",
                               "Nimes",
                               "Villeurbanne",
                               "Clermont-Ferrand",
                               "Aix-en-Provence",
                               "Brest",
                               "Limoges",
                               "Tours",
                               "Amiens",
                               "Perpignan",
                               "Metz",
                               "Besancon",
                               "Orleans",
                               "Rouen",
                               "Mulhouse",
                               "Caen",
                               "Nancy"};

template <typename T, std::size_t N>
const char* Pick(std::mt19937& rng, const T (&items)[N]) {
  return items[rng() % N];
}

void PutBig16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 8);
  p[1] = static_cast<unsigned char>(v);
}

void PutBig32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

void PutText(unsigned char* field, std::size_t size, const std::string& text) {
  std::memcpy(field, text.data(), text.size() < size - 1 ? text.size() : size - 1);
}

void MakeRecord(std::mt19937& rng, std::uint32_t index, unsigned char* r) {
  std::memset(r, 0, kRadarRecordSize);
  // Records of one area come together, as a database sorted by position would have them.
  const std::uint32_t area = index / 64;
  r[0] = static_cast<unsigned char>(rng() % 256);
  r[1] = static_cast<unsigned char>(area * 37 % 256);
  PutBig16(r + 2, area % (kLargeSquaresPerSide * kLargeSquaresPerSide));
  PutBig16(r + 4, rng() % kPositionRange);
  PutBig16(r + 6, rng() % kPositionRange);
  const std::uint32_t category = rng() % 8;
  const std::uint32_t mph = rng() % 10 == 0 ? 1 : 0;
  const std::uint32_t speed = 30 + 10 * (rng() % 11);
  const std::uint32_t direction = rng() % 20 == 0 ? kFullCircleDirection : rng() % kDirectionMax;
  PutBig32(r + 8, (direction << kDirectionShift) | (speed << 11) | (mph << 10) | (category << 5));
  std::size_t at = 12;
  PutText(r + at, kSpeedFieldSize, Pick(rng, kSpeeds));
  at += kSpeedFieldSize;
  std::string road = Pick(rng, kRoadPrefixes) + std::to_string(1 + rng() % 120);
  if (rng() % 3 == 0) road = Pick(rng, kStreets);
  PutText(r + at, kRoadFieldSize, road);
  at += kRoadFieldSize;
  PutText(r + at, kCityFieldSize, kCities[(area + rng() % 2) % std::size(kCities)]);
}

std::uint32_t GetBig16(const unsigned char* p) { return std::uint32_t{p[0]} << 8 | p[1]; }

std::uint32_t GetBig32(const unsigned char* p) { return GetBig16(p) << 16 | GetBig16(p + 2); }

// Shifts a position inside the square by 1 to kMaxShift units, away from the square's edge.
void Shift(unsigned char* field, std::mt19937& rng) {
  const int value = static_cast<int>(GetBig16(field));
  const int step = 1 + static_cast<int>(rng() % kMaxShift);
  PutBig16(field, value + step < static_cast<int>(kPositionRange) ? value + step : value - step);
}

// Another speed limit for the record, the next step up (the top one wraps to the lowest).
void ChangeSpeed(unsigned char* r) {
  std::uint32_t packed = GetBig32(r + 8);
  const std::uint32_t speed = packed >> kSpeedShift & kSpeedMask;
  const std::uint32_t changed = speed >= kTopSpeed ? 30 : speed + kSpeedStep;
  packed = (packed & ~(kSpeedMask << kSpeedShift)) | changed << kSpeedShift;
  PutBig32(r + 8, packed);
}

void SetCategory(unsigned char* r, std::uint32_t category) {
  const std::uint32_t packed = GetBig32(r + 8);
  PutBig32(r + 8, (packed & ~(kCategoryMask << kSubcatShift)) | category << kSubcatShift);
}

// A file written whole or reported; closed on every path.
class Output {
 public:
  explicit Output(const char* path) : path_(path), file_(std::fopen(path, "wb"), std::fclose) {}
  bool Opened() const { return file_ != nullptr; }
  bool Write(const void* data, std::size_t size) {
    return std::fwrite(data, 1, size, file_.get()) == size;
  }
  bool Close() { return std::fclose(file_.release()) == 0; }
  const char* path() const { return path_; }

 private:
  const char* path_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
};

int Fail(const char* what, const char* path) {
  std::fprintf(stderr, "make_database: cannot %s %s\n", what, path);
  return 1;
}

int WriteDatabase(unsigned long records, std::uint32_t seed, Output& out) {
  std::mt19937 rng(seed);
  std::vector<unsigned char> record(kRadarRecordSize);
  for (unsigned long i = 0; i < records; ++i) {
    MakeRecord(rng, static_cast<std::uint32_t>(i), record.data());
    if (!out.Write(record.data(), record.size())) return Fail("write", out.path());
  }
  return out.Close() ? 0 : Fail("write", out.path());
}

int WriteChangedPair(unsigned long records, std::uint32_t seed, Output& oldOut, Output& newOut,
                     Output& expectedOut) {
  std::mt19937 rng(seed);
  std::mt19937 changes(seed + 1);
  std::vector<unsigned char> record(kRadarRecordSize);
  std::vector<unsigned char> added(kRadarRecordSize);
  std::string expected, removed;
  std::uint32_t newIndex = 0;
  bool written = true;
  for (std::uint32_t i = 0; i < records && written; ++i) {
    MakeRecord(rng, i, record.data());
    written = oldOut.Write(record.data(), record.size());
    const std::uint32_t change = changes() % kChangeCycle;
    if (change == kRemove) {
      removed += "removed," + std::to_string(i) + ",\n";
      continue;
    }
    const std::string pair = std::to_string(i) + "," + std::to_string(newIndex) + "\n";
    if (change == kMove) {
      Shift(record.data() + 4, changes);
      Shift(record.data() + 6, changes);
      expected += "moved," + pair;
    } else if (change == kChange) {
      ChangeSpeed(record.data());
      expected += "changed," + pair;
    }
    written = written && newOut.Write(record.data(), record.size());
    ++newIndex;
    if (change == kAdd) {
      MakeRecord(changes, i, added.data());
      SetCategory(added.data(), kAddedCategoryBase + changes() % kAddedCategoryBase);
      written = written && newOut.Write(added.data(), added.size());
      expected += "added,," + std::to_string(newIndex++) + "\n";
    }
  }
  expected += removed;
  if (!written || !oldOut.Close() || !newOut.Close()) return Fail("write", "the databases");
  if (!expectedOut.Write(expected.data(), expected.size()) || !expectedOut.Close()) {
    return Fail("write", expectedOut.path());
  }
  return 0;
}

std::uint32_t SeedFrom(int argc, char** argv, int at) {
  return argc > at ? static_cast<std::uint32_t>(std::strtoul(argv[at], nullptr, 10)) : kDefaultSeed;
}

}  // namespace

int main(int argc, char** argv) {
  const bool changed = argc > 1 && std::strcmp(argv[1], "--changed") == 0;
  if (changed ? (argc != 6 && argc != 7) : (argc != 3 && argc != 4)) {
    std::fprintf(stderr,
                 "usage: make_database RECORDS OUTPUT [SEED]\n"
                 "       make_database --changed RECORDS OLD NEW EXPECTED [SEED]\n");
    return 2;
  }
  const int first = changed ? 2 : 1;
  const unsigned long records = std::strtoul(argv[first], nullptr, 10);
  const int outputs = changed ? 3 : 1;
  const std::uint32_t seed = SeedFrom(argc, argv, first + 1 + outputs);
  Output out(argv[first + 1]);
  if (!out.Opened()) return Fail("create", argv[first + 1]);
  if (!changed) return WriteDatabase(records, seed, out);
  Output newOut(argv[first + 2]);
  Output expected(argv[first + 3]);
  if (!newOut.Opened()) return Fail("create", argv[first + 2]);
  if (!expected.Opened()) return Fail("create", argv[first + 3]);
  return WriteChangedPair(records, seed, out, newOut, expected);
}
