#include "adjust/cell_delegate.h"

#include <QLineEdit>
#include <QPainter>

namespace {

constexpr int kTextMargin = 2;

}  // namespace

CellDelegate::CellDelegate(Hooks hooks, QObject* parent)
    : QStyledItemDelegate(parent), hooks_(std::move(hooks)) {}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  const QPalette& palette = option.palette;
  const bool highlighted = hooks_.highlighted && hooks_.highlighted(index);
  painter->save();
  painter->setClipRect(option.rect);
  painter->fillRect(option.rect, palette.color(highlighted ? QPalette::Highlight : QPalette::Base));
  const QString text = index.data(Qt::DisplayRole).toString();
  const auto alignment =
      Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()) | Qt::AlignVCenter;
  const QRect area = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
  painter->setFont(option.font);
  painter->setPen(palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(area, static_cast<int>(alignment), text);

  const int matched = hooks_.search_matched ? hooks_.search_matched(index) : 0;
  if (matched > 0) {
    // The matched part over what was drawn, where the aligned text puts it.
    const QFontMetrics metrics(option.font);
    const QRect whole = metrics.boundingRect(area, static_cast<int>(alignment), text);
    const QString part = text.left(matched);
    QRect mark(whole.left(), area.top(), metrics.horizontalAdvance(part), area.height());
    painter->fillRect(mark.adjusted(0, 1, 0, -1), QColor(255, 255, 0));
    painter->setPen(Qt::black);
    painter->drawText(mark, static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter), part);
  }
  painter->restore();
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
  return hooks_.create_editor ? hooks_.create_editor(parent, index) : nullptr;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    line->setText(index.data(Qt::EditRole).toString());
  }
}

void CellDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
  // The grid writes typed text through the field, where a failed conversion can be reported.
}

void CellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
  editor->setGeometry(option.rect);
}

bool CellDelegate::eventFilter(QObject*, QEvent*) {
  return false;
}
