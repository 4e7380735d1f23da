// cuemora-room-driver: the real Room, headless, for the script tests that kill it and read its
// files back.
//
//   cuemora-room-driver run DIR SEED     opens the room of DIR (a room of 200 tables is made when
//                                        there is none) and goes on opening, charging, moving and
//                                        checking out tables at random, with the clock running,
//                                        until it is killed
//   cuemora-room-driver check DIR        starts the room of DIR again, as after a crash, and checks
//                                        it against what the last run had done: exit 0 when every
//                                        table is as it was, 1 with the reason otherwise
//   cuemora-room-driver step DIR SCREEN OPERATION [ARGUMENTS]
//                                        starts the room, does one operation as the operator would
//                                        (add COUNT TYPE NAME, open N, pick N, charge N GOODS AMOUNT,
//                                        move FROM TO, checkout N), and writes the register as it
//                                        then stands in memory to the grid file SCREEN
//
// Before each operation `run` writes the state the room will have after it (expected.next), and
// after it the state it has (expected.done), each a whole-file save, so that a kill at any moment
// leaves the room's files matching one of the two. Each in-use table's state is a line: number,
// start time, goods names, goods total, and the moment it was opened in milliseconds since the
// epoch, which the check holds the recovered count against.

#include "common/safe_save.h"
#include "common/text_rules.h"
#include "room/room.h"
#include "room/stray_saves.h"
#include "support/scripted_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

constexpr int kTables = 200;

struct TableState {
    QString start;
    QString goodsNames;
    QString goodsTotal;
    qint64 openedMs = 0;
    friend bool operator==(const TableState& a, const TableState& b) {
        return a.start == b.start && a.goodsNames == b.goodsNames && a.goodsTotal == b.goodsTotal;
    }
};

// What the room holds that a crash must not lose: the tables in use, and the rows of the day.
struct State {
    QMap<int, TableState> inUse;
    QString day;     // the takings file of the rows counted
    int takings = 0; // its data rows
    QString op;      // the operation that leads to this state, for the report
};

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "room driver: %s\n", why.toUtf8().constData());
    std::exit(1);
}

