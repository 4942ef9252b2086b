#pragma once

#include <QByteArray>
#include <optional>

#include "update/http_get.h"

// Fetches `url` with HttpGet and returns the body, complete; none when the fetch failed or the
// body is empty (HttpGet gives an empty body for every failure).
std::optional<QByteArray> FetchBlock(const QByteArray& url, const HttpGetOptions& options);
