// CellDelegate: how the adjustment grid paints its cells and lays its editor over them.
//
// A cell shows its text clipped (never elided) with the column's alignment on the window colour;
// the cell the hooks call highlighted is painted in the highlight colours, and the part the
// incremental search has matched in black on yellow. Editors come from the grid through a hook,
// cover the cell exactly, and are left alone: the delegate neither writes their text into the
// model nor handles their keys or focus, which are the grid's business.
#pragma once

#include <QStyledItemDelegate>
#include <functional>

class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<bool(const QModelIndex&)> highlighted;
    // Leading characters of the cell's text matched by the incremental search.
    std::function<int(const QModelIndex&)> search_matched;
    std::function<QWidget*(QWidget* parent, const QModelIndex& index)> create_editor;
  };

  explicit CellDelegate(Hooks hooks, QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Hooks hooks_;
};
