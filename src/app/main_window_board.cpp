// The board of tables below the tabs, and the button that puts it in place of the register's grid.
#include "app/main_window.h"

#include "app/checkout_window.h"
#include "app/table_board.h"
#include "checkout/checkout.h"
#include "ui_main_window.h"

#include <QPushButton>
#include <QSettings>

namespace cuemora {

namespace {

// How the windows look is the user's, not the room's: it is kept beside the user's other settings,
// never in the data directory.
QSettings viewSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Cuemora"), QStringLiteral("cuemora"));
}

const QString kBoardKey = QStringLiteral("view/board");

} // namespace

void MainWindow::ConnectBoard() {
    m_board = new TableBoard(this);
    m_board->setObjectName(QStringLiteral("TableBoard"));
    m_board->setAccessibleName(QStringLiteral("台桌看板"));
    m_board->setRegister(&m_room.tables(), &m_room.clock());
    m_board->hide();
    m_ui->mainLayout->insertWidget(m_ui->mainLayout->indexOf(m_ui->TableRegister) + 1, m_board, 1);
    connect(m_board, &TableBoard::tableActivated, this, &MainWindow::BoardTableActivated);

    // Beside the tabs, so that it is at hand on either page.
    m_boardButton = new QPushButton(QStringLiteral("看板"), m_ui->tabWidget);
    m_boardButton->setObjectName(QStringLiteral("boardButton"));
    m_boardButton->setCheckable(true);
    m_boardButton->setToolTip(QStringLiteral("每张台一块牌：台号、台名称、状态、使用时长和当前应付"));
    m_ui->tabWidget->setCornerWidget(m_boardButton, Qt::TopRightCorner);
    const bool board = viewSettings().value(kBoardKey, false).toBool();
    ShowBoard(board);
    connect(m_boardButton, &QPushButton::toggled, this, [this](bool on) {
        ShowBoard(on);
        QSettings settings = viewSettings();
        settings.setValue(kBoardKey, on);
    });
}

void MainWindow::ShowBoard(bool board) {
    if (m_boardButton->isChecked() != board) {
        const QSignalBlocker quiet(m_boardButton);
        m_boardButton->setChecked(board);
    }
    m_ui->TableRegister->setVisible(!board);
    m_board->setVisible(board);
}

void MainWindow::BoardTableActivated(int n) {
    if (!m_room.tables().isInUse(n)) {
        const OpenOutcome outcome = m_room.OpenTableByNumber(QString::number(n));
        if (outcome.clearList)
            m_ui->开台组合框->clear();
        return;
    }
    const int table = cuemora::CheckoutByNumber(m_room.tables(), QString::number(n), m_room.messages());
    if (table != 0)
        m_checkout->FillCheckout(table);
}

} // namespace cuemora
