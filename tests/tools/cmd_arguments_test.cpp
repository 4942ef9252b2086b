// The command lines of every kestrolan-db command, run as built: what each takes, what it refuses
// and how, and outputs that name one of the command's own inputs.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "radardb/archive/lzw_writer.h"
#include "radardb/records/radar_record.h"
#include "tests/tools/cmd_csv_support.h"

using namespace radardb;

namespace {

namespace fs = std::filesystem;

// Two records, raw and packed, and the sample database's CSV, in a fresh folder.
class ArgumentFolder : public ToolFolder {
 public:
  ArgumentFolder() {
    RadarRecord record;
    std::string("Lyon").copy(record.City, kCityFieldSize);
    std::string raw;
    record.AppendTo(raw);
    record.X = 7;
    record.AppendTo(raw);
    WriteFileBytes(path() / "a.raw", raw);
    WriteFileBytes(path() / "a.lzw", CompressLzw(raw));
    WriteFileBytes(path() / "b.lzw", CompressLzw(raw.substr(0, kRadarRecordSize)));
    WriteFileBytes(path() / "a.csv", ReadFileBytes(KESTROLAN_SAMPLE_CSV));
  }
};

struct ArgumentCase {
  const char* fault;
  std::vector<std::string> args;
  int status;
  std::string err;  // a part of standard error; "" when it must be empty
};

void PrintTo(const ArgumentCase& c, std::ostream* os) { *os << c.fault; }

class ArgumentTest : public testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentTest, TakesOrRefusesTheCommandLine) {
  const ArgumentCase& c = GetParam();
  const ArgumentFolder folder;
  const ToolResult result = folder.Run(c.args);
  EXPECT_EQ(result.status, c.status) << c.fault << "\n" << result.err;
  if (c.err.empty()) {
    EXPECT_EQ(result.err.find("kestrolan-db"), std::string::npos) << c.fault << "\n" << result.err;
  } else {
    EXPECT_NE(result.err.find(c.err), std::string::npos) << c.fault << "\n" << result.err;
  }
  // A refused command line names the command's usage and writes nothing.
  if (c.status == 2 && c.args.size() > 0) {
    EXPECT_NE(result.err.find("\nusage: kestrolan-db " + c.args[0] + " "), std::string::npos)
        << c.fault;
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"a.csv", "a.lzw", "a.raw", "b.lzw"}))
        << c.fault;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ArgumentTest,
    testing::Values(
        ArgumentCase{"unpack refused", {"unpack", "a.lzw", "-o", "out.raw"}, 0, ""},
        ArgumentCase{"unpack without -o run", {"unpack", "a.lzw"}, 2, "-o is required"},
        ArgumentCase{"unpack's unknown option ignored",
                     {"unpack", "a.lzw", "-o", "x", "--fast"},
                     2,
                     "not expected: --fast"},
        ArgumentCase{
            "pack refused", {"pack", "a.raw", "-o", "x.lzw", "--block-size", "241"}, 0, ""},
        ArgumentCase{"pack without a file run", {"pack", "-o", "x.lzw"}, 2, "FILE is required"},
        ArgumentCase{"a zero block size taken",
                     {"pack", "a.raw", "-o", "x", "--block-size", "0"},
                     2,
                     "--block-size"},
        ArgumentCase{"a block size in words taken",
                     {"pack", "a.raw", "-o", "x", "--block-size", "lots"},
                     2,
                     "--block-size"},
        ArgumentCase{"info refused", {"info", "a.lzw"}, 0, ""},
        ArgumentCase{
            "info of two archives run", {"info", "a.lzw", "b.lzw"}, 2, "not expected: b.lzw"},
        ArgumentCase{"export refused", {"export", "a.lzw", "-o", "a2.csv"}, 0, ""},
        ArgumentCase{"export without an archive run", {"export"}, 2, "ARCHIVE is required"},
        ArgumentCase{"a second -o taken", {"export", "a.lzw", "-o", "x", "-o", "y"}, 2, "-o"},
        ArgumentCase{
            "--filter without its expression run", {"export", "a.lzw", "--filter"}, 2, "--filter"},
        ArgumentCase{"import refused", {"import", "a.csv", "-o", "x.lzw"}, 0, ""},
        ArgumentCase{"import without -o run", {"import", "a.csv"}, 2, "-o is required"},
        ArgumentCase{
            "an empty output name taken", {"import", "a.csv", "-o", ""}, 2, "must not be empty"},
        ArgumentCase{
            "diff of two releases refused", {"diff", "a.lzw", "b.lzw", "--summary"}, 1, ""},
        ArgumentCase{"diff of one archive run", {"diff", "a.lzw"}, 2, "NEW is required"},
        ArgumentCase{"a tolerance beyond 1000 taken",
                     {"diff", "a.lzw", "b.lzw", "--tolerance", "1001"},
                     2,
                     "--tolerance"},
        ArgumentCase{"a negative tolerance taken",
                     {"diff", "a.lzw", "b.lzw", "--tolerance", "-1"},
                     2,
                     "--tolerance"},
        ArgumentCase{"--summary with -o run",
                     {"diff", "a.lzw", "b.lzw", "--summary", "-o", "x"},
                     2,
                     "excludes"},
        ArgumentCase{"check refused", {"check", "a.lzw", "-o", "x.csv"}, 1, ""},
        ArgumentCase{
            "check of two archives run", {"check", "a.lzw", "b.lzw"}, 2, "not expected: b.lzw"},
        ArgumentCase{"merge refused", {"merge", "a.lzw", "b.lzw", "-o", "m.lzw"}, 0, ""},
        ArgumentCase{"merge of one database run", {"merge", "a.lzw", "-o", "m.lzw"}, 2, "ARCHIVES"},
        ArgumentCase{"an unknown drop rule taken",
                     {"merge", "a.lzw", "b.lzw", "-o", "m.lzw", "--drop", "twins"},
                     2,
                     "--drop"},
        ArgumentCase{"patch without its change list run",
                     {"patch", "a.lzw", "-o", "p.lzw"},
                     2,
                     "CHANGES.csv is required"},
        ArgumentCase{"map refused", {"map", "a.lzw", "-o", "x.png", "--size", "40x30"}, 0, ""},
        ArgumentCase{"map without -o run", {"map", "a.lzw"}, 2, "-o is required"},
        ArgumentCase{"a zero side taken without saying why",
                     {"map", "a.lzw", "-o", "x.png", "--size", "0x10"},
                     2,
                     "bad size '0x10': width and height are 1 to 4096"},
        ArgumentCase{"a size without its height taken",
                     {"map", "a.lzw", "-o", "x.png", "--size", "40x"},
                     2,
                     "bad size '40x'"},
        ArgumentCase{"an unknown colouring taken without saying why",
                     {"map", "a.lzw", "-o", "x.png", "--color", "bogus"},
                     2,
                     "unknown colouring 'bogus': sc or spd"},
        ArgumentCase{"fetch without a URL run", {"fetch", "-o", "x"}, 2, "URL is required"},
        ArgumentCase{"a port of 0 taken", {"fetch", "h/x", "--port", "0", "-o", "x"}, 2, "--port"},
        ArgumentCase{"a port above 65535 taken", {"check-update", "--port", "65536"}, 2, "--port"},
        ArgumentCase{"an option without its value taken", {"check-update", "--host"}, 2, "--host"},
        ArgumentCase{"a key of 63 digits taken",
                     {"check-update", "--key", std::string(63, 'a')},
                     2,
                     "--key: a release public key is 64 hexadecimal digits"},
        ArgumentCase{"check-update's unknown option ignored",
                     {"check-update", "--hots", "h"},
                     2,
                     "not expected"}));

