#include "update/http_get.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

#include "update/http_connection.h"
#include "update/http_response.h"

namespace update {

namespace {

// What the progress dialog says while `%1`, the URL, is read.
constexpr char kProgressText[] = QT_TRANSLATE_NOOP("Update", "read : %1");
constexpr int kProgressWidthPx = 520;
constexpr char kScheme[] = "http://";
constexpr char kEscapedInUrl[] = " \t";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Closes the progress display on every path once it has been opened.
class OpenProgress {
 public:
  OpenProgress(TransferProgress* progress, const QByteArray& url) : progress_(progress) {
    if (progress_ != nullptr) {
      progress_->Open(
          QCoreApplication::translate("Update", kProgressText).arg(QString::fromUtf8(url)),
          kProgressWidthPx);
    }
  }
  OpenProgress(const OpenProgress&) = delete;
  OpenProgress& operator=(const OpenProgress&) = delete;
  ~OpenProgress() {
    if (progress_ != nullptr) progress_->Close();
  }

 private:
  TransferProgress* progress_;
};

}  // namespace

QByteArray HttpGet(const QByteArray& url, const HttpGetOptions& options) {
  const HttpTarget target = SplitHttpUrl(url);
  HttpConnection connection(options);
  if (!connection.Connect(target.host)) return {};
  // Declared after the connection, so the display closes before the connection does.
  const OpenProgress shown(options.progress, url);
  if (!connection.Send(HttpRequestBytes(target))) return {};
  ResponseReader reader(connection);
  const std::optional<ResponseFraming> framing = ReadResponseHead(reader, options.maxBodyBytes);
  if (!framing) return {};
  return ReadBody(reader, *framing, options.maxBodyBytes, options.progress).value_or(QByteArray());
}

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

}  // namespace update
