#include "platform/large_pages.h"

#include <cstdint>

#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace platform {

// Windows gives large pages only to processes holding the "lock pages in memory" privilege, and
// only for memory allocated as such: there is nothing to advise.
void AdviseLargePages([[maybe_unused]] void* data, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  // The advice applies to whole pages; the partial pages at either end may hold other blocks.
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto first = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t start = (first + page - 1) / page * page;
  const std::uintptr_t end = (first + bytes) / page * page;
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

}  // namespace platform
