#include "app/anchor_layout.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

Q_DECLARE_METATYPE(Anchor)

// Controls keep their distances to the edges they are anchored to, in zoomed layout units.
class AnchorLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void PlacesByAnchors_data();
  void PlacesByAnchors();
  void DesignSizeIsHintAndMinimum();
};

void AnchorLayoutTest::PlacesByAnchors_data() {
  QTest::addColumn<Anchor>("horizontal");
  QTest::addColumn<Anchor>("vertical");
  QTest::addColumn<QRect>("placed");  // in a 300 x 200 parent, zoom 1.5

  QTest::newRow("leading keeps offset and size, zoomed")
      << Anchor{Anchor::kLeading, 12, 88} << Anchor{Anchor::kLeading, 12, 24}
      << QRect(18, 18, 132, 36);
  QTest::newRow("trailing hugs the far edge")
      << Anchor{Anchor::kTrailing, 12, 88} << Anchor{Anchor::kTrailing, 12, 24}
      << QRect(300 - 18 - 132, 200 - 18 - 36, 132, 36);
  QTest::newRow("both edges: grows with the parent")
      << Anchor{Anchor::kBoth, 112, 16} << Anchor{Anchor::kBoth, 48, 48}
      << QRect(168, 72, 300 - 168 - 24, 200 - 72 - 72);
  QTest::newRow("both edges in too small a parent: empty, not negative")
      << Anchor{Anchor::kBoth, 150, 150} << Anchor{Anchor::kLeading, 0, 10} << QRect(225, 0, 0, 15);
  QTest::newRow("odd units round to the nearest pixel")
      << Anchor{Anchor::kLeading, 1, 3} << Anchor{Anchor::kLeading, 5, 7} << QRect(2, 8, 5, 11);
}

void AnchorLayoutTest::PlacesByAnchors() {
  QFETCH(Anchor, horizontal);
  QFETCH(Anchor, vertical);
  QFETCH(QRect, placed);
  QWidget parent;
  auto* layout = new AnchorLayout(QSize(100, 60), 1.5, &parent);
  auto* child = new QWidget(&parent);
  layout->AddAnchored(child, horizontal, vertical);
  layout->setGeometry(QRect(0, 0, 300, 200));
  QCOMPARE(child->geometry(), placed);
}

void AnchorLayoutTest::DesignSizeIsHintAndMinimum() {
  AnchorLayout layout(QSize(752, 392), 1.25);
  QCOMPARE(layout.sizeHint(), QSize(940, 490));
  QCOMPARE(layout.minimumSize(), QSize(940, 490));
}

QTEST_MAIN(AnchorLayoutTest)
#include "anchor_layout_test.moc"
