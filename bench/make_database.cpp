// Writes a synthetic radar database: N records of 241 bytes, big-endian, with plausible grid
// positions, packed fields and short texts from small vocabularies. The same N and seed always
// give the same bytes, so benchmark runs compare like with like.
//
// usage: make_database RECORDS OUTPUT [SEED]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "radardb/radar_record.h"

namespace {

constexpr std::uint32_t kDefaultSeed = 20120902;
// The grid: LS spans 28 x 28 large squares, each split 16 x 16 (MS) and again 16 x 16 (SS).
constexpr std::uint32_t kLargeSquaresPerSide = 28;
constexpr std::uint32_t kPositionRange = 1000;
constexpr std::uint32_t kDirectionMax = 6284;  // thousandths of a radian in a turn

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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: make_database RECORDS OUTPUT [SEED]\n");
    return 2;
  }
  const unsigned long records = std::strtoul(argv[1], nullptr, 10);
  const std::uint32_t seed =
      argc == 4 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : kDefaultSeed;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(argv[2], "wb"), std::fclose);
  if (!out) {
    std::fprintf(stderr, "make_database: cannot create %s\n", argv[2]);
    return 1;
  }
  std::mt19937 rng(seed);
  std::vector<unsigned char> record(kRadarRecordSize);
  for (unsigned long i = 0; i < records; ++i) {
    MakeRecord(rng, static_cast<std::uint32_t>(i), record.data());
    if (std::fwrite(record.data(), 1, record.size(), out.get()) != record.size()) {
      std::fprintf(stderr, "make_database: cannot write %s\n", argv[2]);
      return 1;
    }
  }
  if (std::fclose(out.release()) != 0) {
    std::fprintf(stderr, "make_database: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
