#pragma once

#include <QDockWidget>
#include <cstdint>

#include "app/background_job.h"
#include "app/file_selector.h"
#include "radardb/map/map_colours.h"

class MapCanvas;
class Prompts;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QTableView;
class QTreeWidget;
class RecordTableModel;
namespace radardb {
struct GridBox;
}

// The map, a dock of the main window ("Map"; the user may float or close it): every row the
// table shows (while comparing, the removed rows too, where they were), as a point at (CoordX,
// CoordY) with CoordY upward, coloured by sc or spd, or by the change while comparing (cbColour,
// which turns to the change when a comparison begins), with a legend of the colours' values and
// counts (tvLegend), and a read-out of the grid position under the pointer and of the scale
// (lbReadout), with the dot sizes and the direction's convention below the colours. Hovering a
// point names its record in a tooltip and the read-out ("#1369 · sc 1 · 130 km/h · dir -6 · A3 ·
// Vellmarsk"). It follows the table both ways: it redraws whenever the rows shown change and
// highlights the rows selected in `table`; a click on a point selects its row in `table` and
// scrolls to it, a box drawn with Shift held adds "coordx=A..B coordy=C..D" to `filter`, so the
// table shows exactly the records in the box, and the context menu's "Records Within … of Here"
// adds "near:X,Y,R" with the scale bar's length as R. The picture is drawn in the screen's own
// pixels, sharp on high-density screens.
//
// Keys while the map has the focus: Home fits all points in, + and - zoom. The points of new rows
// are read on a thread of their own, so the map follows them a moment later; while hidden it does
// no work and catches up when shown. `model`, `table` (showing `model`), `filter` and `prompts`
// must outlive the window.
class MapWindow : public QDockWidget {
  Q_OBJECT

 public:
  MapWindow(RecordTableModel& model, QTableView& table, QLineEdit& filter, Prompts& prompts,
            QWidget* parent = nullptr);
  ~MapWindow() override;

  // Shows the map in `main`, where it was docked or floated. Docked, the window widens by the
  // map's width first, as far as the screen allows, and narrows again when the map is closed.
  void ShowIn(QMainWindow& main);
  // Asks for a file ("Save map as") and writes the picture on show there as PNG; reports a
  // failure with the path.
  void SaveImage();
  // True while the rows shown are being read in the background.
  bool Reading() const { return jobs_.Busy(); }
  // Fits the rows selected in the table in (View → Zoom to Selection).
  void ZoomToSelection();
  // The record of row `row` of the model's source in one line: "#1369 · sc 1 · 130 km/h · dir -6
  // · A3 · Vellmarsk" (the Speed text, or spd when it is empty; empty texts left out).
  QString RecordLine(std::uint32_t row) const;
  // The context menu's command for grid position (x, y): "Records Within 500 units of Here",
  // which adds "near:X,Y,500" to the filter field (the scale bar's length, X and Y rounded).
  QAction* NearHereAction(double x, double y, QObject* parent);

  MapCanvas* cvMap;
  QComboBox* cbColour;
  QTreeWidget* tvLegend;
  QTreeWidget* tvMarks;  // the dot sizes and the direction's convention, below the legend
  QLabel* lbReadout;
  FileSelector fsPng;

 signals:
  // The map was shown, or closed by the user (not hidden with the main window).
  void ShownChanged(bool shown);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The colouring chosen, sc when the change was chosen but the comparison has ended.
  radardb::ColourBy Colouring() const;
  // Offers the change while comparing, and turns to it when a comparison begins.
  void OfferChangeColouring();
  int DockedWidth(int mapWidth) const;
  // Reads the rows shown from the model again (when visible; else later, when shown).
  void RowsChanged();
  // Starts reading the rows shown and the rows selected; the map shows them when done.
  void ReadRows();
  void ReadSelection();
  void ShowLegend();
  void ShowMarks();
  void ShowReadout();
  void SelectRow(std::uint32_t row);
  void AddToFilter(const QString& terms);
  void PointerOver(double x, double y, qint64 row);
  void AddShortcuts();

  RecordTableModel& model_;
  QTableView& table_;
  QLineEdit& filter_;
  Prompts& prompts_;
  bool stale_ = true;  // the rows changed while the window was hidden
  QMainWindow* main_ = nullptr;
  bool openedDocked_ = false;  // ShowIn made room for the map in the main window
  int chosenBefore_ = 0;       // the colouring chosen before a comparison turned to the change
  QString pointer_;  // the read-out of the grid position under the pointer; empty when outside
  BackgroundJob jobs_{this};
};
