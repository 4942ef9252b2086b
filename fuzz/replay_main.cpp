// Runs the fuzz target once over each file named on the command line, and over each file in a
// folder named there, for builds without libFuzzer (the seed corpus under CTest). With
// "--mutations N" first, it also runs N damaged copies of each input (bytes changed, cut short,
// bytes inserted), chosen by a fixed seed so a failure repeats. Exit status 1 when nothing could
// be read.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// One damaged copy of `bytes`: a few bytes changed, the end cut off, or random bytes inserted.
std::string Mutate(const std::string& bytes, std::mt19937& random) {
  std::string copy = bytes;
  if (copy.empty()) return std::string(1, static_cast<char>(random()));
  const auto at = [&] {
    return std::uniform_int_distribution<std::size_t>(0, copy.size() - 1)(random);
  };
  switch (random() % 3) {
    case 0:
      for (int i = 0, n = 1 + static_cast<int>(random() % 4); i < n; ++i) {
        copy[at()] = static_cast<char>(random());
      }
      break;
    case 1:
      copy.resize(at());
      break;
    default:
      copy.insert(at(), 1 + random() % 8, static_cast<char>(random()));
      break;
  }
  return copy;
}

void Run(const std::string& bytes) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

bool Replay(const std::filesystem::path& path, int mutations, std::mt19937& random) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Run(bytes);
  for (int i = 0; i < mutations; ++i) Run(Mutate(bytes, random));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  int mutations = 0;
  if (argc > 2 && std::string(argv[1]) == "--mutations") {
    mutations = std::stoi(argv[2]);
    first = 3;
  }
  std::mt19937 random(20121209);
  int replayed = 0;
  for (int i = first; i < argc; ++i) {
    std::error_code ec;
    if (std::filesystem::is_directory(argv[i], ec)) {
      // Sorted, so the same damaged copies come out on every run.
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(argv[i], ec)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
      for (const auto& file : files) {
        if (Replay(file, mutations, random)) ++replayed;
      }
    } else if (Replay(argv[i], mutations, random)) {
      ++replayed;
    }
  }
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
