// BevelPanel: a plain panel with a one-pixel raised outer bevel, optionally a lowered inner
// bevel, and an optional caption drawn centred in the panel's font and text colour.
#pragma once

#include <QFrame>
#include <QString>

class BevelPanel : public QFrame {
  Q_OBJECT

 public:
  explicit BevelPanel(QWidget* parent = nullptr);

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  void SetLoweredInnerBevel(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  bool lowered_inner_ = false;
};
