#include "app/checkout_window.h"

#include "app/printing.h"
#include "app/window_keys.h"
#include "common/text_rules.h"
#include "takings/receipt.h"
#include "ui_checkout_window.h"

#include <QCloseEvent>

namespace cuemora {

CheckoutWindow::CheckoutWindow(Room& room, Printing& printing, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::CheckoutWindow>())
    , m_room(room)
    , m_printing(printing) {
    m_ui->setupUi(this);
    // Every keystroke in the payment shows its change at once; "明细表" has nothing to show.
    connect(m_ui->paymentEdit, &QLineEdit::textChanged, this, &CheckoutWindow::ChangeText);
    connect(m_ui->结账结束按钮, &QPushButton::clicked, this, &CheckoutWindow::ConfirmCheckout);
    // Enter after the payment is "结账" (which still asks); Escape is the close box.
    connect(m_ui->paymentEdit, &QLineEdit::returnPressed, this, &CheckoutWindow::ConfirmCheckout);
    closeOnEscape(this);
    m_ui->printReceiptButton->setShortcut(QKeySequence::Print);
    connect(m_ui->printReceiptButton, &QPushButton::clicked, this, &CheckoutWindow::PrintReceipt);
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

void CheckoutWindow::PrintReceipt() {
    // The receipt is taken from the boxes and the table's row before the checkout empties the row
    // of its goods.
    CheckoutReceiptInput receipt;
    receipt.tableNumber = m_ui->作用透明标签->text();
    const qint64 n = truncateToWhole(textToNumber(receipt.tableNumber));
    if (m_room.tables().isTable(n)) {
        const GridStore& row = m_room.tables().grid();
        receipt.tableName = row.cellText(static_cast<int>(n), RegisterColumn::Name);
        receipt.goodsNames = row.cellText(static_cast<int>(n), RegisterColumn::GoodsNames);
    }
    receipt.start = m_ui->startEdit->text();
    receipt.hours = m_ui->hoursEdit->text();
    receipt.price = m_ui->priceEdit->text();
    receipt.rate = m_ui->rateEdit->text();
    receipt.due = m_ui->dueEdit->text();
    receipt.afterDiscount = m_ui->discountedEdit->text();
    receipt.goods = m_ui->goodsSubtotalEdit->text();
    receipt.total = m_ui->totalEdit->text();
    receipt.payment = m_ui->paymentEdit->text();
    receipt.change = m_ui->changeEdit->text();
    const ConfirmInput input{receipt.tableNumber, receipt.hours, receipt.total};
    // No receipt for a checkout that was not recorded: the answer No only hides the window.
    if (m_room.ConfirmCheckout(input)) {
        receipt.checkedOut = m_room.clock().now();
        m_printing.PreviewAndPrint(this, PrintKind::Receipt, QStringLiteral("打印小票"),
                                   [receipt](const QString& roomName) {
                                       CheckoutReceiptInput named = receipt;
                                       named.roomName = roomName;
                                       return checkoutReceipt(named);
                                   });
    }
    hide();
}

void CheckoutWindow::closeEvent(QCloseEvent* event) {
    hide();
    m_room.CancelCheckout();
    event->accept();
}

} // namespace cuemora