QString field(QString text) {
    return text.replace(QLatin1Char('|'), QLatin1Char('/')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QByteArray toText(const State& state) {
    QStringList lines{QStringLiteral("op|%1").arg(state.op), QStringLiteral("takings|%1|%2").arg(state.day).arg(state.takings)};
    for (auto it = state.inUse.cbegin(); it != state.inUse.cend(); ++it)
        lines.append(QStringLiteral("%1|%2|%3|%4|%5")
                         .arg(QString::number(it.key()), field(it->start), field(it->goodsNames), field(it->goodsTotal),
                              QString::number(it->openedMs)));
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

bool fromText(const QByteArray& bytes, State* state) {
    *state = State();
    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(QLatin1Char('|'));
        if (parts.first() == u"op" && parts.size() == 2) {
            state->op = parts[1];
        } else if (parts.first() == u"takings" && parts.size() == 3) {
            state->day = parts[1];
            state->takings = parts[2].toInt();
        } else if (parts.size() == 5) {
            state->inUse.insert(parts[0].toInt(), {parts[1], parts[2], parts[3], parts[4].toLongLong()});
        } else {
            return false;
        }
    }
    return true;
}

bool readState(const QString& path, State* state) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && fromText(file.readAll(), state);
}

void writeState(const QString& path, const State& state) {
    QString error;
    if (!saveWholeFile(path, toText(state), &error))
        fail(QStringLiteral("%1 cannot be written: %2").arg(path, error));
}

int takingsRows(const DataDirectory& data, const QString& day) {
    const QString path = data.filePath(day);
    if (day.isEmpty() || !QFile::exists(path))
        return 0;
    GridStore grid;
    if (!grid.loadFromFile(path))
        fail(QStringLiteral("the takings file %1 is damaged: %2").arg(day, grid.errorString()));
    return grid.rowCount() - 1;
}

QString today(const Clock& clock) {
    return TakingsBook::fileNameFor(dayText(clock.now().date()));
}

// The tables in use as the room shows them; the moments of opening come from the model.
State stateOf(const Room& room, const State& model) {
    State state;
    const TableRegister& tables = room.tables();
    for (int n = 1; n <= tables.tableCount(); ++n) {
        if (!tables.isInUse(n))
            continue;
        const GridStore& grid = tables.grid();
        state.inUse.insert(n, {grid.cellText(n, col::Start), grid.cellText(n, col::GoodsNames),
                               grid.cellText(n, col::GoodsTotal), model.inUse.value(n).openedMs});
    }
    state.day = model.day;
    state.takings = takingsRows(room.data(), model.day);
    return state;
}

// Whatever else the room says is a fault: a damaged file met, a save that failed.
void requireOnlyQuestions(const ScriptedMessages& messages, bool recoveryAllowed) {
    for (const Message& message : messages.shown()) {
        const bool recovery = message.text.startsWith(QStringLiteral("上次程序没有正常结束"));
        if (message.buttons != MessageButtons::YesNo && !(recovery && recoveryAllowed))
            fail(QStringLiteral("the room said: ") + message.text);
    }
}

// The system's clock, held still for the length of one operation, so that the start time the model
// expects is the one the room writes even when a second turns over in between.
class HeldClock : public Clock {
public:
    QDateTime now() const override { return m_held.isValid() ? m_held : QDateTime::currentDateTime(); }
    qint64 steadyMs() const override { return m_system.steadyMs(); }
    void hold() { m_held = QDateTime::currentDateTime(); }
    void release() { m_held = QDateTime(); }

private:
    SystemClock m_system;
    QDateTime m_held;
};

struct Driver {
    explicit Driver(QString directory)
        : dir(std::move(directory)) {}

    QString dir;
    DataDirectory data{dir};
    ScriptedMessages messages;
    HeldClock clock;
    Room room{data, clock, messages};

    QString next() const { return QDir(dir).filePath(QStringLiteral("expected.next")); }
    QString done() const { return QDir(dir).filePath(QStringLiteral("expected.done")); }

    void open() {
        if (!room.open())
            fail(QStringLiteral("the room did not open: ") + messages.lastText());
        if (!room.Login(QStringLiteral("tulip"), QStringLiteral("947")))
            fail(QStringLiteral("no login"));
    }
};

// --- check ------------------------------------------------------------------------------------

int check(const QString& dir) {
    Driver driver(dir);
    const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
    State done;
    if (!readState(driver.done(), &done)) {
        std::printf("first start\n");
        return 0;
    }
    State next = done;
    if (QFile::exists(driver.next()) && !readState(driver.next(), &next))
        fail(QStringLiteral("expected.next cannot be read"));
    // An operation was under way: its state was written, its end not yet.
    const bool inFlight = !(next.inUse == done.inUse) || next.takings != done.takings;

    driver.open();
    requireOnlyQuestions(driver.messages, true);
    // No temporary file of a save cut short beside a data file, and no damaged file set aside.
    QStringList left;
    static const QRegularExpression leftOver(QStringLiteral("^(.+)\\.([A-Za-z]{6}|无法读取\\d+)$"));
    for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = leftOver.match(name);
        if (match.hasMatch() && isDataFileName(match.captured(1)))
            left.append(name);
    }
    if (!left.isEmpty())
        fail(QStringLiteral("left in the directory: ") + left.join(QLatin1Char(' ')));

    const State shown = stateOf(driver.room, done);
    // The register file is the old one or the new one, whole; so is the day's takings file.
    const bool tablesOld = shown.inUse == done.inUse;
    const bool tablesNew = shown.inUse == next.inUse;
    if (!tablesOld && !tablesNew) {
        fail(QStringLiteral("the tables in use came back as\n%1\nexpected before the kill\n%2\nor after it\n%3")
                 .arg(QString::fromUtf8(toText(shown)), QString::fromUtf8(toText(done)), QString::fromUtf8(toText(next))));
    }
    const int rows = takingsRows(driver.data, next.day);
    if (rows != done.takings && rows != next.takings)
        fail(QStringLiteral("%1 takings rows, expected %2 or %3").arg(rows).arg(done.takings).arg(next.takings));

    // Every table in use counts within 2 s of the wall clock since its opening.
    const State& matched = tablesNew ? next : done;
    for (auto it = matched.inUse.cbegin(); it != matched.inUse.cend(); ++it) {
        const qint64 counted = truncateToWhole(driver.room.tables().grid().cellNumber(it.key(), col::Seconds));
        const double since = double(nowMs - it->openedMs) / 1000.0;
        if (std::abs(double(counted) - since) > 2.0)
            fail(QStringLiteral("table %1 counts %2 s, %3 s after its opening").arg(it.key()).arg(counted).arg(since));
    }
    if (!matched.inUse.isEmpty() && driver.messages.shown().size() != 1)
        fail(QStringLiteral("the tables that came back in use were not named"));

    State settled = matched;
    settled.takings = rows;
    writeState(driver.done(), settled);
    QFile::remove(driver.next());
    // One line for the summary: during which operation the kill came, and which file it left.
    std::printf("killed %s%s; %lld tables in use came back\n",
                inFlight ? qPrintable(QStringLiteral("during ") + next.op) : "between operations",
                !inFlight ? "" : tablesNew ? ": the new register" : ": the old register",
                static_cast<long long>(matched.inUse.size()));
    return 0;
}

