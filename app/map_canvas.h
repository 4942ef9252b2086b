#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "radardb/map/map_points.h"
#include "radardb/map/map_raster.h"
#include "radardb/map/map_view.h"

// `image` for Qt's painting and image files; it shares `image`'s pixels, so `image` must outlive
// it and stay unchanged.
QImage PictureOf(const radardb::MapImage& image);

// The map's drawing area: shows points as DrawMap draws them, with the scale bar, and lets the
// pointer move around: the wheel zooms around the pointer, dragging pans, a click picks the
// nearest point within kPickRadiusPx, hovering names it, a double-click zooms in on a dot until
// its records stand apart (ZoomedOnDot), and a drag with Shift held chooses a box (drawn while
// dragged). Until the view is zoomed or panned it follows the points, fitting them all in
// whenever they or the size change; FitAll returns to that. A view the user chose is kept while
// it shows some of the points; new points none of which it shows are fitted in again. The picture
// and the view are in the screen's own pixels (devicePixelRatio of them to a widget unit), so the
// map is sharp on high-density screens.
class MapCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit MapCanvas(QWidget* parent = nullptr);

  // Replaces the points shown and those drawn highlighted, which must have the same colouring.
  void SetPoints(radardb::MapPoints points, radardb::MapPoints highlighted);
  // Replaces the points drawn highlighted only.
  void SetHighlighted(radardb::MapPoints highlighted);
  const radardb::MapPoints& Points() const { return points_; }
  const radardb::MapView& View() const { return view_; }
  // The picture on show, without the box being dragged.
  const radardb::MapImage& Image() const { return image_; }

  // Fits every point in and follows the points from now on.
  void FitAll();
  // Zooms by `factor` (above 1: larger) around the middle.
  void ZoomBy(double factor);
  // Fits the highlighted points in; nothing when there are none.
  void FitHighlighted();
  // Zooms in on the dot at `at` (widget position), as a double-click there does.
  void ZoomOnDot(QPointF at);
  // The point within kPickRadiusPx of `at` (widget position), if any.
  std::optional<radardb::MapPoints::Hit> PointAt(QPointF at) const;

  QSize sizeHint() const override;

  // How far from a point a click may be to pick it.
  static constexpr double kPickRadiusPx = 5;
  // Zoom factor of one wheel step or one + key.
  static constexpr double kZoomStep = 1.25;

 signals:
  // A click picked the point of this row (a row number of the points' source).
  void PointClicked(std::uint32_t row);
  // A Shift-drag chose these grid positions.
  void BoxChosen(const radardb::GridBox& box);
  // The pointer is over grid position (x, y), and over the point of row `row` (-1: none).
  void PointerMoved(double x, double y, qint64 row);
  // The context menu was asked for at grid position (x, y), at `global` on the screen.
  void MenuAsked(double x, double y, QPoint global);
  // The pointer left the map.
  void PointerLeft();
  // The view was zoomed, panned or fitted.
  void ViewChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  enum class Drag { kNone, kPressed, kPanning, kBox };

  // The view that fits all points into the current size.
  radardb::MapView FittedView() const;
  // The size in the screen's pixels, and a position in them.
  QSize PixelSize() const;
  QPointF InPixels(QPointF at) const;
  // Takes a new size (or pixel density) into the view.
  void Resized();
  // Shows `view`, no longer following the points.
  void MoveTo(const radardb::MapView& view);
  void Redraw();

  radardb::MapPoints points_;
  radardb::MapPoints highlighted_;
  radardb::MapView view_;
  radardb::MapImage image_;
  bool following_ = true;
  Drag drag_ = Drag::kNone;
  QPointF pressedAt_;
  QPointF lastAt_;
};
