// The groups "设置台数、类型、单价", "开台" and "换台和销售" of the main window, and the clock.
#include "app/main_window.h"

#include "tables/table_opening.h"
#include "ui_main_window.h"

#include <QTimer>

namespace cuemora {

void MainWindow::ConnectTables() {
    connect(m_clock, &QTimer::timeout, this, &MainWindow::ClockTick);
}

void MainWindow::StartClock() {
    if (!m_clock->isActive())
        m_clock->start(1000);
}

void MainWindow::ClockTick() {
    cuemora::ClockTick(m_register);
}

} // namespace cuemora
