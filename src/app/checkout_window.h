#pragma once

#include "room/room.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CheckoutWindow;
}

namespace cuemora {

class Printing;

// The charge of one table, the payment and the change. Created hidden with the main window and
// only shown and hidden afterwards; it is not modal, so the main window stays usable while it is
// open. The table under checkout is known only from the number in 作用透明标签.
class CheckoutWindow : public QWidget {
    Q_OBJECT

public:
    CheckoutWindow(Room& room, Printing& printing, QWidget* parent = nullptr);
    ~CheckoutWindow() override;

    // Shows the charge of table n as it stands now, with "付款：" and "找零：" empty, and puts the
    // focus in "付款：".
    void FillCheckout(int n);

protected:
    // The close box is the answer No: the window hides, nothing is recorded, the table stays in use.
    void closeEvent(QCloseEvent* event) override;

private:
    // "找零：" after every change of "付款：".
    void ChangeText();
    // "结账": asks, records and frees on Yes; hides whatever the answer.
    void ConfirmCheckout();
    // "打印小票" (Ctrl+P): the same confirmation; on Yes the receipt of the checkout just recorded
    // is previewed and printed before the window hides.
    void PrintReceipt();

    std::unique_ptr<Ui::CheckoutWindow> m_ui;
    Room& m_room;
    Printing& m_printing;
};

} // namespace cuemora
