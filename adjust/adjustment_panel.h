// AdjustmentPanel: what the captioned panel AdvPanel1 holds: the caption bar "Tarifas", the grid
// DBGridEh2 and the navigator DBNavigator1, both over the data source DAjuste.
//
// The caption bar is 20 pixels high along the top, in the highlight colour with the caption at
// its left in the highlight-text colour; it has no buttons and does nothing with the mouse (the
// panel cannot be moved, resized or collapsed). The navigator is 18 pixels high along the bottom
// and the grid fills what lies between. The panel fills its parent inside the parent's one-pixel
// bevel. Sizes are pixels at 96 dpi, scaled with the screen.
#pragma once

#include <QWidget>

#include "base/format_settings.h"

class AdjustmentGrid;
class QLabel;
class RecordNavigator;
class TDataSource;
class UiServices;

class AdjustmentPanel : public QWidget {
  Q_OBJECT

 public:
  // Builds the panel into `parent` (AdvPanel1), showing `source`.
  AdjustmentPanel(TDataSource& source, UiServices& ui, const FormatSettings& settings,
                  QWidget* parent);
  ~AdjustmentPanel() override;

  AdjustmentGrid* Grid() const { return grid_; }
  RecordNavigator* Navigator() const { return navigator_; }
  QLabel* CaptionBar() const { return caption_; }

  static constexpr int kCaptionHeight = 20;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayOut();

  QLabel* caption_;
  AdjustmentGrid* grid_;
  RecordNavigator* navigator_;
};
