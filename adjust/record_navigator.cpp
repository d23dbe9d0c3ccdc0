#include "adjust/record_navigator.h"

#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <cmath>

#include "db/dataset/data_source.h"
#include "errors/default_error_display.h"
#include "ui/ui_services.h"

namespace {

constexpr int kGlyphSize = 11;

// The glyphs, drawn in black on a clear square; the toolkit greys them for a disabled button.
QPixmap Glyph(RecordNavigator::Button button) {
  QPixmap pixmap(kGlyphSize, kGlyphSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  const QColor ink = Qt::black;
  auto triangle = [&](int tipX, int baseX) {
    QPainterPath path;
    path.moveTo(baseX, 1);
    path.lineTo(tipX, 5.5);
    path.lineTo(baseX, 10);
    path.closeSubpath();
    p.fillPath(path, ink);
  };
  switch (button) {
    case RecordNavigator::kFirst:
      p.fillRect(1, 1, 2, 9, ink);
      triangle(3, 8);
      break;
    case RecordNavigator::kPrior:
      triangle(2, 7);
      break;
    case RecordNavigator::kNext:
      triangle(9, 4);
      break;
    case RecordNavigator::kLast:
      triangle(8, 3);
      p.fillRect(8, 1, 2, 9, ink);
      break;
    case RecordNavigator::kInsert:
      p.fillRect(4, 1, 3, 9, ink);
      p.fillRect(1, 4, 9, 3, ink);
      break;
    case RecordNavigator::kDelete:
      p.fillRect(1, 4, 9, 3, ink);
      break;
    case RecordNavigator::kCancel: {
      QPen pen(ink, 2);
      p.setPen(pen);
      p.drawLine(2, 2, 9, 9);
      p.drawLine(9, 2, 2, 9);
      break;
    }
    case RecordNavigator::kButtonCount:
      break;
  }
  return pixmap;
}

}  // namespace

std::vector<int> SpreadWidths(int total, int count, int minimum) {
  std::vector<int> widths(static_cast<std::size_t>(count > 0 ? count : 0), minimum);
  if (count <= 0) return widths;
  const int share = total / count;
  if (share < minimum) return widths;
  const int leftover = total - share * count;
  for (int i = 0; i < count; ++i) {
    // Button i takes an extra pixel when a new multiple of count/leftover begins at it.
    const int extra = (i + 1) * leftover / count - i * leftover / count;
    widths[static_cast<std::size_t>(i)] = share + extra;
  }
  return widths;
}

class RecordNavigator::Link final : public TDataLink {
 public:
  explicit Link(RecordNavigator& navigator) : navigator_(navigator) {}

 protected:
  void ActiveChanged() override { navigator_.UpdateButtons(); }
  void EditingChanged() override { navigator_.UpdateButtons(); }
  void DataSetChanged() override { navigator_.UpdateButtons(); }
  void DataSetScrolled() override { navigator_.UpdateButtons(); }

 private:
  RecordNavigator& navigator_;
};

RecordNavigator::RecordNavigator(UiServices& ui, QWidget* parent)
    : QWidget(parent), ui_(ui), link_(std::make_unique<Link>(*this)) {
  static constexpr const char* kNames[] = {"First",  "Prior",  "Next",  "Last",
                                           "Insert", "Delete", "Cancel"};
  for (int b = 0; b < kButtonCount; ++b) {
    auto* button = new QToolButton(this);
    button->setObjectName(kNames[b]);
    button->setIcon(QIcon(Glyph(static_cast<Button>(b))));
    button->setIconSize(QSize(kGlyphSize, kGlyphSize));
    button->setFocusPolicy(Qt::NoFocus);
    button->setEnabled(false);
    connect(button, &QToolButton::clicked, this, [this, b] { Act(static_cast<Button>(b)); });
    buttons_[static_cast<std::size_t>(b)] = button;
  }
  for (Button repeating : {kPrior, kNext}) {
    QToolButton* button = buttons_[repeating];
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(400);
    button->setAutoRepeatInterval(100);
  }
  setFocusPolicy(Qt::NoFocus);
}

RecordNavigator::~RecordNavigator() {
  link_->SetDataSource(nullptr);
}

void RecordNavigator::SetDataSource(TDataSource* source) {
  link_->SetDataSource(source);
  UpdateButtons();
}

void RecordNavigator::UpdateButtons() {
  const TDataSet* data = link_->DataSet();
  const bool active = link_->Active() && data;
  const bool canModify = active && data->CanModify();
  const bool up = active && !data->Bof();
  const bool down = active && !data->Eof();
  const bool enabled[kButtonCount] = {
      up, up, down, down, canModify, canModify && !data->IsEmpty(), canModify && link_->Editing(),
  };
  for (int b = 0; b < kButtonCount; ++b)
    buttons_[static_cast<std::size_t>(b)]->setEnabled(enabled[b]);
}

void RecordNavigator::Act(Button button) {
  TDataSet* data = link_->DataSet();
  if (!data) return;
  RunHandler(ui_, [&] {
    switch (button) {
      case kFirst:
        return data->First();
      case kPrior:
        return data->Prior();
      case kNext:
        return data->Next();
      case kLast:
        return data->Last();
      case kInsert:
        return data->Insert();
      case kDelete:
        if (ui_.Confirm("Delete record?")) data->Delete();
        return;
      case kCancel:
        return data->Cancel();
      case kButtonCount:
        return;
    }
  });
}

void RecordNavigator::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void RecordNavigator::LayOut() {
  const int minimum = static_cast<int>(std::lround(kMinButtonWidth * logicalDpiX() / 96.0));
  const std::vector<int> widths = SpreadWidths(width(), kButtonCount, minimum);
  int x = 0;
  for (int b = 0; b < kButtonCount; ++b) {
    buttons_[static_cast<std::size_t>(b)]->setGeometry(x, 0, widths[static_cast<std::size_t>(b)],
                                                       height());
    x += widths[static_cast<std::size_t>(b)];
  }
}
