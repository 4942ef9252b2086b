#pragma once

#include <QLayout>
#include <QList>
#include <QSize>
#include <utility>

// How a control is tied to its parent's edges along one axis, in layout units (scaled by the
// layout's zoom). kLeading: `offset` from the left/top edge, fixed `size`. kTrailing: `offset`
// from the right/bottom edge, fixed `size`. kBoth: `offset` from the left/top and `size` from the
// right/bottom edge, so the control grows with the parent.
struct Anchor {
  enum Kind { kLeading, kTrailing, kBoth };
  Kind kind;
  int offset;
  int size;
};

// A layout that places each control by its two anchors, the way a form designed at a fixed size
// keeps its controls tied to the window's edges. `designSize` in layout units is both the size
// hint and the minimum size (after zoom). `zoom` scales every unit to pixels.
class AnchorLayout : public QLayout {
 public:
  AnchorLayout(QSize designSize, double zoom, QWidget* parent = nullptr);
  ~AnchorLayout() override;
  AnchorLayout(const AnchorLayout&) = delete;
  AnchorLayout& operator=(const AnchorLayout&) = delete;

  // Adds `widget` (a child of the layout's parent) with its anchors.
  void AddAnchored(QWidget* widget, Anchor horizontal, Anchor vertical);

  // Layout units in pixels, rounded.
  int Scaled(int units) const;

  void addItem(QLayoutItem* item) override;  // anchors it at the top left, design size 0
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  struct Entry {
    QLayoutItem* item;
    Anchor horizontal;
    Anchor vertical;
  };
  // Start and length of a control along one axis of `length` pixels starting at `start`.
  std::pair<int, int> Place(const Anchor& anchor, int start, int length) const;

  QSize designSize_;
  double zoom_;
  QList<Entry> entries_;
};

// The ratio of `font` to the font the window layouts were designed with, by line height.
double LayoutZoom(const QFont& font);
