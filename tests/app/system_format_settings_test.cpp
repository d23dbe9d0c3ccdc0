// The regional settings read from a locale, and the date pickers' display format made from
// them: both must write a date exactly as the settings' own formatting does.
#include "app/system_format_settings.h"

#include <gtest/gtest.h>

#include <QDate>

namespace {

struct LocaleCase {
  const char* locale;
  char date_separator;
  char decimal_separator;
};

// Names the cases in test listings (instead of their raw bytes).
void PrintTo(const LocaleCase& c, std::ostream* os) {
  *os << c.locale;
}

class SettingsFromLocale : public testing::TestWithParam<LocaleCase> {};

TEST_P(SettingsFromLocale, WriteDatesAsTheLocaleDoes) {
  const QLocale locale(GetParam().locale);
  const FormatSettings fs = FormatSettingsFromLocale(locale);
  EXPECT_EQ(fs.DateSeparator, GetParam().date_separator) << fs.ShortDateFormat;
  EXPECT_EQ(fs.DecimalSeparator, GetParam().decimal_separator);
  for (const QDate& date : {QDate(2003, 1, 20), QDate(1999, 12, 31), QDate(2024, 2, 9)}) {
    const TDateTime value = EncodeDate(date.year(), date.month(), date.day());
    EXPECT_EQ(FormatDateTime(fs.ShortDateFormat, value, fs),
              locale.toString(date, QLocale::ShortFormat).toStdString())
        << fs.ShortDateFormat;
    TDateTime back = 0;
    ASSERT_TRUE(TryStrToDate(FormatDateTime(fs.ShortDateFormat, value, fs), back, fs, 2024));
    EXPECT_EQ(back, value);
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, SettingsFromLocale,
                         testing::Values(LocaleCase{"es_CO", '/', ','},
                                         LocaleCase{"es_ES", '/', ','},
                                         LocaleCase{"en_US", '/', '.'},
                                         LocaleCase{"de_DE", '.', ','},
                                         LocaleCase{"sv_SE", '-', ','}));

TEST(SettingsFromLocale, NeutralLocaleGivesNumericDates) {
  const FormatSettings fs = FormatSettingsFromLocale(QLocale::c());
  EXPECT_EQ(fs.ShortDateFormat, "dd/MM/yyyy");
  EXPECT_EQ(fs.DateSeparator, '/');
}

struct PickerCase {
  const char* format;
  char separator;
};

void PrintTo(const PickerCase& c, std::ostream* os) {
  *os << c.format << " with " << c.separator;
}

class PickerFormat : public testing::TestWithParam<PickerCase> {};

TEST_P(PickerFormat, ShowsTheDateAsTheSettingsWriteIt) {
  FormatSettings fs;
  fs.ShortDateFormat = GetParam().format;
  fs.DateSeparator = GetParam().separator;
  const QString qt = QtShortDateFormat(fs);
  for (const QDate& date : {QDate(2003, 1, 20), QDate(2026, 12, 9)}) {
    EXPECT_EQ(
        date.toString(qt).toStdString(),
        FormatDateTime(fs.ShortDateFormat, EncodeDate(date.year(), date.month(), date.day()), fs))
        << qt.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, PickerFormat,
                         testing::Values(PickerCase{"dd/MM/yyyy", '/'}, PickerCase{"d/MM/yy", '/'},
                                         PickerCase{"M/d/yyyy", '/'}, PickerCase{"yyyy-MM-dd", '-'},
                                         PickerCase{"dd/MM/yyyy", '.'}, PickerCase{"d/M/y", '/'}));

}  // namespace
