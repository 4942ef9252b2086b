#include "radardb/text/database_text.h"

#include <array>

#include "radardb/text/case_folding.h"
#include "radardb/text/utf8_text.h"

namespace radardb {

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; the rest of its upper half equals
// Latin-1, that is the byte's own value.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
constexpr unsigned char kFirstHighByte = 0x80;
constexpr unsigned char kLastRemappedByte = 0x9F;

}  // namespace

char32_t Windows1252CodePoint(unsigned char byte) {
  if (byte < kFirstHighByte || byte > kLastRemappedByte) return byte;
  return kWindows1252High[byte - kFirstHighByte];
}

void AppendFoldedText(std::string_view bytes, std::string& out) {
  if (IsValidUtf8(bytes)) {
    while (!bytes.empty()) {
      const std::size_t length = Utf8SequenceLength(bytes);
      AppendUtf8(SimpleCaseFold(Utf8CodePoint(bytes, length)), out);
      bytes.remove_prefix(length);
    }
    return;
  }
  for (const char byte : bytes) {
    AppendUtf8(SimpleCaseFold(Windows1252CodePoint(static_cast<unsigned char>(byte))), out);
  }
}

std::string FoldedText(std::string_view bytes) {
  std::string folded;
  AppendFoldedText(bytes, folded);
  return folded;
}

}  // namespace radardb
