#include "adjust/find_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <span>

namespace {

constexpr const char* kMatchKinds[] = {"From any part of field", "Whole field",
                                       "From beging of field"};
constexpr const char* kDirections[] = {"Up", "Down", "All"};
constexpr const char* kTreeChoices[] = {"In all nodes", "In expanded nodes", "In current level",
                                        "In current node"};

// One row of the layout: a label, and the control it names (its mnemonic moves there).
struct Row {
  const char* label;
  int x, y, label_width, width;
};
constexpr Row kTextRow{"Fi&nd What:", 8, 8, 64, 320};
constexpr Row kColumnRow{"Find &in:", 8, 36, 64, 150};
constexpr Row kMatchRow{"Matc&h:", 8, 64, 64, 150};
constexpr Row kDirectionRow{"Sea&rch:", 8, 92, 64, 150};
constexpr Row kTreeRow{"Find in Tree:", 8, 128, 64, 150};

}  // namespace

FindTextDialog::FindTextDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Find text");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setWindowModality(Qt::ApplicationModal);
  QFont small = font();
  small.setPixelSize(static_cast<int>(std::lround(10 * logicalDpiY() / 96.0)));
  setFont(small);
  Build();
}

void FindTextDialog::Build() {
  const double scale = logicalDpiY() / 96.0;
  auto px = [scale](int v) { return static_cast<int>(std::lround(v * scale)); };
  auto row = [&](const Row& r, QWidget* control, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(r.label), parent);
    label->setGeometry(px(r.x), px(r.y + 3), px(r.label_width), px(16));
    label->setBuddy(control);
    control->setGeometry(px(r.x + r.label_width), px(r.y), px(r.width), px(21));
    return label;
  };
  auto choice = [&](std::span<const char* const> items, QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (const char* item : items) box->addItem(QString::fromUtf8(item));
    return box;
  };

  text_ = new QComboBox(this);
  text_->setEditable(true);
  text_->setInsertPolicy(QComboBox::NoInsert);
  row(kTextRow, text_, this);
  columns_ = new QComboBox(this);
  row(kColumnRow, columns_, this);
  match_ = choice(kMatchKinds, this);
  row(kMatchRow, match_, this);
  direction_ = choice(kDirections, this);
  direction_->setCurrentIndex(static_cast<int>(SearchDirection::kAll));
  row(kDirectionRow, direction_, this);

  match_case_ = new QCheckBox("Match &Case", this);
  match_case_->setGeometry(px(240), px(38), px(150), px(18));
  match_format_ = new QCheckBox("Match F&ormat", this);
  match_format_->setGeometry(px(240), px(66), px(150), px(18));
  match_format_->setChecked(true);

  find_next_ = new QPushButton("&Find next", this);
  find_next_->setGeometry(px(412), px(8), px(85), px(23));
  find_next_->setDefault(true);
  close_ = new QPushButton("Close", this);
  close_->setGeometry(px(412), px(36), px(85), px(23));

  // Below the dialog's bottom edge, and hidden.
  tree_row_ = new QWidget(this);
  tree_row_->setGeometry(0, px(kTreeRow.y - 4), px(kWidth), px(28));
  auto* tree = choice(kTreeChoices, tree_row_);
  row(Row{kTreeRow.label, kTreeRow.x, 4, kTreeRow.label_width, kTreeRow.width}, tree, tree_row_);
  tree_row_->hide();

  setFixedSize(px(kWidth), px(kHeight));

  connect(find_next_, &QPushButton::clicked, this, [this] {
    const bool reversed = click_modifiers_ & Qt::ControlModifier;
    click_modifiers_ = Qt::NoModifier;
    FindNext(reversed);
  });
  connect(close_, &QPushButton::clicked, this, &QDialog::hide);
  auto changed = [this] { continue_down_ = false; };
  connect(text_, &QComboBox::editTextChanged, this, changed);
  connect(columns_, &QComboBox::currentIndexChanged, this, changed);
  connect(direction_, &QComboBox::currentIndexChanged, this, changed);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void FindTextDialog::Open(const QString& text, const QStringList& titles, int current) {
  columns_->blockSignals(true);
  columns_->clear();
  columns_->addItems(titles);
  columns_->addItem("<All>");
  columns_->setCurrentIndex(current);
  columns_->blockSignals(false);
  column_count_ = static_cast<int>(titles.size());
  text_->setEditText(text);
  continue_down_ = false;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect desktop = screen->availableGeometry();
    move(desktop.center() - QPoint(width() / 2, height() / 2));
  }
  show();
  raise();
  activateWindow();
  text_->setFocus(Qt::OtherFocusReason);
}

FindRequest FindTextDialog::Request(bool reversed) const {
  FindRequest request;
  request.text = text_->currentText();
  const int chosen = columns_->currentIndex();
  if (chosen >= 0 && chosen < column_count_) {
    request.columns = {chosen};
  } else {
    for (int c = 0; c < column_count_; ++c) request.columns.push_back(c);
  }
  request.match = static_cast<MatchKind>(match_->currentIndex());
  request.match_case = match_case_->isChecked();
  request.direction = continue_down_ ? SearchDirection::kDown
                                     : static_cast<SearchDirection>(direction_->currentIndex());
  if (reversed) {
    request.direction =
        request.direction == SearchDirection::kUp ? SearchDirection::kDown : SearchDirection::kUp;
  }
  return request;
}

void FindTextDialog::FindNext(bool reversed) {
  const QString text = text_->currentText();
  if (text_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
    text_->blockSignals(true);
    text_->addItem(text);
    text_->setEditText(text);
    text_->blockSignals(false);
  }
  const FindRequest request = Request(reversed);
  const bool found = on_find && on_find(request);
  if (found && request.direction == SearchDirection::kAll) continue_down_ = true;
}

bool FindTextDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == find_next_ &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
    click_modifiers_ = static_cast<QMouseEvent*>(event)->modifiers();
  }
  auto* widget = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::KeyPress && widget && widget->window() == this) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      FindNext(false);
      return true;
    }
    if (key == Qt::Key_Escape) {
      hide();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
