#pragma once

#include "accounts/account_book.h"
#include "app/app_services.h"

#include <QWidget>

#include <functional>
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
    // What a successful login unlocks besides this window's own buttons: the setup page's groups.
    void setUnlock(std::function<void()> unlock) { m_unlock = std::move(unlock); }

    // "进入": checks the typed account against the account file.
    void Login();
    // "修改": stores the typed account as the new one.
    void ChangeAccount();

private:
    std::unique_ptr<Ui::AccountWindow> m_ui;
    AppServices m_services;
    AccountBook m_accounts;
    std::function<void()> m_unlock;
};

} // namespace cuemora
