#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

#include "update/http_framing.h"

class HttpConnection;
class TransferProgress;

// Reads the status line and the header block of a response from `connection`. The status line
// must be exactly "HTTP/1.1 200 OK"; every line must end in CR LF. Empty for any other status,
// a malformed or too large header block, a framing DecideFraming rejects (a length above
// `maxBodyBytes` included), or a failed read.
std::optional<ResponseFraming> ReadResponseHead(HttpConnection& connection, qint64 maxBodyBytes);

// Reads the body framed as `framing` and returns all of it: every chunk joined (extensions and
// trailers skipped), exactly the announced length, or everything up to the server's close.
// Empty when the body ends early, a chunk is malformed, the body would exceed `maxBodyBytes`, or
// a read fails. Reports the known length and the position to `progress` (may be null).
std::optional<QByteArray> ReadBody(HttpConnection& connection, const ResponseFraming& framing,
                                   qint64 maxBodyBytes, TransferProgress* progress);
