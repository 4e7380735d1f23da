#include "app/statistics_window.h"

#include "ui_statistics_window.h"

namespace cuemora {

StatisticsWindow::StatisticsWindow(const AppServices& services, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::StatisticsWindow>())
    , m_services(services)
    , m_takings(m_services.data, m_services.clock) {
    m_ui->setupUi(this);
    m_ui->TakingsGrid->setStore(&m_takings.grid());
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
}

StatisticsWindow::~StatisticsWindow() {
    m_ui->TakingsGrid->setStore(nullptr);
}

} // namespace cuemora
