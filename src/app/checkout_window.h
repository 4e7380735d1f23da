#pragma once

#include "app/app_services.h"
#include "tables/table_register.h"
#include "takings/takings_book.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CheckoutWindow;
}

namespace cuemora {

// The charge of one table, the payment and the change. Created hidden with the main window and
// only shown and hidden afterwards; it is not modal, so the main window stays usable while it is
// open. The table under checkout is known only from the number in 作用透明标签.
class CheckoutWindow : public QWidget {
    Q_OBJECT

public:
    explicit CheckoutWindow(const AppServices& services, QWidget* parent = nullptr);
    ~CheckoutWindow() override;

    // The controls by their names: ui()->作用透明标签, ui()->totalEdit, ui()->结账结束按钮, ...
    Ui::CheckoutWindow* ui() const { return m_ui.get(); }
    const AppServices& services() const { return m_services; }
    // The register whose tables it checks out, and the takings of the day that record them.
    void setRoom(TableRegister& tables, TakingsBook& takings);

    // Shows the charge of table n as it stands now and puts the focus in "付款：". The payment and
    // the change are left as they are: they follow only the operator's typing.
    void FillCheckout(int n);

protected:
    // The close box is the answer No: the window hides, nothing is recorded, the table stays in use.
    void closeEvent(QCloseEvent* event) override;

private:
    // "找零：" after every change of "付款：".
    void ChangeText();
    // "结账": asks, records and frees on Yes; hides whatever the answer.
    void ConfirmCheckout();
    // Hides the window and lets every row of the register show its picture again, so a freed table
    // shows its free picture.
    void hideAndRefresh();

    std::unique_ptr<Ui::CheckoutWindow> m_ui;
    AppServices m_services;
    TableRegister* m_tables = nullptr;
    TakingsBook* m_takings = nullptr;
};

} // namespace cuemora
