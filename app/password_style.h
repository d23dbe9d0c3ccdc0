// PasswordStyle: the application's style, except that a password edit masks every character
// with "*".
#pragma once

#include <QProxyStyle>

class PasswordStyle : public QProxyStyle {
  Q_OBJECT

 public:
  int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                const QWidget* widget = nullptr,
                QStyleHintReturn* returnData = nullptr) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};
