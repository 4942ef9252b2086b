// Writes the seed corpus of the archive fuzz target into DIR: archives made by the writer from
// varied data and block sizes, and copies of them with one byte changed or the end cut off.
// Checks on the way that every unchanged archive expands back to its data (exit status 1 if not).
//
// usage: lzw_fuzz_seeds DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "radardb/archive/lzw_expand.h"
#include "radardb/archive/lzw_io.h"
#include "radardb/archive/lzw_writer.h"

using namespace radardb;

namespace {

constexpr std::uint32_t kSeed = 929;
constexpr int kDamagedCopiesPerArchive = 40;

struct SeedData {
  std::string data;
  std::size_t blockSize;
};

std::vector<SeedData> SeedInputs() {
  std::mt19937 rng(kSeed);
  auto randomBytes = [&](std::size_t n, unsigned alphabet) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s.push_back(static_cast<char>(rng() % alphabet));
    return s;
  };
  std::string text;
  while (text.size() < 3000) text += "Rue de la Gare 50 km/h Lyon; A7 110 Valence; ";
  return {
      {"", 64},
      {"A", 64},
      {"ABABABAB", 3},
      {std::string(2000, '\0'), 700},
      {std::string(5000, 'z'), 5000},
      {text, 1024},
      {text, 97},
      {randomBytes(1500, 256), 1500},
      {randomBytes(3000, 4), 3000},
      {randomBytes(2500, 16), 800},
  };
}

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lzw_fuzz_seeds DIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::mt19937 rng(kSeed);
  int index = 0;
  for (const SeedData& seed : SeedInputs()) {
    const std::string archive = CompressLzw(seed.data, seed.blockSize);
    std::string expanded;
    LzwStringSink sink(expanded);
    if (!ExpandLzwBytes(archive, sink).ok() || expanded != seed.data) {
      std::fprintf(stderr, "lzw_fuzz_seeds: archive %d does not expand back to its data\n", index);
      return 1;
    }
    std::vector<std::string> variants = {archive, archive.substr(0, archive.size() / 2)};
    for (int i = 0; i < kDamagedCopiesPerArchive; ++i) {
      std::string damaged = archive;
      damaged[rng() % damaged.size()] = static_cast<char>(rng() % 256);
      variants.push_back(damaged);
    }
    for (std::size_t v = 0; v < variants.size(); ++v) {
      const auto name = "seed-" + std::to_string(index) + "-" + std::to_string(v) + ".lzw";
      if (!WriteFile(dir / name, variants[v])) {
        std::fprintf(stderr, "lzw_fuzz_seeds: cannot write %s\n", (dir / name).c_str());
        return 1;
      }
    }
    ++index;
  }
  return 0;
}
