// The two headers of the adjustment grid, both drawn as raised 3D cells in the button-face
// colour.
//
// TitleHeader: the title row. Dragging the boundary between two titles resizes the column on
// its left; dragging a title with the left or the right button moves its column. Titles do not
// sort or select, and a press on them gives the grid the focus.
//
// IndicatorHeader: the row-indicator column. It shows a glyph centred in the current row's cell
// only, and a press on a row hands that row to the grid (which makes it current and takes the
// focus); rows cannot be resized or selected from it.
#pragma once

#include <QHeaderView>
#include <functional>

enum class IndicatorGlyph {
  kNone,
  kBrowse,  // a solid right-pointing triangle
  kEdit,    // an I-beam
  kInsert,  // an asterisk
  kSearch,  // a hollow right-pointing triangle on a yellow square
};

class TitleHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit TitleHeader(QWidget* parent = nullptr);

  // Called on every press, before the header acts on it.
  std::function<void()> on_press;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // The header moves sections with the left button only: a right-button drag is handed to it as
  // a left-button one.
  static QMouseEvent AsLeftButton(const QMouseEvent& event);
  bool right_drag_ = false;
};

class IndicatorHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit IndicatorHeader(QWidget* parent = nullptr);

  // The glyph of a row; kNone for every row but the current one.
  std::function<IndicatorGlyph(int row)> glyph_of;
  // A press on `row`.
  std::function<void(int row)> on_press;

  // Pixels of the indicator column at 96 dpi, and of a glyph.
  static constexpr int kWidth = 11;
  static constexpr int kGlyphWidth = 6;
  static constexpr int kGlyphHeight = 11;

  QSize sizeHint() const override;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Draws `glyph` centred in `cell`.
void DrawIndicatorGlyph(QPainter& painter, const QRect& cell, IndicatorGlyph glyph);
