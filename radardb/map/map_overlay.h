#pragma once

#include "radardb/map/map_points.h"
#include "radardb/map/map_view.h"

namespace radardb {

class MapImage;

// What the map draws over its points for a reader of the picture alone (DrawMap's extras).

// The scale bar: ScaleBarUnits long at the view's scale, kScaleBarColour, with its label
// (ScaleBarLabel) above it, in the bottom left corner on a pale backing.
void DrawScaleBar(const MapView& view, MapImage& image);

// The legend in the top right corner, on a framed backing: the colouring's name, then per class
// that has points its colour, label and count (MapLegend), then each dot size with what it
// stands for, then the direction's drawing convention, "dir 0 = up, clockwise".
void DrawLegend(const MapPoints& points, MapImage& image);

}  // namespace radardb
