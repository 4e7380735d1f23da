// The groups "设置台数、类型、单价", "开台" and "换台和销售" of the main window, and the clock.
#include "app/main_window.h"

#include "app/table_list_box.h"
#include "tables/table_lists.h"
#include "ui_main_window.h"

#include <QTimer>

namespace cuemora {

namespace {

// Rebuilds a list from the register as it drops down: the tables of the type its radio pair
// chooses at this moment, free or in use.
void refillOnDropDown(MainWindow* window, const TableRegister& tables, TableListBox* list, ListedTables which,
                      const QRadioButton* billiard, const QRadioButton* mahjong) {
    QObject::connect(list, &TableListBox::aboutToDropDown, window, [&tables, list, which, billiard, mahjong] {
        list->setTables(FillTableList(tables, which, chosenType(billiard, mahjong)));
    });
}

// After an opening: the list of free tables no longer holds the truth, or the number was used.
void clearAsTold(const OpenOutcome& outcome, Ui::MainWindow& ui) {
    if (outcome.clearList)
        ui.开台组合框->clear();
    if (outcome.clearNumber)
        ui.openNumberEdit->clear();
}

} // namespace

void MainWindow::ConnectTables() {
    connect(m_clock, &QTimer::timeout, this, &MainWindow::ClockTick);

    connect(m_ui->添加按钮, &QPushButton::clicked, this, &MainWindow::AddTables);
    connect(m_ui->按钮6, &QPushButton::clicked, this, &MainWindow::ResetRegister);

    refillOnDropDown(this, m_room.tables(), m_ui->开台组合框, ListedTables::Free, m_ui->单选框1, m_ui->单选框2);
    connect(m_ui->空闲开台按钮, &QPushButton::clicked, this, &MainWindow::OpenFreeTable);
    connect(m_ui->输号开台按钮, &QPushButton::clicked, this, &MainWindow::OpenTableByNumber);
    connect(m_ui->openNumberEdit, &QLineEdit::returnPressed, this, &MainWindow::OpenTableByNumber);

    refillOnDropDown(this, m_room.tables(), m_ui->开台组合框1, ListedTables::InUse, m_ui->单选框5, m_ui->单选框6);
    refillOnDropDown(this, m_room.tables(), m_ui->开台组合框2, ListedTables::Free, m_ui->单选框5, m_ui->单选框6);
    connect(m_ui->换台按钮, &QPushButton::clicked, this, &MainWindow::ChangeTable);
}

void MainWindow::StartClock() {
    if (!m_clock->isActive())
        m_clock->start(1000);
}

void MainWindow::ClockTick() {
    m_room.ClockTick();
}

void MainWindow::AddTables() {
    // Only a chosen item names a type; whatever else the list might show does not.
    const QComboBox* type = m_ui->tableTypeCombo;
    const AddTablesInput input{m_ui->tableCountEdit->text(),
                               type->currentIndex() < 0 ? QString() : type->itemText(type->currentIndex()),
                               m_ui->tableNameEdit->text(), m_ui->tablePriceEdit->text(), m_ui->tableRateEdit->text()};
    m_room.AddTables(input);
}

void MainWindow::ResetRegister() {
    m_room.ResetRegister();
}

void MainWindow::OpenFreeTable() {
    const OpenOutcome outcome =
        m_room.OpenFreeTable(chosenType(m_ui->单选框1, m_ui->单选框2), m_ui->开台组合框->chosenTable());
    clearAsTold(outcome, *m_ui);
}

void MainWindow::OpenTableByNumber() {
    const OpenOutcome outcome = m_room.OpenTableByNumber(m_ui->openNumberEdit->text());
    clearAsTold(outcome, *m_ui);
}

void MainWindow::ChangeTable() {
    const ChangeOutcome outcome = m_room.ChangeTable(
        chosenType(m_ui->单选框5, m_ui->单选框6), m_ui->开台组合框1->chosenTable(), m_ui->开台组合框2->chosenTable());
    if (outcome.clearLists) {
        m_ui->开台组合框1->clear();
        m_ui->开台组合框2->clear();
    }
}

} // namespace cuemora
