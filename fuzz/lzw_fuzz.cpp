// Fuzz target: feeds arbitrary bytes to the archive reader as a whole archive. Any input must
// give a result text without crashing, hanging or touching memory outside its buffers.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "radardb/lzw_expand.h"
#include "radardb/lzw_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LzwCountingSink sink;
  ExpandLzwBytes(std::string_view(reinterpret_cast<const char*>(data), size), sink);
  return 0;
}
