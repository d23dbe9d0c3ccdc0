#include "app/system_format_settings.h"

#include <cctype>
#include <string>

namespace {

bool IsLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// The first character of `format` outside quotes that is neither a letter nor a blank.
char FirstSeparator(const std::string& format, char fallback) {
  bool quoted = false;
  for (char c : format) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && c != '\'' && !IsLetter(c) && c != ' ') return c;
  }
  return fallback;
}

// Qt's date tokens d, M, y mean what the Windows ones mean; the separator becomes "/", the
// placeholder of the date separator. Month names (MMM, MMMM) become month numbers: dates are
// written into SQL and filters, where the other side reads numbers.
std::string WindowsDateFormat(const std::string& qt, char separator) {
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < qt.size(); ++i) {
    const char c = qt[i];
    if (c == '\'') {
      quoted = !quoted;
      out += '"';
      continue;
    }
    if (!quoted && c == 'M') {
      std::size_t run = 1;
      while (i + run < qt.size() && qt[i + run] == 'M') ++run;
      out += run == 1 ? "M" : "MM";
      i += run - 1;
      continue;
    }
    out += (!quoted && c == separator) ? '/' : c;
  }
  return out;
}

// Hours, minutes and seconds as they are; "AP"/"ap"/"A"/"a" become AM/PM designators; the
// time-zone token "t" goes, with the blank before it.
std::string WindowsTimeFormat(const std::string& qt) {
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < qt.size(); ++i) {
    const char c = qt[i];
    if (c == '\'') {
      quoted = !quoted;
      out += '"';
      continue;
    }
    if (quoted) {
      out += c;
      continue;
    }
    if (c == 'A' || c == 'a') {
      const bool lower = c == 'a';
      if (i + 1 < qt.size() && (qt[i + 1] == 'P' || qt[i + 1] == 'p')) ++i;
      out += lower ? "am/pm" : "AM/PM";
    } else if (c == 't') {
      while (i + 1 < qt.size() && qt[i + 1] == 't') ++i;
      while (!out.empty() && out.back() == ' ') out.pop_back();
    } else {
      out += c;
    }
  }
  return out;
}

char AsciiOr(const QString& text, char fallback) {
  if (text.size() == 1 && text[0].unicode() < 128) return static_cast<char>(text[0].unicode());
  return fallback;
}

}  // namespace

FormatSettings FormatSettingsFromLocale(const QLocale& locale) {
  FormatSettings fs;
  // The neutral locale writes dates with month names and blanks; keep the neutral numeric form.
  if (locale.language() == QLocale::C) return fs;
  const std::string date = locale.dateFormat(QLocale::ShortFormat).toStdString();
  fs.DateSeparator = FirstSeparator(date, '/');
  fs.ShortDateFormat = WindowsDateFormat(date, fs.DateSeparator);
  const std::string time = locale.timeFormat(QLocale::LongFormat).toStdString();
  fs.TimeSeparator = FirstSeparator(time, ':');
  fs.LongTimeFormat = WindowsTimeFormat(time);
  fs.TimeAMString = locale.amText().toStdString();
  fs.TimePMString = locale.pmText().toStdString();
  fs.DecimalSeparator = AsciiOr(locale.decimalPoint(), '.');
  return fs;
}

FormatSettings ReadSystemFormatSettings() {
  return FormatSettingsFromLocale(QLocale::system());
}

QString QtShortDateFormat(const FormatSettings& fs) {
  QString out;
  const std::string& f = fs.ShortDateFormat;
  for (std::size_t i = 0; i < f.size();) {
    const char c = f[i];
    std::size_t run = 1;
    while (i + run < f.size() && f[i + run] == c) ++run;
    if (c == '"' || c == '\'') {
      const std::size_t end = f.find(c, i + 1);
      const std::size_t stop = end == std::string::npos ? f.size() : end;
      out += '\'' + QString::fromStdString(f.substr(i + 1, stop - i - 1)) + '\'';
      i = stop + 1;
      continue;
    }
    if (c == 'd' || c == 'D') {
      out += QString(static_cast<int>(run), 'd');
    } else if (c == 'M' || c == 'm') {
      out += QString(static_cast<int>(std::min<std::size_t>(run, 4)), 'M');
    } else if (c == 'y' || c == 'Y') {
      out += run <= 2 ? "yy" : "yyyy";
    } else if (c == '/') {
      out += QString(static_cast<int>(run), QChar(fs.DateSeparator));
    } else if (IsLetter(c)) {
      out += '\'' + QString(static_cast<int>(run), QChar(c)) + '\'';
    } else {
      out += QString(static_cast<int>(run), QChar(c));
    }
    i += run;
  }
  return out;
}
