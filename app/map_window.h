#pragma once

#include <QWidget>
#include <cstdint>

#include "app/background_job.h"
#include "app/file_selector.h"
#include "radardb/map/map_colours.h"

class MapCanvas;
class Prompts;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QTreeWidget;
class RecordTableModel;
namespace radardb {
struct GridBox;
}

// The map window: every row the table shows (while comparing, the removed rows too, where they
// were), as a point at (CoordX, CoordY) with CoordY upward, coloured by sc or spd (cbColour) with
// a legend of the colours' values and counts (tvLegend), and a read-out of the grid position under
// the pointer and of the scale (lbReadout). It follows the table both ways: it redraws whenever the
// rows shown change and highlights the rows selected in `table`; a click on a point selects its row
// in `table` and scrolls to it, and a box drawn with Shift held adds "coordx=A..B coordy=C..D" to
// `filter`, so the table shows exactly the records in the box.
//
// Keys: Home fits all points in, + and - zoom, Ctrl+S saves the picture on show as PNG through
// `prompts` ("Save map as"). The points of new rows are read on a thread of their own, so the
// map follows them a moment later; while hidden it does no work and catches up when shown.
// `model`, `table` (showing `model`), `filter` and `prompts` must outlive the window.
class MapWindow : public QWidget {
  Q_OBJECT

 public:
  MapWindow(RecordTableModel& model, QTableView& table, QLineEdit& filter, Prompts& prompts,
            QWidget* parent = nullptr);
  ~MapWindow() override;

  // Shows the window beside `main`, where the screen has room, the first time; afterwards brings
  // it to the front where it is.
  void ShowBeside(const QWidget& main);
  // Asks for a file and writes the picture on show there as PNG; reports a failure.
  void SaveImage();
  // True while the rows shown are being read in the background.
  bool Reading() const { return jobs_.Busy(); }

  MapCanvas* cvMap;
  QComboBox* cbColour;
  QTreeWidget* tvLegend;
  QLabel* lbReadout;
  FileSelector fsPng;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  radardb::ColourBy Colouring() const;
  // Reads the rows shown from the model again (when visible; else later, when shown).
  void RowsChanged();
  // Starts reading the rows shown and the rows selected; the map shows them when done.
  void ReadRows();
  void ReadSelection();
  void ShowLegend();
  void ShowReadout();
  void SelectRow(std::uint32_t row);
  void AddBoxToFilter(const radardb::GridBox& box);
  void AddShortcuts();

  RecordTableModel& model_;
  QTableView& table_;
  QLineEdit& filter_;
  Prompts& prompts_;
  bool stale_ = true;  // the rows changed while the window was hidden
  bool placed_ = false;
  QString pointer_;  // the read-out of the grid position under the pointer; empty when outside
  BackgroundJob jobs_{this};
};
