#pragma once

#include <string>

#include "radardb/map_raster.h"
#include "platform/status.h"

// The largest width or height of a picture EncodePng takes: such a picture's pixels already
// hold 64 MiB.
inline constexpr int kMaxPngSide = 4096;

// `image` as a PNG file (8-bit RGB, no interlace), in `png`. Fails with "cannot compress the
// picture" when zlib fails, and with "picture too large" when a side exceeds kMaxPngSide.
Status EncodePng(const MapImage& image, std::string& png);
