#include "update/http_get.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

QByteArray PercentEscape(const QByteArray& text, const QByteArray& set) {
  QByteArray escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    if (!set.contains(c)) {
      escaped.append(c);
      continue;
    }
    const auto code = static_cast<unsigned char>(c);
    escaped.append('%');
    escaped.append(kHexDigits[code >> 4]);
    escaped.append(kHexDigits[code & 0x0F]);
  }
  return escaped;
}
