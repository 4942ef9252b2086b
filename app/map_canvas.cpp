#include "app/map_canvas.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

using namespace radardb;

namespace {

constexpr QSize kPreferredSize(420, 420);
// One wheel notch, in the units of QWheelEvent::angleDelta.
constexpr double kWheelNotch = 120;
constexpr QRgb kBoxColour = 0xFF1565C0;
constexpr int kBoxFillAlpha = 40;
constexpr int kScaleMarginPx = 8;
constexpr int kScaleBarThicknessPx = 3;
constexpr int kScaleBarEndPx = 4;

// The scale bar of `view` (ScaleBarUnits long, in the screen's pixels) in the bottom left
// corner of a widget `height` units high, `ratio` pixels a unit, with its label above it.
void PaintScaleBar(QPainter& painter, const MapView& view, double ratio, int height) {
  const std::int64_t units = ScaleBarUnits(view.scale);
  const double length = units * view.scale / ratio;
  const QString label = QString::fromStdString(ScaleBarLabel(units));
  const QColor ink(kScaleBarColour.r, kScaleBarColour.g, kScaleBarColour.b);
  const QFontMetrics metrics = painter.fontMetrics();
  const double bottom = height - kScaleMarginPx;
  const QRectF bar(kScaleMarginPx, bottom - kScaleBarThicknessPx, length, kScaleBarThicknessPx);
  QRectF backing = bar.united(QRectF(kScaleMarginPx, bar.top() - kScaleBarEndPx - metrics.height(),
                                     metrics.horizontalAdvance(label), metrics.height()));
  painter.fillRect(backing.adjusted(-4, -2, 4, 2), QColor(255, 255, 255, 200));
  painter.fillRect(bar, ink);
  painter.fillRect(QRectF(bar.left(), bar.top() - kScaleBarEndPx, 1, bar.height() + kScaleBarEndPx),
                   ink);
  painter.fillRect(
      QRectF(bar.right() - 1, bar.top() - kScaleBarEndPx, 1, bar.height() + kScaleBarEndPx), ink);
  painter.setPen(ink);
  painter.drawText(QPointF(kScaleMarginPx + 2, bar.top() - kScaleBarEndPx - metrics.descent()),
                   label);
}

}  // namespace

MapCanvas::MapCanvas(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  view_.width = kPreferredSize.width();
  view_.height = kPreferredSize.height();
}

QSize MapCanvas::sizeHint() const { return kPreferredSize; }

void MapCanvas::SetPoints(MapPoints points, MapPoints highlighted) {
  points_ = std::move(points);
  highlighted_ = std::move(highlighted);
  if (following_ || !AnyPointInView(points_, view_)) {
    FitAll();
  } else {
    Redraw();
  }
}

void MapCanvas::SetHighlighted(MapPoints highlighted) {
  highlighted_ = std::move(highlighted);
  Redraw();
}

QSize MapCanvas::PixelSize() const {
  const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
  return {std::max(pixels.width(), 1), std::max(pixels.height(), 1)};
}

QPointF MapCanvas::InPixels(QPointF at) const { return at * devicePixelRatioF(); }

MapView MapCanvas::FittedView() const {
  const QSize pixels = PixelSize();
  if (points_.empty()) return MapView{.width = pixels.width(), .height = pixels.height()};
  return FitView(points_.Bounds(), pixels.width(), pixels.height());
}

void MapCanvas::FitAll() {
  following_ = true;
  view_ = FittedView();
  Redraw();
  emit ViewChanged();
}

void MapCanvas::ZoomBy(double factor) {
  MoveTo(Zoomed(view_, factor, (view_.width - 1) / 2.0, (view_.height - 1) / 2.0));
}

void MapCanvas::FitHighlighted() {
  if (highlighted_.empty()) return;
  const QSize pixels = PixelSize();
  MoveTo(FitView(highlighted_.Bounds(), pixels.width(), pixels.height()));
}

void MapCanvas::ZoomOnDot(QPointF at) {
  const QPointF pixel = InPixels(at);
  const std::optional<MapView> zoomed = ZoomedOnDot(points_, view_, pixel.x(), pixel.y());
  if (zoomed) MoveTo(*zoomed);
}

