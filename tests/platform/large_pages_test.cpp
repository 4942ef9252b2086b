#include "platform/large_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

#ifdef __linux__
// Whether the mapping holding `address` carries the large-page advice ("hg" among its VmFlags).
bool AdvisedForLargePages(const void* address) {
  std::ifstream maps("/proc/self/smaps");
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  bool inside = false;
  for (std::string line; std::getline(maps, line);) {
    std::uintptr_t start = 0, end = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> start >> dash >> end && dash == '-') {
      inside = start <= at && at < end;
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      return (line + " ").find(" hg ") != std::string::npos;
    }
  }
  return false;
}
#endif

// Faults caught: a large block off the large-page boundary, whose partial pages at either end
// never become large pages; the advice missing; and a block given back through the wrong release
// (which the sanitizer build reports).
TEST(LargePagesTest, LargeBlocksStartOnALargePageAndAreAdvised) {
  std::vector<char, platform::LargePageAllocator<char>> bytes(3 * platform::kLargePageBytes + 5,
                                                              'x');
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % platform::kLargePageBytes, 0u);
  EXPECT_EQ(bytes.back(), 'x');
#ifdef __linux__
  if (std::filesystem::exists("/sys/kernel/mm/transparent_hugepage/enabled")) {
    EXPECT_TRUE(AdvisedForLargePages(bytes.data() + platform::kLargePageBytes));
  }
#endif
  bytes.resize(8 * platform::kLargePageBytes, 'y');
  EXPECT_EQ(bytes[3 * platform::kLargePageBytes + 4], 'x');
  EXPECT_EQ(bytes.back(), 'y');
}

}  // namespace
