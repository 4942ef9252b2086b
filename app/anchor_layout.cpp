#include "app/anchor_layout.h"

#include <QFontMetricsF>
#include <QWidget>
#include <QWidgetItem>
#include <algorithm>
#include <cmath>

namespace {

// Line height in pixels of the font the layouts were drawn with (an 8-point sans-serif face at
// 96 dots per inch); a GUI font of this height shows every layout at its design size.
constexpr double kDesignFontHeight = 13.0;

}  // namespace

double LayoutZoom(const QFont& font) { return QFontMetricsF(font).height() / kDesignFontHeight; }

AnchorLayout::AnchorLayout(QSize designSize, double zoom, QWidget* parent)
    : QLayout(parent), designSize_(designSize), zoom_(zoom) {
  setContentsMargins(0, 0, 0, 0);
}

AnchorLayout::~AnchorLayout() {
  for (const Entry& entry : entries_) delete entry.item;
}

void AnchorLayout::AddAnchored(QWidget* widget, Anchor horizontal, Anchor vertical) {
  addChildWidget(widget);
  entries_.append({new QWidgetItem(widget), horizontal, vertical});
  invalidate();
}

int AnchorLayout::Scaled(int units) const { return static_cast<int>(std::lround(units * zoom_)); }

void AnchorLayout::addItem(QLayoutItem* item) {
  entries_.append({item, {Anchor::kLeading, 0, 0}, {Anchor::kLeading, 0, 0}});
}

int AnchorLayout::count() const { return static_cast<int>(entries_.size()); }

QLayoutItem* AnchorLayout::itemAt(int index) const {
  return index >= 0 && index < entries_.size() ? entries_[index].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index) {
  if (index < 0 || index >= entries_.size()) return nullptr;
  return entries_.takeAt(index).item;
}

QSize AnchorLayout::sizeHint() const {
  return {Scaled(designSize_.width()), Scaled(designSize_.height())};
}

QSize AnchorLayout::minimumSize() const { return sizeHint(); }

std::pair<int, int> AnchorLayout::Place(const Anchor& anchor, int start, int length) const {
  const int offset = Scaled(anchor.offset);
  const int size = Scaled(anchor.size);
  switch (anchor.kind) {
    case Anchor::kLeading:
      return {start + offset, size};
    case Anchor::kTrailing:
      return {start + length - offset - size, size};
    case Anchor::kBoth:
      break;
  }
  return {start + offset, std::max(0, length - offset - size)};
}

void AnchorLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  for (const Entry& entry : entries_) {
    const auto [x, width] = Place(entry.horizontal, rect.x(), rect.width());
    const auto [y, height] = Place(entry.vertical, rect.y(), rect.height());
    // Placed exactly: a QWidgetItem would shrink the rectangle to the widget's style margins.
    const QRect placed(x, y, width, height);
    if (QWidget* widget = entry.item->widget()) {
      widget->setGeometry(placed);
    } else {
      entry.item->setGeometry(placed);
    }
  }
}
