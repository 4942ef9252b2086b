// Writes the seed corpora of the update's fuzz targets into DIR/http (responses as scripts of
// reads), DIR/list (an answer byte, then a version list) and DIR/zip (update archives, sound and
// damaged in the ways the installer must refuse).
//
// usage: update_fuzz_seeds DIR
#include <QByteArray>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/update/update_zip_builder.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLongestRead = 255;
constexpr char kFailedRead = '\0';

// `pieces` as the HTTP target's script: each piece arrives in reads of at most 255 bytes.
std::string Reads(const std::vector<std::string>& pieces) {
  std::string script;
  for (const std::string& piece : pieces) {
    for (std::size_t at = 0; at < piece.size(); at += kLongestRead) {
      const std::string read = piece.substr(at, kLongestRead);
      script += static_cast<char>(read.size());
      script += read;
    }
  }
  return script;
}

std::vector<std::string> HttpSeeds() {
  const std::string ok = "HTTP/1.1 200 OK\r\n";
  return {
      Reads({ok + "Content-Length: 5\r\n\r\nhello"}),
      Reads({ok + "Content-Len", "gth: 11\r", "\n\r\nhello", " world"}),
      Reads({ok + "Transfer-Encoding: chunked\r\n\r\n5;x=1\r\nhello\r\n6\r\n world\r\n0\r\n"
                  "Expires: never\r\n\r\n"}),
      Reads({ok + "X-Folded: a\r\n b\r\n\tc\r\nContent-Length: 3\r\n\r\nabc"}),
      Reads({ok + "\r\nuntil the server closes"}),
      Reads({ok + "Content-Length: 10\n\r\nhelloworld"}),
      Reads({ok + "Content-Length: 10\r\n\r\nhello"}) + kFailedRead,
      Reads({"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"}),
      Reads({ok + "Transfer-Encoding: gzip, chunked\r\n\r\n0\r\n\r\n"}),
  };
}

// The list target's input: the answer to the download question, then the list.
std::string ListSeed(bool answerOk, const std::string& list) {
  return (answerOk ? '\x01' : '\x00') + list;
}

std::vector<std::string> ListSeeds() {
  return {
      ListSeed(true, "Kestrolan=v01.02,03/10/2013,kestrolan update.zip;\r\n"),
      ListSeed(false, "Kestrolan=v01.02,03/10/2013,k.zip;"),
      ListSeed(true, "Other=v09.00,01/01/2020,o.zip;\nKestrolan=v01.01,02/09/2012,k.zip;"),
      ListSeed(true, "Kestrolan=v01.03,,k.zip;Kestrolan=v01.04,d,k2.zip;"),
      ListSeed(true, "kestrolan=v02.00,d,k.zip;\tKestrolan =v02.00,d,k.zip;"),
      ListSeed(true, std::string("Kestrolan=v01.02,d,k\0.zip;", 26)),
      ListSeed(true, "Kestrolan=w01.01,d,f;Kestrolan=v1.0,d,g;"),
      ListSeed(true, "=,;=\r\n\t"),
  };
}

std::vector<QByteArray> ZipSeeds() {
  const QByteArray stored = BuildZip(
      {{"Kestrolan", "new program", 0755}, {"a.txt", "new a"}, {"lang/en.txt", "new en"}}, true);
  return {
      stored,
      BuildZip({{"Kestrolan", "new program", 0755}, {"a.txt", "new a"}, {"shared.txt", "mine"}}),
      BuildZip({{"a.txt", "first"}, {"./a.txt", "second"}, {"a.txt", "third"}}),
      BuildZip({{"b.txt", "new b"}, {"linked/x.txt", "through the link"}, {"../escape", "x"}}),
      BuildZip({{"lang/", "", 0755, TestEntryType::kDirectory},
                {"link", "../outside.txt", 0777, TestEntryType::kSymbolicLink}}),
      WithUnixFileType(BuildZip({{"fifo", ""}, {"a.txt", "new a"}}), "fifo", 010000),
      WithoutUnixModes(BuildZip({{"dos.txt", "from DOS"}})),
      WithVersionNeeded(stored, 63),
      FlipContentByte(stored, "new program"),
      DamageLocalHeader(stored, 1),
      stored.left(stored.size() / 2),
      BuildZip({{"KestrolanX", "new program"}})
          .replace("KestrolanX", QByteArray("Kestrolan\0x", 11)),
      BuildZip({{"a.txt", std::string(1 << 21, 'a')}}),
  };
}

bool WriteAll(const fs::path& folder, const std::vector<std::string>& seeds) {
  fs::create_directories(folder);
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    std::ofstream out(folder / ("seed-" + std::to_string(i)), std::ios::binary);
    out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
    if (!out) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: update_fuzz_seeds DIR\n");
    return 2;
  }
  std::vector<std::string> zips;
  for (const QByteArray& zip : ZipSeeds()) zips.push_back(zip.toStdString());
  const fs::path dir = argv[1];
  if (!WriteAll(dir / "http", HttpSeeds()) || !WriteAll(dir / "list", ListSeeds()) ||
      !WriteAll(dir / "zip", zips)) {
    std::fprintf(stderr, "update_fuzz_seeds: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
