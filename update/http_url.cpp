#include "update/http_url.h"

#include "update/http_get.h"

namespace {

constexpr char kScheme[] = "http://";
constexpr char kEscapedInUrl[] = " \t";

}  // namespace

HttpTarget SplitHttpUrl(const QByteArray& url) {
  const QByteArray scheme(kScheme);
  const QByteArray rest = url.toLower().startsWith(scheme) ? url.mid(scheme.size()) : url;
  const QByteArray escaped = PercentEscape(rest, kEscapedInUrl);
  const qsizetype slash = escaped.indexOf('/');
  if (slash < 0) return {escaped, {}};
  return {escaped.left(slash), escaped.mid(slash)};
}

QByteArray HttpRequestBytes(const HttpTarget& target) {
  return "GET " + target.path + " HTTP/1.1\r\n" + "Host: " + target.host + "\r\n" + "\r\n";
}
