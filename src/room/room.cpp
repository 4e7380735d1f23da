#include "room/room.h"

#include "room/recovery.h"
#include "room/stray_saves.h"
#include "store/grid_file_guard.h"

#include <QDir>

namespace cuemora {

namespace {

// A tick of a precise one-second timer may come a little before its second is full on the steady
// clock; it counts that second all the same. The seconds counted stay whole multiples of 1000 ms
// of the steady clock, so this never adds up: the count runs at most this far ahead.
constexpr qint64 kEarlyTickMs = 100;

QString notLoggedInMessage() {
    return QStringLiteral("还没有登陆，请先在“设置”页登陆");
}

QString shownDirectory(const DataDirectory& data) {
    return QDir::toNativeSeparators(QDir::cleanPath(data.prefix()));
}

} // namespace

Room::Room(const DataDirectory& data, const Clock& clock, MessageService& messages, QObject* parent)
    : QObject(parent)
    , m_data(data)
    , m_clock(clock)
    , m_messages(messages)
    , m_lock(m_data)
    , m_takings(m_data, m_clock)
    , m_goods(m_data)
    , m_accounts(m_data)
    , m_backup(m_data, m_clock) {
    m_tables.setEditCheck([this](int column, const QString& text) { return checkEditInPlace(column, text); });
    m_tables.setEditedInPlace([this] { registerEditedInPlace(); });
}

Room::~Room() = default;

bool Room::open() {
    switch (m_lock.tryLock()) {
    case InstanceLock::Result::HeldElsewhere:
        m_messages.inform(QStringLiteral("Cuemora 已经在运行，同一个数据目录只能打开一个：\n") +
                          shownDirectory(m_data));
        return false;
    case InstanceLock::Result::Locked:
    case InstanceLock::Result::NotPossible:
        break;
    }
    QString reason;
    const bool writable = canWriteDataDirectory(m_data, &reason);
    if (!writable) {
        m_messages.inform(QStringLiteral("数据目录不能写入，台桌、商品和收入都无法保存：\n") + shownDirectory(m_data) +
                          QStringLiteral("\n") + reason);
    }
    // Only now that this program holds the directory: another one's save is never taken for stray.
    removeStraySaves(m_data);
    // The day's first start keeps the files as the last evening left them, before anything here
    // loads, sets aside or writes one. A directory that cannot be written has been told already.
    if (writable && !m_backup.hasToday())
        backUp();

    // A missing file leaves the empty register; an unreadable one is set aside, so that the next
    // save does not write over the tables it may still hold.
    if (loadKeepingDamaged(m_tables.grid(), m_data, TableRegister::fileName(), m_messages) ==
        GridFileLoad::Unreadable) {
        m_tablesKeptAside = true;
        m_messages.show(Message{
            QStringLiteral("文件“%1”无法读取（%2），也无法改名保留。为了不覆盖它，这次运行不会把台的变化存到磁盘；"
                           "请把这个文件移走，然后重新启动程序。")
                .arg(TableRegister::fileName(), m_tables.grid().errorString()),
            MessageButtons::Ok, MessageIcon::Warning});
    }
    m_tables.RefreshPictures();
    m_goods.ReloadGoods(m_messages);
    m_accounts.EnsureAccountFile();
    recoverTablesInUse();
    return true;
}

void Room::recoverTablesInUse() {
    const QList<RecoveredTable> recovered = RecoverTablesInUse(m_tables, m_clock.now());
    if (recovered.isEmpty())
        return;
    // The guests kept playing: their time counts on at once.
    startClock();
    m_messages.show(Message{recoveryMessage(recovered), MessageButtons::Ok, MessageIcon::Warning});
}

void Room::startClock() {
    if (m_clockRunning)
        return;
    m_clockRunning = true;
    m_lastCountedMs = m_clock.steadyMs();
    Q_EMIT clockStarted();
}

void Room::ClockTick() {
    if (!m_clockRunning)
        return;
    const qint64 seconds = (m_clock.steadyMs() - m_lastCountedMs + kEarlyTickMs) / 1000;
    if (seconds <= 0)
        return;
    m_lastCountedMs += seconds * 1000;
    cuemora::ClockTick(m_tables, seconds);
}

void Room::saveTables() {
    if (m_tablesKeptAside || m_resetPending)
        return;
    // The operator's place in the register stays where it was: a save is no reason to lose it.
    GridStore& grid = m_tables.grid();
    const int focusRow = grid.focusRow();
    const int focusColumn = grid.focusColumn();
    QString error;
    const bool saved = m_tables.SaveRegister(m_data, &error);
    grid.setFocusCell(focusRow, focusColumn);
    if (saved) {
        m_saveFailing = false;
        return;
    }
    if (m_saveFailing)
        return;
    m_saveFailing = true;
    m_messages.show(Message{QStringLiteral("台的状态没有保存到文件“%1”：%2\n屏幕上的台照常使用，但还没有存到磁盘；"
                                           "以后每次开台、换台、记账、结账都会再保存。")
                                .arg(TableRegister::fileName(), error),
                            MessageButtons::Ok, MessageIcon::Warning});
}

bool Room::checkEditInPlace(int column, const QString& text) {
    // A table's type, name, price and rate typed into the register keep to the rule of "添加".
    const QString refusal = tableTextRefusal(column, text);
    if (refusal.isEmpty())
        return true;
    m_messages.inform(refusal);
    return false;
}

void Room::registerEditedInPlace() {
    // A type typed in place decides the row's picture.
    m_tables.RefreshPictures();
    saveTables();
}

OpenOutcome Room::OpenFreeTable(TableType type, int chosen) {
    const OpenOutcome outcome = cuemora::OpenFreeTable(m_tables, type, chosen, m_clock, m_messages);
    if (outcome.started) {
        startClock();
        saveTables();
    }
    return outcome;
}

OpenOutcome Room::OpenTableByNumber(const QString& typed) {
    const OpenOutcome outcome = cuemora::OpenTableByNumber(m_tables, typed, m_clock, m_messages);
    if (outcome.started) {
        startClock();
        saveTables();
    }
    return outcome;
}

ChangeOutcome Room::ChangeTable(TableType type, int from, int to) {
    const ChangeOutcome outcome = cuemora::ChangeTable(m_tables, type, from, to, m_messages);
    if (outcome.moved)
        saveTables();
    return outcome;
}

bool Room::requireLogin() {
    if (m_loggedIn)
        return true;
    m_messages.inform(notLoggedInMessage());
    return false;
}

int Room::AddTables(const AddTablesInput& input) {
    if (!requireLogin())
        return 0;
    const int added = cuemora::AddTables(m_tables, input, m_messages);
    // A check that failed, or a count of none, changed nothing: the file keeps its tables. (After
    // "重设", saving here would write an empty register over every table of the room.)
    if (added == 0)
        return 0;
    m_tables.RefreshPictures();
    m_resetPending = false;
    saveTables();
    return added;
}

bool Room::ResetRegister() {
    if (!requireLogin())
        return false;
    if (const int inUse = m_tables.lastTableInUse(); inUse > 0) {
        m_messages.inform(QStringLiteral("第%1台还在使用中，不能重设。请先给使用中的台结账。").arg(inUse));
        return false;
    }
    const bool reset = m_messages.ask(
        QStringLiteral(
            "重设会清空屏幕上的全部%1张台。\r\n文件“%2”里的台不变，下次启动还在，直到下一次“添加”。\r\n是否重设？")
            .arg(QString::number(m_tables.tableCount()), TableRegister::fileName()),
        MessageIcon::Question, MessageButton::No);
    if (!reset)
        return false;
    m_tables.reset();
    m_resetPending = true;
    return true;
}

bool Room::ShowDayTotals(const QString& query) {
    if (!requireLogin())
        return false;
    m_takings.ShowDayTotals(query, m_messages);
    return true;
}

bool Room::ConfirmCheckout(const ConfirmInput& input) {
    // The takings row is on disk before the table is freed: a crash in between brings the table
    // back in use, and the money is never lost.
    const bool confirmed = cuemora::ConfirmCheckout(m_tables, m_takings, input, m_messages);
    m_tables.RefreshPictures();
    if (confirmed)
        saveTables();
    return confirmed;
}

void Room::CancelCheckout() {
    m_tables.RefreshPictures();
}

QStringList Room::ReloadGoods() {
    return m_goods.ReloadGoods(m_messages);
}

bool Room::SaveGoods() {
    backUp();
    return m_goods.SaveGoods(m_messages);
}

bool Room::CashCheckout() {
    return cuemora::CashCheckout(m_sale, m_takings, m_messages);
}

bool Room::ChargeToTable(int chosen) {
    if (!cuemora::ChargeToTable(m_sale, m_tables, chosen, m_messages))
        return false;
    saveTables();
    return true;
}

QStringList Room::EndSale() {
    m_sale.clearList();
    return ReloadGoods();
}

bool Room::Login(const QString& name, const QString& password) {
    switch (m_accounts.login(name, password)) {
    case LoginResult::LoggedIn:
        break;
    case LoginResult::Wrong:
        m_messages.inform(AccountBook::loginFailedMessage());
        return false;
    case LoginResult::Unreadable:
        m_messages.show(Message{m_accounts.unreadableMessage(), MessageButtons::Ok, MessageIcon::Warning});
        return false;
    }
    if (!m_loggedIn) {
        m_loggedIn = true;
        Q_EMIT unlocked();
    }
    return true;
}

AccountChange Room::ChangeAccount(const QString& name, const QString& password) {
    if (!m_loggedIn)
        return {false, notLoggedInMessage()};
    backUp();
    return m_accounts.change(name, password);
}

void Room::backUp() {
    QString error;
    if (m_backup.backUp(&error)) {
        m_backupFailing = false;
        return;
    }
    if (m_backupFailing)
        return;
    m_backupFailing = true;
    m_messages.show(Message{QStringLiteral("数据文件没有备份到“%1”：\n%2\n程序照常运行，数据文件本身没有受影响。")
                                .arg(m_backup.todayFolder(), error),
                            MessageButtons::Ok, MessageIcon::Warning});
}

} // namespace cuemora
