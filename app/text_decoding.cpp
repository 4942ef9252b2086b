#include "app/text_decoding.h"

#include "radardb/text/database_text.h"
#include "radardb/text/utf8_text.h"

using namespace radardb;

QString DecodeDatabaseText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  // Every Windows-1252 character lies in the Basic Multilingual Plane: one UTF-16 unit a byte.
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char byte : bytes) {
    *out++ = QChar(static_cast<char16_t>(Windows1252CodePoint(static_cast<unsigned char>(byte))));
  }
  return text;
}
