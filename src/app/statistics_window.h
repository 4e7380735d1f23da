#pragma once

#include "app/app_services.h"
#include "checkout/takings_book.h"

#include <QWidget>

#include <memory>

namespace Ui {
class StatisticsWindow;
}

namespace cuemora {

// The takings of one day with their totals. Created hidden with the main window; "关闭" and the
// close box only hide it. It owns the takings grid, through which every takings row of the day
// passes (a checkout's, a cash sale's).
class StatisticsWindow : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsWindow(const AppServices& services, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // The controls by their names: ui()->TakingsGrid, ui()->statisticsButton, ui()->closeButton.
    Ui::StatisticsWindow* ui() const { return m_ui.get(); }
    const AppServices& services() const { return m_services; }
    TakingsBook& takings() { return m_takings; }

private:
    std::unique_ptr<Ui::StatisticsWindow> m_ui;
    AppServices m_services;
    TakingsBook m_takings;
};

} // namespace cuemora
