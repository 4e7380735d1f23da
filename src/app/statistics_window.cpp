#include "app/statistics_window.h"

#include "app/window_keys.h"
#include "ui_statistics_window.h"

namespace cuemora {

StatisticsWindow::StatisticsWindow(Room& room, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::StatisticsWindow>())
    , m_room(room) {
    m_ui->setupUi(this);
    m_ui->TakingsGrid->setStore(&m_room.takings().grid());
    m_ui->TakingsGrid->setReadOnly(true); // the takings are what the checkouts and sales recorded
    connect(m_ui->statisticsButton, &QPushButton::clicked, this, &StatisticsWindow::ShowDayTotals);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
    closeOnEscape(this);
}

StatisticsWindow::~StatisticsWindow() {
    m_ui->TakingsGrid->setStore(nullptr);
}

void StatisticsWindow::setQuery(std::function<QString()> query) {
    m_query = std::move(query);
}

void StatisticsWindow::FindDay(const QString& day) {
    setWindowTitle(QStringLiteral("统计窗口查询：") + day);
    show();
    raise();
    activateWindow();
    m_room.takings().WriteTakingsHeader();
}

void StatisticsWindow::ShowDayTotals() {
    m_room.ShowDayTotals(m_query ? m_query() : QString());
}

} // namespace cuemora
