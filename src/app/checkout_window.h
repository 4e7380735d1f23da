#pragma once

#include "app/app_services.h"
#include "checkout/takings_book.h"
#include "tables/table_register.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CheckoutWindow;
}

namespace cuemora {

// The charge of one table, the payment and the change. Created hidden with the main window and
// only shown and hidden afterwards; its close box hides it like any window.
class CheckoutWindow : public QWidget {
    Q_OBJECT

public:
    explicit CheckoutWindow(const AppServices& services, QWidget* parent = nullptr);
    ~CheckoutWindow() override;

    // The controls by their names: ui()->作用透明标签, ui()->totalEdit, ui()->结账结束按钮, ...
    Ui::CheckoutWindow* ui() const { return m_ui.get(); }
    const AppServices& services() const { return m_services; }
    // The register whose tables it checks out, and the takings of the day that record them.
    void setRoom(TableRegister& tables, TakingsBook& takings);

private:
    std::unique_ptr<Ui::CheckoutWindow> m_ui;
    AppServices m_services;
    TableRegister* m_tables = nullptr;
    TakingsBook* m_takings = nullptr;
};

} // namespace cuemora
