#include "update/http_get.h"

#include <QString>
#include <optional>

#include "update/http_connection.h"
#include "update/http_response.h"
#include "update/http_url.h"
#include "update/transfer_progress.h"

namespace {

constexpr char kProgressPrefix[] = "read : ";
constexpr int kProgressWidthPx = 520;

// Closes the progress display on every path once it has been opened.
class OpenProgress {
 public:
  OpenProgress(TransferProgress* progress, const QByteArray& url) : progress_(progress) {
    if (progress_ != nullptr) {
      progress_->Open(kProgressPrefix + QString::fromUtf8(url), kProgressWidthPx);
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
  HttpConnection connection(options.progress, options.readTimeoutMs);
  if (!connection.Connect(target.host, options.port, options.connectTimeoutMs)) return {};
  // Declared after the connection, so the display closes before the connection does.
  const OpenProgress shown(options.progress, url);
  if (!connection.Send(HttpRequestBytes(target))) return {};
  const std::optional<ResponseFraming> framing = ReadResponseHead(connection, options.maxBodyBytes);
  if (!framing) return {};
  return ReadBody(connection, *framing, options.maxBodyBytes, options.progress)
      .value_or(QByteArray());
}
