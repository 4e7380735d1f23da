#include "app/main_window.h"

#include "app/account_window.h"
#include "app/checkout_window.h"
#include "app/printing.h"
#include "app/register_presentation.h"
#include "app/sales_window.h"
#include "app/statistics_window.h"
#include "app/window_places.h"
#include "common/text_rules.h"
#include "ui_main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QShortcut>
#include <QTimer>

namespace cuemora {

namespace {

QString trayToolTip() {
    return QStringLiteral("Brellix>>Cuemora1.0");
}

} // namespace

MainWindow::MainWindow(Room& room, TrayCheck notificationAreaAvailable, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::MainWindow>())
    , m_room(room)
    , m_notificationAreaAvailable(notificationAreaAvailable ? std::move(notificationAreaAvailable)
                                                            : [] { return QSystemTrayIcon::isSystemTrayAvailable(); })
    , m_appIcon(QStringLiteral(":/icons/cuemora.ico")) {
    m_ui->setupUi(this);
    setWindowIcon(m_appIcon);
    move(50, 50);
    // The setup page's groups wait for a login: hidden, and disabled so that nothing (an
    // accessibility tool, a stray shortcut) can press their buttons before one.
    for (QGroupBox* group : {m_ui->setupGroup, m_ui->statisticsGroup}) {
        group->hide();
        group->setEnabled(false);
    }

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("时钟1"));
    m_clock->setTimerType(Qt::PreciseTimer);
    m_clock->setInterval(0);
    m_clock2 = new QTimer(m_ui->changeGroup); // kept with its group; nothing starts it
    m_clock2->setObjectName(QStringLiteral("时钟2"));

    m_trayMenu = new QMenu(QStringLiteral("菜单"), this);
    m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
    QAction* aboutAction = m_trayMenu->addAction(QStringLiteral("关于"));
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
    connect(aboutAction, &QAction::triggered, this, &MainWindow::ShowAbout);
    QAction* exitAction = m_trayMenu->addAction(QStringLiteral("退出"));
    exitAction->setObjectName(QStringLiteral("exitAction"));
    connect(exitAction, &QAction::triggered, this, &MainWindow::ExitProgram);

    // Set-up, in the order the rest of the program relies on; the room has loaded its files.
    m_tray = new QSystemTrayIcon(this);
    m_tray->setObjectName(QStringLiteral("trayIcon"));
    connect(m_tray, &QSystemTrayIcon::activated, this, &MainWindow::TrayIconActivated);
    PutIconInTray();
    m_ui->queryDateEdit->setText(dayText(m_room.clock().now().date()));
    m_ui->TableRegister->setStore(&m_room.tables().grid());
    m_registerPresentation = std::make_unique<RegisterPresentation>(m_room.tables(), m_room.clock());
    m_ui->TableRegister->setPresentation(m_registerPresentation.get());
    m_ui->TableRegister->setFitColumnsToContents(true);
    m_printing = std::make_unique<Printing>(m_room.messages());
    m_checkout = std::make_unique<CheckoutWindow>(m_room, *m_printing);
    m_sales = std::make_unique<SalesWindow>(m_room, *m_printing);
    m_statistics = std::make_unique<StatisticsWindow>(m_room, *m_printing);
    m_account = std::make_unique<AccountWindow>(m_room);
    // Every window comes back where the operator left it; the others open beside this one.
    auto* places = new WindowPlaces(this, m_ui->TableRegister);
    places->restoreMain();
    for (QWidget* window :
         std::initializer_list<QWidget*>{m_checkout.get(), m_sales.get(), m_statistics.get(), m_account.get()})
        places->manage(window);
    connect(&m_room, &Room::unlocked, this, &MainWindow::UnlockSetupPage);
    if (m_room.loggedIn())
        UnlockSetupPage();
    ConnectTables();
    ConnectCheckout();
    ConnectShortcuts();
    ConnectBoard();
    // Tables that came back in use after a power cut or a crash have had their seconds brought up to
    // their start times by the room as it opened; the clock counts on from there at once.
    connect(&m_room, &Room::clockStarted, this, &MainWindow::StartClock);
    if (m_room.clockRunning())
        StartClock();

    connect(m_ui->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::GuardSetupPage);
    connect(m_ui->minimizeButton, &QPushButton::clicked, this, &MainWindow::HideToTray);
    connect(m_ui->sellButton, &QPushButton::clicked, this, [this] {
        m_sales->show();
        m_sales->raise();
        m_sales->activateWindow();
    });
}

