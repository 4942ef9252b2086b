#pragma once

#include <string>

#include "platform/status.h"
#include "radardb/map/map_raster.h"

// The largest width or height of a picture EncodePng takes: such a picture's pixels already
// hold 64 MiB.
inline constexpr int kMaxPngSide = 4096;

// `image` as a PNG file (8-bit RGB, no interlace), in `png`. Fails with "cannot compress the
// picture" when zlib fails, and with "picture too large" when a side exceeds kMaxPngSide.
platform::Status EncodePng(const radardb::MapImage& image, std::string& png);