// --- run --------------------------------------------------------------------------------------

struct Runner : Driver {
    QRandomGenerator random;
    State model;

    Runner(const QString& directory, quint32 seed)
        : Driver(directory)
        , random(seed) {}

    void start() {
        open();
        if (room.tables().tableCount() == 0) {
            if (room.AddTables({QString::number(kTables), billiardType(), QStringLiteral("大厅"), QStringLiteral("20"),
                                QStringLiteral("10")}) != kTables)
                fail(QStringLiteral("the tables could not be added"));
        }
        readState(done(), &model);
        const State shown = stateOf(room, model);
        if (!(shown.inUse == model.inUse))
            fail(QStringLiteral("the room does not hold what the last check settled"));
        model.day = today(clock);
        model.takings = takingsRows(data, model.day);
        model.op = QStringLiteral("nothing");
        writeState(done(), model);
        requireOnlyQuestions(messages, true);
        messages.clear();
    }

    int randomTable(bool inUse) {
        QList<int> candidates;
        for (int n = 1; n <= kTables; ++n) {
            if (model.inUse.contains(n) == inUse)
                candidates.append(n);
        }
        return candidates.isEmpty() ? 0 : candidates[random.bounded(int(candidates.size()))];
    }

    // One operation at random, with the state it leads to written before and after.
    void step() {
        State after = model;
        clock.hold();
        const auto release = qScopeGuard([this] { clock.release(); });
        const int kind = random.bounded(100);
        const int free = randomTable(false);
        const int busy = randomTable(true);
        std::function<void()> operation;
        if ((kind < 45 || busy == 0) && free != 0) {
            const qint64 openedMs = QDateTime::currentMSecsSinceEpoch();
            const QString start = dateTimeToText(clock.now());
            after.inUse.insert(free, {start, QString(), QString(), openedMs});
            after.op = QStringLiteral("an opening");
            operation = [this, free] {
                if (random.bounded(2))
                    room.OpenTableByNumber(QString::number(free));
                else
                    room.OpenFreeTable(TableType::Billiard, free);
            };
        } else if (kind < 70 && busy != 0) {
            TableState& table = after.inUse[busy];
            const bool cola = random.bounded(2);
            const QString name = cola ? QStringLiteral("可乐") : QStringLiteral("瓜子");
            const QString amount = cola ? QStringLiteral("3") : QStringLiteral("2.5");
            table.goodsNames += QStringLiteral("、") + name;
            table.goodsTotal = realToText(textToNumber(table.goodsTotal) + textToNumber(amount));
            after.op = QStringLiteral("a charge");
            operation = [this, busy, name, amount] {
                room.saleList().AddToSaleList(name, amount, QStringLiteral("1"), amount);
                room.ChargeToTable(busy);
                room.EndSale();
            };
        } else if (kind < 85 && busy != 0 && free != 0) {
            after.inUse.insert(free, after.inUse.take(busy));
            after.op = QStringLiteral("a change of table");
            operation = [this, busy, free] { room.ChangeTable(TableType::Billiard, busy, free); };
        } else if (busy != 0) {
            after.inUse.remove(busy);
            after.takings += 1;
            after.op = QStringLiteral("a checkout");
            operation = [this, busy] {
                const CheckoutTexts texts = FillCheckout(room.tables(), busy);
                messages.setNextAnswers({MessageButton::Yes}); // the operator confirms the question
                room.ConfirmCheckout({texts.tableNumber, texts.hours, texts.total});
            };
        } else {
            return;
        }
        writeState(next(), after);
        operation();
        requireOnlyQuestions(messages, false);
        messages.clear();
        const State shown = stateOf(room, after);
        if (!(shown.inUse == after.inUse) || shown.takings != after.takings)
            fail(QStringLiteral("after %1 the room holds\n%2\nexpected\n%3")
                     .arg(after.op, QString::fromUtf8(toText(shown)), QString::fromUtf8(toText(after))));
        model = after;
        writeState(done(), model);
        QFile::remove(next());
    }
};

