#include "tools/network_support.h"

namespace {

constexpr unsigned long kMaxPort = 65535;
constexpr std::size_t kMaxPortDigits = 5;

}  // namespace

std::optional<quint16> ParsePort(const std::string& text) {
  if (text.empty() || text.size() > kMaxPortDigits) return {};
  if (text.find_first_not_of("0123456789") != std::string::npos) return {};
  const unsigned long port = std::stoul(text);
  if (port == 0 || port > kMaxPort) return {};
  return static_cast<quint16>(port);
}

NetworkApplication::NetworkApplication() {
  static int argc = 1;
  static char name[] = "kestrolan-db";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr)
    app_ = std::make_unique<QCoreApplication>(argc, argv);
}
