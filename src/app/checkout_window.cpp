#include "app/checkout_window.h"

#include "app/window_keys.h"
#include "ui_checkout_window.h"

#include <QCloseEvent>

namespace cuemora {

CheckoutWindow::CheckoutWindow(Room& room, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::CheckoutWindow>())
    , m_room(room) {
    m_ui->setupUi(this);
    // Every keystroke in the payment shows its change at once; "明细表" has nothing to show.
    connect(m_ui->paymentEdit, &QLineEdit::textChanged, this, &CheckoutWindow::ChangeText);
    connect(m_ui->结账结束按钮, &QPushButton::clicked, this, &CheckoutWindow::ConfirmCheckout);
    // Enter after the payment is "结账" (which still asks); Escape is the close box.
    connect(m_ui->paymentEdit, &QLineEdit::returnPressed, this, &CheckoutWindow::ConfirmCheckout);
    closeOnEscape(this);
}

CheckoutWindow::~CheckoutWindow() = default;

void CheckoutWindow::FillCheckout(int n) {
    show();
    raise();
    activateWindow();
    const CheckoutTexts texts = cuemora::FillCheckout(m_room.tables(), n);
    m_ui->startEdit->setText(texts.start);
    m_ui->hoursEdit->setText(texts.hours);
    m_ui->rateEdit->setText(texts.rate);
    m_ui->priceEdit->setText(texts.price);
    m_ui->goodsSubtotalEdit->setText(texts.goods);
    m_ui->dueEdit->setText(texts.due);
    m_ui->discountedEdit->setText(texts.afterDiscount);
    m_ui->totalEdit->setText(texts.total);
    // A payment and its change belong to the guest they were typed for: the next table starts
    // with both empty (the payment first, since emptying it computes a change).
    m_ui->paymentEdit->clear();
    m_ui->changeEdit->clear();
    m_ui->paymentEdit->setFocus(Qt::OtherFocusReason);
    m_ui->作用透明标签->setText(texts.tableNumber);
}

void CheckoutWindow::ChangeText() {
    m_ui->changeEdit->setText(cuemora::ChangeText(m_ui->paymentEdit->text(), m_ui->totalEdit->text()));
}

void CheckoutWindow::ConfirmCheckout() {
    // The boxes as they stand now: a duration or a total the operator corrected is what is kept.
    const ConfirmInput input{m_ui->作用透明标签->text(), m_ui->hoursEdit->text(), m_ui->totalEdit->text()};
    m_room.ConfirmCheckout(input);
    hide();
}

void CheckoutWindow::closeEvent(QCloseEvent* event) {
    hide();
    m_room.CancelCheckout();
    event->accept();
}

} // namespace cuemora
