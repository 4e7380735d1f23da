#include "app/checkout_window.h"

#include "checkout/checkout.h"
#include "ui_checkout_window.h"

#include <QCloseEvent>

namespace cuemora {

CheckoutWindow::CheckoutWindow(const AppServices& services, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::CheckoutWindow>())
    , m_services(services) {
    m_ui->setupUi(this);
    // Every keystroke in the payment shows its change at once; "明细表" has nothing to show.
    connect(m_ui->paymentEdit, &QLineEdit::textChanged, this, &CheckoutWindow::ChangeText);
    connect(m_ui->结账结束按钮, &QPushButton::clicked, this, &CheckoutWindow::ConfirmCheckout);
}

CheckoutWindow::~CheckoutWindow() = default;

void CheckoutWindow::setRoom(TableRegister& tables, TakingsBook& takings) {
    m_tables = &tables;
    m_takings = &takings;
}

void CheckoutWindow::FillCheckout(int n) {
    if (!m_tables)
        return;
    show();
    raise();
    activateWindow();
    const CheckoutTexts texts = cuemora::FillCheckout(*m_tables, n);
    m_ui->startEdit->setText(texts.start);
    m_ui->hoursEdit->setText(texts.hours);
    m_ui->rateEdit->setText(texts.rate);
    m_ui->priceEdit->setText(texts.price);
    m_ui->goodsSubtotalEdit->setText(texts.goods);
    m_ui->dueEdit->setText(texts.due);
    m_ui->discountedEdit->setText(texts.afterDiscount);
    m_ui->totalEdit->setText(texts.total);
    m_ui->paymentEdit->setFocus(Qt::OtherFocusReason);
    m_ui->作用透明标签->setText(texts.tableNumber);
}

void CheckoutWindow::ChangeText() {
    m_ui->changeEdit->setText(cuemora::ChangeText(m_ui->paymentEdit->text(), m_ui->totalEdit->text()));
}

void CheckoutWindow::ConfirmCheckout() {
    if (m_tables && m_takings) {
        // The boxes as they stand now: a duration or a total the operator corrected is what is kept.
        const ConfirmInput input{m_ui->作用透明标签->text(), m_ui->hoursEdit->text(), m_ui->totalEdit->text()};
        cuemora::ConfirmCheckout(*m_tables, *m_takings, input, m_services.messages);
    }
    hideAndRefresh();
}

void CheckoutWindow::hideAndRefresh() {
    hide();
    if (m_tables)
        m_tables->RefreshPictures();
}

void CheckoutWindow::closeEvent(QCloseEvent* event) {
    hideAndRefresh();
    event->accept();
}

} // namespace cuemora
