#include "radardb/text/utf8_text.h"

namespace radardb {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kCutMark[] = "...";
constexpr unsigned kFirstPrintable = 0x20;
constexpr unsigned kDelete = 0x7F;
constexpr unsigned kFirstC1 = 0x80;
constexpr unsigned kLastC1 = 0x9F;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void AppendEscaped(unsigned char byte, std::string& out) {
  out += "\\x";
  out.push_back(kHexDigits[byte >> 4]);
  out.push_back(kHexDigits[byte & 0x0F]);
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char lead = p[0];
  if (lead < 0x80) return 1;
  // Sequence length and the allowed range of the second byte, which rules out overlong forms,
  // surrogates (U+D800..U+DFFF) and code points above U+10FFFF.
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(p[i])) return 0;
  }
  return length;
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

char32_t Utf8CodePoint(std::string_view text, std::size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  char32_t value = p[0] & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i) value = value << 6 | (p[i] & 0x3F);
  return value;
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | c >> 6));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | c >> 12));
    out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | c >> 18));
    out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string PrintableText(std::string_view text, std::size_t limit) {
  std::string out;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = Utf8SequenceLength(text.substr(at));
    const std::size_t taken = length == 0 ? 1 : length;
    if (at + taken > limit) {
      out += kCutMark;
      break;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data() + at);
    const char32_t code = length == 0 ? 0 : Utf8CodePoint(text.substr(at), length);
    const bool control =
        code < kFirstPrintable || code == kDelete || (code >= kFirstC1 && code <= kLastC1);
    if (length == 0 || control) {
      for (std::size_t i = 0; i < taken; ++i) AppendEscaped(bytes[i], out);
    } else {
      out.append(text.substr(at, length));
    }
    at += taken;
  }
  return out;
}

}  // namespace radardb
