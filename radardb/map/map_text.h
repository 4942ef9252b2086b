#pragma once

#include <string_view>

#include "radardb/map/map_colours.h"

namespace radardb {

class MapImage;

// A small bitmap font for the words and numbers the map draws into its picture (the scale bar,
// the legend of kestrolan-db map --legend), so the core draws them without a font library. It
// has capitals, digits and a little punctuation; small letters are drawn as capitals, the en
// dash as '-', the middle dot as '.', and any other character as '?'.
inline constexpr int kGlyphWidthPx = 5;
inline constexpr int kGlyphHeightPx = 7;
// Pixels from one character's left edge to the next one's.
inline constexpr int kGlyphAdvancePx = kGlyphWidthPx + 1;

// The width in pixels of `text` (UTF-8) as DrawText draws it.
int TextWidth(std::string_view text);
// Draws `text` (UTF-8) with its top left corner at pixel (x, y) in `colour`; what falls outside
// the picture is left out.
void DrawText(MapImage& image, int x, int y, std::string_view text, Rgb colour);

}  // namespace radardb
