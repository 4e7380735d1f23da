#pragma once

#include "app/app_services.h"

#include <QWidget>

#include <memory>

namespace Ui {
class StatisticsWindow;
}

namespace cuemora {

// The takings of one day with their totals. Created hidden with the main window; "关闭" and the
// close box only hide it. Its grid view shows whatever takings grid it is given
// (ui()->TakingsGrid->setStore).
class StatisticsWindow : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsWindow(const AppServices& services, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // The controls by their names: ui()->TakingsGrid, ui()->statisticsButton, ui()->closeButton.
    Ui::StatisticsWindow* ui() const { return m_ui.get(); }
    const AppServices& services() const { return m_services; }

private:
    std::unique_ptr<Ui::StatisticsWindow> m_ui;
    AppServices m_services;
};

} // namespace cuemora
