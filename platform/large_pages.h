#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <new>

// Memory that the system may back with large pages. The first touch of each page costs a fault,
// and a million-row table spans tens of thousands of 4 KiB pages: on a virtual machine those
// faults took longer than decoding the rows. In 2 MiB pages the same table takes a few dozen.
namespace platform {

// The large page size this is laid out for (x86-64 and ARM64 with 4 KiB base pages).
inline constexpr std::size_t kLargePageBytes = std::size_t{2} << 20;

// Asks the system to back the whole pages inside [data, data + bytes) with large pages where it
// can. Only advice: the memory reads and writes as before, and where the system has no such
// advice (or refuses it) nothing changes.
void AdviseLargePages(void* data, std::size_t bytes);

// std::allocator, except that blocks of kLargePageBytes or more start on a large page boundary,
// span whole large pages and are advised as above: for the containers that hold a whole database.
template <typename T>
struct LargePageAllocator {
  using value_type = T;

  LargePageAllocator() = default;
  template <typename U>
  LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    if (!IsLarge(count)) return std::allocator<T>().allocate(count);
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T) - kLargePageBytes) {
      throw std::bad_array_new_length();
    }
    const std::size_t bytes = WholeLargePages(count);
    void* data = ::operator new (bytes, std::align_val_t{kLargePageBytes});
    AdviseLargePages(data, bytes);
    return static_cast<T*>(data);
  }
  void deallocate(T* data, std::size_t count) noexcept {
    if (!IsLarge(count)) return std::allocator<T>().deallocate(data, count);
    // The unsized form: clang declares the sized one only with -fsized-deallocation.
    ::operator delete (data, std::align_val_t{kLargePageBytes});
  }

  template <typename U>
  bool operator==(const LargePageAllocator<U>&) const noexcept {
    return true;
  }

 private:
  static bool IsLarge(std::size_t count) { return count >= kLargePageBytes / sizeof(T); }
  static std::size_t WholeLargePages(std::size_t count) {
    return (count * sizeof(T) + kLargePageBytes - 1) / kLargePageBytes * kLargePageBytes;
  }
};

}  // namespace platform