std::optional<MapPoints::Hit> MapCanvas::PointAt(QPointF at) const {
  const QPointF pixel = InPixels(at);
  const double radius = kPickRadiusPx * devicePixelRatioF() / view_.scale;
  return points_.Nearest(GridX(view_, pixel.x()), GridY(view_, pixel.y()), radius);
}

void MapCanvas::MoveTo(const MapView& view) {
  following_ = false;
  view_ = view;
  Redraw();
  emit ViewChanged();
}

QImage PictureOf(const MapImage& image) {
  return QImage(reinterpret_cast<const uchar*>(image.Pixels()), image.width(), image.height(),
                QImage::Format_RGB32);
}

void MapCanvas::Redraw() {
  DrawMap(points_, &highlighted_, view_, image_);
  update();
}

void MapCanvas::paintEvent(QPaintEvent*) {
  // The window may have moved to a screen of another pixel density.
  if (QSize(image_.width(), image_.height()) != PixelSize()) Resized();
  QPainter painter(this);
  QImage picture = PictureOf(image_);
  picture.setDevicePixelRatio(devicePixelRatioF());
  painter.drawImage(QPointF(0, 0), picture);
  PaintScaleBar(painter, view_, devicePixelRatioF(), height());
  if (drag_ != Drag::kBox) return;
  QColor fill = QColor::fromRgba(kBoxColour);
  fill.setAlpha(kBoxFillAlpha);
  painter.setPen(QPen(QColor::fromRgba(kBoxColour), 1, Qt::DashLine));
  painter.setBrush(fill);
  painter.drawRect(QRectF(pressedAt_, lastAt_).normalized());
}

void MapCanvas::resizeEvent(QResizeEvent*) { Resized(); }

void MapCanvas::Resized() {
  if (following_) {
    view_ = FittedView();
  } else {
    view_.width = PixelSize().width();
    view_.height = PixelSize().height();
  }
  DrawMap(points_, &highlighted_, view_, image_);
  update();
  emit ViewChanged();
}

void MapCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  drag_ = event->modifiers().testFlag(Qt::ShiftModifier) ? Drag::kBox : Drag::kPressed;
  pressedAt_ = lastAt_ = event->position();
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  const QPointF pixel = InPixels(at);
  const std::optional<MapPoints::Hit> hit = drag_ == Drag::kNone ? PointAt(at) : std::nullopt;
  emit PointerMoved(GridX(view_, pixel.x()), GridY(view_, pixel.y()), hit ? qint64{hit->row} : -1);
  if (drag_ == Drag::kPressed &&
      (at - pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
    drag_ = Drag::kPanning;
  }
  if (drag_ == Drag::kPanning) {
    const QPointF moved = InPixels(at - lastAt_);
    MoveTo(Panned(view_, moved.x(), moved.y()));
  } else if (drag_ == Drag::kBox) {
    update();
  }
  lastAt_ = at;
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || drag_ == Drag::kNone) return;
  const Drag finished = drag_;
  drag_ = Drag::kNone;
  const QPointF at = InPixels(event->position());
  if (finished == Drag::kBox) {
    update();
    const QPointF from = InPixels(pressedAt_);
    const std::optional<GridBox> box = BoxBetween(view_, from.x(), from.y(), at.x(), at.y());
    if (box) emit BoxChosen(*box);
  } else if (finished == Drag::kPressed) {
    const std::optional<MapPoints::Hit> hit = PointAt(event->position());
    if (hit) emit PointClicked(hit->row);
  }
}

void MapCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) ZoomOnDot(event->position());
}

void MapCanvas::contextMenuEvent(QContextMenuEvent* event) {
  const QPointF pixel = InPixels(event->pos());
  emit MenuAsked(GridX(view_, pixel.x()), GridY(view_, pixel.y()), event->globalPos());
}

void MapCanvas::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / kWheelNotch;
  if (notches == 0) return;
  const QPointF at = InPixels(event->position());
  MoveTo(Zoomed(view_, std::pow(kZoomStep, notches), at.x(), at.y()));
}

void MapCanvas::leaveEvent(QEvent*) { emit PointerLeft(); }
