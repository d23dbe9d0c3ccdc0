#include "adjustment_grid_fixture.h"

#include <QApplication>
#include <QDateEdit>
#include <QTest>

#include "adjust/adjustment_panel.h"
#include "adjust/records_model.h"
#include "data/client/client_dataset.h"
#include "datamodule/posting_data_module.h"

FormatSettings CommaSettings() {
  FormatSettings settings = FormatSettings::Default();
  settings.DecimalSeparator = ',';
  return settings;
}

void AdjustmentGridTest::AddRates(const std::vector<int>& rates) {
  std::string statements;
  int id = 100;
  for (int rate : rates) {
    statements += "INSERT INTO TARIFA_IVA VALUES (" + std::to_string(id++) + ", 'Tarifa', " +
                  std::to_string(rate) + ");";
  }
  database_.Execute(statements);
}

AdjustmentGrid& AdjustmentGridTest::OpenEditor(const FormatSettings& settings) {
  RecordingPostingForm& form = OpenConnected(database_.Folder(), settings);
  form.EFecIni()->setDate(QDate(2026, 10, 1));
  form.EFecFin()->setDate(QDate(2026, 10, 31));
  PressKey(Qt::Key_F5);
  EXPECT_TRUE(form.AdjustmentPanelVisible());
  EXPECT_TRUE(ui_.calls.empty()) << ui_.calls.front();
  ui_.calls.clear();
  return Grid();
}

AdjustmentGrid& AdjustmentGridTest::Grid() const {
  return *form_->AdjustmentEditorPanel()->Grid();
}

RecordNavigator& AdjustmentGridTest::Navigator() const {
  return *form_->AdjustmentEditorPanel()->Navigator();
}

TClientDataSet& AdjustmentGridTest::Rows() const {
  return form_->Data().CAjuste();
}

std::vector<std::string> AdjustmentGridTest::Shown() const {
  const RecordsModel& model = Grid().Records();
  std::vector<std::string> rows;
  for (int r = 0; r < model.rowCount(); ++r) {
    std::string row;
    for (int c = 0; c < model.columnCount(); ++c) {
      row += (c ? "|" : "") + model.Text(r, c).toStdString();
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> AdjustmentGridTest::ShownColumn(int column) const {
  const RecordsModel& model = Grid().Records();
  std::vector<std::string> texts;
  for (int r = 0; r < model.rowCount(); ++r) texts.push_back(model.Text(r, column).toStdString());
  return texts;
}

int AdjustmentGridTest::CurrentRow() const {
  return Grid().Records().Link().ActiveRow();
}

std::string AdjustmentGridTest::CurrentText() const {
  return Grid().Records().Text(CurrentRow(), Grid().CurrentColumn()).toStdString();
}

void AdjustmentGridTest::Type(const QString& text) {
  for (const QChar c : text) {
    QWidget* target = QApplication::focusWidget();
    if (c.unicode() < 0x80) {
      QTest::keyClick(target, c.toLatin1());
    } else {
      // A key of another keyboard: no key code of its own, only the character.
      QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QCoreApplication::processEvents();
  }
}

void AdjustmentGridTest::Click(int row, int column) {
  AdjustmentGrid& grid = Grid();
  const QModelIndex index = grid.Records().index(row, column);
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier,
                    grid.visualRect(index).center());
  QCoreApplication::processEvents();
}
