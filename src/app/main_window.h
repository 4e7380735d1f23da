#pragma once

#include "room/room.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;
class QPushButton;
class QTimer;

namespace Ui {
class MainWindow;
}

namespace cuemora {

class AccountWindow;
class CheckoutWindow;
class RegisterPresentation;
class Printing;
class SalesWindow;
class StatisticsWindow;
class TableBoard;

// The program's main window: the open page and the setup page above the register of the room's
// tables. It lives as long as the program, shows the Room it is handed, owns the four secondary
// windows, and hides into the notification area instead of closing; only "退出" in the icon's menu
// ends the program, and only while no table is in use.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    // Whether the desktop has a notification area to hide the program in.
    using TrayCheck = std::function<bool()>;

    explicit MainWindow(Room& room, TrayCheck notificationAreaAvailable = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // 时钟1: the one-second clock of the tables in use, stopped (interval 0) until a table is opened.
    QTimer* clock() const { return m_clock; }
    CheckoutWindow* checkoutWindow() const { return m_checkout.get(); }
    SalesWindow* salesWindow() const { return m_sales.get(); }
    StatisticsWindow* statisticsWindow() const { return m_statistics.get(); }
    AccountWindow* accountWindow() const { return m_account.get(); }
    // The printing the windows share: the previews, the room's name and the printers chosen.
    Printing& printing() const { return *m_printing; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    QMenu* trayMenu() const { return m_trayMenu; }

    // Refreshes the notification-area icon and hides the window there (or minimises it where the
    // desktop has no notification area, so the program can always be reached again).
    void HideToTray();
    // Ends the program unless a table is still in use.
    void ExitProgram();
    // "关于" in the icon's menu: the program's name, its version and the directory of its data.
    void ShowAbout();
    // Shows the account window while the setup page is chosen and nobody has logged in.
    void GuardSetupPage();
    // "看板": the register as a board of tiles instead of its grid, or the grid again. The choice
    // is the user's settings' "view/board" (QSettings, INI format, user scope), read at start.
    void ShowBoard(bool board);

Q_SIGNALS:
    // The program has ended: every window is closed and nothing more will happen.
    void ended();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Each group of the window wires its own controls, in the file of its subsystem.
    void ConnectTables();   // main_window_tables.cpp
    void ConnectCheckout(); // main_window_checkout.cpp
    // The keys of the counter: F2 开台, F3 结账, F4 卖东西, F5 换台, each told in its buttons'
    // tooltips.
    void ConnectShortcuts();
    void ConnectBoard(); // main_window_board.cpp

    // A double-click on a tile of the board: a free table is opened as "输号开台" opens it, a table
    // in use goes to its checkout as "输号结账" takes it there.
    void BoardTableActivated(int n);

    // --- Tables: setup, opening, the clock, changing tables (main_window_tables.cpp) ---------------

    // Makes 时钟1 tick every second from the first opening on; a running clock is not restarted.
    void StartClock();
    // One tick of 时钟1: the room counts the seconds of the tables in use.
    void ClockTick();
    // A login opens the setup page: its groups are shown and enabled.
    void UnlockSetupPage();

    // "添加": appends the batch of the five boxes to the register and saves it; the boxes keep
    // their texts for the next batch.
    void AddTables();
    // "重设": empties the register on screen.
    void ResetRegister();
    // "开    台": opens the table picked from 开台组合框.
    void OpenFreeTable();
    // "输号开台": opens the table whose number is typed.
    void OpenTableByNumber();
    // "换台": moves the guests from the table picked in 开台组合框1 to the one picked in 开台组合框2.
    void ChangeTable();

    // --- Checkout and the day's takings (main_window_checkout.cpp) ----------------------------------

    // 结账组合框 as it drops down: the tables in use of the type that 单选框3/单选框4 choose.
    void FillCheckoutList();
    // "开始结账": the checkout window for the table picked from the list, which then empties.
    void StartCheckout();
    // "输号结账": the checkout window for the table whose number is typed; a number that names no
    // table is refused and shows nothing.
    void CheckoutByNumber();
    // "查找": the statistics window for the day in the query box.
    void FindDay();

    // --- The shell (main_window.cpp) ------------------------------------------------------------------

    void PutIconInTray();
    void TrayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void PopUpTrayMenu();
    void ShowFromTray();

    std::unique_ptr<Ui::MainWindow> m_ui;
    Room& m_room;
    TrayCheck m_notificationAreaAvailable;
    QIcon m_appIcon;
    QTimer* m_clock = nullptr;
    QTimer* m_clock2 = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    std::unique_ptr<Printing> m_printing; // before the windows that print through it
    std::unique_ptr<CheckoutWindow> m_checkout;
    std::unique_ptr<SalesWindow> m_sales;
    std::unique_ptr<StatisticsWindow> m_statistics;
    std::unique_ptr<AccountWindow> m_account;
    std::unique_ptr<RegisterPresentation> m_registerPresentation;
    TableBoard* m_board = nullptr;
    QPushButton* m_boardButton = nullptr;
    bool m_ending = false;
};

} // namespace cuemora