// Faults caught: a command without a --help of its own, or one that runs when asked for help.
TEST(ArgumentHelpTest, EveryCommandDescribesItsArguments) {
  for (const char* command : {"unpack", "pack", "info", "export", "import", "diff", "check",
                              "patch", "merge", "map", "fetch", "check-update"}) {
    const ArgumentFolder folder;
    const ToolResult result = folder.Run({command, "--help"});
    EXPECT_EQ(result.status, 0) << command;
    EXPECT_NE(result.out.find(std::string("Usage: kestrolan-db ") + command), std::string::npos)
        << command << "\n"
        << result.out;
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"a.csv", "a.lzw", "a.raw", "b.lzw"}));
  }
}

struct IdentityCase {
  std::string name;
  std::string input;  // the file the output names
  // The command line, with the output's spelling at every "OUT".
  std::vector<std::string> args;
  std::string spelling;  // "./", "absolute", "symbolic link" or "hard link"
};

void PrintTo(const IdentityCase& c, std::ostream* os) { *os << c.name; }

std::vector<IdentityCase> IdentityCases() {
  const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
      {"a.lzw", {"unpack", "a.lzw", "-o", "OUT"}},
      {"a.raw", {"pack", "a.raw", "-o", "OUT"}},
      {"a.lzw", {"export", "a.lzw", "-o", "OUT"}},
      {"a.csv", {"import", "a.csv", "-o", "OUT"}},
      {"a.lzw", {"diff", "a.lzw", "b.lzw", "-o", "OUT"}},
      {"a.lzw", {"check", "a.lzw", "-o", "OUT"}},
      {"a.lzw", {"map", "a.lzw", "-o", "OUT"}},
      {"b.lzw", {"merge", "a.lzw", "b.lzw", "-o", "OUT"}},
      {"a.csv", {"patch", "a.lzw", "a.csv", "-o", "OUT"}},
  };
  std::vector<IdentityCase> cases;
  for (const auto& [input, args] : commands) {
    for (const char* spelling : {"./", "absolute", "symbolic link", "hard link"}) {
      std::string name = args[0] + " over its input by " + spelling;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      cases.push_back({name, input, args, spelling});
    }
  }
  return cases;
}

class IdentityTest : public testing::TestWithParam<IdentityCase> {};

// Faults caught: an output compared with the inputs by its spelling only, so that another
// spelling of an input replaces it (diff old.lzw new.lzw -o ./old.lzw once wrote CSV over OLD).
TEST_P(IdentityTest, RefusesAnOutputThatIsAnInput) {
  const IdentityCase& c = GetParam();
  const ArgumentFolder folder;
  const std::string before = ReadFileBytes(folder.path() / c.input);
  std::string output = "./" + c.input;
  if (c.spelling == "absolute") output = fs::absolute(folder.path() / c.input).string();
  if (c.spelling == "symbolic link") {
    fs::create_symlink(c.input, folder.path() / "link");
    output = "link";
  }
  if (c.spelling == "hard link") {
    fs::create_hard_link(folder.path() / c.input, folder.path() / "hard");
    output = "hard";
  }
  std::vector<std::string> args = c.args;
  for (std::string& arg : args) {
    if (arg == "OUT") arg = output;
  }
  const ToolResult result = folder.Run(args);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "kestrolan-db: '" + output + "' is also an input\n");
  EXPECT_EQ(ReadFileBytes(folder.path() / c.input), before);
}

INSTANTIATE_TEST_SUITE_P(Spellings, IdentityTest, testing::ValuesIn(IdentityCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
