#include "update/fetch_block.h"

std::optional<QByteArray> FetchBlock(const QByteArray& url, const HttpGetOptions& options) {
  QByteArray body = HttpGet(url, options);
  if (body.isEmpty()) return std::nullopt;
  return body;
}