int run(const QString& dir, quint32 seed) {
    Runner runner(dir, seed);
    runner.start();
    QTimer clock;
    clock.setTimerType(Qt::PreciseTimer);
    QObject::connect(&clock, &QTimer::timeout, &runner.room, [&runner] { runner.room.ClockTick(); });
    if (runner.room.clockRunning())
        clock.start(1000);
    QObject::connect(&runner.room, &Room::clockStarted, &clock, [&clock] { clock.start(1000); });
    QTimer steps;
    QObject::connect(&steps, &QTimer::timeout, &runner.room, [&runner] { runner.step(); });
    steps.start(0);
    std::printf("running\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

// --- step -------------------------------------------------------------------------------------

int step(const QString& dir, const QString& screen, const QStringList& args) {
    Driver driver(dir);
    driver.open();
    Room& room = driver.room;
    driver.messages.setNextAnswers({MessageButton::Yes, MessageButton::Yes});
    const QString& op = args.value(0);
    const int n = args.value(1).toInt();
    if (op == u"add" && args.size() == 4) {
        room.AddTables({args[1], args[2], args[3], QStringLiteral("20"), QStringLiteral("10")});
    } else if (op == u"open" && args.size() == 2) {
        room.OpenTableByNumber(args[1]);
    } else if (op == u"pick" && args.size() == 2) {
        room.OpenFreeTable(room.tables().type(n) == billiardType() ? TableType::Billiard : TableType::Mahjong, n);
    } else if (op == u"charge" && args.size() == 4) {
        room.saleList().AddToSaleList(args[2], args[3], QStringLiteral("1"), args[3]);
        room.ChargeToTable(n);
    } else if (op == u"move" && args.size() == 3) {
        room.ChangeTable(TableType::Billiard, n, args[2].toInt());
    } else if (op == u"checkout" && args.size() == 2) {
        const CheckoutTexts texts = FillCheckout(room.tables(), n);
        room.ConfirmCheckout({texts.tableNumber, texts.hours, texts.total});
    } else {
        fail(QStringLiteral("unknown step: ") + args.join(QLatin1Char(' ')));
    }
    requireOnlyQuestions(driver.messages, true);
    QString error;
    if (!saveWholeFile(screen, room.tables().grid().toBytes(), &error))
        fail(error);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 3 && args[0] == u"run")
        return run(args[1], args[2].toUInt());
    if (args.size() == 2 && args[0] == u"check")
        return check(args[1]);
    if (args.size() >= 4 && args[0] == u"step")
        return step(args[1], args[2], args.mid(3));
    std::fprintf(stderr, "usage: cuemora-room-driver run DIR SEED | check DIR | step DIR SCREEN OPERATION...\n");
    return 2;
}
