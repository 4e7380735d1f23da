#include "app/account_window.h"

#include "ui_account_window.h"

namespace cuemora {

AccountWindow::AccountWindow(const AppServices& services, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::AccountWindow>())
    , m_services(services) {
    m_ui->setupUi(this);
    // "修改" and "关闭" wait for a login.
    m_ui->changeButton->hide();
    m_ui->closeButton->hide();
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
}

AccountWindow::~AccountWindow() = default;

} // namespace cuemora
