#pragma once

#include "accounts/account_book.h"
#include "checkout/checkout.h"
#include "common/clock.h"
#include "common/data_directory.h"
#include "common/messages.h"
#include "goods/goods_stock.h"
#include "goods/sale_list.h"
#include "room/daily_backup.h"
#include "room/instance_lock.h"
#include "tables/table_change.h"
#include "tables/table_lists.h"
#include "tables/table_opening.h"
#include "tables/table_register.h"
#include "tables/table_setup.h"
#include "takings/takings_book.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace cuemora {

// The room: the one owner of its data. It holds the register of the tables, the day's takings,
// the goods stock, the list of goods being sold and the account, all built from the data
// directory, the clock and the message service that main() (or a test) hands it. The windows are
// handed the Room, show its grids and call its routines; they keep no data of their own.
//
// The rule of its interface: every routine that changes what a file keeps runs here, so that the
// change reaches its file, and every such routine takes the texts of the boxes and shows its own
// messages. Routines that only read (the lists of tables, the charge, the change, finding goods)
// are the free functions of their subsystems, run on tables(), goods() and saleList().
//
// The live state on disk: every change of a table's state (opening it, changing tables, charging
// goods to it, its checkout, an edit of the register in place, adding tables) saves "表格设置" at
// once, whole, through the same save that replaces the file only when every byte has landed. The
// clock's seconds are not saved at each tick: after a crash the start time tells them (open()).
class Room : public QObject {
    Q_OBJECT

public:
    Room(const DataDirectory& data, const Clock& clock, MessageService& messages, QObject* parent = nullptr);
    ~Room() override;

    // The start-up, in this order: the data directory is claimed (a second Cuemora on it is
    // refused: false, and the program must end without touching a file) and checked for writing;
    // the temporary files of saves cut short are removed; the register is loaded and shows its
    // pictures; tables that came back in use are counted on; the goods are loaded; the account file
    // is made when there is none. A file that cannot be read is set aside or, when it cannot even
    // be moved, kept from being written over; every such finding is told to the operator.
    bool open();

    const DataDirectory& data() const { return m_data; }
    const Clock& clock() const { return m_clock; }
    MessageService& messages() const { return m_messages; }

    // The parts, for the windows to show and for the routines that only read them.
    TableRegister& tables() { return m_tables; }
    const TableRegister& tables() const { return m_tables; }
    TakingsBook& takings() { return m_takings; }
    GoodsStock& goods() { return m_goods; }
    const GoodsStock& goods() const { return m_goods; }
    SaleList& saleList() { return m_sale; }
    const SaleList& saleList() const { return m_sale; }

    // --- The clock -------------------------------------------------------------------------------

    // True from the first opening of a table (or a table that came back in use at start) on; then
    // the program's one-second timer runs until the program ends (clockStarted() says when).
    bool clockRunning() const { return m_clockRunning; }
    // One tick of the timer: every table in use counts the whole seconds that passed on the steady
    // clock since the last counted one, normally 1; after a stall (a window blocked, the program
    // stopped) the seconds catch up, and a change of the wall clock changes nothing.
    void ClockTick();

    // --- Tables ----------------------------------------------------------------------------------

    // "开    台": the table picked from the list of free tables (its number, -1 for none).
    OpenOutcome OpenFreeTable(TableType type, int chosen);
    // "输号开台": the table whose number is typed.
    OpenOutcome OpenTableByNumber(const QString& typed);
    // "换台": the guests of table `from` go to the free table `to`.
    ChangeOutcome ChangeTable(TableType type, int from, int to);
    // Why the program may not end now, or the empty text.
    QString exitRefusal() const { return cuemora::exitRefusal(m_tables); }

    // --- The setup page: refused with a message until an operator has logged in ------------------

    // "添加": appends the batch; the register is saved only when tables were added.
    int AddTables(const AddTablesInput& input);
    // "重设": after a Yes (the default is No), empties the register on screen, never while a table
    // is in use. The file keeps the tables of the last save until the next "添加" that adds tables,
    // and nothing is saved in between: that is how a room is defined afresh.
    bool ResetRegister();
    // "统计": the takings of the day the query names, with the total row.
    bool ShowDayTotals(const QString& query);
    // True once an operator has logged in; otherwise tells the operator to log in first.
    bool requireLogin();

    // --- Checkout, goods and sales ---------------------------------------------------------------

    // "结账": asks; on Yes records the takings row of today, then frees the table and saves the
    // register. Whatever the answer every row shows its picture again. True on Yes.
    bool ConfirmCheckout(const ConfirmInput& input);
    // The checkout window closed without "结账": nothing is recorded, and every row shows its
    // picture again, as after the answer No.
    void CancelCheckout();
    // Loads the goods file; returns the names for the goods list (item k stands for row k + 1).
    QStringList ReloadGoods();
    // "保存数据".
    bool SaveGoods();
    // "结账" of the cash sale: every entry of the sale list into today's takings.
    bool CashCheckout();
    // "记录": the sale list onto the account of table `chosen` (-1 for none); saves the register.
    bool ChargeToTable(int chosen);
    // The end of a sale: the list emptied and the goods loaded again; returns the goods list.
    QStringList EndSale();

    // --- The account -----------------------------------------------------------------------------

    bool loggedIn() const { return m_loggedIn; }
    // "进入": true when the typed account is the stored one; otherwise the operator is told why.
    // The first success emits unlocked().
    bool Login(const QString& name, const QString& password);
    // "修改": refused before a login.
    AccountChange ChangeAccount(const QString& name, const QString& password);

Q_SIGNALS:
    // The one-second timer must run from now on.
    void clockStarted();
    // An operator has logged in: the setup page opens.
    void unlocked();

private:
    void startClock();
    void recoverTablesInUse();
    bool checkEditInPlace(int column, const QString& text);
    void registerEditedInPlace();
    // Writes the register to "表格设置"; see the class comment. A failure is told once, with the
    // system's reason, and the save is tried again at the next change.
    void saveTables();
    // Copies the data files into today's backup folder. A failure is told once, until a backup
    // succeeds again, and never stops what the operator is doing.
    void backUp();

    DataDirectory m_data;
    const Clock& m_clock;
    MessageService& m_messages;
    InstanceLock m_lock;
    TableRegister m_tables;
    TakingsBook m_takings;
    GoodsStock m_goods;
    SaleList m_sale;
    AccountBook m_accounts;
    DailyBackup m_backup;

    bool m_clockRunning = false;
    qint64 m_lastCountedMs = 0; // steady clock: the moment of the last second counted
    bool m_loggedIn = false;
    // The register file could be neither read nor moved aside at start: it is never written over.
    bool m_tablesKeptAside = false;
    // "重设" emptied the screen and no "添加" has followed: the file keeps the last room.
    bool m_resetPending = false;
    // The last save of the register failed and the operator has been told.
    bool m_saveFailing = false;
    // The last backup failed and the operator has been told.
    bool m_backupFailing = false;
};

} // namespace cuemora
