#pragma once

#include "app/app_services.h"

#include <QWidget>

#include <memory>

namespace Ui {
class SalesWindow;
}

namespace cuemora {

// Selling goods and keeping the goods stock. Created hidden with the main window; "卖东西" shows
// it and "关     闭" hides it again, keeping the sale in progress as it is. Its grid views show
// whatever grids they are given (ui()->GoodsGrid->setStore, ui()->SaleListGrid->setStore).
class SalesWindow : public QWidget {
    Q_OBJECT

public:
    explicit SalesWindow(const AppServices& services, QWidget* parent = nullptr);
    ~SalesWindow() override;

    // The controls by their names: ui()->GoodsListBox, ui()->完成按钮, ui()->开台组合框1, ...
    Ui::SalesWindow* ui() const { return m_ui.get(); }
    const AppServices& services() const { return m_services; }

private:
    std::unique_ptr<Ui::SalesWindow> m_ui;
    AppServices m_services;
};

} // namespace cuemora
