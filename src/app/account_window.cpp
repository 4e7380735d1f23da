#include "app/account_window.h"

#include "app/window_keys.h"
#include "ui_account_window.h"

namespace cuemora {

AccountWindow::AccountWindow(Room& room, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::AccountWindow>())
    , m_room(room) {
    m_ui->setupUi(this);
    // "修改" and "关闭" wait for a login.
    m_ui->changeButton->hide();
    m_ui->closeButton->hide();
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_ui->enterButton, &QPushButton::clicked, this, &AccountWindow::Login);
    // Enter in either box is "进入".
    connect(m_ui->accountEdit, &QLineEdit::returnPressed, this, &AccountWindow::Login);
    connect(m_ui->passwordEdit, &QLineEdit::returnPressed, this, &AccountWindow::Login);
    closeOnEscape(this);
    connect(m_ui->changeButton, &QPushButton::clicked, this, &AccountWindow::ChangeAccount);
}

AccountWindow::~AccountWindow() = default;

void AccountWindow::Login() {
    if (!m_room.Login(m_ui->accountEdit->text(), m_ui->passwordEdit->text()))
        return;
    m_ui->loginGroup->setTitle(AccountBook::loggedInCaption());
    m_ui->changeButton->show();
    m_ui->closeButton->show();
}

void AccountWindow::ChangeAccount() {
    const AccountChange change = m_room.ChangeAccount(m_ui->accountEdit->text(), m_ui->passwordEdit->text());
    m_room.messages().show(
        Message{change.message, MessageButtons::Ok, change.changed ? MessageIcon::None : MessageIcon::Warning});
    if (change.changed)
        hide();
}

} // namespace cuemora
