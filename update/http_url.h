#pragma once

#include <QByteArray>

// Where one GET goes: the host name as it is looked up and sent in "Host: ", and the path
// sent in the request line (empty when the URL names none).
struct HttpTarget {
  QByteArray host;
  QByteArray path;
};

// Splits "[http://]host[/path]": the scheme is recognised in any letter case and dropped (any
// other scheme stays part of the host), blanks and tabs are escaped as %20 and %09, the host
// runs up to the first "/" and the path from it to the end. A ":port" suffix stays part of the
// host; nothing else is decoded or checked.
HttpTarget SplitHttpUrl(const QByteArray& url);

// The complete request for `target`: the request line and a single "Host: " line, each ended
// by CR LF, and the empty line that ends the request.
QByteArray HttpRequestBytes(const HttpTarget& target);
