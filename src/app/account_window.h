#pragma once

#include "app/app_services.h"

#include <QWidget>

#include <memory>

namespace Ui {
class AccountWindow;
}

namespace cuemora {

// The login that unlocks the setup page, and the change of the account. Created hidden with the
// main window; the page guard shows it, "关闭" hides it.
class AccountWindow : public QWidget {
    Q_OBJECT

public:
    explicit AccountWindow(const AppServices& services, QWidget* parent = nullptr);
    ~AccountWindow() override;

    // The controls by their names: ui()->accountEdit, ui()->passwordEdit, ui()->enterButton,
    // ui()->changeButton, ui()->closeButton, ui()->loginGroup.
    Ui::AccountWindow* ui() const { return m_ui.get(); }
    const AppServices& services() const { return m_services; }

private:
    std::unique_ptr<Ui::AccountWindow> m_ui;
    AppServices m_services;
};

} // namespace cuemora
