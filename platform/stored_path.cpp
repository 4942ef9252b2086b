#include "platform/stored_path.h"

#include <array>

namespace platform {

namespace {

// The longest file name component the common file systems take.
constexpr std::size_t kMaxComponentBytes = 255;
constexpr unsigned char kFirstPrintable = 0x20;

// Devices Windows opens in place of a file of that name, whatever its extension and folder.
constexpr std::array<std::string_view, 6> kDeviceNames = {"CON", "PRN",    "AUX",
                                                          "NUL", "CONIN$", "CONOUT$"};
// COM and LPT take a digit, or a superscript one, written in UTF-8.
constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};
constexpr std::array<std::string_view, 3> kSuperscriptDigits = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// True when `component` names a device: its part before the first dot, trailing blanks dropped,
// is a device name.
bool IsDeviceName(std::string_view component) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (const std::string_view device : kDeviceNames) {
    if (EqualsIgnoringAsciiCase(base, device)) return true;
  }
  for (const std::string_view device : kNumberedDevices) {
    if (base.size() <= device.size() ||
        !EqualsIgnoringAsciiCase(base.substr(0, device.size()), device)) {
      continue;
    }
    const std::string_view number = base.substr(device.size());
    if (number.size() == 1 && number[0] >= '0' && number[0] <= '9') return true;
    for (const std::string_view digit : kSuperscriptDigits) {
      if (number == digit) return true;
    }
  }
  return false;
}

bool IsSafeComponent(std::string_view component) {
  if (component == ".." || component.size() > kMaxComponentBytes) return false;
  if (!component.empty() && (component.back() == '.' || component.back() == ' ')) return false;
  return !IsDeviceName(component);
}

}  // namespace

bool IsSafeStoredPath(std::string_view storedPath) {
  if (storedPath.empty() || storedPath.front() == '/') return false;
  for (const char c : storedPath) {
    if (static_cast<unsigned char>(c) < kFirstPrintable || c == '\\' || c == ':') return false;
  }
  while (!storedPath.empty()) {
    const std::size_t slash = storedPath.find('/');
    if (!IsSafeComponent(storedPath.substr(0, slash))) return false;
    storedPath =
        slash == std::string_view::npos ? std::string_view() : storedPath.substr(slash + 1);
  }
  return true;
}

}  // namespace platform