void MainWindow::ConnectShortcuts() {
    // Each key brings the operator to the place where the job starts: the number box of "开台"
    // and of "结账" (Enter there does the rest), the sales window, the group "换台和销售".
    const auto onOpenPage = [this](QWidget* target) {
        m_ui->tabWidget->setCurrentWidget(m_ui->openPage);
        target->setFocus(Qt::ShortcutFocusReason);
        if (auto* box = qobject_cast<QLineEdit*>(target))
            box->selectAll();
    };
    const struct {
        Qt::Key key;
        std::function<void()> run;
        QList<QWidget*> told; // the buttons whose tooltips name the key
    } keys[] = {
        {Qt::Key_F2, [=, this] { onOpenPage(m_ui->openNumberEdit); }, {m_ui->空闲开台按钮, m_ui->输号开台按钮}},
        {Qt::Key_F3, [=, this] { onOpenPage(m_ui->checkoutNumberEdit); }, {m_ui->结账按钮, m_ui->输号结账按钮}},
        {Qt::Key_F4, [this] { m_ui->sellButton->click(); }, {m_ui->sellButton}},
        {Qt::Key_F5,
         [=, this] { onOpenPage(m_ui->单选框6->isChecked() ? m_ui->单选框6 : m_ui->单选框5); },
         {m_ui->换台按钮}},
    };
    for (const auto& key : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key.key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, key.run);
        const QString name = QKeySequence(key.key).toString(QKeySequence::NativeText);
        for (QWidget* button : key.told) {
            const QString caption = qobject_cast<QAbstractButton*>(button)->text().remove(u' '); // "开台"
            button->setToolTip(QStringLiteral("%1（%2）").arg(caption, name));
        }
    }
}

MainWindow::~MainWindow() {
    m_ui->TableRegister->setPresentation(nullptr);
    m_ui->TableRegister->setStore(nullptr);
}

void MainWindow::UnlockSetupPage() {
    for (QGroupBox* group : {m_ui->setupGroup, m_ui->statisticsGroup}) {
        group->setEnabled(true);
        group->show();
    }
}

void MainWindow::PutIconInTray() {
    // Showing the one icon again only refreshes it: there is never a second one.
    m_tray->setIcon(m_appIcon);
    m_tray->setToolTip(trayToolTip());
    m_tray->show();
}

void MainWindow::HideToTray() {
    PutIconInTray();
    if (m_notificationAreaAvailable())
        hide();
    else
        showMinimized(); // with nowhere to hide, a hidden window could never be brought back
}

void MainWindow::ShowFromTray() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::TrayIconActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        ShowFromTray();
        break;
    case QSystemTrayIcon::Context:
        PopUpTrayMenu();
        break;
    case QSystemTrayIcon::Trigger: // a single left click does nothing
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void MainWindow::PopUpTrayMenu() {
    // Right-aligned at 5 pixels left of and above the cursor; Qt keeps it on the screen.
    QPoint at = QCursor::pos() - QPoint(5, 5);
    at.rx() -= m_trayMenu->sizeHint().width();
    m_trayMenu->popup(at);
}

void MainWindow::ShowAbout() {
    // Where the room's files are: beside the program, or in the user's data location when the
    // program is installed; the one place to look for them or to copy them from.
    Message about;
    about.title = QStringLiteral("关于 Cuemora");
    about.icon = MessageIcon::Information;
    about.text = QStringLiteral("Cuemora " CUEMORA_VERSION "\n桌球、麻雀室的前台程序\n\n数据目录：\n") +
                 QDir::toNativeSeparators(QDir::cleanPath(m_room.data().prefix()));
    m_room.messages().show(about);
}

void MainWindow::GuardSetupPage() {
    const bool setupPage = m_ui->tabWidget->currentWidget() == m_ui->setupPage;
    if (setupPage && m_ui->setupGroup->isHidden()) {
        m_account->show();
        m_account->raise();
        m_account->activateWindow();
    } else {
        m_account->hide();
    }
}

void MainWindow::ExitProgram() {
    const QString refusal = m_room.exitRefusal();
    if (!refusal.isEmpty()) {
        m_room.messages().inform(refusal);
        return;
    }
    // Nothing is saved at exit: every list was saved when it changed, or is not kept at all.
    m_checkout->close();
    m_sales->close();
    m_statistics->close();
    m_account->close();
    m_ending = true;
    close();
    m_trayMenu->close();
    m_tray->hide();
    Q_EMIT ended();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_ending) {
        event->accept();
        return;
    }
    // The close box never ends the program: it lives on in the notification area.
    HideToTray();
    event->ignore();
}

} // namespace cuemora
