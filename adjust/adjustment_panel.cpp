#include "adjust/adjustment_panel.h"

#include <QEvent>
#include <QLabel>
#include <cmath>

#include "adjust/adjustment_grid.h"
#include "adjust/record_navigator.h"

namespace {

constexpr int kBevel = 1;

}  // namespace

AdjustmentPanel::AdjustmentPanel(TDataSource& source, UiServices& ui,
                                 const FormatSettings& settings, QWidget* parent)
    : QWidget(parent) {
  setObjectName("AdjustmentPanel");
  caption_ = new QLabel("Tarifas", this);
  caption_->setObjectName("Caption");
  caption_->setAutoFillBackground(true);
  caption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  caption_->setIndent(4);
  QPalette palette = caption_->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
  palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
  caption_->setPalette(palette);

  grid_ = new AdjustmentGrid(ui, settings, this);
  grid_->setObjectName("DBGridEh2");
  grid_->SetDataSource(&source);
  navigator_ = new RecordNavigator(ui, this);
  navigator_->setObjectName("DBNavigator1");
  navigator_->SetDataSource(&source);

  // The panel follows its parent's size.
  parent->installEventFilter(this);
  LayOut();
}

AdjustmentPanel::~AdjustmentPanel() {
  if (parentWidget()) parentWidget()->removeEventFilter(this);
}

bool AdjustmentPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) LayOut();
  return QWidget::eventFilter(watched, event);
}

void AdjustmentPanel::LayOut() {
  const double scale = logicalDpiY() / 96.0;
  auto px = [scale](int v) { return static_cast<int>(std::lround(v * scale)); };
  const QWidget* parent = parentWidget();
  setGeometry(kBevel, kBevel, parent->width() - 2 * kBevel, parent->height() - 2 * kBevel);
  const int caption = px(kCaptionHeight);
  const int navigator = px(RecordNavigator::kHeight);
  caption_->setGeometry(0, 0, width(), caption);
  navigator_->setGeometry(0, height() - navigator, width(), navigator);
  grid_->setGeometry(0, caption, width(), height() - caption - navigator);
}
