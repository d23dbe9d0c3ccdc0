#include "adjust/cell_editor.h"

#include <QKeyEvent>

namespace {

constexpr Qt::KeyboardModifiers kModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

}  // namespace

CellEditor::CellEditor(CellEditorOwner& owner, std::function<bool(QChar)> accepts, QWidget* parent)
    : QLineEdit(parent), owner_(owner), accepts_(std::move(accepts)) {
  setFrame(false);
  connect(this, &QLineEdit::textEdited, this, [this] {
    if (!owner_.TextEdited()) undo();
  });
}

void CellEditor::SelectWhole() {
  const auto length = static_cast<int>(text().size());
  setSelection(length, -length);
}

QKeyEvent* TabPress(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return nullptr;
  auto* key = static_cast<QKeyEvent*>(event);
  return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ? key : nullptr;
}

bool CellEditor::event(QEvent* event) {
  // Tab and Shift+Tab belong to the grid, never to the focus chain.
  if (QKeyEvent* tab = TabPress(event)) {
    keyPressEvent(tab);
    return true;
  }
  return QLineEdit::event(event);
}

bool CellEditor::AtStart() const {
  if (hasSelectedText()) return selectionStart() == 0 && selectedText().size() == text().size();
  return cursorPosition() == 0;
}

bool CellEditor::AtEnd() const {
  if (hasSelectedText()) return selectionStart() == 0 && selectedText().size() == text().size();
  return cursorPosition() == text().size();
}

bool CellEditor::HandsOver(const QKeyEvent& event) const {
  const Qt::KeyboardModifiers mods = event.modifiers() & kModifiers;
  const bool ctrl = mods & Qt::ControlModifier;
  switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return true;
    case Qt::Key_Left:
    case Qt::Key_Home:
      return ctrl || AtStart();
    case Qt::Key_Right:
    case Qt::Key_End:
      return ctrl || AtEnd();
    case Qt::Key_Insert:
      return mods == Qt::NoModifier;
    case Qt::Key_Delete:
      return ctrl;
    case Qt::Key_F:
    case Qt::Key_Apostrophe:
      return mods == Qt::ControlModifier;
    default:
      return false;
  }
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
  if (HandsOver(*event)) return owner_.HandOverKey(*event);
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_F2:
    case Qt::Key_F5:
      return event->ignore();
    default:
      break;
  }
  const bool typed = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (typed) {
    for (const QChar c : event->text()) {
      if (!accepts_(c)) {
        owner_.CharacterRefused();
        return event->accept();
      }
    }
  }
  QLineEdit::keyPressEvent(event);
}
