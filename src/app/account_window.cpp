#include "app/account_window.h"

#include "ui_account_window.h"

namespace cuemora {

AccountWindow::AccountWindow(const AppServices& services, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::AccountWindow>())
    , m_services(services)
    , m_accounts(m_services.data) {
    m_ui->setupUi(this);
    // "修改" and "关闭" wait for a login.
    m_ui->changeButton->hide();
    m_ui->closeButton->hide();
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_ui->enterButton, &QPushButton::clicked, this, &AccountWindow::Login);
    connect(m_ui->changeButton, &QPushButton::clicked, this, &AccountWindow::ChangeAccount);
}

void AccountWindow::Login() {
    if (!m_accounts.login(m_ui->accountEdit->text(), m_ui->passwordEdit->text())) {
        m_services.messages.inform(AccountBook::loginFailedMessage());
        return;
    }
    m_ui->loginGroup->setTitle(AccountBook::loggedInCaption());
    if (m_unlock)
        m_unlock();
    m_ui->changeButton->show();
    m_ui->closeButton->show();
}

void AccountWindow::ChangeAccount() {
    const AccountChange change = m_accounts.change(m_ui->accountEdit->text(), m_ui->passwordEdit->text());
    m_services.messages.show(
        Message{change.message, MessageButtons::Ok, change.changed ? MessageIcon::None : MessageIcon::Warning});
    if (change.changed)
        hide();
}

AccountWindow::~AccountWindow() = default;

} // namespace cuemora
