#include "app/checkout_window.h"

#include "ui_checkout_window.h"

namespace cuemora {

CheckoutWindow::CheckoutWindow(const AppServices& services, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::CheckoutWindow>())
    , m_services(services) {
    m_ui->setupUi(this);
}

CheckoutWindow::~CheckoutWindow() = default;

void CheckoutWindow::setRoom(TableRegister& tables, TakingsBook& takings) {
    m_tables = &tables;
    m_takings = &takings;
}

} // namespace cuemora
