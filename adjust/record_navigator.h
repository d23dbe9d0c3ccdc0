// RecordNavigator: the navigator bar DBNavigator1 over a data source. Seven buttons, left to
// right: First, Prior, Next, Last, Insert, Delete and Cancel, each with a glyph that is greyed
// while the button is disabled. They share the bar's width equally (at least 20 by 18 pixels
// each), the leftover pixels widening single buttons spread along the bar. Held down, Prior and
// Next repeat after 400 ms and then every 100 ms.
//
// Enabled while: First and Prior, the dataset is open and not at its beginning; Next and Last,
// open and not at its end; Insert, open and modifiable; Delete, modifiable and not empty; Cancel,
// modifiable and editing or inserting. Recomputed on every change of row, state or dataset.
//
// The buttons take no focus, so a click leaves the keyboard focus where it was; they show no
// hints. Delete asks "Delete record?" (the confirmation box) first. A failure of an action goes
// to the default error display.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <vector>

class QToolButton;
class TDataSource;
class UiServices;

// Widths of `count` buttons sharing `total` pixels, each at least `minimum`: equal shares, the
// leftover pixels going one each to buttons spread evenly along the bar.
std::vector<int> SpreadWidths(int total, int count, int minimum);

class RecordNavigator : public QWidget {
  Q_OBJECT

 public:
  enum Button { kFirst, kPrior, kNext, kLast, kInsert, kDelete, kCancel, kButtonCount };

  RecordNavigator(UiServices& ui, QWidget* parent = nullptr);
  ~RecordNavigator() override;

  void SetDataSource(TDataSource* source);
  QToolButton* ButtonAt(Button button) const { return buttons_[button]; }

  // Pixels at 96 dpi.
  static constexpr int kMinButtonWidth = 20;
  static constexpr int kHeight = 18;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Link;

  void Act(Button button);
  void UpdateButtons();
  void LayOut();

  UiServices& ui_;
  std::array<QToolButton*, kButtonCount> buttons_{};
  std::unique_ptr<Link> link_;
};
