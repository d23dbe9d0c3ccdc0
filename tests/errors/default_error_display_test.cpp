#include "errors/default_error_display.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/exceptions.h"
#include "recording_ui.h"

namespace {

struct PeriodCase {
  std::string text;
  std::string shown;
};

// Names the case in test listings by its text.
void PrintTo(const PeriodCase& c, std::ostream* os) {
  *os << '[' << c.text << ']';
}

class PeriodRule : public testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodRule, AppendsAPeriodOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(WithClosingPeriod(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeriodRule,
    testing::Values(PeriodCase{"", ""}, PeriodCase{"Fallo", "Fallo."},
                    PeriodCase{"code 21", "code 21."}, PeriodCase{"Campo:", "Campo:."},
                    PeriodCase{"ya tiene.", "ya tiene."}, PeriodCase{"termina ", "termina "},
                    PeriodCase{"alto!", "alto!"}, PeriodCase{"on table \"X\"", "on table \"X\""},
                    PeriodCase{"(nota)", "(nota)"}, PeriodCase{"a,", "a,"}, PeriodCase{"a-", "a-"},
                    PeriodCase{"linea\r\n", "linea\r\n"}, PeriodCase{"Compañía", "Compañía."},
                    PeriodCase{"/", "/."},
                    PeriodCase{"dbExpress Error: [0x0015]: Connection failed\r\n"
                               "SQL Server Error: I/O error for file \"x.fdb\"",
                               "dbExpress Error: [0x0015]: Connection failed\r\n"
                               "SQL Server Error: I/O error for file \"x.fdb\""},
                    PeriodCase{"dbExpress Error: x\r\nSQL Server Error: login failed",
                               "dbExpress Error: x\r\nSQL Server Error: login failed."}));

struct FailureCase {
  const char* what;
  std::exception_ptr failure;
  std::vector<UiCall> calls;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.what;
}

class DefaultDisplay : public testing::TestWithParam<FailureCase> {};

TEST_P(DefaultDisplay, ShowsTheFailureBoxOrNothing) {
  RecordingUi ui;
  ShowDefaultError(GetParam().failure, ui);
  EXPECT_EQ(ui.calls, GetParam().calls) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultDisplay,
    testing::Values(
        FailureCase{"database failure",
                    std::make_exception_ptr(EDatabaseError("CAjuste: Deletes are not allowed")),
                    {{"failure", "CAjuste: Deletes are not allowed."}}},
        FailureCase{"plain failure",
                    std::make_exception_ptr(Exception("Invalid data type for 'Directorio'")),
                    {{"failure", "Invalid data type for 'Directorio'"}}},
        FailureCase{"library failure",
                    std::make_exception_ptr(std::runtime_error("sin memoria")),
                    {{"failure", "sin memoria."}}},
        FailureCase{"empty text", std::make_exception_ptr(Exception("")), {{"failure", ""}}},
        FailureCase{"silent abort", std::make_exception_ptr(EAbort()), {}},
        FailureCase{
            "unknown object", std::make_exception_ptr(42), {{"failure", "Unknown failure."}}}));

TEST(RunHandler, ShowsTheFailureAndStopsTheHandlerThere) {
  RecordingUi ui;
  std::vector<int> steps;
  const bool ok = RunHandler(ui, [&] {
    steps.push_back(1);
    throw EDatabaseError("Talvora: falla");
    steps.push_back(2);
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(steps, std::vector<int>{1});
  EXPECT_EQ(ui.calls, (std::vector<UiCall>{{"failure", "Talvora: falla."}}));
}

TEST(RunHandler, ShowsNothingForASilentAbortOrSuccess) {
  RecordingUi ui;
  EXPECT_FALSE(RunHandler(ui, [] { Abort(); }));
  EXPECT_TRUE(RunHandler(ui, [] {}));
  EXPECT_TRUE(ui.calls.empty());
}

}  // namespace
